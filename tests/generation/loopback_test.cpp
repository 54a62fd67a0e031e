// The generation run and the command line against the real embedded speech service and the real
// HTTP client, on loopback.
#include "runfixture.h"

#include "app/resourcestore.h"
#include "generation/speakcommand.h"
#include "platform/atomicfile.h"
#include "service/speechservice.h"
#include "support/mp3frames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace velanote;
using velanote::testing::RunWindow;

namespace {

bool looksLikeMp3(const QByteArray& data) {
    return data.size() > 100 &&
           (data.startsWith("ID3") || (uchar(data[0]) == 0xFF && (uchar(data[1]) & 0xE0) == 0xE0));
}

// Sets an environment variable for one scope.
class EnvGuard {
public:
    EnvGuard(const char* name, const QByteArray& value)
        : name_(name), old_(qgetenv(name)), had_(qEnvironmentVariableIsSet(name)) {
        qputenv(name, value);
    }
    ~EnvGuard() {
        if (had_) {
            qputenv(name_, old_);
        } else {
            qunsetenv(name_);
        }
    }

private:
    const char* name_;
    QByteArray old_;
    bool had_;
};

class Loopback : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        service_ = new SpeechService();
        ASSERT_TRUE(service_->start());
        desktop_ = createDesktopPlatform().release();
    }
    static void TearDownTestSuite() {
        delete desktop_;
        delete service_;
        desktop_ = nullptr;
        service_ = nullptr;
    }
    static QString serviceUrl() { return QStringLiteral("http://127.0.0.1:%1").arg(service_->port()); }
    static Endpoints endpoints() {
        Endpoints e = Endpoints::forLocalService(service_->port());
        e.useSpeechService(serviceUrl());
        return e;
    }
    static HttpClient& http() { return desktop_->http(); }

    struct Speak {
        int code = -1;
        QStringList out;
        QStringList err;
    };
    static Speak speak(const QStringList& args) {
        Speak s;
        SpeakCommand command([&s](const QString& l) { s.out.append(l); },
                             [&s](const QString& l) { s.err.append(l); });
        s.code = command.run(args);
        return s;
    }

    static SpeechService* service_;
    static Platform* desktop_;
};

SpeechService* Loopback::service_ = nullptr;
Platform* Loopback::desktop_ = nullptr;

const QStringList Inputs = {"--sender",   QStringLiteral("小红"), "--recipient", QStringLiteral("小明"),
                            "--relation", QStringLiteral("妈妈"), "--message",   QStringLiteral("生日快乐")};

} // namespace

TEST_F(Loopback, PlayingRunKeepsTheServedMp3Address) {
    RunWindow w(endpoints());
    w.platform.useHttp(http());
    w.fill(QStringLiteral("小红"), QStringLiteral("小明"), QStringLiteral("自己写的"),
           QStringLiteral("新年快乐 & 身体健康!"));
    w.platform.boxes.answerNext(MessageBoxAnswer::Yes);
    w.generate();

    EXPECT_EQ(w.status, QStringLiteral("Vela声笺生成成功!正在进行在线播放..."));
    const QString address = w.run->messageAddress();
    EXPECT_TRUE(address.startsWith(" " + serviceUrl() + "/tts/")) << address.toStdString();
    EXPECT_TRUE(address.endsWith(".mp3"));
    EXPECT_EQ(w.fakePlayer().URL(), address);
    EXPECT_TRUE(looksLikeMp3(http().get(address).body));
    EXPECT_FALSE(w.parked);
    EXPECT_TRUE(w.generateEnabled);
}

// The service's reply names an MP3 that the service answers with 404: the real player's error
// ends the run as a failure instead of the success text staying over a player that never starts.
TEST_F(Loopback, PlayingRunWhoseMp3IsNotFoundEndsAsAPlaybackFailure) {
    class MissingMp3 : public HttpClient {
    public:
        explicit MissingMp3(HttpClient& inner) : inner_(inner) {}
        QString fetchText(const QString& url) override { return inner_.fetchText(url); }
        HttpResult get(const QString& url) override {
            HttpResult r = inner_.get(url);
            if (url.contains(QStringLiteral("text2speech"))) {
                r.body = "outurl=./tts/missing-0000.mp3";
            }
            return r;
        }

    private:
        HttpClient& inner_;
    } missing(http());
    RunWindow w(endpoints(), desktop_->createPlayer(nullptr));
    w.platform.useHttp(missing);
    w.fill(QStringLiteral("小红"), QStringLiteral("小明"), QStringLiteral("妈妈"),
           QStringLiteral("生日快乐"));
    w.platform.boxes.answerNext(MessageBoxAnswer::Yes);
    w.generate();
    EXPECT_TRUE(w.run->messageAddress().endsWith(QStringLiteral("/tts/missing-0000.mp3")));

    EXPECT_TRUE(
        QTest::qWaitFor([&] { return w.status == QStringLiteral("音信播放失败!请检查网络后重试.."); }, 10000))
        << w.status.toStdString();
    EXPECT_FALSE(w.player->isPlaying());
    EXPECT_TRUE(w.player->URL().isEmpty());
    EXPECT_TRUE(w.generateEnabled && w.inputsEnabled);
}

TEST_F(Loopback, SavingRunWritesTheSpeechAndThePrefixJoin) {
    RunWindow w(endpoints());
    w.platform.useHttp(http());
    const QByteArray prefix = QByteArray("\xFF\xE3\x20\xC4", 4) + QByteArray(2000, '\x11');
    ASSERT_TRUE(w.folder.write("\\yx\\qz.mp3", prefix));
    w.fill(QStringLiteral("阿朔"), QStringLiteral("老王"), QStringLiteral("好友"),
           QStringLiteral("周末一起吃饭"));
    w.withPrefix = true;
    ASSERT_TRUE(w.folder.write("\\joined.mp3", QByteArray(200000, 'O')));
    w.platform.dialogs.chooseNext(w.folder.path("\\speech.mp3"));
    w.platform.dialogs.chooseNext(w.folder.path("\\joined.mp3"));
    w.platform.boxes.answerNext(MessageBoxAnswer::Yes);
    w.platform.boxes.answerNext(MessageBoxAnswer::No);
    w.generate();

    const QByteArray speech = w.folder.read("\\speech.mp3");
    EXPECT_TRUE(looksLikeMp3(speech));
    EXPECT_EQ(speech, http().get(w.run->messageAddress()).body);
    EXPECT_EQ(w.folder.read("\\joined.mp3"), prefix + speech);
    EXPECT_EQ(w.status, QStringLiteral("合成音信文件已保存!是否找到此文件?!"));
    EXPECT_TRUE(w.fakePlayer().urlHistory.isEmpty());
    EXPECT_EQ(w.shownFile, GenerationRun::SavedFile::Joined);
    EXPECT_EQ(w.platform.boxes.unexpected, 0);
}

TEST_F(Loopback, StoppedServiceFailsTheRunCleanly) {
    SpeechService other;
    ASSERT_TRUE(other.start());
    Endpoints e = Endpoints::forLocalService(other.port());
    e.useSpeechService(QStringLiteral("http://127.0.0.1:%1").arg(other.port()));
    RunWindow w(e);
    w.platform.useHttp(http());
    w.fill("a", "b", "c", "d");
    w.run->setMessageAddress(" http://127.0.0.1:9/old.mp3");
    // The probe passes, then the service goes away before the request.
    w.platform.boxes.onShow = [&other](const fakes::ShownBox&) { other.stop(); };
    w.platform.boxes.answerNext(MessageBoxAnswer::Yes);
    w.generate();
    EXPECT_EQ(w.status, QStringLiteral("Vela声笺生成失败!语音服务暂不可用,请稍后再试.."));
    EXPECT_EQ(w.run->messageAddress(), " http://127.0.0.1:9/old.mp3");
    EXPECT_TRUE(w.fakePlayer().urlHistory.isEmpty());
    EXPECT_FALSE(w.parked);

    w.platform.boxes.onShow = nullptr;
    w.generate();
    EXPECT_EQ(w.status, QStringLiteral("程序未联网!暂不可使用!"));
}

TEST_F(Loopback, SpeakWritesTheSpeechAndJoinsAPrefix) {
    QTemporaryDir dir;
    const QString plain = dir.filePath("plain.mp3");
    const Speak first = speak(Inputs + QStringList{"--output", plain});
    ASSERT_EQ(first.code, 0) << first.err.join('\n').toStdString();
    QByteArray speech;
    ASSERT_TRUE(readWholeFile(plain, speech));
    EXPECT_TRUE(looksLikeMp3(speech));
    EXPECT_TRUE(first.out.join('\n').contains(QStringLiteral("音信地址: http://127.0.0.1:")));
    EXPECT_TRUE(first.err.isEmpty());

    const QString prefixPath = dir.filePath("prefix.mp3");
    const QByteArray prefix = QByteArray::fromStdString(velanote::testing::messageFormatBytes(1003, 'p'));
    ASSERT_TRUE(writeFileAtomically(prefixPath, prefix));
    const QString joined = dir.filePath("joined.mp3");
    ASSERT_TRUE(writeFileAtomically(joined, QByteArray(300000, 'O')));
    const Speak second = speak(Inputs + QStringList{"--prefix", prefixPath, "--output", joined});
    ASSERT_EQ(second.code, 0) << second.err.join('\n').toStdString();
    QByteArray both;
    ASSERT_TRUE(readWholeFile(joined, both));
    EXPECT_EQ(both.size(), prefix.size() + speech.size());
    EXPECT_TRUE(both.startsWith(prefix));
    EXPECT_TRUE(looksLikeMp3(both.mid(prefix.size())));

    // An outside service named by VELANOTE_SPEECH_URL is used instead of a fresh embedded one.
    const quint64 before = service_->synthesisCount();
    {
        EnvGuard env("VELANOTE_SPEECH_URL", serviceUrl().toUtf8());
        const Speak outside = speak({"--sender", "a", "--recipient", "b", "--relation", "c", "--message",
                                     QStringLiteral("外部服务"), "--output", plain});
        ASSERT_EQ(outside.code, 0) << outside.err.join('\n').toStdString();
        EXPECT_TRUE(outside.out.join('\n').contains(serviceUrl() + "/tts/"));
    }
    EXPECT_EQ(service_->synthesisCount(), before + 1);
}

TEST_F(Loopback, SpeakTakesAJingleFromThePreparedProgramFolder) {
    QTemporaryDir home;
    EnvGuard env("VELANOTE_HOME", home.path().toUtf8());
    const QString out = home.filePath("withjingle.mp3");
    Speak s = speak(Inputs + QStringList{"--jingle", "3", "--output", out});
    ASSERT_EQ(s.code, 0) << s.err.join('\n').toStdString();
    QByteArray jingle;
    ASSERT_TRUE(readWholeFile(ProgramFolder(home.path()).file("\\sc\\3.mp3"), jingle));
    ASSERT_TRUE(looksLikeMp3(jingle));
    QByteArray written;
    ASSERT_TRUE(readWholeFile(out, written));
    EXPECT_TRUE(written.startsWith(jingle));
    EXPECT_TRUE(looksLikeMp3(written.mid(jingle.size())));

    // A copy that cannot be restored (a folder stands in its place) is not used: the built-in
    // jingle is, and the user is told. With "-" the MP3 alone goes to standard output.
    const QString five = ProgramFolder(home.path()).file("\\sc\\5.mp3");
    ASSERT_TRUE(QFile::remove(five) && QDir().mkpath(five + "/inside"));
    QByteArray piped;
    SpeakCommand command([&s](const QString& l) { s.out.append(l); },
                         [&s](const QString& l) { s.err.append(l); },
                         [&piped](const QByteArray& b) {
                             piped += b;
                             return true;
                         });
    s.out.clear();
    ASSERT_EQ(command.run(Inputs + QStringList{"--jingle", "5", "--output", "-"}), 0)
        << s.err.join('\n').toStdString();
    EXPECT_TRUE(s.out.isEmpty());
    EXPECT_TRUE(s.err.join('\n').contains(QStringLiteral("改用程序内置的前缀音频")));
    EXPECT_TRUE(s.err.join('\n').contains(QStringLiteral("已写到标准输出")));
    EXPECT_TRUE(QFileInfo(five).isDir());
    EXPECT_TRUE(piped.startsWith(loadResource(116)));
    EXPECT_TRUE(looksLikeMp3(piped.mid(loadResource(116).size())));
}

TEST_F(Loopback, SpeakFailuresWriteNothing) {
    QTemporaryDir dir;
    const QString out = dir.filePath("out.mp3");
    ASSERT_TRUE(writeFileAtomically(out, "KEEP"));
    {
        EnvGuard env("VELANOTE_SPEECH_URL", "http://127.0.0.1:9");
        const Speak s = speak(Inputs + QStringList{"--output", out});
        EXPECT_EQ(s.code, 3);
        EXPECT_TRUE(s.err.join('\n').contains(QStringLiteral("Vela声笺生成失败")));
    }
    {
        // A text the service would refuse is refused before it is asked.
        const Speak refused = speak({"--sender", "a", "--recipient", "b", "--relation", "c", "--message",
                                     QStringLiteral("x\x01y"), "--output", out});
        EXPECT_EQ(refused.code, 2);
        EXPECT_TRUE(refused.err.join('\n').contains(QStringLiteral("--message 含有控制字符")))
            << refused.err.join('\n').toStdString();
    }
    const Speak noPrefix = speak(Inputs + QStringList{"--prefix", dir.filePath("none.mp3"), "--output", out});
    EXPECT_EQ(noPrefix.code, 4);
    const Speak noFolder = speak(Inputs + QStringList{"--output", dir.filePath("no/such/out.mp3")});
    EXPECT_EQ(noFolder.code, 4);
    const Speak ontoPrefix = speak(Inputs + QStringList{"--prefix", out, "--output", out});
    EXPECT_EQ(ontoPrefix.code, 4);
    QByteArray kept;
    ASSERT_TRUE(readWholeFile(out, kept));
    EXPECT_EQ(kept, QByteArray("KEEP"));
}
