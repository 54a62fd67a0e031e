#include "generation/composition.h"
#include "generation/serviceclient.h"
#include "generation/speakcommand.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velanote;

namespace {

struct Outcome {
    int code = -1;
    QString out;
    QString err;
};

Outcome speak(const QStringList& args) {
    Outcome o;
    SpeakCommand command([&o](const QString& l) { o.out += l + '\n'; },
                         [&o](const QString& l) { o.err += l + '\n'; });
    o.code = command.run(args);
    return o;
}

QStringList withInputs(const QString& s, const QString& r, const QString& k, const QString& m) {
    return {"--sender", s, "--recipient", r, "--relation", k, "--message", m};
}

} // namespace

TEST(SpeakCommand, DryRunPrintsPreviewSentenceAndRequestWithoutSending) {
    qunsetenv("VELANOTE_SPEECH_URL");
    QTemporaryDir dir;
    const QString out = dir.filePath("never.mp3");
    const MessageInputs in{QStringLiteral("小红"), QStringLiteral(" "), QStringLiteral("妈妈"),
                           QStringLiteral("a&b=c #1 +2% \"引号\"")};
    const Outcome o = speak(withInputs(in.sender, in.recipient, in.relation, in.message) +
                            QStringList{"--output", out, "--dry-run"});
    ASSERT_EQ(o.code, 0) << o.err.toStdString();
    EXPECT_TRUE(o.err.isEmpty());
    QString preview = MessageComposer::previewText(in);
    preview.replace("\r\n", "\n");
    EXPECT_TRUE(o.out.contains(preview));
    const QString sentence = MessageComposer::finalSentence(in);
    EXPECT_TRUE(sentence.endsWith("\"\"") && sentence.startsWith(QStringLiteral("親愛的")));
    EXPECT_TRUE(o.out.contains(QStringLiteral("语音文本: ") + sentence + '\n'));
    // The embedded service's port is not known before it starts: a placeholder stands for it.
    EXPECT_TRUE(o.out.contains(QStringLiteral("请求地址: http://127.0.0.1:<端口>/text2speech.php?&text=") +
                               UTF8EncodeURI(sentence) + '\n'));
    EXPECT_TRUE(o.out.contains(QStringLiteral("输出文件: ") + out + '\n'));
    EXPECT_TRUE(o.out.contains("a%26b%3Dc%20%231%20%2B2%25%20%22"));
    EXPECT_FALSE(QFile::exists(out));

    // With an outside service the address names it.
    qputenv("VELANOTE_SPEECH_URL", "http://tts.example:8080/");
    const Outcome outside = speak(withInputs("a", "b", "c", "d") + QStringList{"--dry-run", "--jingle", "4"});
    qunsetenv("VELANOTE_SPEECH_URL");
    EXPECT_EQ(outside.code, 0);
    EXPECT_TRUE(outside.out.contains(QStringLiteral(
        "请求地址: http://tts.example:8080/text2speech.php?&text=%E8%A6%AA%E6%84%9B%E7%9A%84b")));
    EXPECT_FALSE(outside.out.contains(QStringLiteral("<端口>")));
    EXPECT_TRUE(outside.out.contains(QStringLiteral("前缀音频: 程序目录\\sc\\4.mp3\n")));
}

TEST(SpeakCommand, InputChecksAndBadOptionsExitWithTwo) {
    const Outcome noSender = speak(withInputs("", "b", "c", "d") + QStringList{"--output", "x.mp3"});
    EXPECT_EQ(noSender.code, 2);
    EXPECT_TRUE(noSender.err.startsWith(QStringLiteral("请输入您的名字[即发送人]\n")));
    EXPECT_TRUE(noSender.out.isEmpty());

    const Outcome tooLong =
        speak(withInputs("a", "b", "c", QString(101, QChar(0x597D))) + QStringList{"--dry-run"});
    EXPECT_EQ(tooLong.code, 2);
    EXPECT_TRUE(tooLong.err.contains(QStringLiteral("为了防止程序错误!请您输入在100字以内的祝福语")));
    EXPECT_EQ(speak(withInputs("a", "b", "c", QString(100, QChar(0x597D))) + QStringList{"--dry-run"}).code,
              0);

    const Outcome missing = speak({"--sender", "a", "--output", "x.mp3"});
    EXPECT_EQ(missing.code, 2);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("请输入对方的名字[即接收人]")));
    EXPECT_TRUE(missing.err.contains(QStringLiteral("用法")));

    const QStringList ok = withInputs("a", "b", "c", "d");
    EXPECT_EQ(speak(ok).code, 2); // no --output
    EXPECT_EQ(speak(ok + QStringList{"--output"}).code, 2);
    EXPECT_EQ(speak(ok + QStringList{"--output", "x.mp3", "--volume", "3"}).code, 2);
    EXPECT_EQ(speak(ok + QStringList{"--output", "x.mp3", "stray"}).code, 2);
    EXPECT_EQ(speak(ok + QStringList{"--output", "x.mp3", "--jingle", "11"}).code, 2);
    EXPECT_EQ(speak(ok + QStringList{"--output", "x.mp3", "--jingle", "one"}).code, 2);
    EXPECT_EQ(speak(ok + QStringList{"--output", "x.mp3", "--jingle", "1", "--prefix", "p.mp3"}).code, 2);
    EXPECT_EQ(speak(ok + QStringList{"--sender", "again", "--output", "x.mp3"}).code, 2);
    const Outcome help = speak({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.contains("--jingle"));
    // "--name=value" is read like "--name value".
    EXPECT_EQ(speak({"--sender=a", "--recipient=b", "--relation=c", "--message=d=e", "--dry-run"}).code, 0);
}
