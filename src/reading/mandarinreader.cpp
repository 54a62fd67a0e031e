#include "reading/mandarinreader.h"

#include "reading/readingtable.h"
#include "reading/utf8.h"

#include <QByteArray>
#include <QCryptographicHash>

#include <algorithm>
#include <limits>

namespace velanote {

namespace {

// Bumped whenever a rule below changes what is read, so that no stored clip outlives it.
constexpr std::string_view kRulesVersion = "rules 6";

// What a word of the user's lexicon costs when the table lacks it, and what a corrected word costs
// at most: the user's words always win; a correction weighs at least as a common word.
constexpr std::uint32_t kUserWordCost = 0;
constexpr std::uint32_t kCorrectionCost = 700;
// Characters the context model leaves alone: 一 and 不, whose tones the rules give, and 好 and 给,
// whose rarer readings live in words of their own (爱好, 好奇; 给予, 供给) and which the model,
// trained on encyclopedia sentences, would read so in greetings (好久不见 hao4, 请给孩子 ji3).
constexpr std::u32string_view kLexiconSettles = U"一不好给";

// Corrected single characters whose correction is only a default: in a sentence the context model
// may read them otherwise (为 wei2 "to be" in 选为市长; 为你 is a correction of its own).
constexpr std::u32string_view kContextMaySettle = U"为";

// Surnames read otherwise than the character mostly is, as they are read before a form of address
// (曾老师 zeng1, 单先生 shan4, 解经理 xie4) unless the character belongs to a word before it (了解老师).
constexpr std::u32string_view kSurnames = U"单曾解区仇查盖任朴缪翟覃召华燕葛宁纪薄乐秘";
constexpr const char* kSurnameReadings[] = {"shan4", "zeng1", "xie4",  "ou1",   "qiu2", "zha1",  "ge3",
                                            "ren2",  "piao2", "miao4", "zhai2", "qin2", "shao4", "hua4",
                                            "yan1",  "ge3",   "ning4", "ji3",   "bo2",  "yue4",  "bi4"};
static_assert(std::size(kSurnameReadings) == kSurnames.size());
constexpr std::u32string_view kFormsOfAddress[] = {
    U"老师", U"先生", U"女士", U"小姐", U"阿姨", U"叔叔", U"伯伯", U"爷爷", U"奶奶", U"大爷", U"大妈",
    U"大哥", U"大姐", U"总",   U"经理", U"老板", U"医生", U"大夫", U"教授", U"主任", U"校长", U"同学",
    U"师傅", U"书记", U"局长", U"部长", U"院长", U"董",   U"哥",   U"姐",   U"叔",   U"姨"};

// Particles that end a clause in speech, and their light readings there.
constexpr std::u32string_view kClauseParticles = U"啦哦咯嘞";
// Verbs that take 得到 as a complement of possibility (看得到, 买得到, 感觉得到).
constexpr std::u32string_view kVerbsOfPerceivingAndDoing = U"看听闻见觉做办找买吃收猜等拿摸碰遇赶用";
constexpr const char* kClauseParticleReadings[] = {"la5", "o5", "lo5", "lei5"};
static_assert(std::size(kClauseParticleReadings) == kClauseParticles.size());

// Characters read as a verb before an aspect particle (数了三遍, 长着大眼睛, 教过我), with that
// reading; as nouns or in words they read otherwise (数学, 长度, 教室).
constexpr std::u32string_view kVerbsBeforeAspect = U"数教盛铺缝削剥卷扇钻长种藏量系中";
constexpr const char* kVerbReadingsBeforeAspect[] = {"shu3",  "jiao1",  "cheng2", "pu1",   "feng2",  "xiao1",
                                                     "bao1",  "juan3",  "shan1",  "zuan1", "zhang3", "zhong4",
                                                     "cang2", "liang2", "ji4",    "zhong4"};
static_assert(std::size(kVerbReadingsBeforeAspect) == kVerbsBeforeAspect.size());

// Measure words and time units a count of 一 goes before (一次, 一个, 一天).
constexpr std::u32string_view kMeasureWords = U"次个回遍趟天本张件位名年月周日";

// A character found nowhere: costlier than any word, so that it stands alone only when it must.
constexpr std::uint32_t kUnknownCost = 3000;

unsigned toneOf(std::uint16_t code) {
    return code % 8u;
}

std::uint16_t withTone(std::uint16_t code, unsigned tone) {
    return static_cast<std::uint16_t>(code - code % 8u + tone);
}

bool contains(std::u32string_view set, char32_t c) {
    return set.find(c) != std::u32string_view::npos;
}

bool isDigitCharacter(char32_t c) {
    return contains(U"〇零一二三四五六七八九两", c);
}

// Whether 一 at `i`, after a digit, counts what follows rather than ending a number: after a digit
// that stands alone (科目二一次过, not 一百零一次 or 一九九一年) and before a measure word.
bool countsAfterALoneDigit(std::u32string_view text, std::size_t i) {
    const auto at = [text](std::size_t k) { return k < text.size() ? text[k] : char32_t{0}; };
    return i >= 1 && contains(U"一二三四五六七八九", text[i - 1]) &&
           (i < 2 || !(isDigitCharacter(text[i - 2]) || contains(U"百千万亿", text[i - 2]))) &&
           contains(U"次个回遍趟天本张件位名把", at(i + 1));
}

// Whether 地 after this text is the adverbial particle de rather than di "ground"; `lastWord` is
// how many characters the word before it has.
bool endsAdverbially(std::u32string_view before, std::size_t lastWord) {
    static const std::u32string_view adverbial[] = {
        U"认真", U"努力", U"仔细", U"高兴", U"开心", U"快乐", U"愉快", U"幸福", U"热情", U"积极",
        U"不断", U"大声", U"小心", U"耐心", U"用心", U"专心", U"安静", U"安心", U"真心", U"衷心",
        U"热烈", U"勇敢", U"自由", U"不停", U"尽情", U"拼命", U"主动", U"深情", U"轻松", U"温柔",
        U"飞快", U"迅速", U"紧张", U"激动", U"兴奋", U"顺利", U"默默", U"悄悄", U"静静", U"轻轻",
        U"好奇", U"得意", U"慈祥", U"满意", U"骄傲", U"甜蜜", U"温暖", U"亲切", U"自豪", U"感激",
        U"坚定", U"真诚", U"诚恳", U"由衷", U"无私", U"大胆", U"细心", U"精心", U"快速", U"礼貌"};
    const std::size_t n = before.size();
    if (lastWord >= 4 || (n >= 2 && before[n - 1] == before[n - 2]) ||
        (n >= 4 && before[n - 2] == U'一' && before[n - 4] == U'一' && before[n - 1] == before[n - 3])) {
        return true; // set phrases (兴高采烈地), doubled words (慢慢地, 高高兴兴地), 一天一天地
    }
    if ((lastWord >= 2 && contains(U"然般样", before[n - 1])) || (n >= 3 && before[n - 1] == U'性')) {
        return true; // 突然地, 一般地, 这样地, 创造性地
    }
    return std::any_of(std::begin(adverbial), std::end(adverbial),
                       [before](std::u32string_view word) { return before.ends_with(word); });
}

// Whether 不 at `i` stands between a verb and a complement of result or possibility (来不及, 听不懂,
// 做不到), where it is light: the complement is one that rarely follows a plain negation, and what
// comes before is no adverb, pronoun or demonstrative (他不到十岁, 只不过, 我不住这里).
bool inPotentialComplement(std::u32string_view text, std::size_t i, const ReadingTable& table) {
    if (i == 0 || i + 1 >= text.size() || !MandarinReader::isIdeograph(text[i - 1])) {
        return false;
    }
    const char32_t after = text[i + 1];
    const char32_t twoAfter = i + 2 < text.size() ? text[i + 2] : 0;
    if (after == U'了' && twoAfter == U'解') {
        return false; // 不了解: not understand
    }
    if (contains(U"来去", after) && contains(U"回出进过上下起合", text[i - 1])) {
        return true; // 回不去, 出不来, 合不来
    }
    if (after == U'开' && twoAfter != 0 && !contains(U"了你我他她它的吗呢啊吧", twoAfter)) {
        return false; // 不开心, 不开暖气: a plain negation; 离不开你, 想不开 are not
    }
    if (after == U'出' && contains(U"门差国", twoAfter)) {
        return false; // 不出门: a plain negation; 说不出口 is not
    }
    if (after == U'着') {
        std::vector<ReadingTable::Match> words;
        table.prefixes(text.substr(i + 1), words);
        if (std::any_of(words.begin(), words.end(),
                        [](const ReadingTable::Match& m) { return m.length >= 2; })) {
            return false; // 不着急, 不着凉: a plain negation of a word
        }
    }
    return contains(U"了起动懂完清及掉住透惯赢醒着到过开出", after) &&
           !contains(
               U"毫久决绝从永并也都还就再又更最很太真挺特非越愈却仍竟偏总已曾只你我他她它们咱这那谁天别么有多"
               U"会要能",
               text[i - 1]);
}

// Whether the rest of a clause after 为 says what is done for someone (为工作发愁, 为家人付出):
// then 为 is wei4, for.
bool forSomeone(std::u32string_view rest) {
    static const std::u32string_view efforts[] = {
        U"发愁", U"操心", U"担心", U"难过", U"伤心", U"生气", U"流泪", U"吵架", U"烦恼",
        U"发火", U"着想", U"付出", U"努力", U"奋斗", U"骄傲", U"高兴", U"自豪", U"加油",
        U"庆祝", U"祝福", U"干杯", U"祈祷", U"感到", U"欢呼", U"鼓掌"};
    return std::any_of(std::begin(efforts), std::end(efforts),
                       [rest](std::u32string_view w) { return rest.find(w) != std::u32string_view::npos; });
}

// Kinship terms whose doubled form reads the second syllable in the neutral tone (妈妈 ma1 ma5).
bool isDoubledKinTerm(char32_t c) {
    return contains(U"妈爸哥姐弟妹爷奶姥叔舅婶伯姑姨婆公", c);
}

// A mark some texts set around a character to point it out (发现▁了▁此): the words around it
// are read as if it were not there.
bool marksWithin(std::u32string_view text, std::size_t i) {
    std::size_t next = i;
    while (next < text.size() && text[next] == U'\u2581') {
        ++next;
    }
    return next > i && i > 0 && next < text.size() && MandarinReader::isIdeograph(text[next]);
}

bool isBlank(char32_t c) {
    return c == U' ' || c == U'\t' || c == U'\n' || c == U'\r';
}

// Punctuation may touch a syllable; anything else is kept apart from it by a blank.
bool isPunctuation(char32_t c) {
    return (c < 0x80 && c > 0x20 &&
            !((c >= U'0' && c <= U'9') || (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z'))) ||
           (c >= 0x2010 && c <= 0x206F) || (c >= 0x3000 && c <= 0x303F && c != 0x3007) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF01 && c <= 0xFF0F) || (c >= 0xFF1A && c <= 0xFF20) ||
           (c >= 0xFF3B && c <= 0xFF40) || (c >= 0xFF5B && c <= 0xFF65);
}

} // namespace

const std::vector<MandarinReader::Correction>& MandarinReader::corrections() {
    static const std::vector<Correction> list = {
        // Words whose everyday reading the lexicon lists beside a rarer one and which the choice
        // by character frequencies gets wrong.
        {"睡觉", "shui4 jiao4", "觉 is jue2 in most words, but jiao4 for sleep"},
        {"便宜", "pian2 yi5", "cheap; bian4 yi2 (convenient) is the rare sense"},
        {"角色", "jue2 se4", "the standard reading of role; jiao3 se4 is colloquial"},
        {"着急", "zhao2 ji2", "the lexicon's two readings tie; zhao1 is wrong here"},
        {"相应", "xiang1 ying4", "the lexicon's two readings of 应 tie; corresponding is ying4"},
        {"学习", "xue2 xi2", "the neutral xi5 the lexicon also gives is not the standard reading"},
        {"知道", "zhi1 dao4", "the full tone is the standard reading; dao5 is colloquial"},
        {"自然", "zi4 ran2", "nature, naturally; ran5 is only the adverb of speech"},
        {"精神", "jing1 shen2", "spirit, the common sense; shen5 means lively"},
        {"过去", "guo4 qu4", "the past, the common sense; qu5 only as a complement"},
        {"数一数", "shu3 yi5 shu3", "count them: 数 is the verb shu3, not the noun shu4"},
        {"都会", "dou1 hui4", "all will (我们都会); du1 hui4 is the rarer metropolis"},
        {"一觉", "yi2 jiao4", "a sleep (睡了一觉); 觉 jue2 is awareness"},
        {"好吗", "hao3 ma5", "the question tag (好吗？); 好 alone may be the verb hao4"},
        {"哈哈", "ha1 ha1", "laughter: both syllables keep the tone"},
        {"干活", "gan4 huo2", "work: 干 is the verb gan4 (幹); alone it is gan1, dry"},
        {"中的", "zhong1 de5", "in, of (心中的你); zhong4 di4, hitting the target, is the rare word"},
        {"那是", "na4 shi4", "that is: the copula keeps its tone"},
        {"爱好", "ai4 hao4", "hobby, to be fond of: hao4 in every sentence"},
        {"好学", "hao4 xue2", "fond of learning: hao4"},
        {"朝阳", "zhao1 yang2", "the morning sun of greetings (像朝阳一样); chao2 yang2 is facing the sun"},
        {"睡不着", "shui4 bu5 zhao2",
         "cannot fall asleep: 着 zhao2; the lexicon's zhao1 is no standard reading"},
        {"睡不着觉", "shui4 bu5 zhao2 jiao4", "cannot get to sleep: 觉 is sleep, jiao4"},
        {"别着凉", "bie2 zhao2 liang2", "don't catch cold: 别着 is not the word pin"},
        {"穿着", "chuan1 zhe5", "wearing: the aspect particle; chuan1 zhuo2 is only the noun dress"},
        {"拉着手", "la1 zhe5 shou3", "holding hands: not 着手, to set about"},
        {"长胖", "zhang3 pang4", "grow fat: 长 is the verb zhang3"},
        {"长个子", "zhang3 ge4 zi5", "grow taller: 长 is the verb zhang3"},
        {"背书包", "bei1 shu1 bao1", "carry a schoolbag: 背 on the back is bei1"},
        {"背着书包", "bei1 zhe5 shu1 bao1", "carrying a schoolbag: 背 on the back is bei1"},
        {"背不动", "bei1 bu5 dong4", "too heavy to carry: 背 on the back is bei1"},
        {"数到", "shu3 dao4", "count to: 数 is the verb shu3"},
        {"数星星", "shu3 xing1 xing5", "count the stars: 数 is the verb shu3"},
        {"一路同行", "yi2 lu4 tong2 xing2", "go together all the way; 同行 alone is a peer, tong2 hang2"},
        {"藏在", "cang2 zai4", "hide in: 藏 is the verb cang2"},
        {"晒干", "shai4 gan1", "dry in the sun: 干 is dry, gan1"},
        {"口干", "kou3 gan1", "a dry mouth: 干 is dry, gan1"},
        {"切开", "qie1 kai1", "cut open: 切 is the verb qie1"},
        {"切菜", "qie1 cai4", "cut vegetables: 切 is the verb qie1"},
        {"冲着", "chong4 zhe5", "towards, for the sake of: the preposition chong4"},
        {"当天", "dang4 tian1", "the same day: dang4"},
        {"重重地", "zhong4 zhong4 de5", "heavily: 重 is zhong4; 困难重重 is a word of its own"},
        {"中听", "zhong1 ting1", "pleasant to hear: zhong1"},
        {"姓曾", "xing4 zeng1", "the surname 曾 is zeng1"},
        {"看孩子", "kan1 hai2 zi5", "look after a child: 看 is kan1"},
        {"转了一圈", "zhuan4 le5 yi4 quan1", "went round once: 转 is zhuan4"},
        {"扇风", "shan1 feng1", "fan oneself: 扇 is the verb shan1"},
        {"扇扇子", "shan1 shan4 zi5", "wave a fan: the verb shan1, then the fan shan4"},
        {"还你", "huan2 ni3", "give you back (我还你十块钱): 还 is huan2"},
        {"为别人", "wei4 bie2 ren2", "for others: 为 before a person is wei4"},
        {"冲我", "chong4 wo3", "at me (冲我笑): the preposition chong4"},
        {"冲你", "chong4 ni3", "at you (冲你发脾气): the preposition chong4"},
        {"会还的", "hui4 huan2 de5", "will pay it back (我一定会还的): huan2"},
        {"论语", "lun2 yu3", "the Analects: lun2"},
        {"飞将", "fei1 jiang4", "the flying general (龙城飞将): jiang4"},
        {"假请", "jia4 qing3", "leave granted (假请下来了): 假 is leave, jia4"},
        {"处得挺好", "chu3 de5 ting3 hao3", "get along well: 处 is chu3"},
        {"处得很好", "chu3 de5 hen3 hao3", "get along well: 处 is chu3"},
        {"数了数", "shu3 le5 shu3", "counted: 数 is the verb shu3"},
        {"这一行", "zhe4 yi4 hang2", "this trade, this line: hang2"},
        {"落了", "luo4 le5", "fell (树叶落了): luo4; la4, left behind, is the rarer sense"},
        {"天都", "tian1 dou1", "every day (每天都): 都 is dou1; du1 (天都, a capital) is rare"},
        {"老公", "lao3 gong1", "husband; lao3 gong5 is an old word for a eunuch"},
        {"红红火火", "hong2 hong2 huo3 huo3", "prosperous: the doubled form keeps its tones"},
        {"日进斗金", "ri4 jin4 dou3 jin1", "a peck of gold a day: 斗 the measure is dou3"},
        {"吃嘛嘛香", "chi1 ma2 ma2 xiang1", "whatever one eats tastes good: 嘛 is ma2, what"},
        {"更上一层楼", "geng4 shang4 yi4 ceng2 lou2", "one storey higher: 一 counts and changes its tone"},
        {"一等奖", "yi1 deng3 jiang3", "first prize: 一 is the ordinal"},
        {"挨打", "ai2 da3", "be beaten: 挨 suffer is ai2; ai1 is next to"},
        {"挨饿", "ai2 e4", "go hungry: 挨 suffer is ai2"},
        {"挨骂", "ai2 ma4", "be scolded: 挨 suffer is ai2"},
        {"教我", "jiao1 wo3", "teach me: the verb 教 is jiao1"},
        {"教你", "jiao1 ni3", "teach you: the verb 教 is jiao1"},
        {"教他", "jiao1 ta1", "teach him: the verb 教 is jiao1"},
        {"教她", "jiao1 ta1", "teach her: the verb 教 is jiao1"},
        {"教给", "jiao1 gei3", "teach: the verb 教 is jiao1"},
        {"教孩子", "jiao1 hai2 zi5", "teach children: the verb 教 is jiao1"},
        {"系鞋带", "ji4 xie2 dai4", "tie shoelaces: 系 tie is ji4"},
        {"系领带", "ji4 ling3 dai4", "tie a tie: 系 tie is ji4"},
        {"钉扣子", "ding4 kou4 zi5", "sew on a button: the verb 钉 is ding4"},
        {"得贵子", "de2 gui4 zi3", "have a son (早得贵子): 得 obtain is de2"},
        {"太冲", "tai4 chong4", "too blunt: 冲 is chong4"},
        {"很冲", "hen3 chong4", "blunt, strong: 冲 is chong4"},
        {"划船", "hua2 chuan2", "row a boat: 划 is hua2"},
        {"放个假", "fang4 ge4 jia4", "take a holiday: 假 is jia4"},
        {"长了一岁", "zhang3 le5 yi2 sui4", "a year older: 长 is the verb zhang3"},
        {"为这个", "wei4 zhe4 ge5", "for this (为这个家): 为 is wei4"},
        {"为这些", "wei4 zhe4 xie1", "for these: 为 is wei4"},
        {"为那些", "wei4 na4 xie1", "for those (为那些人): 为 is wei4"},
        {"为我们", "wei4 wo3 men5", "for us: 为 before a person is wei4"},
        {"为自己", "wei4 zi4 ji3", "for oneself: 为 before a person is wei4"},
        {"小朋友", "xiao3 peng2 you5", "children: 朋友 keeps its light second syllable"},
        {"美的", "mei3 de5", "beautiful (最美的): the particle de5, not the brand"},
        {"量一量", "liang2 yi5 liang2", "measure: the verb 量 is liang2"},
        {"照看", "zhao4 kan4", "look after: zhao4 kan4, not 照 and 看孩子"},
        {"就当", "jiu4 dang4", "just treat as (就当是): dang4"},
        {"就当上", "jiu4 dang1 shang4", "then became (就当上了): dang1"},
        {"教会了", "jiao1 hui4 le5", "taught (教会了我): the verb 教 is jiao1, not the church"},
        {"教会我", "jiao1 hui4 wo3", "taught me: the verb 教 is jiao1"},
        {"教会你", "jiao1 hui4 ni3", "taught you: the verb 教 is jiao1"},
        {"教教", "jiao1 jiao5", "teach a little: the doubled verb jiao1"},
        {"大家子", "da4 jia1 zi5", "a big family (一大家子人): 家子 is light"},
        {"攒的", "zan3 de5", "saved up (攒的钱): 攒 is zan3; cuan2 is to gather (攒尖)"},
        {"攒了", "zan3 le5", "saved up: 攒 is zan3"},
        {"攒下", "zan3 xia4", "save up: 攒 is zan3"},
        {"倒水", "dao4 shui3", "pour water: 倒 is dao4"},
        {"待会儿", "dai1 hui4 er5", "in a moment: 待 is dai1"},
        {"屏住", "bing3 zhu4", "hold (the breath): 屏 is bing3"},
        {"星宿", "xing1 xiu4", "a constellation: 宿 is xiu4"},
        // Lines of poems and sayings that greetings quote, read as they are taught.
        {"报得三春晖", "bao4 de2 san1 chun1 hui1", "repay the spring sun: 得 is the verb de2"},
        {"愿得一心人", "yuan4 de2 yi4 xin1 ren2", "wish to win one true heart: 得 is de2"},
        {"方得始终", "fang1 de2 shi3 zhong1", "only then see it through: 得 is de2"},
        {"怎得", "zen3 de2", "how could one gain (怎得梅花扑鼻香): 得 is de2"},
        {"消得", "xiao1 de2", "be worth (消得人憔悴): 得 is de2"},
        {"为伊", "wei4 yi1", "for her (为伊消得人憔悴): 为 is wei4"},
        {"还复来", "huan2 fu4 lai2", "will come back (千金散尽还复来): 还 is huan2"},
        {"成蹊", "cheng2 xi1", "make a path (下自成蹊): 蹊 is xi1"},
        {"万重山", "wan4 chong2 shan1", "ten thousand hills (轻舟已过万重山): 重 is chong2"},
        {"一重山", "yi4 chong2 shan1", "one range of hills: 重 is chong2"},
        {"愿得一人心", "yuan4 de2 yi4 ren2 xin1", "wish to win one heart: 得 is de2"},
        {"不亦说乎", "bu2 yi4 yue4 hu1", "is it not a joy (the Analects): 说 stands for 悦, yue4"},
        {"著文章", "zhu4 wen2 zhang1", "write articles (妙手著文章): 著 is zhu4"},
        {"小得盈满", "xiao3 de2 ying2 man3", "a little fullness gained (the solar term 小满): de2"},
        {"得一知己", "de2 yi4 zhi1 ji3", "gain one true friend (人生得一知己足矣): de2"},
        {"忙种", "mang2 zhong4", "busy planting (芒种忙种): the verb zhong4"},
        {"修得同船渡", "xiu1 de2 tong2 chuan2 du4", "earned the same ferry (百年修得同船渡): de2"},
        {"修得共枕眠", "xiu1 de2 gong4 zhen3 mian2", "earned a shared pillow (千年修得共枕眠): de2"},
        {"终得一人心", "zhong1 de2 yi4 ren2 xin1", "won one heart at last: de2"},
        {"愿得此身长报国", "yuan4 de2 ci3 shen1 chang2 bao4 guo2", "wish to serve the country always: de2"},
        {"还来就菊花", "huan2 lai2 jiu4 ju2 hua1", "come back for the chrysanthemums: huan2"},
        {"春朝", "chun1 zhao1", "a spring morning (我言秋日胜春朝): zhao1"},
        {"少长咸集", "shao4 zhang3 xian2 ji2", "young and old all gathered: shao4 zhang3"},
        {"为屈原", "wei4 qu1 yuan2", "for Qu Yuan (the Dragon Boat Festival): wei4"},
        {"燕入", "yan4 ru4", "swallows fly in (燕入高堂): the swallow is yan4"},
        {"科目一", "ke1 mu4 yi1", "driving test part one: the number yi1"},
        {"一方有难", "yi4 fang1 you3 nan4", "when one place is in trouble: 难 is disaster, nan4"},
        {"为有源头活水来", "wei4 you3 yuan2 tou2 huo2 shui3 lai2", "because there is a spring: 为 is wei4"},
        {"问渠那得清如许", "wen4 qu2 na3 de2 qing1 ru2 xu3", "how can it be so clear: 那 is na3, 得 de2"},
        {"化坦途", "hua4 tan3 tu2", "turn into a smooth road (所行化坦途): hua4"},
        {"东西南北", "dong1 xi1 nan2 bei3", "the four directions: 西 keeps its tone"},
        {"处有人家", "chu4 you3 ren2 jia1", "households there (白云生处有人家): 家 is jia1"},
        {"纸上得来", "zhi3 shang4 de2 lai2", "learnt from books (纸上得来终觉浅): 得 is de2"},
        // Everyday words and phrases of greetings read wrongly by the lexicon or the model.
        {"合作伙伴", "he2 zuo4 huo3 ban4", "partners: not 作伙"},
        {"干一行", "gan4 yi4 hang2", "do a trade (干一行爱一行): the verb gan4"},
        {"长这么大", "zhang3 zhe4 me5 da4", "grown so big: 长 is grow, zhang3"},
        {"补觉", "bu3 jiao4", "catch up on sleep: 觉 is sleep, jiao4"},
        {"补个觉", "bu3 ge4 jiao4", "catch up on sleep: 觉 is sleep, jiao4"},
        {"种下", "zhong4 xia4", "plant (种下一颗种子): the verb zhong4"},
        {"种瓜", "zhong4 gua1", "plant melons (种瓜点豆): the verb zhong4"},
        {"调得", "tiao2 de5", "seasoned, tuned (味道调得真好): tiao2"},
        {"背太重", "bei1 tai4 zhong4", "carry too much: 背 on the back is bei1"},
        {"很称", "hen3 chen4", "suits well (很称你): chen4"},
        {"盛一碗", "cheng2 yi4 wan3", "ladle out a bowl: cheng2"},
        {"奔着", "ben4 zhe5", "head for (奔着目标去): ben4"},
        {"系好安全带", "ji4 hao3 an1 quan2 dai4", "fasten the seat belt: 系 is tie, ji4"},
        {"系安全带", "ji4 an1 quan2 dai4", "fasten the seat belt: 系 is tie, ji4"},
        {"这么着", "zhe4 me5 zhe5", "like this: 着 is the particle zhe5"},
        {"刚刚", "gang1 gang1", "just now: both syllables keep the tone"},
        {"下着雨", "xia4 zhe5 yu3", "it is raining: the particle zhe5, not 着雨 (caught in the rain)"},
        {"下着雪", "xia4 zhe5 xue3", "it is snowing: the particle zhe5"},
        {"晓燕", "xiao3 yan4", "a given name: the swallow, yan4"},
        {"和牌", "hu2 pai2", "win at mahjong: hu2"},
        {"瓜蔓", "gua1 wan4", "a melon vine: wan4"},
        {"涨红", "zhang4 hong2", "flush (涨红了脸): zhang4"},
        {"调好", "tiao2 hao3", "set right (闹钟调好了): 调 is adjust, tiao2"},
        {"调大", "tiao2 da4", "turn up (把字调大): tiao2"},
        {"调小", "tiao2 xiao3", "turn down: tiao2"},
        {"调高", "tiao2 gao1", "raise: tiao2"},
        {"调低", "tiao2 di1", "lower: tiao2"},
        {"落在车上", "la4 zai4 che1 shang5", "left in the car: 落 is la4"},
        {"落在家里", "la4 zai4 jia1 li5", "left at home: 落 is la4"},
        {"落在办公室", "la4 zai4 ban4 gong1 shi4", "left at the office: 落 is la4"},
        {"扎辫子", "za1 bian4 zi5", "tie plaits: 扎 is za1"},
        {"扎头发", "za1 tou2 fa5", "tie up one's hair: 扎 is za1"},
        {"哭号", "ku1 hao2", "wail: 号 is hao2"},
        {"黑发", "hei1 fa4", "black hair: 发 is hair, fa4"},
        {"别扭着", "bie2 niu3 zhe5", "don't twist (别扭着腰): not the word 别扭"},
        {"空落落", "kong1 luo4 luo4", "empty, forlorn: luo4"},
        {"有着落", "you3 zhuo2 luo4", "be settled: the word 着落, not 有着"},
        {"抽中", "chou1 zhong4", "win in a draw: 中 is hit, zhong4"},
        {"正中靶心", "zheng4 zhong4 ba3 xin1", "hit the bull's-eye: zhong4"},
        {"冲劲", "chong4 jin4", "drive, vigour: chong4"},
        {"连累", "lian2 lei3", "implicate: lei3"},
        {"下载", "xia4 zai3", "download: zai3"},
        {"作料", "zuo2 liao4", "seasoning: zuo2"},
        {"干了这杯", "gan1 le5 zhe4 bei1", "drink this up: 干 is gan1, as in 干杯"},
        {"累坏", "lei4 huai4", "worn out: 累 is tired, lei4"},
        {"衣服干了", "yi1 fu5 gan1 le5", "the clothes are dry: gan1; 干了 alone is work done"},
        {"头发干了", "tou2 fa5 gan1 le5", "the hair is dry: gan1"},
        {"被子干了", "bei4 zi5 gan1 le5", "the quilt is dry: gan1"},
        {"一晃", "yi4 huang3", "in a flash (一晃二十年): huang3"},
        {"干得", "gan4 de5", "done (干得漂亮, 干得好): the verb gan4"},
        {"漂漂亮亮", "piao4 piao4 liang4 liang4", "the doubled 漂亮: piao4"},
        {"炸鸡", "zha2 ji1", "fried chicken: deep-fry is zha2"},
        {"炸酱面", "zha2 jiang4 mian4", "noodles with fried sauce: zha2"},
        {"炸薯条", "zha2 shu3 tiao2", "French fries: zha2"},
        {"尝个鲜", "chang2 ge4 xian1", "taste something fresh: xian1"},
        {"数日子", "shu3 ri4 zi5", "count the days: 数 is the verb shu3"},
        {"都来", "dou1 lai2", "all come: 都 is dou1"},
        {"多分", "duo1 fen1", "and more points (三十多分): fen1"},
        {"冻着手", "dong4 zhao2 shou3", "chill one's hands (别冻着手): not 着手, to set about"},
        {"教得", "jiao1 de5", "teach (教得好): 教 is the verb jiao1"},
        {"吹干了", "chui1 gan1 le5", "blown dry: 干 is dry; 干了 alone is work done"},
        {"晾干了", "liang4 gan1 le5", "dried: 干 is dry; 干了 alone is work done"},
        {"晒干了", "shai4 gan1 le5", "dried in the sun: 干 is dry; 干了 alone is work done"},
        {"照得", "zhao4 de5", "shines so that (照得屏幕看不清): the complement particle"},
        {"头都", "tou2 dou1", "even the head (头都大了): 都 is dou1"},
        {"大一号", "da4 yi2 hao4", "one size larger: a count, not the ordinal No. 1"},
        {"小一号", "xiao3 yi2 hao4", "one size smaller: a count, not the ordinal No. 1"},
        {"当早饭", "dang4 zao3 fan4", "have as breakfast: 当 is treat as, dang4"},
        {"当午饭", "dang4 wu3 fan4", "have as lunch: 当 is treat as, dang4"},
        {"当晚饭", "dang4 wan3 fan4", "have as supper: 当 is treat as, dang4"},
        {"和好面", "huo2 hao3 mian4", "kneaded the dough: 和 is huo2"},
        {"包包子", "bao1 bao1 zi5", "make steamed buns: the verb 包, then 包子"},
        {"垃圾倒了", "la1 ji1 dao4 le5", "took out the rubbish: 倒 is empty out, dao4"},
        {"撒了一地", "sa3 le5 yi2 di4", "spilt all over the floor: scattering is sa3"},
        {"手把手地", "shou3 ba3 shou3 de5", "hand in hand: 地 is the adverb particle"},
        {"刀把", "dao1 ba4", "the handle of a knife: ba4"},
        {"华佗", "hua4 tuo2", "the physician Hua Tuo: the surname 华 is hua4"},
        {"华佗再世", "hua4 tuo2 zai4 shi4", "Hua Tuo come again: the surname 华 is hua4"},
        {"别落下", "bie2 la4 xia4", "don't leave anything behind: 落 is la4"},
        {"哪吒", "ne2 zha1", "the boy god Nezha: 哪 is ne2 only here"},
        {"秘鲁", "bi4 lu3", "Peru: 秘 is bi4 here"},
        {"燕京", "yan1 jing1", "an old name of Beijing: the state 燕 is yan1"},
        {"乖乖", "guai1 guai1", "obediently, darling: both syllables keep the tone"},
        {"白发", "bai2 fa4", "white hair: 发 is hair, fa4"},
        {"操点心", "cao1 dian3 xin1", "worry a little: not 点心, pastry"},
        {"加油干", "jia1 you2 gan4", "work hard: 干 is the verb gan4"},
        {"长出来", "zhang3 chu1 lai5", "grow out (牙长出来): 长 is the verb zhang3"},
        {"蒙的", "meng1 de5", "guessed (蒙的都对): 蒙 is meng1"},
        {"闷在", "men1 zai4", "stay cooped up (闷在家里): men1"},
        {"入行", "ru4 hang2", "enter a trade: hang2"},
        {"硕果累累", "shuo4 guo3 lei2 lei2", "fruit in heavy clusters: 累累 is lei2 lei2"},
        {"装模作样", "zhuang1 mo2 zuo4 yang4", "put on an act: 模 is mo2"},
        {"浑身解数", "hun2 shen1 xie4 shu4", "all one's tricks: 解数 is xie4 shu4"},
        {"勒紧", "lei1 jin3", "tie tight: 勒 is lei1"},
        {"毛肚", "mao2 du3", "tripe: 肚 as food is du3"},
        {"一场雨", "yi4 chang2 yu3", "a fall of rain: 场 for an occurrence is chang2"},
        {"一场梦", "yi4 chang2 meng4", "a dream: 场 for an occurrence is chang2"},
        {"两行泪", "liang3 hang2 lei4", "two lines of tears: 行 as the measure is hang2"},
        {"一担水", "yi2 dan4 shui3", "a load of water: 担 as the measure is dan4"},
        {"数钱", "shu3 qian2", "count money: 数 is the verb shu3"},
        {"数一下", "shu3 yi2 xia4", "count: 数 is the verb shu3"},
        {"长牙", "zhang3 ya2", "teethe: 长 is the verb zhang3"},
        {"长胡子", "zhang3 hu2 zi5", "grow a beard: 长 is the verb zhang3"},
        {"长肉", "zhang3 rou4", "put on flesh: 长 is the verb zhang3"},
        {"缝衣服", "feng2 yi1 fu5", "sew clothes: 缝 is the verb feng2"},
        {"缝扣子", "feng2 kou4 zi5", "sew on a button: 缝 is the verb feng2"},
        {"缝好", "feng2 hao3", "sewn up: 缝 is the verb feng2"},
        {"卷发", "juan3 fa4", "curly hair: 发 is hair, fa4"},
        {"短发", "duan3 fa4", "short hair: 发 is hair, fa4"},
        {"长发", "chang2 fa4", "long hair: 发 is hair, fa4"},
        {"理发店", "li3 fa4 dian4", "a barber's: 发 is hair, fa4"},
        {"硬朗", "ying4 lang5", "hale: the second syllable is light"},
        {"恶心", "e3 xin5", "sick, disgusting: e3 and a light second syllable"},
        {"生意兴隆", "sheng1 yi5 xing1 long2", "a thriving business: 生意 is business, sheng1 yi5"},
        {"请个假", "qing3 ge4 jia4", "ask for leave: 假 is jia4"},
        {"倒着", "dao4 zhe5", "upside down (福字倒着贴): dao4"},
        {"长了不少", "zhang3 le5 bu4 shao3", "grown a lot: 长 is the verb zhang3"},
        {"长见识", "zhang3 jian4 shi5", "learn more of the world: 长 is the verb zhang3"},
        {"长知识", "zhang3 zhi1 shi5", "gain knowledge: 长 is the verb zhang3"},
        {"背孩子", "bei1 hai2 zi5", "carry a child on the back: bei1"},
        {"粮囤", "liang2 dun4", "a grain bin: 囤 is dun4"},
        {"哗啦", "hua1 la1", "the sound of splashing: la1"},
        {"藏了", "cang2 le5", "hid: 藏 is the verb cang2"},
        {"晾干", "liang4 gan1", "dry in the air: 干 is dry, gan1"},
        {"量血压", "liang2 xue4 ya1", "take the blood pressure: the verb 量 is liang2"},
        {"量体温", "liang2 ti3 wen1", "take the temperature: the verb 量 is liang2"},
        {"理个发", "li3 ge4 fa4", "have a haircut: 发 is hair, fa4"},
        {"理发师", "li3 fa4 shi1", "a barber: 发 is hair, fa4"},
        {"睡个懒觉", "shui4 ge4 lan3 jiao4", "sleep in: 觉 is sleep, jiao4"},
        {"暖暖和和", "nuan3 nuan3 huo5 huo5", "nice and warm: 和 of 暖和 is huo"},
        {"一点一滴", "yi4 dian3 yi4 di1", "bit by bit: 一 counts, it is no decimal"},
        {"气氛", "qi4 fen1", "atmosphere: fen1 keeps its tone"},
        {"那边", "na4 bian1", "over there: bian1, as in 这边"},
        {"少东家", "shao4 dong1 jia1", "the young master: 少 young is shao4"},
        {"父亲大人", "fu4 qin1 da4 ren2", "the honorific 大人 is da4 ren2"},
        {"母亲大人", "mu3 qin1 da4 ren2", "the honorific 大人 is da4 ren2"},
        {"岳父大人", "yue4 fu4 da4 ren2", "the honorific 大人 is da4 ren2"},
        {"岳母大人", "yue4 mu3 da4 ren2", "the honorific 大人 is da4 ren2"},
        {"嗨", "hai1", "hi: the interjection hai1"},
        {"抹桌子", "ma1 zhuo1 zi5", "wipe the table: 抹 is ma1"},
        {"蒙蒙亮", "meng1 meng1 liang4", "first light: 蒙 is meng1"},
        {"还不完", "huan2 bu5 wan2", "cannot pay back in full: 还 is huan2"},
        {"还不清", "huan2 bu5 qing1", "cannot pay back in full: 还 is huan2"},
        {"好好干", "hao3 hao3 gan4", "work hard: 干 is the verb gan4"},
        {"长长了", "zhang3 chang2 le5", "has grown long (头发长长了): the verb zhang3, then long"},
        {"老地方", "lao3 di4 fang5", "the usual place: 地方 is a place, di4 fang5"},
        {"有空", "you3 kong4", "have free time: kong4"},
        {"乐乐", "le4 le4", "the pet name Lele"},
        {"老婆大人", "lao3 po5 da4 ren2", "my lady wife: 大人 the honorific is da4 ren2"},
        {"三省吾身", "san1 xing3 wu2 shen1", "examine oneself thrice: 省 is xing3"},
        // Common words the lexicon lacks, read wrongly character by character.
        {"閤家", "he2 jia1", "the whole family (閤家欢乐): 閤 spells 阖 here, not 阁"},
        {"松柏", "song1 bai3", "pine and cypress (松柏常青): the tree is bai3; bo2 is for 柏林"},
        {"柏拉图", "bo2 la1 tu2", "Plato: 柏 in foreign names is bo2"},
        {"撒上", "sa3 shang4", "sprinkle on: scattering is sa3; sa1 is letting go (撒手, 撒娇)"},
        {"撒满", "sa3 man3", "strewn all over: scattering is sa3"},
        {"撒下", "sa3 xia4", "scatter (撒下种子): sa3"},
        {"长大", "zhang3 da4", "grow up; 长 alone is chang2 (long)"},
        {"长高", "zhang3 gao1", "grow taller; 长 alone is chang2 (long)"},
        {"越长越", "yue4 zhang3 yue4", "the more one grows (越长越漂亮): 长 is the verb zhang3"},
        {"过得", "guo4 de5", "get on (过得好): the lexicon's de2 is no standard reading"},
        {"行业", "hang2 ye4", "trade, industry; 行 alone is xing2"},
        {"一月", "yi1 yue4", "January: 一 counts here and keeps its tone"},
        {"一号", "yi1 hao4", "the first (of a month): 一 counts here and keeps its tone"},
        {"睡个好觉", "shui4 ge4 hao3 jiao4", "have a good sleep; 觉 alone is jue2"},
        {"还给", "huan2 gei3", "give back; 还 alone is the adverb hai2"},
        {"血液", "xue4 ye4", "the lexicon prefers the colloquial xie3 of 血"},
        {"大夫", "dai4 fu5", "doctor, the common sense; da4 fu1 is an old title"},
        {"一帆风顺", "yi4 fan1 feng1 shun4", "the lexicon gives fan2, a regional reading of 帆"},
        {"开花结果", "kai1 hua1 jie1 guo3", "bear fruit: 结 is jie1 as a verb of plants"},
        // Words for which the lexicon also gives a neutral tone, chosen by default, that the
        // standard reading does not have.
        {"各自", "ge4 zi4", "each, not the suffix zi5"},
        {"心愿", "xin1 yuan4", "wish; yuan4 keeps its tone"},
        {"开发", "kai1 fa1", "develop; fa1 keeps its tone"},
        {"运动", "yun4 dong4", "sport, movement; dong4 keeps its tone"},
        {"基本上", "ji1 ben3 shang4", "basically; shang4 keeps its tone"},
        {"力度", "li4 du4", "strength; du4 keeps its tone"},
        {"开通", "kai1 tong1", "open up; tong1 keeps its tone"},
        {"聚会", "ju4 hui4", "gathering; hui4 keeps its tone"},
        {"顺序", "shun4 xu4", "order; xu4 keeps its tone"},
        {"见证", "jian4 zheng4", "witness; zheng4 keeps its tone"},
        {"实在", "shi2 zai4", "really, the common sense; zai5 only for honest"},
        {"实际上", "shi2 ji4 shang4", "in fact; shang4 keeps its tone, as in 基本上"},
        // Words most speakers say with a full tone where dictionaries give the neutral one.
        {"枇杷", "pi2 pa2", "loquat: pi2 pa2 in speech; the sentences labelled for the model agree"},
        {"铃铛", "ling2 dang1", "bell: ling2 dang1 in speech; the sentences labelled for the model agree"},
        // Characters standing alone, where the lexicon's percentages tie or favour a sense that
        // occurs mostly inside words the table already holds.
        {"着", "zhe5", "alone it is the aspect particle (看着); 着急 and 睡着 are words"},
        {"著", "zhe5", "traditional spelling of the particle 着; 著名 and 著作 are words"},
        {"得", "de5", "alone it is the complement particle (跑得快); 得到 and 得分 are words"},
        {"吧", "ba5", "alone it is the sentence particle; 酒吧 is a word"},
        {"呢", "ne5", "alone it is the sentence particle; 呢子 is a word"},
        {"为", "wei4", "alone it means for; 成为 and 认为 are words, and context may make it wei2 (是)"},
        {"为你", "wei4 ni3", "for you: 为 before a person is wei4, whatever the context"},
        {"为您", "wei4 nin2", "for you: 为 before a person is wei4, whatever the context"},
        {"为我", "wei4 wo3", "for me: 为 before a person is wei4, whatever the context"},
        {"为他", "wei4 ta1", "for him: 为 before a person is wei4, whatever the context"},
        {"为她", "wei4 ta1", "for her: 为 before a person is wei4, whatever the context"},
        {"为大家", "wei4 da4 jia1", "for everyone: 为 before a person is wei4, whatever the context"},
        {"应", "ying1", "alone it means should; 答应 and 反应 are words"},
        {"相", "xiang1", "alone it means each other; 照相 and 真相 are words"},
        {"差", "cha4", "alone it means poor (很差); 出差 and 差不多 are words"},
        {"调", "diao4", "alone it is a tune or a transfer; 空调 is a word"},
        {"地", "di4", "the ground; the particle de is found by the rule for adverbs"},
        {"哦", "o4", "the interjection of understanding; e2 is a literary reading"},
        {"好", "hao3", "alone it is good or so (好想你); hao4, to be fond of, lives in words (爱好, 好奇)"},
        {"累", "lei4", "alone it is tired (累了); lei3 lives in words (积累, 累计)"},
        {"薄", "bao2", "alone it is thin (衣服太薄了); bo2 lives in words (薄弱, 单薄)"},
    };
    return list;
}

void MandarinReader::Layer::add(std::u32string key, std::vector<std::uint16_t> readings) {
    longest = std::max(longest, static_cast<unsigned>(key.size()));
    words[std::move(key)] = std::move(readings);
}

bool MandarinReader::isIdeograph(char32_t c) {
    return c == 0x3007 || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0x20000 && c <= 0x3FFFF);
}

MandarinReader::MandarinReader(const ReadingTable& table, const UserLexicon& user,
                               const PolyphoneModel* model)
    : table_(table), model_(model != nullptr && !model->empty() ? model : nullptr) {
    QCryptographicHash hash(QCryptographicHash::Sha1);
    const auto addText = [&hash](std::string_view text) {
        hash.addData(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
        hash.addData(QByteArrayView("\n"));
    };
    addText(kRulesVersion);
    addText(table.digest());
    addText(model_ != nullptr ? model_->digest() : "no model");
    const auto addCorrection = [&](std::string_view word, std::string_view reading) {
        std::vector<std::uint16_t> readings;
        std::string_view rest = reading;
        while (!rest.empty()) {
            const std::size_t blank = rest.find(' ');
            const std::string_view syllable = rest.substr(0, blank);
            rest = blank == std::string_view::npos ? std::string_view() : rest.substr(blank + 1);
            if (const auto code = table.code(syllable)) {
                readings.push_back(*code);
            }
        }
        const std::u32string key = folded(*utf8::decode(word));
        if (readings.size() == key.size()) {
            corrections_.add(key, std::move(readings));
        }
        addText(word);
        addText(reading);
    };
    for (const Correction& c : corrections()) {
        addCorrection(c.word, c.reading);
    }
    for (const UserLexicon::Word& w : user.words) {
        user_.add(folded(w.text), w.readings);
        addText(utf8::encode(w.text));
        for (const std::uint16_t code : w.readings) {
            addText(table.spell(code));
        }
    }
    for (const UserLexicon::LatinWord& w : user.latinWords) {
        userLatin_[w.text] = w.said;
        addText(utf8::encode(w.text));
        addText(w.said);
    }
    digest_ = hash.result().toHex().toStdString();
}

std::string MandarinReader::userReading(std::u32string_view latinWord) const {
    const auto it = userLatin_.find(std::u32string(latinWord));
    return it == userLatin_.end() ? std::string() : it->second;
}

std::shared_ptr<const MandarinReader> MandarinReader::builtIn() {
    static const auto reader = std::make_shared<const MandarinReader>(ReadingTable::builtIn());
    return reader;
}

std::u32string MandarinReader::folded(std::u32string_view text) const {
    std::u32string out(text);
    for (char32_t& c : out) {
        c = table_.fold(c);
    }
    return out;
}

std::vector<MandarinReader::Segment> MandarinReader::segment(std::u32string_view text,
                                                             bool wholeWords) const {
    // The least costly way to cut the text into words: cost[i] covers text[0, i).
    constexpr std::uint64_t unreached = std::numeric_limits<std::uint64_t>::max();
    const std::size_t n = text.size();
    std::vector<std::uint64_t> cost(n + 1, unreached);
    std::vector<Segment> via(n + 1);
    cost[0] = 0;
    std::vector<ReadingTable::Match> matches;
    std::vector<Segment> candidates;
    for (std::size_t i = 0; i < n; ++i) {
        if (cost[i] == unreached) {
            continue;
        }
        const std::u32string_view rest = text.substr(i);
        table_.prefixes(rest, matches);
        candidates.clear();
        std::vector<std::uint32_t> costs;
        // The index of the candidate of this length, made (and priced as unknown) if new.
        const auto candidate = [&](unsigned length) -> std::size_t {
            for (std::size_t k = 0; k < candidates.size(); ++k) {
                if (candidates[k].length == length) {
                    return k;
                }
            }
            candidates.push_back(Segment{i, length, {}, false, false});
            costs.push_back(kUnknownCost);
            return candidates.size() - 1;
        };
        for (const ReadingTable::Match& m : matches) {
            if (m.composed && !wholeWords) {
                continue;
            }
            const std::size_t k = candidate(m.length);
            candidates[k].readings.assign(m.readings, m.readings + m.length);
            candidates[k].composed = m.composed;
            candidates[k].mainland = m.mainland;
            costs[k] = m.cost;
        }
        for (const Layer* layer : {&corrections_, &user_}) {
            for (unsigned length = 1; length <= std::min<std::size_t>(layer->longest, rest.size());
                 ++length) {
                const auto it = layer->words.find(std::u32string(rest.substr(0, length)));
                if (it == layer->words.end()) {
                    continue;
                }
                const bool known = std::any_of(candidates.begin(), candidates.end(),
                                               [length](const Segment& c) { return c.length == length; });
                const std::size_t k = candidate(length);
                candidates[k].readings = it->second;
                candidates[k].composed = false;
                candidates[k].fromUser = layer == &user_;
                candidates[k].corrected = layer == &corrections_;
                if (candidates[k].fromUser && !known) {
                    costs[k] = kUserWordCost;
                } else if (!candidates[k].fromUser && length > 1) {
                    costs[k] = std::min(costs[k], kCorrectionCost);
                }
            }
        }
        if (candidates.empty() || std::none_of(candidates.begin(), candidates.end(),
                                               [](const Segment& s) { return s.length == 1; })) {
            candidate(1); // passed through as it is
        }
        for (std::size_t k = 0; k < candidates.size(); ++k) {
            const std::size_t end = i + candidates[k].length;
            if (cost[i] + costs[k] < cost[end]) {
                cost[end] = cost[i] + costs[k];
                via[end] = candidates[k];
            }
        }
    }
    std::vector<Segment> segments;
    for (std::size_t end = n; end > 0; end = via[end].start) {
        segments.push_back(via[end]);
    }
    std::reverse(segments.begin(), segments.end());
    return segments;
}

MandarinReader::Surroundings MandarinReader::surroundings(std::u32string_view text, std::size_t start,
                                                          std::size_t end) {
    return {text.size(), start > 0 ? text[start - 1] : 0, end < text.size() ? text[end] : 0};
}

PolyphoneModel::Context MandarinReader::context(std::u32string_view text,
                                                const std::vector<Segment>& segments, std::size_t k,
                                                std::size_t at, const Surroundings& around,
                                                std::string& lexiconReading) const {
    const Segment& s = segments[k];
    lexiconReading = table_.spell(s.readings[at - s.start]);
    PolyphoneModel::Context x;
    x.run = text;
    x.at = at;
    x.wordStart = s.start;
    x.wordLength = s.length;
    x.settled = s.length > 1 && s.mainland;
    x.textLength = around.textLength;
    x.before = around.before;
    x.after = around.after;
    if (k > 0) {
        x.previousWord = text.substr(segments[k - 1].start, segments[k - 1].length);
    }
    if (k + 1 < segments.size()) {
        x.nextWord = text.substr(segments[k + 1].start, segments[k + 1].length);
    }
    x.lexiconReading = lexiconReading;
    return x;
}

void MandarinReader::expand(std::u32string_view text, std::vector<Segment>& segments) const {
    std::vector<Segment> out;
    out.reserve(segments.size());
    for (Segment& s : segments) {
        if (!s.composed) {
            out.push_back(std::move(s));
            continue;
        }
        for (Segment& part : segment(text.substr(s.start, s.length), false)) {
            part.start += s.start;
            out.push_back(std::move(part));
        }
    }
    segments = std::move(out);
}

char32_t MandarinReader::RunView::at(std::size_t i, int offset) const {
    const std::size_t k = i + static_cast<std::size_t>(offset);
    return k < text.size() ? text[k] : 0; // wraps around below 0, so also 0 there
}

unsigned MandarinReader::RunView::nextTone(std::size_t i) const {
    return i + 1 < text.size() && syllable[i + 1] != nullptr ? toneOf(*syllable[i + 1]) : 0;
}

void MandarinReader::applyRules(std::u32string_view text, std::vector<Segment>& segments,
                                const Surroundings& around) const {
    expand(text, segments);
    const std::size_t n = text.size();
    RunView run{text, std::vector<std::uint16_t*>(n, nullptr), std::vector<const Segment*>(n, nullptr),
                std::vector<bool>(n, false)};
    for (Segment& s : segments) {
        for (unsigned i = 0; i < s.length && !s.readings.empty(); ++i) {
            run.syllable[s.start + i] = s.readings[i] == 0 ? nullptr : &s.readings[i];
            run.alone[s.start + i] = !s.fromUser && s.length == 1;
            run.owner[s.start + i] = &s;
        }
    }
    if (model_ != nullptr) {
        applyModel(run, segments, around);
    }
    applyCharacterRules(run);
    applySurnames(run);
}

void MandarinReader::applyModel(RunView& run, const std::vector<Segment>& segments,
                                const Surroundings& around) const {
    // Not in the user's words and the corrections, nor for the characters the lexicon and the rules
    // settle alone.
    std::string lexiconReading;
    for (std::size_t k = 0; k < segments.size(); ++k) {
        const Segment& s = segments[k];
        const bool fixed = s.corrected && (s.length > 1 || !contains(kContextMaySettle, run.text[s.start]));
        if (s.fromUser || fixed || s.readings.empty()) {
            continue;
        }
        for (std::size_t at = s.start; at < s.start + s.length; ++at) {
            if (run.syllable[at] == nullptr || contains(kLexiconSettles, run.text[at])) {
                continue;
            }
            const std::string_view chosen =
                model_->choose(context(run.text, segments, k, at, around, lexiconReading));
            // A neutral tone the lexicon gives (认识 ren4 shi5) is how the word is spoken; the
            // model only weighs which syllable the character is. A clause never opens with a
            // neutral tone, though: there the character is no particle (啊，我们).
            const char32_t beyond = PolyphoneModel::edgeKind(around.before);
            const bool opensClause = at == 0 && beyond != U'0' && beyond != U'a';
            const bool onlyTone = !opensClause && lexiconReading.back() == '5' &&
                                  chosen.substr(0, chosen.size() - 1) ==
                                      std::string_view(lexiconReading).substr(0, lexiconReading.size() - 1);
            if (chosen.size() >= 2 && chosen != lexiconReading && !onlyTone) {
                if (const auto code = table_.code(chosen)) {
                    *run.syllable[at] = *code;
                }
            }
        }
    }
}

void MandarinReader::applyCharacterRules(RunView& run) const {
    const std::u32string_view text = run.text;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (run.syllable[i] == nullptr || run.owner[i]->fromUser) {
            continue;
        }
        std::uint16_t& code = *run.syllable[i];
        const char32_t c = text[i];
        const char32_t before = run.at(i, -1);
        const char32_t after = run.at(i, 1);
        // Between a doubled verb (看一看, 数一数) or in a yes-no question (要不要), 一 and 不 are
        // light, whether the lexicon holds the phrase (with the tone they would take alone) or not;
        // not in a count that repeats (一天一天). So is 不 before a complement (来不及).
        const bool betweenDoubles = (c == U'一' || c == U'不') && before == after && before != 0 &&
                                    before != c && run.at(i, -2) != c && !isDigitCharacter(before) &&
                                    !(c == U'一' && isDigitCharacter(run.at(i, 2))); // 数一数二 counts
        // 得 of a complement of possibility (看得到, 听得见) is light too; 得到 alone is obtain.
        const bool lightComplement =
            (c == U'不' && run.owner[i]->length <= 3 && inPotentialComplement(text, i, table_)) ||
            (c == U'得' && contains(U"到见", after) && run.owner[i] == run.owner[i + 1] &&
             contains(kVerbsOfPerceivingAndDoing, before));
        if (betweenDoubles || lightComplement) {
            code = withTone(code, 5);
        } else if (c == U'得' && after == U'了' &&
                   contains(U"第冠金一二三四五六七八九十奖满", run.at(i, 2))) {
            code = table_.code("de2").value_or(code); // won (得了第一名, 得了二等奖)
        } else if (c == U'得' && before == U'可' && after != 0 && !contains(U"了到意", after) &&
                   run.at(i, -2) != U'手') {
            code = table_.code("dei3").value_or(code); // must (你可得来, 可得好好养着); not 唾手可得
        } else if (c == U'了' && before == U'不' && inPotentialComplement(text, i - 1, table_)) {
            code = table_.code("liao3").value_or(code); // the complement of possibility (来不了)
        } else if (c == U'一' && contains(U"百千万亿", after) && !isDigitCharacter(before) &&
                   before != U'十' && run.nextTone(i) != 0) {
            code = withTone(code, run.nextTone(i) == 4 ? 2 : 4); // 一百, 一万, 第一百 count like 一个
        } else if (c == U'一' && !run.alone[i] && run.owner[i]->start == i &&
                   (before == U'十' || before == U'第')) {
            code = withTone(code, 1); // a word that begins with the last digit of a number (二十一个)
        } else if (c == U'不' && toneOf(code) != 5 && run.nextTone(i) != 0) {
            // before the syllable that follows, whether in the word or not (不识君, 不得不佩服)
            code = withTone(code, run.nextTone(i) == 4 || run.nextTone(i) == 5 ? 2 : 4);
        } else if (c == U'给' && !run.owner[i]->mainland && run.owner[i]->length == 2 &&
                   table_.spell(code) == "ji3") {
            // ji3 in two characters only in the words of the mainland list (给予, 供给); Terra
            // Pinyin's 不给 and 请给 would take over every 不给糖 and 请给孩子
            code = table_.code("gei3").value_or(code);
        } else if (c == U'干' && after == U'了' && run.at(i, 2) == 0 &&
                   (before == 0 || text.substr(0, i).find(U'杯') != std::u32string_view::npos)) {
            code = table_.code("gan1").value_or(code); // the toast (干了！, 这杯我干了); 干了十年 is work
        } else if (run.alone[i]) {
            code = aloneReading(run, i).value_or(code);
        }
    }
    // Doubled kinship terms (妈妈, 爷爷), whether the lexicon holds them or not; not a third in a row.
    for (std::size_t i = 1; i < text.size(); ++i) {
        if (run.syllable[i] != nullptr && text[i] == text[i - 1] && isDoubledKinTerm(text[i]) &&
            run.at(i, -2) != text[i] && !run.owner[i]->fromUser) {
            *run.syllable[i] = withTone(*run.syllable[i], 5);
        }
    }
}

std::optional<std::uint16_t> MandarinReader::aloneReading(const RunView& run, std::size_t i) const {
    const std::u32string_view text = run.text;
    const std::uint16_t code = *run.syllable[i];
    const char32_t c = text[i];
    const char32_t before = run.at(i, -1);
    const char32_t after = run.at(i, 1);
    const unsigned next = run.nextTone(i);
    // Whether a 把 standing alone comes before (把我们当自己的孩子, 把钥匙落在家里).
    const auto afterBa = [&run, i] {
        return std::any_of(run.owner.begin(), run.owner.begin() + static_cast<std::ptrdiff_t>(i),
                           [&run](const Segment* s) {
                               return s != nullptr && s->length == 1 && run.text[s->start] == U'把';
                           });
    };
    if (c == U'一') {
        // yi1 when counted or last; else by the next tone. 星期一, 周一, 礼拜一 (but not 每周一次)
        // and a date's day (三月一日) are ordinals too; a count in a larger number (第一百) or of one
        // or two (一两天) changes like any other.
        const bool counted = next == 0 || (before == U'第' && !contains(U"百千万亿", after)) ||
                             before == U'十' || (isDigitCharacter(after) && after != U'两') ||
                             (isDigitCharacter(before) && !countsAfterALoneDigit(text, i)) ||
                             (after == U'点' && isDigitCharacter(run.at(i, 2))) ||
                             (contains(U"期周拜", before) && !contains(kMeasureWords, after)) ||
                             before == U'初' || (before == U'月' && contains(U"日号", after)) ||
                             (after == U'单' && run.at(i, 2) == U'元'); // 一单元, the first block
        return withTone(code, counted ? 1 : next == 4 || next == 5 ? 2 : 4);
    }
    if (c == U'得' && (before == 0 || contains(U"你我他她它们咱家还也就都总在又才先定", before)) &&
        next != 0 && !contains(U"了过着到", after)) {
        // between who must, or the start of a clause, and what must be done (你得早点睡, 坏了，得找人
        // 来修): have to
        return table_.code("dei3");
    }
    if (c == U'儿' && contains(U"这那哪会点玩事味活块边头今明月空信门画", before)) {
        return table_.code(
            "er5"); // erhua (玩儿, 这儿, 一点儿, 月儿, 有空儿); not in names (瑚儿), and 女儿 is a word
    }
    if (c == U'当' && afterBa()) {
        return table_.code("dang4"); // treat as (把我们当自己的孩子)
    }
    if (c == U'为' && (contains(U"您你我他她们咱", before) || forSomeone(text.substr(i + 1)))) {
        return table_.code("wei4"); // for (您为学校付出); 为人, 为什么 are words
    }
    if (const std::size_t v = kVerbsBeforeAspect.find(c);
        v != std::u32string_view::npos &&
        ((contains(U"了着过", after) && run.alone[i + 1]) || (after == U'一' && run.at(i, 2) == U'下'))) {
        return table_.code(kVerbReadingsBeforeAspect[v]); // not 了解, 着急, 过去: words of their own
    }
    if (contains(U"种缝", c) && after == U'的' && before != 0 && !contains(U"这那哪各每某几多", before) &&
        !isDigitCharacter(before)) {
        // the verbs plant and sew (你种的西红柿, 阳台种的番茄, 您给我缝的扣子); not 这种的
        return table_.code(kVerbReadingsBeforeAspect[kVerbsBeforeAspect.find(c)]);
    }
    if (c == U'着' &&
        (contains(U"冻摔闪吓烫", before) || (contains(U"累碰撞", before) && run.at(i, -2) == U'别'))) {
        return table_.code("zhao2"); // hurt by it (别冻着, 闪着了, 别累着); not 累着呢
    }
    if (c == U'觉' &&
        text.substr(i > 6 ? i - 6 : 0, i > 6 ? 6 : i).find(U'睡') != std::u32string_view::npos) {
        return table_.code("jiao4"); // a sleep (睡个安稳觉, 睡一个好觉)
    }
    if (c == U'藏' && (contains(U"于有在", after) || contains(U"所现珍收", before))) {
        return table_.code("cang2"); // keep, hold (现藏于, 所藏佛像, 藏在心里); 西藏 is a word
    }
    if (c == U'铺' && contains(U"上通开满散好平", after)) {
        return table_.code("pu1"); // lay, spread (铺上, 铺满); a shop (店铺) is pu4
    }
    if (c == U'挣' && contains(U"的得钱了到", after)) {
        return table_.code("zheng4"); // earn (挣的钱, 挣得); 挣扎 is a word
    }
    if (c == U'教' &&
        (contains(U"我你他她您咱", after) || (after == U'的' && contains(U"我你他她您", before)))) {
        return table_.code("jiao1"); // teach (教您弹琴, 您教的钢琴); 教室 and 教育 are words
    }
    if (c == U'待' && contains(U"着太一多几在久了就", after)) {
        return table_.code("dai1"); // stay (待一会儿, 别待太久, 待在家里); 期待 and 待人 are words
    }
    if (c == U'汗' && contains(U"是的身头脸出流满冒擦滴", before)) {
        return table_.code("han4"); // sweat (浑身都是汗, 一身的汗); a khan (拉藏汗) is han2
    }
    if (c == U'弄' &&
        (contains(U"去来我你他她别再帮给会要能在得", before) || contains(U"好坏丢脏错完点一了着过", after))) {
        return table_.code("nong4"); // do, handle (等我回去弄, 弄好了); long4 is a lane (王家弄)
    }
    if (c == U'落' && ((after == U'下' && before == U'别') || afterBa() ||
                       (after == U'在' && contains(U"匙包机伞套西卡", before)))) {
        return table_.code("la4"); // left behind (别落下东西, 把钥匙落在办公室了, 手机落在家里)
    }
    if (c == U'假' &&
        (contains(U"天周个", before) ||
         (contains(U"了好过完", before) && contains(U"请放休", run.at(i, -2)))) &&
        (after == 0 || contains(U"了吗吧呢啊", after))) {
        return table_.code("jia4"); // leave (请一天假, 休个假); not 假如 or 真假
    }
    if (c == U'还' && after == 0 && before != 0) {
        return table_.code("huan2"); // pay back, ending a clause (什么时候还)
    }
    if (c == U'哟' && before == 0 && after == 0) {
        return table_.code("yo1"); // the interjection opening a sentence (哟，寿星来了)
    }
    if (c == U'啦' && before != 0 && before != c && after == before) {
        return table_.code("la5"); // the doubled particle (好啦好啦); not 哩啦路
    }
    if (const std::size_t p = kClauseParticles.find(c); p != std::u32string_view::npos && after == 0 &&
                                                        before != 0 && before != c &&
                                                        !contains(U"哗噼呼稀哇", before)) {
        // the particle ending a clause (好啦, 记得吃饭哦, 下次见咯); not 啦啦队, 哦，我懂了, 咯咯
        return table_.code(kClauseParticleReadings[p]);
    }
    if (c == U'干' &&
        ((contains(U"让你我他她您们人来要会能想敢别就去着", before) && !contains(U"了杯", after)) ||
         after == U'活' || run.at(i, 2) == U'活' || before == U'活' ||
         (before == U'儿' && run.at(i, -2) == U'活'))) {
        // the verb do (让年轻人干, 我来干, 干重活, 活儿干完了); not dry, nor 干了这杯
        return table_.code("gan4");
    }
    if (c == U'只' && contains(U"一二三四五六七八九十两几这那每哪", before) &&
        !contains(U"是有能要会好不想得在需可", after)) {
        return table_.code("zhi1"); // the measure word (一只猫), not the adverb zhi3 "only"
    }
    if (c == U'地' && i > 0 && run.owner[i - 1] != nullptr && !run.owner[i - 1]->fromUser &&
        endsAdverbially(text.substr(0, i), run.owner[i - 1]->length)) {
        return table_.code("de5");
    }
    return std::nullopt;
}

void MandarinReader::applySurnames(RunView& run) const {
    const std::u32string_view text = run.text;
    std::vector<ReadingTable::Match> words;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t surname = kSurnames.find(text[i]);
        if (surname == std::u32string_view::npos || run.syllable[i] == nullptr || run.owner[i]->fromUser) {
            continue;
        }
        const bool addressed = std::any_of(
            std::begin(kFormsOfAddress), std::end(kFormsOfAddress),
            [rest = text.substr(i + 1)](std::u32string_view title) { return rest.starts_with(title); });
        // Also a name of its own after 小 or 老 (小曾，…), unless it is a common given name (小华).
        const bool named = i + 1 == text.size() && i > 0 && contains(U"小老", text[i - 1]) &&
                           !contains(U"华燕宁乐任纪", text[i]);
        if (!addressed && !named) {
            continue;
        }
        if (i > 0) { // not when it belongs to a word before it (了解老师)
            table_.prefixes(text.substr(i - 1), words);
            if (std::any_of(words.begin(), words.end(),
                            [](const ReadingTable::Match& m) { return m.length >= 2; })) {
                continue;
            }
        }
        if (const auto code = table_.code(kSurnameReadings[surname])) {
            *run.syllable[i] = *code;
        }
    }
}

std::vector<std::uint16_t> MandarinReader::readRun(std::u32string_view run,
                                                   const Surroundings& around) const {
    const std::u32string key = folded(run);
    std::vector<Segment> segments = segment(key, true);
    applyRules(key, segments, around);
    std::vector<std::uint16_t> codes(run.size(), 0);
    for (const Segment& s : segments) {
        for (unsigned i = 0; i < s.length && !s.readings.empty(); ++i) {
            codes[s.start + i] = s.readings[i];
        }
    }
    return codes;
}

std::pair<std::size_t, std::size_t> MandarinReader::runAround(std::u32string_view text, std::size_t index) {
    std::size_t start = index, end = index;
    while (start > 0 && isIdeograph(text[start - 1])) {
        --start;
    }
    while (end < text.size() && isIdeograph(text[end])) {
        ++end;
    }
    return {start, end};
}

std::vector<std::string> MandarinReader::syllables(std::u32string_view text) const {
    std::vector<std::string> out(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (!isIdeograph(text[i])) {
            ++i;
            continue;
        }
        const std::size_t end = runAround(text, i).second;
        const std::vector<std::uint16_t> codes = readRun(text.substr(i, end - i), surroundings(text, i, end));
        for (std::size_t k = 0; k < codes.size(); ++k) {
            out[i + k] = codes[k] == 0 ? std::string() : table_.spell(codes[k]);
        }
        i = end;
    }
    return out;
}

std::optional<PolyphoneModel::Observation> MandarinReader::observe(std::u32string_view text,
                                                                   std::size_t index) const {
    if (index >= text.size() || !isIdeograph(text[index])) {
        return std::nullopt;
    }
    const auto [start, end] = runAround(text, index);
    const std::u32string key = folded(text.substr(start, end - start));
    std::vector<Segment> segments = segment(key, true);
    expand(key, segments);
    const std::size_t at = index - start;
    for (std::size_t k = 0; k < segments.size(); ++k) {
        const Segment& s = segments[k];
        if (at < s.start || at >= s.start + s.length) {
            continue;
        }
        if (s.readings.empty() || s.readings[at - s.start] == 0) {
            return std::nullopt;
        }
        PolyphoneModel::Observation o;
        PolyphoneModel::features(
            context(key, segments, k, at, surroundings(text, start, end), o.lexiconReading), o.features);
        o.inWord = s.length > 1;
        o.settled = s.length > 1 && s.mainland;
        return o;
    }
    return std::nullopt;
}

std::string MandarinReader::read(std::u32string_view text) const {
    std::string out;
    out.reserve(text.size() * 4);
    std::size_t i = 0;
    bool afterRun = false;
    while (i < text.size()) {
        if (isIdeograph(text[i])) {
            // The run, read as a whole even where marks stand in it; the marks kept apart.
            std::size_t end = i;
            std::u32string run;
            while (end < text.size() && (isIdeograph(text[end]) || marksWithin(text, end))) {
                if (isIdeograph(text[end])) {
                    run.push_back(text[end]);
                }
                ++end;
            }
            if (i > 0 && !isBlank(text[i - 1]) && !isPunctuation(text[i - 1])) {
                out.push_back(' ');
            }
            const std::vector<std::uint16_t> codes = readRun(run, surroundings(text, i, end));
            for (std::size_t k = i, r = 0; k < end; ++k) {
                if (k > i) {
                    out.push_back(' ');
                }
                if (!isIdeograph(text[k])) {
                    utf8::append(out, text[k]); // a mark
                } else if (codes[r] == 0) {
                    utf8::append(out, run[r++]); // not in any lexicon: passed through
                } else {
                    out += table_.spell(codes[r++]);
                }
            }
            afterRun = true;
            i = end;
            continue;
        }
        if (afterRun && !isBlank(text[i]) && !isPunctuation(text[i])) {
            out.push_back(' ');
        }
        afterRun = false;
        utf8::append(out, text[i]);
        ++i;
    }
    return out;
}

} // namespace velanote
