#pragma once
#include <string_view>

// The words the text normaliser chooses by: units, currencies, measure words and the words around
// a number that tell how it is said. Included by the normaliser alone.
namespace velanote::normalizerwords {

// A way of writing something and what is said for it.
struct Word {
    std::u32string_view written;
    std::u32string_view said;
};

// Units written after a number; the longer spelling of a prefix comes first.
inline constexpr Word kUnits[] = {
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
inline constexpr Word kCurrencies[] = {
    {U"HK$", U"港元"},   {U"US$", U"美元"},    {U"AU$", U"澳元"}, {U"A$", U"澳元"},  {U"C$", U"加元"},
    {U"NT$", U"新台币"}, {U"S$", U"新加坡元"}, {U"$", U"美元"},   {U"¥", U"元"},     {U"￥", U"元"},
    {U"€", U"欧元"},     {U"£", U"英镑"},      {U"₩", U"韩元"},   {U"USD", U"美元"}, {U"RMB", U"元"},
    {U"CNY", U"元"},     {U"HKD", U"港元"},    {U"EUR", U"欧元"}, {U"GBP", U"英镑"}, {U"JPY", U"日元"},
    {U"AUD", U"澳元"},
};

// Measure words and units before which 2 is said 两 (两个, 两点, 两公里); 2 before anything else
// is counted (二楼, 二月 are names, not quantities).
inline constexpr std::u32string_view kMeasures[] = {
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
inline constexpr std::u32string_view kNamedAfter[] = {
    U"月", U"号", U"日", U"楼",   U"层", U"班", U"路",   U"期", U"级",   U"年级",
    U"等", U"栋", U"室", U"单元", U"床", U"版", U"号线", U"线", U"分之",
};

// Words around a four-digit number that make it a year without 年 (2027新年快乐, 喜迎2027).
inline constexpr std::u32string_view kYearAfter[] = {
    U"新年", U"元旦", U"春节", U"快乐", U"届", U"级", U"赛季", U"跨年", U"再见", U"你好", U"加油", U"见",
};
inline constexpr std::u32string_view kYearBefore[] = {
    U"迎接", U"喜迎", U"告别", U"再见", U"你好", U"拥抱", U"展望", U"跨入",
    U"迈入", U"走进", U"回顾", U"难忘", U"新年", U"Year", U"year",
};

// Words after a month.day that make it a holiday's name (6.1儿童节 六一儿童节, 5.1快乐 五一快乐).
inline constexpr std::u32string_view kHolidays[] = {
    U"节",   U"儿童",   U"劳动",   U"妇女", U"国庆", U"青年", U"建军",
    U"植树", U"黄金周", U"小长假", U"长假", U"假期", U"快乐",
};

// Numbers that stand for words by their sound, said digit by digit where they count nothing:
// 520 我爱你, 521, 1314 一生一世, 3344 生生世世, 9420 就是爱你, 666 (well done), 88 and 886 (bye).
inline constexpr std::string_view kSoundNumbers[] = {"520",  "521",  "1314", "5201314", "1314520",
                                                     "3344", "9420", "666",  "88",      "886"};

// Words after which a number is a code, read digit by digit.
inline constexpr std::u32string_view kCodeWords[] = {
    U"电话",     U"手机",   U"号码",   U"尾号",   U"编号",   U"房间",   U"房号",   U"车次",   U"航班",
    U"拨打",     U"致电",   U"热线",   U"邮编",   U"卡号",   U"账号",   U"帐号",   U"密码",   U"验证码",
    U"工号",     U"学号",   U"单号",   U"QQ",     U"qq",     U"微信",   U"分机",   U"座机",   U"门牌",
    U"车牌",     U"代码",   U"序号",   U"批号",   U"证号",   U"身份证", U"拨",     U"呼叫",   U"传真",
    U"邮政编码", U"QQ号",   U"qq号",   U"微信号", U"手机号", U"电话号", U"房间号", U"车牌号", U"会员号",
    U"单元",     U"取件码", U"取货码", U"提货码", U"取餐码", U"取件号", U"邀请码", U"兑换码",
};

// Words after which a number of three digits or more is a room, read digit by digit (1201房间).
inline constexpr std::u32string_view kRoomWords[] = {U"房间", U"室", U"号房"};

// Words after which a public service number is a number to call (打120, 火警119, 报警110).
inline constexpr std::u32string_view kServiceWords[] = {U"打", U"火警", U"报警", U"急救", U"匪警", U"交警"};

// Words after which two numbers joined by a slash are a blood pressure (血压130/85), not a fraction.
inline constexpr std::u32string_view kPressureWords[] = {U"血压", U"高压"};

// Public service numbers, read digit by digit after a word that calls them (打120, 打110报警).
inline constexpr std::string_view kServiceNumbers[] = {"110",   "119",   "120",   "122",   "114",
                                                       "12315", "12345", "12306", "10086", "10010"};

// Words before a colon or dash between two numbers that make it a score (三比零), not a time.
inline constexpr std::u32string_view kScoreWords[] = {
    U"比分", U"比赛", U"获胜", U"战胜", U"击败", U"打败", U"大胜", U"险胜",
    U"战平", U"逆转", U"领先", U"落后", U"赢",   U"输",   U"以",   U"胜",
    U"负",   U"爆冷", U"终场", U"半场", U"决赛", U"比数", U"比例",
};

// Words after two numbers joined by a colon that make it a score (2:10获胜 二比十获胜).
inline constexpr std::u32string_view kScoreAfter[] = {
    U"获胜", U"取胜", U"胜出", U"战胜", U"击败", U"打败", U"大胜", U"险胜",   U"完胜",
    U"战平", U"落败", U"告负", U"输给", U"赢了", U"输了", U"赢得", U"的比分",
};

// Symbols said as words, where they stand between numbers or alone.
inline constexpr Word kSymbols[] = {
    {U"+", U"加"},     {U"=", U"等于"},     {U"÷", U"除以"},     {U"±", U"正负"}, {U"≈", U"约等于"},
    {U"≠", U"不等于"}, {U"≥", U"大于等于"}, {U"≤", U"小于等于"}, {U">", U"大于"}, {U"<", U"小于"},
    {U"%", U"百分号"}, {U"‰", U"千分号"},   {U"@", U"艾特"},     {U"&", U"和"},   {U"#", U"井号"},
};

} // namespace velanote::normalizerwords
