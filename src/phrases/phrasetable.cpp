#include "phrases/phrasetable.h"

namespace velanote {

namespace {

// What follows some phrases: U+E004 (a private-use mark carried over with the greetings) and blanks.
const QString kTwoMarksBlank = QString::fromUtf16(u"\uE004\uE004 ");
const QString kTwoMarks = QString::fromUtf16(u"\uE004\uE004");
const QString kBlank = QStringLiteral(" ");
const QString kTwoBlanks = QStringLiteral("  ");

QList<PhraseCategory> buildTable() {
    return {
        {QStringLiteral("友情类"),
         {
             QStringLiteral("有了理解，友谊才能长驻；有了友谊，生命才有价值。让我们发出理解之光。") +
                 kTwoMarksBlank,
             QStringLiteral(
                 "我们耕耘着这一块土地，甜果涩果分尝一半。为了共同享有那甜蜜的生活，我们需要奋斗和友谊。") +
                 kTwoMarksBlank,
             QStringLiteral("在友谊面前，人与人之间，犹如星与星之间，不是彼此妨碍，而是互相照耀。") +
                 kTwoMarksBlank,
             QStringLiteral("友谊是最圣洁的灵物，她既会在同性中生根、发芽，也会在异性中开花结果。") +
                 kTwoMarksBlank,
             QStringLiteral("走在沙漠上的人，希望有甘甜的泉水；在逆境中拼搏的人，渴望有诚挚的友谊。") +
                 kTwoMarksBlank,
             QStringLiteral("以前盼望有一把别致牢靠的锁，是为了守护很多秘密。而如今，我已坦荡得如同晴空。") +
                 kTwoMarksBlank,
             QStringLiteral("所有的寂寞，都抵不过没有朋友的寂寞。") + kTwoMarksBlank,
             QStringLiteral("知音，不需多言，要用心去交流；友谊，不能言表，要用心去品尝。") + kTwoMarksBlank,
             QStringLiteral("在欢乐时，朋友们会认识我们；在患难时，我们会认识朋友。") + kTwoMarks,
             QStringLiteral(
                 "友情是灯，愈拨愈亮；友情是河，愈流愈深；友情是花，愈开愈美；友情是酒，愈陈愈香。") +
                 kTwoMarksBlank,
             QStringLiteral("让我们的手紧紧地握住，互相交流吧 !心灵相通，快乐地笑吧 "
                            "!共同倾吐一下，各自向往的美好的未来。") +
                 kTwoMarksBlank,
             QStringLiteral("友情是装在瓶里的佳酿，无色无味，多年后开启溢出的是那浓浓的情。"),
         }},
        {QStringLiteral("感恩类"),
         {
             QStringLiteral("因为你，让我感觉到――清新的空气不在乎是否有阳光！是你，让我的世界变得美丽！祝你感"
                            "恩节快乐！") +
                 kBlank,
             QStringLiteral("有多少人愿意等待，又有多少人值得等待雪花之美，在于纯洁；人心可贵，在于真诚。真心"
                            "祝福你感恩节快乐！") +
                 kBlank,
             QStringLiteral(
                 "亲爱的，我在想你，想给你一个感恩节的拥抱！还有一个感恩节的热吻！祝你感恩节快乐！") +
                 kBlank,
             QStringLiteral("生命中有许多值得感谢，在这个本身就值得感谢的日子里，我想对你说：Thanks giving "
                            "my friend and happy!") +
                 kBlank,
             QStringLiteral("因为能认识你而感到难忘，因为喜欢上你而感到快乐，会因为能得到你的爱而感到满足。祝"
                            "你感恩节快乐！") +
                 kBlank,
             QStringLiteral("谢谢你！总是在我最失落的时候出现，有你这样的好朋友在我身边，我真的感到很幸福。感"
                            "恩节快乐！") +
                 kBlank,
             QStringLiteral("说一声祝福在嘴上，传一句问候在网上，带着我的思念，带着我的心愿，带着我一起飞翔，"
                            "飞向感恩的天空！祝感恩节快乐！"),
             QStringLiteral("朋友，是你在我最困难的时候，伸出温暖的手援助我，让我感激至极，心意无法表达，只有"
                            "祝福你，感恩节快乐！天天快乐！") +
                 kBlank,
             QStringLiteral("上次你帮了我的大忙，我都没有来得及对你说一声：谢谢！！！特借感恩节，为你送上我的"
                            "感激之情与祝福：事事顺心，身体健康！！！") +
                 kBlank,
             QStringLiteral("感谢你，在我的生命中出现！感谢你陪我度过你快乐的每一天，陪你读书.唱歌.聊天."
                            "下棋…感恩节祝你全家快乐！") +
                 kBlank,
             QStringLiteral("美国人在感恩节时感谢上帝的眷顾，使他们有丰足的食物。我也要感谢上帝，让你来到了我"
                            "的身边，和我一起过感恩节吧？好吗？") +
                 kTwoBlanks,
             QStringLiteral("感谢你的关怀，感谢你的帮助，感谢你对我做的一切……请接受我在感恩节送上的最真心的祝"
                            "愿：一生平安、如意、健康、快乐！"),
         }},
        {QStringLiteral("爱情类"),
         {
             QStringLiteral(
                 "爱就像钻石般的永恒，纯洁无瑕；情就像海水般的浪花，汹涌澎湃；付出的真心换来今生的无悔！") +
                 kBlank,
             QStringLiteral("短暂的相见是我们今生之缘，长长的思念能不能穿越万水千山？夜夜有你在梦中出现，缘聚"
                            "缘散、远方的你时刻在我心间！") +
                 kBlank,
             QStringLiteral("无数个思念你的夜晚，想起与你共度的欢乐时光，我祈求流星，让我下世能够与你相遇，相"
                            "爱，直到天荒地老！") +
                 kBlank,
             QStringLiteral("我怕黑要你安慰，我很憔悴我要你抚慰，没有你呵护我不能入睡，没有你明天我不能面对，"
                            "不想你我永远也学不会") +
                 kBlank,
         }},
        {QStringLiteral("生日类"),
         {
             QStringLiteral("让我为你祝福，让我为你欢笑，因为在你生日的今天，我的内心也跟你一样的欢腾、快乐！"
                            "祝你，生日快乐！"),
             QStringLiteral("一句生日快乐无法代替我的心意，永远和你相伴才是我最大的心愿。"),
             QStringLiteral("特别的爱,给特别的你,愿我的祝福像阳光那样缠绕着你,"
                            "真诚的祝愿健康和快乐永远伴随你，生日快乐！"),
             QStringLiteral(
                 "又是你的生日了，虽然残破的爱情让我彼此变得陌生，然而我从未忘你的生日，happy birthday"),
             QStringLiteral(
                 "*生日快乐*祝你今天抬头看见丘比特，出门遇上大美人，低头捡捆佰元钞，回家踩上臭狗屎！哈哈！"),
             QStringLiteral("一支蜡烛，一颗心愿，一份真情，祝你生日快乐！"),
         }},
        {QStringLiteral("搞笑类"),
         {
             QStringLiteral("爱是：自己一个人时候，泡面都觉得麻烦；有你在的时候，整九大盘都觉得好简单……"),
             QStringLiteral("都说女子无才便是德，那姐早就德高望重了。"),
             QStringLiteral("我的时间有限，我想用有限的时间跟另一个人过Better "
                            "life，而不是用我的Life，去找一个Better的人。"),
             QStringLiteral("有些歌，再听时，会流泪；有些景，再看时，会有忧；有些物，再碰时，会心痛。"),
             QStringLiteral("很多时候，说着说着就变了，看着看着就厌了，走着走着就散了，爱着爱着就淡了，想着想"
                            "着就算了。"),
             QStringLiteral("错过早恋也就罢了，原来不知不觉已经错过了早婚……"),
         }},
    };
}
} // namespace

const QList<PhraseCategory>& PhraseTable::categories() {
    static const QList<PhraseCategory> table = buildTable();
    return table;
}

QStringList PhraseTable::categoryNames() {
    QStringList names;
    for (const PhraseCategory& c : categories()) {
        names.append(c.name);
    }
    return names;
}

QStringList PhraseTable::phrasesOf(const QString& name) {
    for (const PhraseCategory& c : categories()) {
        if (c.name == name) {
            return c.phrases;
        }
    }
    return {};
}

} // namespace velanote
