#include "reading/textnormalizer.h"

#include "reading/chinesenumber.h"
#include "reading/normalizerwords.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace velanote {

namespace {

using Use = ChineseNumber::Use;
using namespace normalizerwords;

bool isDigit(char32_t c) {
    return c >= U'0' && c <= U'9';
}

bool isLetter(char32_t c) {
    return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z');
}

bool isIdeograph(char32_t c) {
    return (c >= 0x3400 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0x20000 && c <= 0x3FFFF);
}

// Full-width forms (！ to ～) as ASCII, dashes and the minus sign as '-', the wide blank as ' '.
char32_t narrowed(char32_t c) {
    if (c >= 0xFF01 && c <= 0xFF5E) {
        return c - 0xFF01 + 0x21;
    }
    if (c == 0x2212 || c == 0x2013) {
        return U'-';
    }
    return c == 0x3000 ? U' ' : c;
}

bool contains(std::u32string_view set, char32_t c) {
    return c != 0 && set.find(c) != std::u32string_view::npos;
}

// One pass over a text, writing what is said into `out`.
class Scanner {
public:
    explicit Scanner(std::u32string_view original) : original_(original) {
        s_.reserve(original.size());
        for (const char32_t c : original) {
            s_.push_back(narrowed(c));
        }
        out_.reserve(original.size() * 2);
    }

    std::u32string run() {
        while (i_ < s_.size()) {
            if (number() || money() || symbol()) {
                continue;
            }
            const char32_t c = s_[i_];
            out_.push_back(isLetter(c) || isDigit(c) ? c : original_[i_]);
            ++i_;
        }
        return std::move(out_);
    }

private:
    struct Number {
        std::size_t begin = 0;
        std::size_t end = 0;
        std::string whole;
        std::string fraction;
        bool point = false;
    };

    char32_t at(std::size_t k) const { return k < s_.size() ? s_[k] : 0; }
    char32_t before(std::size_t k) const { return k > 0 && k <= s_.size() ? s_[k - 1] : 0; }

    std::size_t digitsFrom(std::size_t k) const {
        while (k < s_.size() && isDigit(s_[k])) {
            ++k;
        }
        return k;
    }

    std::string ascii(std::size_t begin, std::size_t end) const {
        std::string digits;
        for (std::size_t k = begin; k < end; ++k) {
            digits.push_back(static_cast<char>(s_[k]));
        }
        return digits;
    }

    static unsigned value(const std::string& digits) {
        unsigned v = 0;
        for (const char d : digits.substr(0, 9)) {
            v = v * 10 + static_cast<unsigned>(d - '0');
        }
        return v;
    }

    bool startsWith(std::size_t k, std::u32string_view word) const {
        return k <= s_.size() && std::u32string_view(s_).substr(k).starts_with(word);
    }

    template <std::size_t N> bool followedBy(std::size_t k, const std::u32string_view (&words)[N]) const {
        return std::any_of(std::begin(words), std::end(words),
                           [&](std::u32string_view w) { return startsWith(k, w); });
    }

    // Whether one of `words` ends just before k, allowing a few linking characters in between
    // (尾号是, 电话：).
    template <std::size_t N> bool precededBy(std::size_t k, const std::u32string_view (&words)[N]) const {
        for (int skipped = 0; skipped < 3 && k > 0 && contains(U" :：是为", s_[k - 1]); ++skipped) {
            --k;
        }
        const std::u32string_view head = std::u32string_view(s_).substr(0, k);
        return std::any_of(std::begin(words), std::end(words),
                           [&](std::u32string_view w) { return head.ends_with(w); });
    }

    // The longest unit at k that no further letter continues.
    const Word* unitAt(std::size_t k) const {
        const Word* best = nullptr;
        for (const Word& u : kUnits) {
            if (startsWith(k, u.written) && !isLetter(at(k + u.written.size())) &&
                (best == nullptr || u.written.size() > best->written.size())) {
                best = &u;
            }
        }
        return best;
    }

    std::optional<Number> numberAt(std::size_t k) const {
        if (!isDigit(at(k))) {
            return std::nullopt;
        }
        Number n;
        n.begin = k;
        std::size_t e = digitsFrom(k);
        n.whole = ascii(k, e);
        // 1,234,567: groups of three after ASCII commas only (a Chinese comma separates a list).
        if (n.whole.size() <= 3 && n.whole[0] != '0') {
            std::size_t g = e;
            std::string grouped = n.whole;
            while (g < original_.size() && original_[g] == U',' && digitsFrom(g + 1) == g + 4) {
                grouped += ascii(g + 1, g + 4);
                g += 4;
            }
            if (g != e && !isDigit(at(g))) {
                n.whole = grouped;
                e = g;
            }
        }
        if (at(e) == U'.' && isDigit(at(e + 1))) {
            const std::size_t f = digitsFrom(e + 1);
            n.fraction = ascii(e + 1, f);
            n.point = true;
            e = f;
        }
        n.end = e;
        return n;
    }

    // How a number between `begin` and `end` is used, from the words around it.
    Use useAround(std::size_t begin, std::size_t end) const {
        const char32_t previous = before(begin);
        const std::u32string_view head = std::u32string_view(s_).substr(0, begin);
        const bool weekday = previous == U'周' || head.ends_with(U"星期") || head.ends_with(U"礼拜");
        // 周2 is Tuesday, but 每周2次 counts.
        if (contains(U"第初", previous) || (weekday && !followedBy(end, kMeasures))) {
            return Use::Ordinal;
        }
        if (followedBy(end, kNamedAfter) && !startsWith(end, U"日元")) {
            return Use::Ordinal;
        }
        // The minutes and seconds of 三点二分 are counted.
        if (contains(U"点时分", previous)) {
            return Use::Quantity;
        }
        std::size_t k = end;
        if (at(k) == U' ') {
            ++k;
        }
        if (const Word* unit = unitAt(k)) {
            return std::any_of(std::begin(kMeasures), std::end(kMeasures),
                               [unit](std::u32string_view m) { return unit->said.starts_with(m); })
                       ? Use::Measure
                       : Use::Quantity;
        }
        return followedBy(end, kMeasures) ? Use::Measure : Use::Quantity;
    }

    std::u32string said(const Number& n, Use use) const {
        if (n.point) {
            return ChineseNumber::decimal(n.whole, n.fraction);
        }
        if ((n.whole.size() > 1 && n.whole[0] == '0') || n.whole.size() > 17) {
            return ChineseNumber::digitByDigit(n.whole);
        }
        return ChineseNumber::cardinal(n.whole, use);
    }

    void emit(std::u32string_view words) { out_ += words; }

    // Drops the blanks written just before a word that joins two numbers.
    void trimBlanks() {
        while (!out_.empty() && out_.back() == U' ') {
            out_.pop_back();
        }
    }

    std::size_t skipBlanks(std::size_t k) const {
        while (at(k) == U' ') {
            ++k;
        }
        return k;
    }

    // A sign in front of a number: '-' where no number or word ends just before it.
    bool isSignAt(std::size_t k) const {
        std::size_t p = k;
        while (p > 0 && s_[p - 1] == U' ') {
            --p;
        }
        const char32_t previous = before(p);
        return at(k) == U'-' && isDigit(at(k + 1)) && !isDigit(previous) && !isLetter(previous) &&
               !contains(U")%.年月日号点分秒", previous);
    }

    bool number() {
        std::size_t k = i_;
        bool negative = false;
        if (isSignAt(k)) {
            negative = true;
            ++k;
        } else if (!isDigit(at(k))) {
            return false;
        }
        std::size_t letters = k;
        while (isLetter(before(letters))) {
            --letters;
        }
        if (!negative && letters < k && !isDigit(before(letters))) {
            // A code after letters (G1234, CA981) is read digit by digit; a short one (MP3) counted.
            const std::size_t e = digitsFrom(k);
            emit(e - k >= 3 ? ChineseNumber::digitByDigit(ascii(k, e))
                            : ChineseNumber::cardinal(ascii(k, e)));
            i_ = e;
            return true;
        }
        if (!negative && (digitString(k) || address(k) || date(k) || time(k))) {
            return true;
        }
        if (fraction(k, negative)) {
            return true;
        }
        quantity(k, negative);
        return true;
    }

    // Phone numbers and codes: digits in groups joined by '-' or a blank, said one by one.
    bool digitString(std::size_t k) {
        std::vector<std::pair<std::size_t, std::size_t>> groups{{k, digitsFrom(k)}};
        while (contains(U"- ", at(groups.back().second)) && isDigit(at(groups.back().second + 1)) &&
               groups.size() < 4) {
            const std::size_t begin = groups.back().second + 1;
            const std::size_t end = digitsFrom(begin);
            if (at(groups.back().second) == U' ' && end - begin < 3) {
                break;
            }
            groups.emplace_back(begin, end);
        }
        const auto length = [&](std::size_t g) { return groups[g].second - groups[g].first; };
        std::size_t total = 0;
        for (std::size_t g = 0; g < groups.size(); ++g) {
            total += length(g);
        }
        const char32_t first = at(k);
        const bool decimalFollows = at(groups[0].second) == U'.' && isDigit(at(groups[0].second + 1));
        const bool mobile =
            groups.size() >= 3 && first == U'1' && total == 11 && length(0) == 3; // 138-1234-5678
        const bool service = groups.size() >= 3 && length(0) == 3 && (first == U'4' || first == U'8') &&
                             ascii(groups[0].first + 1, groups[0].second) == "00" && length(1) == 3 &&
                             length(2) == 4; // 400-123-4567
        std::size_t used = 0;                // groups said digit by digit; none: not a phone number
        const bool room = groups.size() == 1 && total >= 3 && followedBy(groups[0].second, kRoomWords);
        const bool serviceCall = groups.size() == 1 && precededBy(k, kServiceWords) &&
                                 !contains(U"分元块个次天年月日号点%‰", at(groups[0].second)) &&
                                 std::find(std::begin(kServiceNumbers), std::end(kServiceNumbers),
                                           ascii(k, groups[0].second)) != std::end(kServiceNumbers);
        if ((precededBy(k, kCodeWords) && !decimalFollows && total >= 3) || room || serviceCall) {
            used = groups.size(); // 尾号1702, 电话：010-12345678, 1201房间, 打120
        } else if (length(0) == 11 && first == U'1' && at(k + 1) >= U'3') {
            used = 1; // a mobile number
        } else if (mobile || service) {
            used = 3;
        } else if (groups.size() >= 2 && first == U'0' && (length(0) == 3 || length(0) == 4) &&
                   (length(1) == 7 || length(1) == 8) && at(groups[0].second) == U'-') {
            used = 2; // 010-12345678
        }
        if (used == 0) {
            return false;
        }
        for (std::size_t g = 0; g < used; ++g) {
            emit(ChineseNumber::digitByDigit(ascii(groups[g].first, groups[g].second)));
        }
        i_ = groups[used - 1].second;
        return true;
    }

    // Addresses and versions with several points (192.168.1.1, 1.2.3): each part digit by digit.
    bool address(std::size_t k) {
        std::vector<std::pair<std::size_t, std::size_t>> parts{{k, digitsFrom(k)}};
        while (at(parts.back().second) == U'.' && isDigit(at(parts.back().second + 1))) {
            const std::size_t begin = parts.back().second + 1;
            parts.emplace_back(begin, digitsFrom(begin));
        }
        if (parts.size() < 3 || (parts.size() == 3 && isDateAt(k))) {
            return false;
        }
        for (std::size_t p = 0; p < parts.size(); ++p) {
            if (p > 0) {
                emit(U"点");
            }
            emit(ChineseNumber::digitByDigit(ascii(parts[p].first, parts[p].second)));
        }
        i_ = parts.back().second;
        return true;
    }

    static bool isMonth(unsigned m) { return m >= 1 && m <= 12; }
    static bool isDay(unsigned d) { return d >= 1 && d <= 31; }

    bool isDateAt(std::size_t k) const {
        const std::size_t e1 = digitsFrom(k);
        const char32_t sep = at(e1);
        const std::size_t e2 = digitsFrom(e1 + 1);
        const std::size_t e3 = digitsFrom(e2 + 1);
        return contains(U"-/.·", sep) && e2 > e1 + 1 && at(e2) == sep && e3 > e2 + 1 &&
               (e1 - k == 4 || e1 - k == 2) && isMonth(value(ascii(e1 + 1, e2))) &&
               isDay(value(ascii(e2 + 1, e3))) && e2 - e1 <= 3 && e3 - e2 <= 3;
    }

    void emitDate(const std::string& year, const std::string& month, const std::string& day) {
        if (!year.empty()) {
            emit(ChineseNumber::digitByDigit(year) + U"年");
        }
        if (!month.empty()) {
            emit(ChineseNumber::cardinal(month, Use::Ordinal) + U"月");
        }
        if (!day.empty()) {
            emit(ChineseNumber::cardinal(day, Use::Ordinal) + U"日");
        }
    }

    // 2026-12-08, 2026/12/8, 2026.12.08, 12/2/2, 08-08-2008; 2026-12, 12/2026; 08-08.
    bool date(std::size_t k) {
        const std::size_t e1 = digitsFrom(k);
        const char32_t sep = at(e1);
        if (!contains(U"-/.·", sep) || !isDigit(at(e1 + 1))) {
            return false;
        }
        const std::size_t e2 = digitsFrom(e1 + 1);
        const std::string a = ascii(k, e1);
        const std::string b = ascii(e1 + 1, e2);
        if (at(e2) == sep && isDigit(at(e2 + 1))) {
            const std::size_t e3 = digitsFrom(e2 + 1);
            const std::string c = ascii(e2 + 1, e3);
            if (isDateAt(k) && !isDigit(at(e3))) {
                emitDate(a, b, c);
                i_ = e3;
                return true;
            }
            if (a.size() <= 2 && b.size() <= 2 && c.size() == 4 && isMonth(value(a)) && isDay(value(b))) {
                emitDate(c, a, b);
                i_ = e3;
                return true;
            }
            return false;
        }
        const bool unitFollows = contains(U"万亿%‰", at(e2)) || unitAt(e2) != nullptr;
        if (unitFollows || isDigit(at(e2))) {
            return false;
        }
        const unsigned year = value(a);
        if (a.size() == 4 && b.size() <= 2 && isMonth(value(b)) && year >= 1000 && year < 3000 &&
            (sep != U'.' || (b.size() == 2 && year >= 1900 && year < 2100))) {
            emitDate(a, b, {});
        } else if (a.size() == 2 && a[0] == '0' && b.size() == 4 && isMonth(value(a))) {
            emitDate(b, a, {});
        } else if (a.size() == 2 && b.size() == 2 && (a[0] == '0' || b[0] == '0') && isMonth(value(a)) &&
                   isDay(value(b))) {
            emitDate({}, a, b);
        } else {
            return false;
        }
        i_ = e2;
        return true;
    }

    // 3:30 三点三十分, 8:05:09 八点零五分零九秒, 8:00 am 上午八点. Other colons between numbers are
    // said 比 by quantity(): a score or a ratio.
    bool time(std::size_t k) {
        const std::size_t he = digitsFrom(k);
        if (he - k > 2 || at(he) != U':' || precededBy(k, kScoreWords)) {
            return false;
        }
        const std::size_t me = digitsFrom(he + 1);
        const std::string hour = ascii(k, he);
        const std::string minute = ascii(he + 1, me);
        if (me - he != 3 || value(hour) > 24 || value(minute) > 59) {
            return false;
        }
        std::string second;
        std::size_t end = me;
        if (at(me) == U':' && digitsFrom(me + 1) == me + 3 && value(ascii(me + 1, me + 3)) <= 59) {
            second = ascii(me + 1, me + 3);
            end = me + 3;
        }
        if (isDigit(at(end)) || at(end) == U':' || followedBy(end, kScoreAfter)) {
            return false;
        }
        // am / a.m. / pm / p.m. after the time say which half of the day it is.
        const std::size_t m = skipBlanks(end);
        for (const auto& [written, half] :
             {std::pair(U"a.m.", U"上午"), std::pair(U"am", U"上午"), std::pair(U"AM", U"上午"),
              std::pair(U"A.M.", U"上午"), std::pair(U"p.m.", U"下午"), std::pair(U"pm", U"下午"),
              std::pair(U"PM", U"下午"), std::pair(U"P.M.", U"下午")}) {
            const std::u32string_view w = written;
            if (startsWith(m, w) && !isLetter(at(m + w.size()))) {
                if (value(hour) <= 12) {
                    emit(half);
                }
                end = m + w.size();
                break;
            }
        }
        emit(ChineseNumber::cardinal(hour, Use::Measure) + U"点");
        const auto sayPart = [this](const std::string& part, std::u32string_view unit) {
            emit(part[0] == '0' ? ChineseNumber::digitByDigit(part) : ChineseNumber::cardinal(part));
            emit(unit);
        };
        if (!second.empty()) {
            sayPart(minute == "00" ? std::string("0") : minute, U"分");
            if (second != "00" || minute == "00") {
                sayPart(second == "00" ? std::string("0") : second, U"秒");
            }
        } else if (minute != "00") {
            sayPart(minute, U"分");
        }
        i_ = end;
        // 9:00-17:00 九点到十七点
        const std::size_t h = i_ + 1;
        if (contains(U"-~", at(i_)) && isDigit(at(h)) &&
            (at(h + 1) == U':' || (isDigit(at(h + 1)) && at(h + 2) == U':'))) {
            emit(U"到");
            ++i_;
        }
        return true;
    }

    // 1/2 二分之一, -1/3 负三分之一, 1 / 2; a date was tried before.
    bool fraction(std::size_t k, bool negative) {
        const std::size_t e = digitsFrom(k);
        std::size_t slash = e;
        if (at(slash) == U' ' && at(slash + 1) == U'/' && at(slash + 2) == U' ') {
            ++slash;
        }
        if (at(slash) != U'/') {
            return false;
        }
        std::size_t d = slash + 1;
        if (at(d) == U' ' && slash > e) {
            ++d;
        }
        const std::size_t de = digitsFrom(d);
        if (de == d || at(de) == U'.' || value(ascii(d, de)) == 0 || at(k) == U'0') {
            return false;
        }
        if (!negative && precededBy(k, kPressureWords)) {
            // a blood pressure (血压130/85): the two values one after the other
            emit(ChineseNumber::cardinal(ascii(k, e)) + ChineseNumber::cardinal(ascii(d, de)));
            i_ = de;
            return true;
        }
        if (negative) {
            emit(U"负");
        }
        emit(ChineseNumber::cardinal(ascii(d, de)) + U"分之" + ChineseNumber::cardinal(ascii(k, e)));
        i_ = de;
        unitAfter();
        return true;
    }

    // A unit right after a number (or one blank after it).
    bool unitAfter() {
        std::size_t k = i_;
        if (at(k) == U' ' && isLetter(at(k + 1))) {
            ++k;
        }
        if (const Word* unit = unitAt(k)) {
            emit(unit->said);
            i_ = k + unit->written.size();
            return true;
        }
        return false;
    }

    bool isTemperatureAt(std::size_t k) const {
        const Word* unit = unitAt(k);
        return (unit != nullptr && unit->said.ends_with(U"度")) || at(k) == U'度';
    }

    // Any other number: a count, a year, a percentage, a decimal, with its unit, and what joins it
    // to the next number (到 in a range, 比 in a score, 减 in a sum).
    void quantity(std::size_t k, bool negative) {
        const Number n = *numberAt(k);
        std::size_t e = n.end;
        const bool percent = at(e) == U'%' || at(e) == U'‰';
        if (negative && !isTemperatureAt(e)) {
            emit(U"负");
        } else if (negative && !std::u32string_view(out_).ends_with(U"零下")) {
            emit(U"零下"); // -5℃ 零下五摄氏度; 零下-5℃ says it once
        }
        if (percent) {
            emit(at(e) == U'%' ? U"百分之" : U"千分之");
            emit(said(n, Use::Quantity));
            i_ = e + 1;
            joinNext(n);
            return;
        }
        std::optional<Number> rangeEnd;
        if (contains(U"-~到至", at(e)) && isDigit(at(e + 1))) {
            rangeEnd = numberAt(e + 1);
        }
        // Two years in a range need no 年 (2026-2027 二零二六到二零二七).
        const auto isYear = [](const Number& y) {
            return !y.point && y.whole.size() == 4 && value(y.whole) >= 1900 && value(y.whole) < 2100;
        };
        // The end of a range of years (2026-2027): four digits before the dash too.
        const bool endsYears = contains(U"-~到至", before(k)) && k >= 5 && digitsFrom(k - 5) == k - 1 &&
                               !isDigit(before(k - 5)) && isYear(*numberAt(k - 5)) && isYear(n) &&
                               !followedBy(e, kMeasures) && unitAt(e) == nullptr;
        const bool yearFollows = at(e) == U'年' || endsYears ||
                                 (rangeEnd && rangeEnd->whole.size() == 4 && n.whole.size() == 4 &&
                                  (at(rangeEnd->end) == U'年' ||
                                   (isYear(n) && isYear(*rangeEnd) && !followedBy(rangeEnd->end, kMeasures) &&
                                    unitAt(rangeEnd->end) == nullptr)));
        if (yearFollows && !n.point) {
            const bool era = std::u32string_view(s_).substr(0, k).ends_with(U"公元") ||
                             std::u32string_view(s_).substr(0, k).ends_with(U"公元前") ||
                             std::u32string_view(s_).substr(0, k).ends_with(U"纪元");
            const std::size_t month = digitsFrom(e + 1);
            const bool monthFollows = month > e + 1 && at(month) == U'月';
            // A year is said digit by digit: 2027年 二零二七年, 05年 零五年, 98年8月 九八年八月.
            if (n.whole.size() == 4 || (n.whole.size() >= 3 && era) ||
                (n.whole.size() == 2 && (n.whole[0] == '0' || monthFollows))) {
                emit(ChineseNumber::digitByDigit(n.whole));
                i_ = e;
                joinNext(n);
                return;
            }
        }
        if (spokenAsName(n, k, e, rangeEnd.has_value() || negative)) {
            return;
        }
        // A generation by birth decade: 90后 九零后, 00后 零零后.
        if (at(e) == U'后' && n.whole.size() == 2 && !n.point && (n.whole[1] == '0' || n.whole[0] == '0') &&
            !isDigit(before(k))) {
            emit(ChineseNumber::digitByDigit(n.whole));
            i_ = e;
            return;
        }
        // 周2 星期6: the day of the week, 7 being Sunday.
        if (n.whole == "7" && !n.point &&
            (before(k) == U'周' || std::u32string_view(s_).substr(0, k).ends_with(U"星期"))) {
            emit(U"日");
            i_ = e;
            return;
        }
        // A leading zero before a date or time part is silent (08月 八月); elsewhere it makes a code.
        Number shown = n;
        if (!n.point && n.whole.size() > 1 && n.whole[0] == '0' && contains(U"月日号点时分秒", at(e))) {
            shown.whole = n.whole.substr(n.whole.find_first_not_of('0') == std::string::npos
                                             ? n.whole.size() - 1
                                             : n.whole.find_first_not_of('0'));
        }
        const std::size_t followerEnd = rangeEnd ? rangeEnd->end : e;
        const Use use = useAround(k, followerEnd);
        emit(said(shown, use));
        i_ = e;
        if (rangeEnd && at(rangeEnd->end) == U'%' && at(e) == U'-') {
            // 3-5% 百分之三到百分之五
            out_.insert(out_.size() - said(shown, use).size(), U"百分之");
        }
        if (!unitAfter() && at(i_) == U'#') {
            emit(U"号"); // 3#楼 三号楼
            ++i_;
        }
        joinNext(n);
    }

    // Numbers said as names rather than amounts: a year standing alone (2027新年快乐 二零二七), a
    // year of an era (2934ad 公元二九三四年), a holiday (6.1儿童节 六一), a discount (9.5折 九五折)
    // and numbers that stand for words by their sound (520 五二零).
    bool spokenAsName(const Number& n, std::size_t k, std::size_t e, bool joined) {
        if (joined || isDigit(before(k)) || before(k) == U'第') {
            return false;
        }
        std::u32string words;
        std::size_t end = e;
        if (!n.point) {
            const unsigned v = value(n.whole);
            const bool yearLike = n.whole.size() == 4 && v >= 1900 && v < 2100;
            for (const auto& [written, era] :
                 {std::pair(U"a.d.", U"公元"), std::pair(U"A.D.", U"公元"), std::pair(U"ad", U"公元"),
                  std::pair(U"AD", U"公元"), std::pair(U"b.c.", U"公元前"), std::pair(U"B.C.", U"公元前"),
                  std::pair(U"bc", U"公元前"), std::pair(U"BC", U"公元前")}) {
                const std::u32string_view w = written;
                if (words.empty() && startsWith(e, w) && !isLetter(at(e + w.size()))) {
                    words = era;
                    words += ChineseNumber::digitByDigit(n.whole);
                    words += U"年";
                    end = e + w.size();
                }
            }
            if (words.empty() && yearLike && (followedBy(e, kYearAfter) || precededBy(k, kYearBefore))) {
                words = ChineseNumber::digitByDigit(n.whole);
            }
            if (words.empty() &&
                std::find(std::begin(kSoundNumbers), std::end(kSoundNumbers), n.whole) !=
                    std::end(kSoundNumbers) &&
                useAround(k, e) != Use::Measure && unitAt(e) == nullptr &&
                !contains(U"%‰年月日号点个元块", at(e))) {
                words = ChineseNumber::digitByDigit(n.whole);
            }
        } else if (at(e) == U'折' && n.whole.size() == 1) {
            words = ChineseNumber::digitByDigit(n.whole + n.fraction);
        } else if (isMonth(value(n.whole)) && n.whole[0] != '0' && n.fraction.size() <= 2 &&
                   n.fraction[0] != '0' && isDay(value(n.fraction)) && followedBy(e, kHolidays)) {
            // 5.20 is the day of 520 我爱你 and said like it.
            const bool sound = std::find(std::begin(kSoundNumbers), std::end(kSoundNumbers),
                                         n.whole + n.fraction) != std::end(kSoundNumbers);
            words = sound ? ChineseNumber::digitByDigit(n.whole + n.fraction)
                          : ChineseNumber::cardinal(n.whole, Use::Ordinal) +
                                ChineseNumber::cardinal(n.fraction, Use::Ordinal);
        }
        if (words.empty()) {
            return false;
        }
        emit(words);
        i_ = end;
        return true;
    }

    // What joins a number to the number after it.
    void joinNext(const Number& n) {
        const char32_t c = at(i_);
        if (!isDigit(at(i_ + 1)) && !(c == U'~' && at(i_ + 1) == U' ' && isDigit(at(i_ + 2)))) {
            return;
        }
        const std::size_t next = at(i_ + 1) == U' ' ? i_ + 2 : i_ + 1;
        if (c == U'~') {
            emit(U"到");
            i_ = next;
            return;
        }
        if (c == U':') {
            emit(U"比"); // a score or a ratio: 3:0 三比零, 78:96
            i_ = next;
            return;
        }
        if (c != U'-') {
            return;
        }
        const Number m = *numberAt(next);
        if (at(skipBlanks(m.end)) == U'=') {
            emit(U"减"); // 5-3=2
        } else if (precededBy(n.begin, kScoreWords) ||
                   (!n.point && !m.point && n.whole.size() <= 3 && m.whole.size() <= 3 &&
                    value(n.whole) >= value(m.whole) && !followedBy(m.end, kMeasures) &&
                    unitAt(m.end) == nullptr && at(m.end) != U'%')) {
            emit(U"比"); // a range runs upwards: 2-2 and 3-1 are scores
        } else {
            emit(U"到");
        }
        i_ = next;
    }

    // $20 二十美元, ¥1.25 一点二五元, HK$3.5万, $100-500.
    bool money() {
        if (isLetter(before(i_))) {
            return false;
        }
        const Word* currency = nullptr;
        for (const Word& c : kCurrencies) {
            if (startsWith(i_, c.written) &&
                (currency == nullptr || c.written.size() > currency->written.size())) {
                currency = &c;
            }
        }
        if (currency == nullptr) {
            return false;
        }
        std::size_t k = i_ + currency->written.size();
        if (at(k) == U' ') {
            ++k;
        }
        const std::optional<Number> amount = numberAt(k);
        if (!amount) {
            return false;
        }
        std::size_t e = amount->end;
        const auto multipliers = [this](std::size_t from) {
            while (contains(U"百千万亿", at(from))) {
                ++from;
            }
            return from;
        };
        std::u32string words = said(*amount, Use::Measure);
        if (contains(U"-~到至", at(e)) && isDigit(at(e + 1))) {
            const Number upper = *numberAt(e + 1);
            words += U"到" + said(upper, Use::Measure);
            e = upper.end;
        }
        const std::size_t end = multipliers(e);
        words += std::u32string_view(s_).substr(e, end - e);
        emit(words);
        if (!(currency->said == U"元" && contains(U"元块", at(end)))) {
            emit(currency->said);
        }
        i_ = end;
        return true;
    }

    bool symbol() {
        const char32_t c = s_[i_];
        const std::size_t previous = [this] {
            std::size_t k = i_;
            while (k > 0 && s_[k - 1] == U' ') {
                --k;
            }
            return k;
        }();
        const std::size_t next = skipBlanks(i_ + 1);
        const bool betweenNumbers = isDigit(before(previous)) && (isDigit(at(next)) || isSignAt(next));
        if (betweenNumbers && contains(U"×*xX-", c)) {
            trimBlanks();
            emit(c == U'-' ? U"减" : U"乘");
            i_ = next;
            return true;
        }
        if (c == U'-' && !isDigit(before(previous)) && startsWith(i_ + 1, U"百分之")) {
            emit(U"负"); // -百分之5
            ++i_;
            return true;
        }
        if (c == U'-' && contains(U"年月日号点分秒", before(i_)) && isDigit(at(i_ + 1))) {
            emit(U"到"); // 12月1日-5日
            ++i_;
            return true;
        }
        if (c == U'#' && isDigit(before(i_))) {
            emit(U"号");
            ++i_;
            return true;
        }
        if (c == U'~' || c == U'/') {
            // 10元/斤 十元每斤; a tilde after a sentence is only a tone of voice (快乐~).
            // Between words a tilde joins a range only after a number word (周一~周五, 一~三月).
            const bool spokenBefore =
                contains(U"一二三四五六七八九十百千万年月日号点分秒天", before(i_)) || isDigit(before(i_));
            const bool spokenAfter = isIdeograph(at(i_ + 1)) || isDigit(at(i_ + 1));
            if (c == U'~' && spokenBefore && spokenAfter) {
                emit(U"到");
            } else if (c == U'/' && isIdeograph(before(i_)) && isIdeograph(at(i_ + 1)) && i_ >= 2 &&
                       (isDigit(before(i_ - 1)) || isDigit(before(i_ - 2)))) {
                emit(U"每");
            } else {
                out_.push_back(U' ');
            }
            ++i_;
            return true;
        }
        for (const Word& w : kSymbols) {
            if (w.written[0] == c) {
                if (betweenNumbers) {
                    trimBlanks();
                    emit(w.said);
                    i_ = next;
                } else {
                    emit(w.said);
                    ++i_;
                }
                return true;
            }
        }
        return false;
    }

    std::u32string_view original_;
    std::u32string s_;
    std::u32string out_;
    std::size_t i_ = 0;
};

} // namespace

std::u32string TextNormalizer::normalize(std::u32string_view text) {
    return Scanner(text).run();
}

} // namespace velanote
