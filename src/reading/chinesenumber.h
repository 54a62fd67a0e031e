#pragma once
#include <string>
#include <string_view>

namespace velanote {

// Spells numbers written in ASCII digits as Mandarin number words: as a quantity (1001 一千零一,
// 20000 两万), digit by digit (2026 二零二六) or with a fraction after 点 (3.5 三点五).
class ChineseNumber {
public:
    // Where the number stands, which decides between 二 and 两.
    enum class Use {
        Ordinal,  // 第二百, 二月: always 二
        Quantity, // 两千, 两万, 一万两千: 两 heading 百/千/万/亿 and before 千, as people count
        Measure,  // before a measure word: also a lone 2 is 两 (两个, 两点)
    };

    // The quantity `digits` (ASCII digits, leading zeros ignored, any length).
    static std::u32string cardinal(std::string_view digits, Use use = Use::Quantity);
    // Each digit by itself: 0 零, 1 一, … (phone numbers, years, codes).
    static std::u32string digitByDigit(std::string_view digits);
    // `whole`.`fraction`: the whole part as a quantity, then 点 and the fraction's digits.
    static std::u32string decimal(std::string_view whole, std::string_view fraction);

    static char32_t digitWord(char digit);
};

} // namespace velanote
