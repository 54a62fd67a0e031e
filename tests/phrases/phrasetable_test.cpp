#include "phrases/phrasetable.h"
#include "support/readingcases.h"

#include <QCryptographicHash>

#include <gtest/gtest.h>

using namespace velanote;

namespace {

// What follows each phrase, category by category: M is U+E004, b a blank.
const QList<QStringList> kTails = {
    {"MMb", "MMb", "MMb", "MMb", "MMb", "MMb", "MMb", "MMb", "MM", "MMb", "MMb", ""},
    {"b", "b", "b", "b", "b", "b", "", "b", "b", "b", "bb", ""},
    {"b", "b", "b", "b"},
    {"", "", "", "", "", ""},
    {"", "", "", "", "", ""},
};

// Lengths of the phrases with their trailing characters, in UTF-16 code units (all in the BMP).
const QList<QList<int>> kLengths = {
    {37, 46, 37, 37, 38, 41, 21, 33, 29, 43, 51, 31},
    {47, 50, 41, 67, 48, 46, 55, 56, 61, 53, 59, 57},
    {44, 55, 50, 51},
    {48, 30, 47, 49, 45, 22},
    {38, 20, 57, 36, 45, 24},
};

// The trailing run of U+E004 and blanks, written as M and b.
QString tailOf(const QString& phrase) {
    QString tail;
    for (qsizetype i = phrase.size() - 1; i >= 0; --i) {
        if (phrase[i] == QChar(0xE004)) {
            tail.prepend('M');
        } else if (phrase[i] == QChar(' ')) {
            tail.prepend('b');
        } else {
            break;
        }
    }
    return tail;
}

} // namespace

TEST(PhraseTable, FiveCategoriesWithTheirCountsInOrder) {
    EXPECT_EQ(PhraseTable::categoryNames(), (QStringList{"友情类", "感恩类", "爱情类", "生日类", "搞笑类"}));
    const QList<int> counts{12, 12, 4, 6, 6};
    ASSERT_EQ(PhraseTable::categories().size(), 5);
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(PhraseTable::categories()[c].phrases.size(), counts[c]) << c;
    }
    EXPECT_EQ(PhraseTable::phrasesOf("爱情类").size(), 4);
    EXPECT_TRUE(PhraseTable::phrasesOf("爱情").isEmpty());
    EXPECT_TRUE(PhraseTable::phrasesOf(QString()).isEmpty());
}

TEST(PhraseTable, EveryPhraseKeepsItsTrailingCharactersAndLength) {
    int marks = 0, trailingBlanks = 0, longest = 0;
    for (int c = 0; c < 5; ++c) {
        const QStringList& phrases = PhraseTable::categories()[c].phrases;
        ASSERT_EQ(phrases.size(), kTails[c].size());
        for (int i = 0; i < phrases.size(); ++i) {
            const QString& p = phrases[i];
            EXPECT_EQ(tailOf(p), kTails[c][i]) << "category " << c << " phrase " << i + 1;
            EXPECT_EQ(p.size(), kLengths[c][i]) << "category " << c << " phrase " << i + 1;
            EXPECT_FALSE(p.contains('\n') || p.contains('\r'));
            marks += int(p.count(QChar(0xE004)));
            trailingBlanks += int(tailOf(p).count('b'));
            longest = std::max(longest, int(p.size()));
        }
    }
    EXPECT_EQ(marks, 22);          // two after each of eleven friendship phrases, none elsewhere
    EXPECT_EQ(trailingBlanks, 25); // ten, eleven (one double) and four
    EXPECT_EQ(longest, 67);        // so every phrase fits the message box's 100 characters
}

TEST(PhraseTable, PunctuationAndLatinTextAreKeptExactly) {
    const auto& t = PhraseTable::categories();
    EXPECT_EQ(t[0].phrases[10], QStringLiteral("让我们的手紧紧地握住，互相交流吧 !心灵相通，快乐地笑吧 !"
                                               "共同倾吐一下，各自向往的美好的未来。") +
                                    QString::fromUtf16(u"\uE004\uE004 "));
    EXPECT_EQ(t[0].phrases[8], QStringLiteral("在欢乐时，朋友们会认识我们；在患难时，我们会认识朋友。") +
                                   QString::fromUtf16(u"\uE004\uE004"));
    EXPECT_EQ(t[1].phrases[0], QStringLiteral("因为你，让我感觉到――清新的空气不在乎是否有阳光！是你，"
                                              "让我的世界变得美丽！祝你感恩节快乐！ "));
    EXPECT_EQ(t[1].phrases[0].mid(9, 2), QString::fromUtf16(u"\u2015\u2015"));
    EXPECT_EQ(t[1].phrases[3], QStringLiteral("生命中有许多值得感谢，在这个本身就值得感谢的日子里，"
                                              "我想对你说：Thanks giving my friend and happy! "));
    EXPECT_EQ(t[1].phrases[9], QStringLiteral("感谢你，在我的生命中出现！感谢你陪我度过你快乐的每一天，"
                                              "陪你读书.唱歌.聊天.下棋…感恩节祝你全家快乐！ "));
    EXPECT_EQ(t[1].phrases[10],
              QStringLiteral("美国人在感恩节时感谢上帝的眷顾，使他们有丰足的食物。我也要感谢上帝，"
                             "让你来到了我的身边，和我一起过感恩节吧？好吗？  "));
    EXPECT_EQ(t[3].phrases[2], QStringLiteral("特别的爱,给特别的你,愿我的祝福像阳光那样缠绕着你,"
                                              "真诚的祝愿健康和快乐永远伴随你，生日快乐！"));
    EXPECT_EQ(t[3].phrases[4], QStringLiteral("*生日快乐*祝你今天抬头看见丘比特，出门遇上大美人，"
                                              "低头捡捆佰元钞，回家踩上臭狗屎！哈哈！"));
    EXPECT_EQ(t[4].phrases[2], QStringLiteral("我的时间有限，我想用有限的时间跟另一个人过Better life，"
                                              "而不是用我的Life，去找一个Better的人。"));
    EXPECT_EQ(t[4].phrases[5], QStringLiteral("错过早恋也就罢了，原来不知不觉已经错过了早婚……"));
}

TEST(PhraseTable, EveryCharacterOfEveryCategoryMatchesItsDigest) {
    // SHA-256 of each category's phrases in UTF-8, joined by line feeds, trailing characters
    // included: one changed, missing or extra character anywhere changes its category's digest.
    const QList<QByteArray> digests = {
        "75ea1e8094425b2995ce06c35bc57b3f5366361fdd24e7857f72165da7789a23",
        "3cd9c93e956a93cec72697e1a904b2648a0e923317b0df794dc36296202527ee",
        "1e4c15cba33f104fbb885acd737ef8d05fa38968b21107ca67c56a5b6599405e",
        "9b50b07558da143ccfaef9a3fdebd6c40e7ee58f806abe4d07bb6992803f9081",
        "ee8c95babaa09eb5895a601bafaf761b4ef417c47e2e96026059d39d37846e0b",
    };
    ASSERT_EQ(PhraseTable::categories().size(), digests.size());
    for (int c = 0; c < digests.size(); ++c) {
        const QByteArray text = PhraseTable::categories()[c].phrases.join('\n').toUtf8();
        EXPECT_EQ(QCryptographicHash::hash(text, QCryptographicHash::Sha256).toHex(), digests[c])
            << PhraseTable::categories()[c].name.toStdString();
    }
}

// Every greeting of the library is in the table of hand-checked readings that the reading front
// end is tested against, so a new or changed phrase cannot go unheard.
TEST(PhraseTable, EveryPhraseHasAHandCheckedReading) {
    QStringList checked;
    for (const auto& c : velanote::testing::readingCases()) {
        if (c.group == "phrase library") {
            checked.append(c.text);
        }
    }
    for (const PhraseCategory& category : PhraseTable::categories()) {
        for (QString phrase : category.phrases) {
            while (phrase.endsWith(QChar(0xE004)) || phrase.endsWith(QLatin1Char(' '))) {
                phrase.chop(1);
            }
            EXPECT_TRUE(checked.contains(phrase)) << phrase.toStdString();
        }
    }
    EXPECT_EQ(checked.size(), 40);
}
