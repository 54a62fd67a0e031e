#include "reading/chinesenumber.h"

namespace velanote {

namespace {

std::string_view withoutLeadingZeros(std::string_view digits) {
    while (!digits.empty() && digits.front() == '0') {
        digits.remove_prefix(1);
    }
    return digits;
}

// Up to four digits, the first not 0: zeros inside become one 零, zeros at the end are silent.
void appendGroup(std::u32string& out, std::string_view digits) {
    static constexpr char32_t places[] = {U'千', U'百', U'十'};
    bool zeroPending = false;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        const char d = digits[i];
        if (d == '0') {
            zeroPending = true;
            continue;
        }
        if (zeroPending) {
            out.push_back(U'零');
            zeroPending = false;
        }
        out.push_back(ChineseNumber::digitWord(d));
        const std::size_t place = digits.size() - 1 - i;
        if (place > 0) {
            out.push_back(places[3 - place]);
        }
    }
}

// `digits` has no leading zero. Above 万 and 亿 the number splits into a head said with the unit
// and a rest that is preceded by 零 when it does not fill the unit's width.
void appendNumber(std::u32string& out, std::string_view digits) {
    const std::size_t width = digits.size() > 8 ? 8 : digits.size() > 4 ? 4 : 0;
    if (width == 0) {
        appendGroup(out, digits);
        return;
    }
    appendNumber(out, digits.substr(0, digits.size() - width));
    out.push_back(width == 8 ? U'亿' : U'万');
    const std::string_view rest = digits.substr(digits.size() - width);
    const std::string_view significant = withoutLeadingZeros(rest);
    if (!significant.empty()) {
        if (significant.size() < rest.size()) {
            out.push_back(U'零');
        }
        appendNumber(out, significant);
    }
}

} // namespace

char32_t ChineseNumber::digitWord(char digit) {
    static constexpr char32_t words[] = {U'零', U'一', U'二', U'三', U'四',
                                         U'五', U'六', U'七', U'八', U'九'};
    return digit >= '0' && digit <= '9' ? words[digit - '0'] : U'零';
}

std::u32string ChineseNumber::cardinal(std::string_view digits, Use use) {
    const std::string_view significant = withoutLeadingZeros(digits);
    if (significant.empty()) {
        return U"零";
    }
    std::u32string out;
    out.reserve(significant.size() * 3);
    appendNumber(out, significant);
    // 10 to 19 at the head are 十…, not 一十… (十万, 十一亿); inside a number 一十 stays (一百一十).
    if (out.size() >= 2 && out[0] == U'一' && out[1] == U'十') {
        out.erase(0, 1);
    }
    if (use == Use::Ordinal) {
        return out;
    }
    if (use == Use::Measure && out == U"二") {
        return U"两";
    }
    for (std::size_t i = 0; i + 1 < out.size(); ++i) {
        if (out[i] != U'二') {
            continue;
        }
        const char32_t next = out[i + 1];
        const bool heads = i == 0 && (next == U'百' || next == U'千' || next == U'万' || next == U'亿');
        // 一万两千; but 十二万 and 三千二百 keep 二.
        const bool inside = i > 0 && next == U'千';
        if (heads || inside) {
            out[i] = U'两';
        }
    }
    return out;
}

std::u32string ChineseNumber::digitByDigit(std::string_view digits) {
    std::u32string out;
    out.reserve(digits.size());
    for (const char d : digits) {
        out.push_back(digitWord(d));
    }
    return out;
}

std::u32string ChineseNumber::decimal(std::string_view whole, std::string_view fraction) {
    std::u32string out = cardinal(whole);
    if (!fraction.empty()) {
        out.push_back(U'点');
        out += digitByDigit(fraction);
    }
    return out;
}

} // namespace velanote
