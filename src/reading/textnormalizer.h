#pragma once
#include <string>
#include <string_view>

namespace velanote {

// Rewrites the digits and symbols of a text as the Chinese words a native speaker says for them,
// choosing by what stands around each number: a year is said digit by digit (2027年 二零二七年),
// a count with 两 (2个 两个), a time with 点 and 分 (3:30 三点三十分), a phone number digit by digit,
// money, units, percentages, fractions, ranges and scores in words. Full-width digits, letters and
// symbols count as their ASCII forms. Chinese and Latin words pass through unchanged.
class TextNormalizer {
public:
    // Changes whenever a rule changes what is said, so that no stored clip outlives it.
    static constexpr std::string_view version = "text normalizer 4";

    static std::u32string normalize(std::u32string_view text);
};

} // namespace velanote
