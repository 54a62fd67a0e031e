#include "generation/composition.h"
#include "generation/traditionaltable.h"

#include <gtest/gtest.h>
#include <opencc/opencc.h>

#include <cstdint>
#include <fstream>
#include <string>

using namespace velanote;

namespace {
MessageInputs inputs(const QString& s, const QString& r, const QString& k, const QString& m) {
    return {s, r, k, m};
}
} // namespace

TEST(InputChecks, RunInOrderAndStopAtTheFirstFailure) {
    const auto allEmpty = MessageComposer::check(inputs("", "", "", ""));
    ASSERT_TRUE(allEmpty);
    EXPECT_EQ(allEmpty->step, 1);
    EXPECT_EQ(allEmpty->focus, InputField::Sender);
    EXPECT_EQ(allEmpty->status, QStringLiteral("请输入您的名字[即发送人]"));

    const auto noRecipient = MessageComposer::check(inputs("小红", "", "", ""));
    ASSERT_TRUE(noRecipient);
    EXPECT_EQ(noRecipient->focus, InputField::Recipient);
    EXPECT_EQ(noRecipient->status, QStringLiteral("请输入对方的名字[即接收人]"));

    const auto noRelation = MessageComposer::check(inputs("小红", "小明", "", "x"));
    ASSERT_TRUE(noRelation);
    EXPECT_EQ(noRelation->focus, InputField::Relation);
    EXPECT_EQ(noRelation->status, QStringLiteral("请选择或输入您与对方的关系[即对方对您的称呼]"));

    const auto noMessage = MessageComposer::check(inputs("小红", "小明", "妈妈", ""));
    ASSERT_TRUE(noMessage);
    EXPECT_EQ(noMessage->focus, InputField::Message);
    EXPECT_EQ(noMessage->status, QStringLiteral("请输入您要对对方说的话，或祝福都可"));
}

TEST(InputChecks, BlanksCountAsFilledAndTheLimitIsOneHundredUnits) {
    EXPECT_FALSE(MessageComposer::check(inputs(" ", " ", " ", " ")));
    EXPECT_FALSE(MessageComposer::check(inputs("a", "b", "自己写的称呼", QString(100, QChar(0x4F60)))));

    const auto tooLong = MessageComposer::check(inputs("a", "b", "c", QString(101, QChar(0x4F60))));
    ASSERT_TRUE(tooLong);
    EXPECT_EQ(tooLong->step, 5);
    EXPECT_EQ(tooLong->focus, InputField::Message);
    EXPECT_EQ(tooLong->status, QStringLiteral("为了防止程序错误!请您输入在100字以内的祝福语"));

    // A character beyond U+FFFF counts as two units: 99 plus one of those is 101.
    const QString emoji = QString::fromUcs4(U"\U0001F600");
    EXPECT_TRUE(MessageComposer::check(inputs("a", "b", "c", QString(99, 'x') + emoji)));
    EXPECT_FALSE(MessageComposer::check(inputs("a", "b", "c", QString(98, 'x') + emoji)));
}

TEST(Composition, PreviewSentenceAndExampleTexts) {
    const MessageInputs in = inputs("小红", "小明", "妈妈", "生日快乐");
    EXPECT_EQ(MessageComposer::previewText(in),
              QStringLiteral("生成后语音提示将为:\r\n \r\n亲爱的[小明]您好,您的[妈妈]：[小红]\r\n \r\n"
                             "通过Vela声笺对您说：[生日快乐]\r\n \r\n以上为预览内容,是否确认生成音信?"));
    EXPECT_EQ(MessageComposer::spokenSentence(in),
              QStringLiteral("亲爱的小明，您好，您的妈妈：小红，通过Vela声笺对您说：生日快乐\""));
    EXPECT_EQ(
        MessageComposer::exampleText("小红", "妈妈"),
        QStringLiteral("例如您现在选择或者输入了\u201C妈妈\u201D\r\n \r\n语音则会跟对方说：您的妈妈(小红)"));

    // A blank sender shows as a blank; a message ending in a quote gives two quotes at the end.
    const MessageInputs odd = inputs(" ", "R", "K", "say \"hi\"");
    EXPECT_TRUE(MessageComposer::previewText(odd).contains(QStringLiteral("]：[ ]")));
    EXPECT_TRUE(MessageComposer::spokenSentence(odd).endsWith(QStringLiteral("：say \"hi\"\"")));
    EXPECT_TRUE(MessageComposer::spokenSentence(odd).contains(QStringLiteral("K： ，")));
}

TEST(TraditionalChinese, MapsSimplifiedAndReplacesWhatGbkCannotHold) {
    EXPECT_EQ(ToTraditionalChinese(
                  QStringLiteral("亲爱的小明，您好，您的妈妈：小红，通过Vela声笺对您说：生日快乐\"")),
              QStringLiteral("親愛的小明，您好，您的媽媽：小紅，通過Vela聲箋對您說：生日快樂\""));
    EXPECT_EQ(ToTraditionalChinese(QString()), QString());
    // Text that is already traditional, and ASCII punctuation, pass unchanged.
    EXPECT_EQ(ToTraditionalChinese(QStringLiteral("聲箋 a&b=c #1 +2% \"q\"")),
              QStringLiteral("聲箋 a&b=c #1 +2% \"q\""));
    // Hangul and emoji are outside GBK: one "?" per character.
    EXPECT_EQ(
        ToTraditionalChinese(QStringLiteral("한") + QString::fromUcs4(U"\U0001F600") + QStringLiteral("书")),
        QStringLiteral("??書"));
    EXPECT_EQ(MessageComposer::finalSentence(inputs("小红", "小明", "妈妈", "生日快乐")),
              QStringLiteral("親愛的小明，您好，您的媽媽：小紅，通過Vela聲箋對您說：生日快樂\""));
}

namespace {

// OpenCC's own s2t conversion of `utf8`.
std::string openccTraditional(const std::string& utf8) {
    static const opencc_t converter = opencc_open("/usr/share/opencc/s2t.json");
    if (reinterpret_cast<std::intptr_t>(converter) == -1) { // OpenCC's failure value
        return "(OpenCC unavailable)";
    }
    char* out = opencc_convert_utf8(converter, utf8.c_str(), utf8.size());
    std::string result(out);
    opencc_convert_utf8_free(out);
    return result;
}

} // namespace

TEST(TraditionalTable, ConvertsAsOpenCCDoesOverTheCommonWords) {
    // Runs of common words, so that phrases meet and overlap at every kind of boundary.
    std::ifstream essay("/usr/share/rime-data/essay.txt");
    ASSERT_TRUE(essay) << "the word list of rime-data is missing";
    std::string line;
    std::string sentence;
    int sentences = 0;
    int differing = 0;
    for (int words = 0; std::getline(essay, line) && words < 60000; ++words) {
        sentence += line.substr(0, line.find('\t'));
        if (words % 7 == 6) {
            const std::string ours = TraditionalTable::builtIn().convert(sentence);
            const std::string theirs = openccTraditional(sentence);
            if (ours != theirs && ++differing <= 5) {
                ADD_FAILURE() << sentence << ": " << ours << " / " << theirs;
            }
            ++sentences;
            sentence.clear();
        }
    }
    EXPECT_GT(sentences, 8000);
    EXPECT_EQ(differing, 0);
}

TEST(TraditionalTable, AnUnreadableTableConvertsNothing) {
    // Too short for a header; a header promising more entries than follow.
    const std::string promising = std::string("VNS2T001") + std::string(4, '\xff') + std::string(12, '\0');
    for (const std::string_view table : {std::string_view("VNS2T001"), std::string_view(promising)}) {
        const TraditionalTable broken(table);
        EXPECT_TRUE(broken.isEmpty());
        EXPECT_EQ(broken.convert("书 a\xff"), "书 a\xff");
    }
    EXPECT_FALSE(TraditionalTable::builtIn().isEmpty());
}
