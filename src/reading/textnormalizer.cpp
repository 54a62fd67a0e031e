#include "reading/textnormalizer.h"

#include "reading/chinesenumber.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace velanote {

namespace {

using Use = ChineseNumber::Use;

struct Word {
    std::u32string_view written;
    std::u32string_view said;
};

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

// Units written after a number; the longer spelling of a prefix comes first.
constexpr Word kUnits[] = {
    {U"km/h", U"公里每小时"},
    {U"km²", U"平方公里"},
    {U"km2", U"平方公里"},
    {U"km", U"公里"},
    {U"KM", U"公里"},
    {U"kg", U"千克"},
    {U"KG", U"千克"},
    {U"Kg", U"千克"},
    {U"kWh", U"千瓦时"},
    {U"kW", U"千瓦"},
    {U"kw", U"千瓦"},
    {U"kcal", U"千卡"},
    {U"kHz", U"千赫"},
    {U"cm²", U"平方厘米"},
    {U"cm2", U"平方厘米"},
    {U"cm", U"厘米"},
    {U"mm", U"毫米"},
    {U"mg", U"毫克"},
    {U"ml", U"毫升"},
    {U"mL", U"毫升"},
    {U"ms", U"毫秒"},
    {U"mAh", U"毫安时"},
    {U"min", U"分钟"},
    {U"mph", U"英里每小时"},
    {U"m/s", U"米每秒"},
    {U"m²", U"平方米"},
    {U"m2", U"平方米"},
    {U"m³", U"立方米"},
    {U"m3", U"立方米"},
    {U"m", U"米"},
    {U"nm", U"纳米"},
    {U"μm", U"微米"},
    {U"g", U"克"},
    {U"L", U"升"},
    {U"l", U"升"},
    {U"s", U"秒"},
    {U"h", U"小时"},
    {U"t", U"吨"},
    {U"MHz", U"兆赫"},
    {U"GHz", U"吉赫"},
    {U"Hz", U"赫兹"},
    {U"W", U"瓦"},
    {U"V", U"伏"},
    {U"ft", U"英尺"},
    {U"inch", U"英寸"},
    {U"lb", U"磅"},
    {U"lbs", U"磅"},
    {U"oz", U"盎司"},
    {U"dB", U"分贝"},
    {U"°C", U"摄氏度"},
    {U"℃", U"摄氏度"},
    {U"°F", U"华氏度"},
    {U"℉", U"华氏度"},
    {U"°", U"度"},
    {U"USD", U"美元"},
    {U"RMB", U"元"},
    {U"CNY", U"元"},
    {U"HKD", U"港元"},
    {U"EUR", U"欧元"},
    {U"GBP", U"英镑"},
    {U"JPY", U"日元"},
    {U"AUD", U"澳元"},
};

// Currency signs and codes written before an amount.
constexpr Word kCurrencies[] = {
    {U"HK$", U"港元"},   {U"US$", U"美元"},    {U"AU$", U"澳元"}, {U"A$", U"澳元"},  {U"C$", U"加元"},
    {U"NT$", U"新台币"}, {U"S$", U"新加坡元"}, {U"$", U"美元"},   {U"¥", U"元"},     {U"￥", U"元"},
    {U"€", U"欧元"},     {U"£", U"英镑"},      {U"₩", U"韩元"},   {U"USD", U"美元"}, {U"RMB", U"元"},
    {U"CNY", U"元"},     {U"HKD", U"港元"},    {U"EUR", U"欧元"}, {U"GBP", U"英镑"}, {U"JPY", U"日元"},
    {U"AUD", U"澳元"},
};

// Measure words and units before which 2 is said 两 (两个, 两点, 两公里); 2 before anything else
// is counted (二楼, 二月 are names, not quantities).
constexpr std::u32string_view kMeasures[] = {
    U"个",   U"位",   U"名",   U"只",   U"条",   U"张", U"本",   U"件",   U"次",   U"回",   U"天",   U"岁",
    U"年",   U"周",   U"星期", U"小时", U"分钟", U"秒", U"钟头", U"斤",   U"公斤", U"千克", U"克",   U"吨",
    U"米",   U"公里", U"千米", U"里",   U"厘米", U"毫", U"升",   U"点",   U"倍",   U"种",   U"样",   U"对",
    U"双",   U"台",   U"辆",   U"架",   U"部",   U"份", U"杯",   U"碗",   U"瓶",   U"袋",   U"盒",   U"箱",
    U"包",   U"口",   U"头",   U"匹",   U"块",   U"元", U"角",   U"毛",   U"分",   U"把",   U"根",   U"支",
    U"枝",   U"朵",   U"棵",   U"颗",   U"粒",   U"片", U"艘",   U"座",   U"幢",   U"所",   U"扇",   U"顿",
    U"趟",   U"遍",   U"下",   U"声",   U"步",   U"段", U"节",   U"门",   U"批",   U"群",   U"套",   U"副",
    U"家",   U"间",   U"桌",   U"道",   U"场",   U"封", U"句",   U"首",   U"篇",   U"幅",   U"项",   U"章",
    U"集",   U"页",   U"行",   U"列",   U"排",   U"组", U"队",   U"户",   U"人",   U"晚",   U"夜",   U"餐",
    U"圈",   U"轮",   U"届",   U"百",   U"千",   U"万", U"亿",   U"平方", U"立方", U"英",   U"美元", U"欧元",
    U"英镑", U"港元", U"杯",   U"拨",   U"手",   U"笔", U"桶",   U"罐",   U"碟",   U"盘",   U"听",   U"季",
    U"代",   U"辈",   U"生",
};

// Words after a number that make it a name or a rank rather than a count (二月, 二号, 二楼, 二年级).
constexpr std::u32string_view kNamedAfter[] = {
    U"月", U"号", U"日", U"楼",   U"层", U"班", U"路",   U"期", U"级",   U"年级",
    U"等", U"栋", U"室", U"单元", U"床", U"版", U"号线", U"线", U"分之",
};

// Words around a four-digit number that make it a year without 年 (2027新年快乐, 喜迎2027).
constexpr std::u32string_view kYearAfter[] = {
    U"新年", U"元旦", U"春节", U"快乐", U"届", U"级", U"赛季", U"跨年", U"再见", U"你好", U"加油", U"见",
};
constexpr std::u32string_view kYearBefore[] = {
    U"迎接", U"喜迎", U"告别", U"再见", U"你好", U"拥抱", U"展望", U"跨入",
    U"迈入", U"走进", U"回顾", U"难忘", U"新年", U"Year", U"year",
};

// Words after a month.day that make it a holiday's name (6.1儿童节 六一儿童节, 5.1快乐 五一快乐).
constexpr std::u32string_view kHolidays[] = {
    U"节",   U"儿童",   U"劳动",   U"妇女", U"国庆", U"青年", U"建军",
    U"植树", U"黄金周", U"小长假", U"长假", U"假期", U"快乐",
};

// Numbers that stand for words by their sound, said digit by digit where they count nothing:
// 520 我爱你, 521, 1314 一生一世, 3344 生生世世, 9420 就是爱你, 666 (well done), 88 and 886 (bye).
constexpr std::string_view kSoundNumbers[] = {"520",  "521",  "1314", "5201314", "1314520",
                                              "3344", "9420", "666",  "88",      "886"};

// Words after which a number is a code, read digit by digit.
constexpr std::u32string_view kCodeWords[] = {
    U"电话",     U"手机", U"号码", U"尾号",   U"编号",   U"房间",   U"房号",   U"车次",   U"航班",
    U"拨打",     U"致电", U"热线", U"邮编",   U"卡号",   U"账号",   U"帐号",   U"密码",   U"验证码",
    U"工号",     U"学号", U"单号", U"QQ",     U"qq",     U"微信",   U"分机",   U"座机",   U"门牌",
    U"车牌",     U"代码", U"序号", U"批号",   U"证号",   U"身份证", U"拨",     U"呼叫",   U"传真",
    U"邮政编码", U"QQ号", U"qq号", U"微信号", U"手机号", U"电话号", U"房间号", U"车牌号", U"会员号",
};

// Words before a colon or dash between two numbers that make it a score (三比零), not a time.
constexpr std::u32string_view kScoreWords[] = {
    U"比分", U"比赛", U"获胜", U"战胜", U"击败", U"打败", U"大胜", U"险胜",
    U"战平", U"逆转", U"领先", U"落后", U"赢",   U"输",   U"以",   U"胜",
    U"负",   U"爆冷", U"终场", U"半场", U"决赛", U"比数", U"比例",
};

// Words after two numbers joined by a colon that make it a score (2:10获胜 二比十获胜).
constexpr std::u32string_view kScoreAfter[] = {
    U"获胜", U"取胜", U"胜出", U"战胜", U"击败", U"打败", U"大胜", U"险胜",   U"完胜",
    U"战平", U"落败", U"告负", U"输给", U"赢了", U"输了", U"赢得", U"的比分",
};

// Symbols said as words, where they stand between numbers or alone.
constexpr Word kSymbols[] = {
    {U"+", U"加"},     {U"=", U"等于"},     {U"÷", U"除以"},     {U"±", U"正负"}, {U"≈", U"约等于"},
    {U"≠", U"不等于"}, {U"≥", U"大于等于"}, {U"≤", U"小于等于"}, {U">", U"大于"}, {U"<", U"小于"},
    {U"%", U"百分号"}, {U"‰", U"千分号"},   {U"@", U"艾特"},     {U"&", U"和"},   {U"#", U"井号"},
};

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
        if (precededBy(k, kCodeWords) && !decimalFollows && total >= 3) {
            used = groups.size(); // 尾号1702, 电话：010-12345678
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
            words = ChineseNumber::cardinal(n.whole, Use::Ordinal) +
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
