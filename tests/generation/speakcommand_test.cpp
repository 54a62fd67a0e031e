#include "generation/composition.h"
#include "generation/pinyincommand.h"
#include "generation/serviceclient.h"
#include "generation/speakcommand.h"
#include "support/mp3frames.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>

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
    EXPECT_TRUE(o.out.contains(QStringLiteral("\nreading: qin1 ai4 de5 ")));
    // The embedded service's port is not known before it starts: a placeholder stands for it.
    EXPECT_TRUE(o.out.contains(QStringLiteral("请求地址: http://127.0.0.1:<端口>/text2speech.php?&text=") +
                               UTF8EncodeURI(sentence) + '\n'));
    EXPECT_TRUE(o.out.contains(QStringLiteral("输出文件: ") + out + '\n'));
    EXPECT_TRUE(o.out.contains("a%26b%3Dc%20%231%20%2B2%25%20%22"));
    EXPECT_FALSE(QFile::exists(out));

    // With an outside service the address names it.
    qputenv("VELANOTE_SPEECH_URL", "http://tts.example:8080/");
    const Outcome outside =
        speak(withInputs("a", "b", "c", "d") +
              QStringList{"--dry-run", "--jingle", "4", "--voice", "female", "--rate=150"});
    qunsetenv("VELANOTE_SPEECH_URL");
    EXPECT_EQ(outside.code, 0);
    EXPECT_TRUE(outside.out.contains(QStringLiteral(
        "请求地址: http://tts.example:8080/text2speech.php?&text=%E8%A6%AA%E6%84%9B%E7%9A%84b")));
    EXPECT_TRUE(outside.out.contains(QStringLiteral("&rate=150&voice=female\n")));
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
    for (const auto& [option, value, message] : {
             std::tuple{"--volume", "3", "--volume 的取值应为 10 到 200 的整数"},
             std::tuple{"--rate", "201", "--rate 的取值应为 50 到 200 的整数"},
             std::tuple{"--pitch", "fast", "--pitch 的取值应为 50 到 150 的整数"},
             std::tuple{"--voice", "child", "--voice 的取值应为 male 或 female"},
         }) {
        const Outcome bad = speak(ok + QStringList{"--output", "x.mp3", option, value});
        EXPECT_EQ(bad.code, 2) << option;
        EXPECT_TRUE(bad.err.startsWith(QString::fromUtf8(message) + '\n')) << bad.err.toStdString();
    }
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

TEST(SpeakCommand, TextsTheServiceWouldRefuseExitWithTwoNamingTheField) {
    const QString thousand(1000, QChar(0x597D));
    const std::pair<QStringList, QString> cases[] = {
        {withInputs("a", "b", "c", "新年\x01快乐"), "--message 含有控制字符"},
        {withInputs("a\x1b[31m", "b", "c", "d"), "--sender 含有控制字符"},
        {withInputs("a", "b", "c\x7f", "d"), "--relation 含有控制字符"},
        {withInputs(thousand, "b", "c", "d"), "请缩短 --sender"},
        {withInputs("a", thousand, "c", "d"), "请缩短 --recipient"},
    };
    for (const QStringList& mode : {QStringList{"--output", "x.mp3"}, QStringList{"--dry-run"}}) {
        for (const auto& [args, message] : cases) {
            const Outcome o = speak(args + mode);
            EXPECT_EQ(o.code, 2) << o.err.toStdString();
            EXPECT_TRUE(o.err.contains(message)) << o.err.toStdString();
            EXPECT_FALSE(o.out.contains(QStringLiteral("语音服务")));
        }
    }
    // Line breaks and tabs are spoken as pauses.
    EXPECT_EQ(speak(withInputs("a", "b", "c", "新年\n快乐\t") + QStringList{"--dry-run"}).code, 0);
}

TEST(SpeakCommand, NamesTheFirstBadOptionInArgumentOrder) {
    const std::pair<QStringList, QString> cases[] = {
        {{"stray", "--speed", "3"}, QStringLiteral("无法识别的参数: stray")},
        {{"--speed=3", "stray"}, QStringLiteral("未知选项: --speed")},
        {{"--dry-run=yes"}, QStringLiteral("未知选项: --dry-run")},
        {{"--sender", "a", "--sender", "b", "--speed"}, QStringLiteral("选项 --sender 重复出现")},
        {{"--sender", "a", "--output"}, QStringLiteral("选项 --output 缺少取值")},
    };
    for (const auto& [args, message] : cases) {
        const Outcome o = speak(args);
        EXPECT_EQ(o.code, 2);
        EXPECT_EQ(o.err, message + '\n' + SpeakCommand::usage() + '\n') << args.join(' ').toStdString();
    }
}

TEST(SpeakCommand, UnusableFilesAreRefusedBeforeTheServiceIsAsked) {
    QTemporaryDir dir;
    const auto path = [&dir](const char* name) { return dir.filePath(QString::fromLatin1(name)); };
    const auto bytes = [](const QString& p) { return QFile::encodeName(p); };
    ASSERT_TRUE(QFile::link(path("victim.mp3"), path("link.mp3")));
    ASSERT_EQ(::mkfifo(bytes(path("fifo")).constData(), 0600), 0); // no writer: opening it must not wait
    ASSERT_EQ(::mknod(bytes(path("node")).constData(), S_IFCHR | 0666, makedev(1, 3)), 0);
    QFile big(path("big.mp3"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(1024 * 1024 + 1));
    big.close();
    const auto write = [](const QString& p, const QByteArray& data) {
        QFile file(p);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(data) == data.size());
    };
    write(path("prefix.mp3"), QByteArray::fromStdString(velanote::testing::messageFormatBytes(600)));
    write(path("wave.mp3"), QByteArray("RIFF\x24\x08\0\0WAVEfmt ", 16) + QByteArray(2000, '\0'));
    write(path("text.mp3"), QByteArray("前缀\n").repeated(200));
    write(path("cd.mp3"), QByteArray("\xFF\xFB\x90\x64", 4) + QByteArray(4000, '\0')); // 44.1 kHz stereo

    const QStringList ok = withInputs("a", "b", "c", "d");
    const QString notFile = QStringLiteral("不是普通文件");
    const QString format = QStringLiteral("须为MPEG-2.5 Layer III、11025 Hz、单声道的 MP3");
    const std::pair<QStringList, QString> refused[] = {
        {{"--output", path("link.mp3")}, "无法写入输出文件"}, // a planted link
        {{"--output", path("node")}, "无法写入输出文件"},     // a device node
        {{"--output", "/dev/stdout"}, "无法写入输出文件"},    // a link to the terminal or pipe: use "-"
        {{"--output", path("fifo")}, "无法写入输出文件"},     // a pipe
        {{"--output", dir.path()}, "无法写入输出文件"},       // a folder
        {{"--output", path("no/such.mp3")}, "无法写入输出文件"},
        {{"--prefix", "/dev/zero", "--output", path("out.mp3")}, notFile}, // endless
        {{"--prefix", path("fifo"), "--output", path("out.mp3")}, notFile},
        {{"--prefix", path("node"), "--output", path("out.mp3")}, notFile},
        {{"--prefix", dir.path(), "--output", path("out.mp3")}, notFile},
        {{"--prefix", path("big.mp3"), "--output", path("out.mp3")}, "超过1MB"},
        {{"--prefix", path("none.mp3"), "--output", path("out.mp3")}, "未找到前缀音频文件或文件为空"},
        {{"--prefix", path("wave.mp3"), "--output", path("out.mp3")}, format},
        {{"--prefix", path("text.mp3"), "--output", path("out.mp3")}, format},
        {{"--prefix", path("cd.mp3"), "--output", path("out.mp3")}, format},
        {{"--prefix", path("prefix.mp3"), "--output", path("prefix.mp3")}, "合成路径不能与前缀音频相同"},
    };
    // A dry run checks the files alike.
    for (const QStringList& mode : {QStringList{}, QStringList{"--dry-run"}}) {
        for (const auto& [args, message] : refused) {
            SCOPED_TRACE((args + mode).join(' ').toStdString());
            const Outcome o = speak(ok + args + mode);
            EXPECT_EQ(o.code, 4);
            EXPECT_TRUE(o.err.contains(message)) << o.err.toStdString();
            EXPECT_FALSE(o.out.contains(QStringLiteral("语音服务"))); // the service was never started
        }
    }
    EXPECT_FALSE(QFileInfo::exists(path("victim.mp3")));
    EXPECT_FALSE(QFileInfo::exists(path("out.mp3")));
    EXPECT_FALSE(QFileInfo(path("node")).isFile());
    EXPECT_TRUE(QFileInfo(path("link.mp3")).isSymLink());
}

TEST(PinyinCommand, PrintsTheReadingOrRefusesAnEmptyText) {
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(runPinyinCommand({QStringLiteral("我长大了,"), QStringLiteral("銀行"), QStringLiteral("2个")}),
              0);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "wo3 zhang3 da4 le5, yin2 hang2 liang3 ge4\n");
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(runNormalizeCommand({QStringLiteral("下午3:30"), QStringLiteral("¥1.25")}), 0);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "下午三点三十分 一点二五元\n");
    for (const auto command : {runPinyinCommand, runNormalizeCommand}) {
        for (const QStringList& empty :
             {QStringList{}, QStringList{QString()}, QStringList{" ", "\t"}, QStringList{"--"}}) {
            ::testing::internal::CaptureStderr();
            EXPECT_EQ(command(empty), 2);
            EXPECT_FALSE(::testing::internal::GetCapturedStderr().empty());
        }
        for (const QString& help : {QStringLiteral("--help"), QStringLiteral("-h")}) {
            ::testing::internal::CaptureStdout();
            EXPECT_EQ(command({help}), 0);
            EXPECT_TRUE(::testing::internal::GetCapturedStdout().starts_with("用法: velanote "));
        }
    }
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(runPinyinCommand({"--", "-h", "好"}), 0);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "-h hao3\n"); // read, not taken for help
}
