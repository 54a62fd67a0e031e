#include "runfixture.h"

#include "generation/composition.h"
#include "generation/serviceclient.h"

#include <QApplication>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>

using namespace velanote;
using velanote::testing::RunWindow;

namespace {

const QString Base = QStringLiteral(" http://tts.test");
const QString Failed = QStringLiteral("Vela声笺生成失败!语音服务暂不可用,请稍后再试..");
const QString DownloadFailed = QStringLiteral("音信文件下载失败!请检查网络后重试..");
const QString SaveFailed = QStringLiteral("音信文件保存失败!请检查保存路径..");

Endpoints testEndpoints() {
    Endpoints e;
    e.speechBase = Base;
    e.probeHost = QStringLiteral("probe.test");
    return e;
}

// The address the run requests for the inputs used below.
QString requestFor(const MessageInputs& in) {
    return SpeechRequest::address(Base,
                                  UTF8EncodeURI(ToTraditionalChinese(MessageComposer::spokenSentence(in))))
        .trimmed();
}

const MessageInputs Greeting{QStringLiteral("小红"), QStringLiteral("小明"), QStringLiteral("妈妈"),
                             QStringLiteral("生日快乐 & 100% \"开心\"\n第二行")};

struct FakeRun : RunWindow {
    FakeRun() : RunWindow(testEndpoints()) {
        platform.httpFake.replies.insert("probe.test", HttpResult{true, 200, "<html>home</html>"});
        fill(Greeting.sender, Greeting.recipient, Greeting.relation, Greeting.message);
    }
    void serviceAnswers(const HttpResult& reply) {
        platform.httpFake.replies.insert(requestFor(Greeting), reply);
    }
    void speechAt(const QString& path, const QByteArray& mp3) {
        platform.httpFake.replies.insert("http://tts.test" + path, HttpResult{true, 200, mp3});
    }
    int dialogCount() const { return int(platform.dialogs.calls.size()); }
};

// Wraps the fake client and looks at the window from the UI thread while the speech request is
// under way, which only works when the UI thread keeps processing events meanwhile.
class ObservingHttp : public HttpClient {
public:
    ObservingHttp(HttpClient& inner, std::function<void()> look) : inner_(inner), look_(std::move(look)) {}
    QString fetchText(const QString& url) override { return inner_.fetchText(url); }
    HttpResult get(const QString& url) override {
        if (url.contains("text2speech.php")) {
            onWorker = QThread::currentThread() != qApp->thread();
            QMetaObject::invokeMethod(qApp, look_, Qt::BlockingQueuedConnection);
        }
        return inner_.get(url);
    }
    bool onWorker = false;

private:
    HttpClient& inner_;
    std::function<void()> look_;
};

} // namespace

TEST(GenerationRun, InputChecksSetFocusAndStatusWithoutTouchingTheNetwork) {
    FakeRun w;
    w.fill("", "", "", "");
    w.generate();
    EXPECT_EQ(w.status, QStringLiteral("请输入您的名字[即发送人]"));
    EXPECT_EQ(w.focus, InputField::Sender);

    w.fill("a", "b", "", "m");
    w.generate();
    EXPECT_EQ(w.status, QStringLiteral("请选择或输入您与对方的关系[即对方对您的称呼]"));
    EXPECT_EQ(w.focus, InputField::Relation);

    w.fill("a", "b", "c", QString(101, 'x'));
    w.generate();
    EXPECT_EQ(w.status, QStringLiteral("为了防止程序错误!请您输入在100字以内的祝福语"));
    EXPECT_EQ(w.focus, InputField::Message);

    EXPECT_TRUE(w.platform.httpFake.requests.isEmpty());
    EXPECT_TRUE(w.platform.boxes.shown.isEmpty());
    EXPECT_TRUE(w.generateEnabled);
}

TEST(GenerationRun, OfflineProbeWarnsOnceAndReenablesTheButton) {
    FakeRun w;
    w.platform.httpFake.replies.clear();
    w.generate();
    ASSERT_EQ(w.platform.boxes.shown.size(), 1);
    EXPECT_EQ(w.platform.boxes.shown[0].prompt, QStringLiteral("程序未联网!暂不可使用!"));
    EXPECT_EQ(w.platform.boxes.shown[0].style, MessageBoxStyle::OkExclamation);
    EXPECT_EQ(w.platform.boxes.shown[0].title, QStringLiteral("Vela系列软件"));
    EXPECT_EQ(w.status, QStringLiteral("程序未联网!暂不可使用!"));
    EXPECT_TRUE(w.generateEnabled);
    EXPECT_EQ(w.platform.httpFake.requests, QStringList{"probe.test"});
}

TEST(GenerationRun, AnsweringNoChangesOnlyTheStatusAndTheButton) {
    FakeRun w;
    w.run->setMessageAddress(" http://tts.test/old.mp3");
    bool disabledDuringPreview = false;
    QString statusDuringPreview;
    w.platform.boxes.onShow = [&](const fakes::ShownBox&) {
        disabledDuringPreview = !w.generateEnabled;
        statusDuringPreview = w.status;
    };
    w.platform.boxes.answerNext(MessageBoxAnswer::No);
    w.generate();

    ASSERT_EQ(w.platform.boxes.shown.size(), 1);
    EXPECT_EQ(w.platform.boxes.shown[0].prompt, MessageComposer::previewText(Greeting));
    EXPECT_EQ(w.platform.boxes.shown[0].style, MessageBoxStyle::YesNoInformation);
    EXPECT_TRUE(disabledDuringPreview);
    EXPECT_EQ(statusDuringPreview, QStringLiteral("经检测,您已联网,进入预览界面!"));
    EXPECT_EQ(w.status, QStringLiteral("您已取消生成!"));
    EXPECT_TRUE(w.generateEnabled);
    EXPECT_EQ(w.run->messageAddress(), " http://tts.test/old.mp3");
    EXPECT_TRUE(w.balloons.isEmpty());
    EXPECT_TRUE(w.fakePlayer().urlHistory.isEmpty());
    EXPECT_FALSE(w.parked);
}

TEST(GenerationRun, PlayingBranchPlaysTheMessageAddressWhileTheWindowWaitsInTheTray) {
    FakeRun w;
    w.serviceAnswers(HttpResult{true, 200, "outurl=./tts/a1b2.mp3&len=9"});
    bool hiddenDuringRequest = false;
    bool balloonDuringRequest = false;
    QString statusDuringRequest;
    ObservingHttp observing(w.platform.httpFake, [&] {
        hiddenDuringRequest = w.parked;
        balloonDuringRequest = !w.balloons.isEmpty();
        statusDuringRequest = w.status;
    });
    w.platform.useHttp(observing);
    w.platform.boxes.answerNext(MessageBoxAnswer::Yes);
    w.generate();

    EXPECT_TRUE(observing.onWorker);
    EXPECT_TRUE(hiddenDuringRequest);
    EXPECT_TRUE(balloonDuringRequest);
    EXPECT_EQ(statusDuringRequest, QStringLiteral("正在生成Vela声笺...发送者:[小红] | 接收者:[小明]"));
    EXPECT_EQ(w.balloons, QStringList{QStringLiteral("程序正在生成音信文件..请稍等..")});

    const QString requests = w.platform.httpFake.requests.join(QLatin1Char('\n'));
    EXPECT_TRUE(requests.contains(UTF8EncodeURI(MessageComposer::finalSentence(Greeting))));
    EXPECT_TRUE(requests.contains("%20%26%20100%25%20%22"));
    EXPECT_TRUE(requests.contains("%22%0A%E7%AC%AC"));
    EXPECT_EQ(w.run->messageAddress(), QStringLiteral(" http://tts.test/tts/a1b2.mp3"));
    EXPECT_EQ(w.fakePlayer().URL(), QStringLiteral(" http://tts.test/tts/a1b2.mp3"));
    EXPECT_EQ(w.status, QStringLiteral("Vela声笺生成成功!正在进行在线播放..."));
    EXPECT_FALSE(w.parked);
    EXPECT_TRUE(w.generateEnabled);
    EXPECT_TRUE(w.inputsEnabled);
    EXPECT_TRUE(w.platform.dialogs.calls.isEmpty());
    EXPECT_EQ(w.platform.boxes.unexpected, 0);
}

// An address that cannot be played ends the run as a failure, not with the success text.
TEST(GenerationRun, UnplayableMessageAddressEndsTheRunAsAFailure) {
    FakeRun w;
    w.serviceAnswers(HttpResult{true, 200, "outurl=./tts/gone.mp3"});
    w.platform.boxes.answerNext(MessageBoxAnswer::Yes);
    w.generate();
    ASSERT_EQ(w.fakePlayer().URL(), QStringLiteral(" http://tts.test/tts/gone.mp3"));

    w.fakePlayer().fail();
    EXPECT_EQ(w.status, QStringLiteral("音信播放失败!请检查网络后重试.."));
    EXPECT_EQ(w.fakePlayer().URL(), QString());
    EXPECT_FALSE(w.fakePlayer().isPlaying());
    EXPECT_TRUE(w.generateEnabled && w.inputsEnabled);
    EXPECT_EQ(w.run->messageAddress(), QStringLiteral(" http://tts.test/tts/gone.mp3"));

    // A failure of another source (the joined file the user chose to hear) is not this run's.
    w.fakePlayer().setURL(w.folder.path("\\joined.mp3"));
    w.status = (QStringLiteral("合成音信文件已保存!是否找到此文件?!"));
    w.fakePlayer().fail();
    EXPECT_EQ(w.status, QStringLiteral("合成音信文件已保存!是否找到此文件?!"));
}

TEST(GenerationRun, FailedServiceKeepsThePreviousAddressAndPlaysNothing) {
    const QList<std::optional<HttpResult>> replies = {
        std::nullopt,                               // unreachable
        HttpResult{true, 500, "outurl=./err.mp3"},  // error status
        HttpResult{true, 200, "<html>busy</html>"}, // not a result
        HttpResult{true, 200, ""},                  // empty
        HttpResult{false, 0, "outurl=./half.mp3"}}; // incomplete
    for (const auto& reply : replies) {
        FakeRun w;
        if (reply) {
            w.serviceAnswers(*reply);
        }
        w.withPrefix = true;
        w.run->setMessageAddress(" http://tts.test/old.mp3");
        w.platform.boxes.answerNext(MessageBoxAnswer::Yes);
        w.generate();

        EXPECT_EQ(w.status, Failed);
        EXPECT_EQ(w.run->messageAddress(), " http://tts.test/old.mp3");
        EXPECT_TRUE(w.fakePlayer().urlHistory.isEmpty());
        EXPECT_TRUE(w.platform.dialogs.calls.isEmpty());
        EXPECT_EQ(w.platform.boxes.shown.size(), 1);
        EXPECT_FALSE(w.parked);
        EXPECT_EQ(w.balloons.size(), 1);
        EXPECT_TRUE(w.generateEnabled && w.inputsEnabled);
    }
}

TEST(GenerationRun, SavingBranchSavesSpeechAndJoinedFileThenOffersToPlayIt) {
    FakeRun w;
    const QByteArray prefix(1200, 'P');
    const QByteArray speech(3400, 'Q');
    ASSERT_TRUE(w.folder.write("\\yx\\qz.mp3", prefix));
    ASSERT_TRUE(w.folder.write("\\out\\joined.mp3", QByteArray(9000, 'O')));
    w.serviceAnswers(HttpResult{true, 200, "outurl=./tts/s1.mp3"});
    w.speechAt("/tts/s1.mp3", speech);
    w.withPrefix = true;
    const QString speechPath = w.folder.path("\\out\\speech.mp3");
    const QString joinedPath = w.folder.path("\\out\\joined.mp3");
    w.platform.dialogs.chooseNext(speechPath);
    w.platform.dialogs.chooseNext(joinedPath);
    w.platform.boxes.answerNext(MessageBoxAnswer::Yes);
    w.platform.boxes.answerNext(MessageBoxAnswer::Yes);
    QList<bool> balloonWithDialog;
    w.platform.dialogs.onShow = [&w, &balloonWithDialog](const fakes::DialogCall&) {
        balloonWithDialog.append(w.balloonUp);
    };
    w.generate();

    ASSERT_EQ(w.dialogCount(), 2);
    EXPECT_EQ(balloonWithDialog, (QList<bool>{false, false}))
        << "no balloon says it works while a dialog waits";
    EXPECT_TRUE(w.platform.dialogs.calls[0].save);
    EXPECT_EQ(w.platform.dialogs.calls[0].title, QStringLiteral("请选择您要保存音信文件的路径"));
    EXPECT_EQ(w.platform.dialogs.calls[0].filter, QStringLiteral("(MP3音频文件)|*.mp3"));
    EXPECT_EQ(w.platform.dialogs.calls[1].title, QStringLiteral("请选择您要保存合成音信的路径"));
    EXPECT_EQ(w.platform.dialogs.calls[1].filter, QStringLiteral("音频文件(*.mp3)|*.mp3"));
    EXPECT_EQ(w.folder.read("\\out\\speech.mp3"), speech);
    EXPECT_EQ(w.folder.read("\\out\\joined.mp3"), prefix + speech);
    EXPECT_EQ(w.folder.read("\\yx\\qz.mp3"), prefix);

    ASSERT_EQ(w.platform.boxes.shown.size(), 2);
    EXPECT_EQ(w.platform.boxes.shown[1].prompt, QStringLiteral("音频文件已合成成功!是否试听?"));
    EXPECT_EQ(w.platform.boxes.shown[1].style, MessageBoxStyle::YesNoInformation);
    EXPECT_EQ(w.fakePlayer().urlHistory, QStringList{joinedPath});
    EXPECT_EQ(w.status, QStringLiteral("合成音信文件已保存!是否找到此文件?!"));
    EXPECT_EQ(w.shownFile, GenerationRun::SavedFile::Joined);
    EXPECT_NE(w.shownFile, GenerationRun::SavedFile::Speech);
    EXPECT_EQ(w.run->joinedFilePath, joinedPath);
    EXPECT_TRUE(w.run->speechFilePath.isEmpty());
    EXPECT_FALSE(w.parked);
    EXPECT_TRUE(w.generateEnabled);
    EXPECT_EQ(w.balloons.size(), 3);
    EXPECT_EQ(w.balloons[1], QStringLiteral("程序正在保存音信文件..请稍等.."));

    // The "find" button opens the file manager on the joined file.
    w.run->findJoinedFile();
    EXPECT_EQ(w.platform.shellFake.shownFiles, QStringList{joinedPath});
}

TEST(GenerationRun, CancellingEitherDialogWritesNoJoinedFile) {
    {
        FakeRun w;
        ASSERT_TRUE(w.folder.write("\\yx\\qz.mp3", "PRE"));
        ASSERT_TRUE(w.folder.write("\\old.mp3", "OLD JOINED"));
        w.serviceAnswers(HttpResult{true, 200, "outurl=./s.mp3"});
        w.speechAt("/s.mp3", "SPEECH");
        w.withPrefix = true;
        w.platform.dialogs.cancelNext();
        w.platform.boxes.answerNext(MessageBoxAnswer::Yes);
        w.generate();
        EXPECT_EQ(w.status, QStringLiteral("您已取消保存音频文件..."));
        EXPECT_EQ(w.dialogCount(), 1);
        EXPECT_EQ(w.folder.read("\\old.mp3"), QByteArray("OLD JOINED"));
        EXPECT_FALSE(w.parked);
        EXPECT_TRUE(w.generateEnabled);
        EXPECT_NE(w.shownFile, GenerationRun::SavedFile::Joined);
    }
    {
        FakeRun w;
        ASSERT_TRUE(w.folder.write("\\yx\\qz.mp3", "PRE"));
        ASSERT_TRUE(w.folder.write("\\old.mp3", "OLD JOINED"));
        w.serviceAnswers(HttpResult{true, 200, "outurl=./s.mp3"});
        w.speechAt("/s.mp3", "SPEECH");
        w.withPrefix = true;
        w.platform.dialogs.chooseNext(w.folder.path("\\speech.mp3"));
        w.platform.dialogs.cancelNext();
        w.platform.boxes.answerNext(MessageBoxAnswer::Yes);
        w.generate();
        EXPECT_EQ(w.status, QStringLiteral("您取消了音频保存操作..."));
        EXPECT_EQ(w.dialogCount(), 2);
        EXPECT_EQ(w.folder.read("\\speech.mp3"), QByteArray("SPEECH"));
        EXPECT_EQ(w.folder.read("\\old.mp3"), QByteArray("OLD JOINED"));
        EXPECT_EQ(w.platform.boxes.shown.size(), 1);
        EXPECT_TRUE(w.run->joinedFilePath.isEmpty());
    }
}

TEST(GenerationRun, FailedDownloadLeavesTheOldFileAndAsksNothing) {
    FakeRun w;
    ASSERT_TRUE(w.folder.write("\\yx\\qz.mp3", "PRE"));
    ASSERT_TRUE(w.folder.write("\\speech.mp3", "OLD SPEECH"));
    w.serviceAnswers(HttpResult{true, 200, "outurl=./s.mp3"});
    w.platform.httpFake.replies.insert("http://tts.test/s.mp3", HttpResult{true, 404, "not found"});
    w.withPrefix = true;
    w.platform.dialogs.chooseNext(w.folder.path("\\speech.mp3"));
    w.platform.dialogs.chooseNext(w.folder.path("\\joined.mp3"));
    w.platform.boxes.answerNext(MessageBoxAnswer::Yes);
    w.generate();
    EXPECT_EQ(w.status, DownloadFailed);
    EXPECT_EQ(w.dialogCount(), 1);
    EXPECT_EQ(w.folder.read("\\speech.mp3"), QByteArray("OLD SPEECH"));
    EXPECT_FALSE(QFile::exists(w.folder.path("\\joined.mp3")));
    EXPECT_EQ(w.platform.boxes.shown.size(), 1);
    EXPECT_FALSE(w.parked);
    EXPECT_TRUE(w.generateEnabled);

    // The menu command fails the same way and shows no "find" button.
    w.platform.dialogs.chooseNext(w.folder.path("\\speech.mp3"));
    w.run->saveMessage();
    EXPECT_EQ(w.status, DownloadFailed);
    EXPECT_NE(w.shownFile, GenerationRun::SavedFile::Speech);
    EXPECT_TRUE(w.run->speechFilePath.isEmpty());
}

// A body that arrived but could not be written is the save path's fault, not the network's.
TEST(GenerationRun, UnwritableTargetIsReportedAsASaveFailure) {
    FakeRun w;
    ASSERT_TRUE(w.folder.write("\\yx\\qz.mp3", "PRE"));
    ASSERT_TRUE(w.folder.write("\\plain", "a file, not a folder"));
    const QString target = w.folder.path("\\plain\\speech.mp3");
    w.serviceAnswers(HttpResult{true, 200, "outurl=./s.mp3"});
    w.speechAt("/s.mp3", "SPEECH");
    w.withPrefix = true;
    w.platform.dialogs.chooseNext(target);
    w.platform.boxes.answerNext(MessageBoxAnswer::Yes);
    w.generate();
    EXPECT_EQ(w.status, SaveFailed);
    EXPECT_EQ(w.dialogCount(), 1);
    EXPECT_TRUE(w.generateEnabled);

    w.platform.dialogs.chooseNext(target);
    w.run->saveMessage();
    EXPECT_EQ(w.status, SaveFailed);
    EXPECT_NE(w.shownFile, GenerationRun::SavedFile::Speech);
    EXPECT_TRUE(w.run->speechFilePath.isEmpty());
    EXPECT_EQ(w.folder.read("\\plain"), QByteArray("a file, not a folder"));
}

TEST(GenerationRun, JoinRefusesAMissingPrefixAndThePrefixAsTarget) {
    auto runWith = [](bool writePrefix, const QString& joinedRelative, QString& status,
                      QByteArray& prefixAfter, int& boxes) {
        FakeRun w;
        if (writePrefix) {
            EXPECT_TRUE(w.folder.write("\\yx\\qz.mp3", "PRE"));
        }
        w.serviceAnswers(HttpResult{true, 200, "outurl=./s.mp3"});
        w.speechAt("/s.mp3", "SPEECH");
        w.withPrefix = true;
        w.platform.dialogs.chooseNext(w.folder.path("\\speech.mp3"));
        w.platform.dialogs.chooseNext(w.folder.path(joinedRelative));
        w.platform.boxes.answerNext(MessageBoxAnswer::Yes);
        w.platform.boxes.answerNext(MessageBoxAnswer::No);
        w.generate();
        status = w.status;
        prefixAfter = w.folder.read("\\yx\\qz.mp3");
        boxes = int(w.platform.boxes.shown.size());
        EXPECT_FALSE(w.shownFile == GenerationRun::SavedFile::Joined &&
                     status != QStringLiteral("合成音信文件已保存!是否找到此文件?!"));
        return w.folder.read("\\speech.mp3");
    };
    QString status;
    QByteArray prefixAfter;
    int boxes = 0;
    runWith(false, "\\joined.mp3", status, prefixAfter, boxes);
    EXPECT_EQ(status, QStringLiteral("未找到前缀音频文件!请先进行前缀音频设置.."));
    EXPECT_EQ(boxes, 1);

    runWith(true, "\\yx\\qz.mp3", status, prefixAfter, boxes);
    EXPECT_EQ(status, QStringLiteral("合成路径不能与前缀音频相同!请重新选择.."));
    EXPECT_EQ(prefixAfter, QByteArray("PRE"));
    EXPECT_EQ(boxes, 1);

    // The speech file itself may be the joined file.
    const QByteArray joined = runWith(true, "\\speech.mp3", status, prefixAfter, boxes);
    EXPECT_EQ(status, QStringLiteral("合成音信文件已保存!是否找到此文件?!"));
    EXPECT_EQ(joined, QByteArray("PRESPEECH"));
    EXPECT_EQ(boxes, 2);
}

TEST(GenerationRun, JoinWriteFailureIsReported) {
    FakeRun w;
    ASSERT_TRUE(w.folder.write("\\yx\\qz.mp3", "PRE"));
    w.run->setMessageAddress(" http://tts.test/s.mp3");
    w.speechAt("/s.mp3", "SPEECH");
    w.platform.dialogs.chooseNext(w.folder.path("\\speech.mp3"));
    w.platform.dialogs.chooseNext(w.folder.path("\\no\\folder\\joined.mp3"));
    w.run->saveSpeechThenJoined();
    EXPECT_EQ(w.status, SaveFailed);
    EXPECT_TRUE(w.platform.boxes.shown.isEmpty());
    EXPECT_TRUE(w.run->joinedFilePath.isEmpty());
}

TEST(GenerationRun, MenuSaveAndFindButtonsTakeTurns) {
    FakeRun w;
    w.run->saveMessage();
    EXPECT_EQ(w.status, QStringLiteral("请先生成音信,再执行本操作..."));
    EXPECT_TRUE(w.platform.dialogs.calls.isEmpty());

    w.run->setMessageAddress(" http://tts.test/s.mp3");
    w.speechAt("/s.mp3", "SPEECH");
    w.platform.dialogs.cancelNext();
    w.run->saveMessage();
    EXPECT_EQ(w.status, QStringLiteral("您取消了音信保存操作..."));
    EXPECT_EQ(w.platform.dialogs.calls.last().title, QStringLiteral("保存音频文件"));

    w.shownFile = GenerationRun::SavedFile::Joined;
    const QString path = w.folder.path("\\menu.mp3");
    w.platform.dialogs.chooseNext(path);
    w.run->saveMessage();
    EXPECT_EQ(w.folder.read("\\menu.mp3"), QByteArray("SPEECH"));
    EXPECT_EQ(w.status, QStringLiteral("音信文件已保存,是否找到此文件?!"));
    EXPECT_EQ(w.shownFile, GenerationRun::SavedFile::Speech);
    EXPECT_NE(w.shownFile, GenerationRun::SavedFile::Joined);
    EXPECT_EQ(w.run->speechFilePath, path);
    EXPECT_FALSE(w.parked);
    // The dialog offers the last chosen name again.
    w.platform.dialogs.cancelNext();
    w.run->saveMessage();
    EXPECT_EQ(w.platform.dialogs.calls.last().initialName, path);

    w.run->findSpeechFile();
    EXPECT_EQ(w.platform.shellFake.shownFiles, QStringList{path});
    ASSERT_TRUE(QFile::remove(path));
    w.run->findSpeechFile();
    ASSERT_EQ(w.platform.boxes.shown.size(), 1);
    EXPECT_EQ(w.platform.boxes.shown[0].prompt, QStringLiteral("未找到原版音信文件!可能已被删除!请您检查!"));
    EXPECT_EQ(w.platform.boxes.shown[0].style, MessageBoxStyle::OkExclamation);
    EXPECT_EQ(w.platform.shellFake.shownFiles.size(), 1);

    w.run->findJoinedFile();
    EXPECT_EQ(w.platform.boxes.shown.last().prompt,
              QStringLiteral("未找到合成音信文件!可能已被删除!请您检查!"));
}

TEST(GenerationRun, CopyAndExampleCommands) {
    FakeRun w;
    w.run->copyAddress();
    EXPECT_EQ(w.status, QStringLiteral("请先生成音信,再执行本操作.."));
    EXPECT_EQ(w.platform.clipboardFake.writes + w.platform.clipboardFake.clears, 0);
    w.run->setMessageAddress(" http://tts.test/s.mp3");
    w.run->copyAddress();
    EXPECT_EQ(w.platform.clipboardFake.text(), QStringLiteral(" http://tts.test/s.mp3"));
    EXPECT_EQ(w.platform.clipboardFake.clears, 1);
    EXPECT_EQ(w.status, QStringLiteral("Vela.声笺音信地址复制成功!"));

    w.fill("小红", "", "", "");
    w.run->showExample(w.inputs.sender, w.inputs.relation);
    ASSERT_EQ(w.platform.boxes.shown.size(), 1);
    EXPECT_EQ(w.platform.boxes.shown[0].prompt, QStringLiteral("请您先输入您的名字并随意选择或输入一个称呼"));
    EXPECT_EQ(w.platform.boxes.shown[0].style, MessageBoxStyle::OkExclamation);
    w.fill("小红", "", "死党", "");
    w.run->showExample(w.inputs.sender, w.inputs.relation);
    EXPECT_EQ(w.platform.boxes.shown[1].prompt, MessageComposer::exampleText("小红", "死党"));
    EXPECT_EQ(w.platform.boxes.shown[1].style, MessageBoxStyle::OkInformation);
    EXPECT_EQ(w.platform.boxes.shown[1].title, QStringLiteral("Vela系列软件"));
}
