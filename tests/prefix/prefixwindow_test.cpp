#include "prefix/prefixwindow.h"

#include "app/inifile.h"
#include "prefix/prefixstore.h"
#include "prefixfixture.h"
#include "support/mp3frames.h"
#include "widgets/playerstrip.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

using namespace velanote;
using velanote::testing::child;

namespace {

const QString kNoPrefix = QStringLiteral("程序检测：您当前未设置过前缀音频,请先进行前缀音频设定");

class PrefixWindowTest : public prefixtest::PrefixFixture {
protected:
    ~PrefixWindowTest() override {
        for (const QPointer<PrefixWindow>& w : windows) {
            delete w.data();
        }
    }
    PrefixWindow* open() {
        auto* w = new PrefixWindow(ctx, &mainWindow);
        // What the prefix switch does when its settings window closes.
        QObject::connect(w, &PrefixWindow::closed, [this](bool withPrefix) {
            mainWindow.show();
            if (!withPrefix) {
                prefixCheck->setChecked(false);
            }
        });
        windows.append(w);
        return w;
    }
    fakes::FakeMediaPlayer& player() { return *platform.players.back(); }
    QString stored() const { return readSetting("Information", "qzyp", "0", ini()); }
    QString userFile(const QString& name, qsizetype size) {
        QString path = temp.path("\\user\\" + name);
        temp.write("\\user\\" + name, QByteArray::fromStdString(velanote::testing::messageFormatBytes(size)));
        return path;
    }
    void pick(PrefixWindow* w, const QString& path) {
        platform.dialogs.chooseNext(path);
        click(w, "browseButton");
    }

    QList<QPointer<PrefixWindow>> windows;
};

TEST_F(PrefixWindowTest, FreshFolderOpensInBuiltInModeWithNothingStored) {
    PrefixWindow* w = open();
    EXPECT_EQ(w->windowTitle(), "Vela.系列软件の声笺V6.0【星河】-前缀音频设置");
    EXPECT_EQ(child<QGroupBox>(w, "modeFrame")->title(), "请选择您要使用的方式：" + QString(40, ' '));
    // The blanks after the caption leave no gap in the border: it is drawn as the bare caption.
    auto* bare = new QGroupBox("请选择您要使用的方式：", w);
    bare->resize(child<QGroupBox>(w, "modeFrame")->size());
    const QRect captionRow(0, 0, bare->width(), bare->fontMetrics().height());
    EXPECT_EQ(child<QGroupBox>(w, "modeFrame")->grab(captionRow).toImage(), bare->grab(captionRow).toImage());
    EXPECT_EQ(child<QLabel>(w, "welcomeLabel")->text(),
              "欢迎使用【Vela.声笺】,本页面用于音信的美化,可在音信前加入音乐,"
              "如您有喜欢或者更好听的音乐想用作前缀音频,请点击联系阿朔");
    EXPECT_EQ(child<QLabel>(w, "storedLabel")->text(), kNoPrefix);
    EXPECT_FALSE(child<QPushButton>(w, "previewStoredButton")->isEnabled());
    EXPECT_FALSE(child<QPushButton>(w, "previewJingleButton")->isEnabled());
    EXPECT_TRUE(child<QRadioButton>(w, "builtInOption")->isChecked());
    EXPECT_FALSE(child<QRadioButton>(w, "customOption")->isChecked());
    EXPECT_TRUE(child<QComboBox>(w, "jingleCombo")->isEnabled());
    EXPECT_FALSE(child<QLineEdit>(w, "customPathEdit")->isEnabled());
    EXPECT_FALSE(child<QPushButton>(w, "browseButton")->isEnabled());
    EXPECT_FALSE(child<QPushButton>(w, "previewCustomButton")->isEnabled());

    ASSERT_EQ(child<QComboBox>(w, "jingleCombo")->count(), 10);
    const QStringList names = {"Pretty Boy",   "抒情旋律", "Dream",      "JYJ-找到了", "YesterDay",
                               "我想我是疯了", "OPPO温馨", "因为是女子", "动感活泼",   "可爱旋律"};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(child<QComboBox>(w, "jingleCombo")->itemText(i), names[i]);
    }
    EXPECT_TRUE(child<QComboBox>(w, "jingleCombo")->isEditable());
    EXPECT_TRUE(child<QComboBox>(w, "jingleCombo")->currentText().isEmpty());

    EXPECT_EQ(platform.players.size(), 1);
    for (const char* name :
         {"modeFrame", "welcomeFrame", "builtInFrame", "customFrame", "storedFrame", "builtInLabel",
          "welcomeLabel", "customLabel", "storedLabel", "builtInOption", "customOption", "jingleCombo",
          "customPathEdit", "confirmButton", "previewJingleButton", "browseButton", "previewCustomButton",
          "previewStoredButton"}) {
        EXPECT_NE(w->findChild<QWidget*>(name), nullptr) << name;
    }
    EXPECT_TRUE(platform.boxes.shown.isEmpty());
    EXPECT_FALSE(QFile::exists(ini())); // reading never creates the settings file
}

TEST_F(PrefixWindowTest, ConfirmedJingleIsStoredAndPreviewedOnReopening) {
    prefixCheck->setChecked(true);
    mainWindow.hide();
    QPointer<PrefixWindow> w = open();
    w->show();
    chooseJingle(w, 1);
    EXPECT_TRUE(child<QPushButton>(w, "previewJingleButton")->isEnabled());
    click(w, "confirmButton");

    ASSERT_EQ(platform.boxes.shown.size(), 1);
    EXPECT_EQ(platform.boxes.shown[0].prompt, "选择成功!");
    EXPECT_EQ(platform.boxes.shown[0].style, MessageBoxStyle::OkInformation);
    EXPECT_EQ(platform.boxes.shown[0].title, "Tomo阿朔提示");
    EXPECT_EQ(temp.read("\\yx\\qz.mp3"), jingleBytes(2));
    EXPECT_EQ(stored(), "抒情旋律");
    EXPECT_TRUE(mainWindow.isVisible());
    EXPECT_TRUE(prefixCheck->isChecked()); // a prefix file exists, so the switch stays on
    flushDeletes();
    EXPECT_TRUE(w.isNull()); // released when closed

    PrefixWindow* again = open();
    EXPECT_EQ(child<QLabel>(again, "storedLabel")->text(), "程序检测：您已设置过前缀音频为:抒情旋律");
    ASSERT_TRUE(child<QPushButton>(again, "previewStoredButton")->isEnabled());
    click(again, "previewStoredButton");
    EXPECT_EQ(child<QPushButton>(again, "previewStoredButton")->text(), "停止");
    QByteArray played;
    QFile f(player().URL());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), jingleBytes(2));
    click(again, "previewStoredButton");
    EXPECT_EQ(child<QPushButton>(again, "previewStoredButton")->text(), "试听");
    EXPECT_TRUE(player().URL().isEmpty());

    // A copy damaged since start-up is restored before it is heard.
    ASSERT_TRUE(temp.write("\\sc\\3.mp3", jingleBytes(3).left(100)));
    chooseJingle(again, 2);
    click(again, "previewJingleButton");
    EXPECT_EQ(player().URL(), temp.path("\\sc\\3.mp3"));
    EXPECT_EQ(temp.read("\\sc\\3.mp3"), jingleBytes(3));
    click(again, "previewJingleButton");

    // A damaged copy in "\\sc" that cannot be restored (a folder stands there) is not used:
    // the built-in jingle is.
    ASSERT_TRUE(QFile::remove(temp.path("\\sc\\3.mp3")) && QDir().mkpath(temp.path("\\sc\\3.mp3\\inside")));
    chooseJingle(again, 2);
    click(again, "confirmButton");
    EXPECT_EQ(platform.boxes.shown.back().prompt, "选择成功!");
    EXPECT_EQ(temp.read("\\yx\\qz.mp3"), jingleBytes(3));
    EXPECT_EQ(stored(), "Dream");

    // Confirming a user file afterwards replaces the one value.
    child<QRadioButton>(again, "customOption")->setChecked(true);
    pick(again, userFile("mine.mp3", 1000));
    click(again, "confirmButton");
    EXPECT_EQ(stored(), "1");
    QFile raw(ini());
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    const QByteArray text = raw.readAll();
    EXPECT_EQ(text.count("qzyp"), 1);
    EXPECT_EQ(text.count("[Information]"), 1);
}

TEST_F(PrefixWindowTest, UserFileIsCopiedAndLaterChangesToItDoNotMatter) {
    PrefixWindow* w = open();
    child<QRadioButton>(w, "customOption")->setChecked(true);
    ASSERT_EQ(platform.boxes.shown.size(), 1);
    EXPECT_EQ(platform.boxes.shown[0].prompt, PrefixWindow::parameterNote());
    EXPECT_TRUE(platform.boxes.shown[0].prompt.endsWith("合成音频!\r\n"));
    EXPECT_EQ(platform.boxes.shown[0].style, MessageBoxStyle::OkInformation);
    EXPECT_FALSE(child<QComboBox>(w, "jingleCombo")->isEnabled());
    EXPECT_TRUE(child<QPushButton>(w, "browseButton")->isEnabled());
    EXPECT_FALSE(child<QPushButton>(w, "previewCustomButton")->isEnabled());
    EXPECT_FALSE(child<QLineEdit>(w, "customPathEdit")->isEnabled());

    const QString mine = userFile("mine.mp3", 204799);
    pick(w, mine);
    ASSERT_EQ(platform.dialogs.calls.size(), 1);
    EXPECT_EQ(platform.dialogs.calls[0].title, "请选择要合并的前缀音频文件");
    EXPECT_EQ(platform.dialogs.calls[0].filter, "(MP3音频文件)|*.MP3");
    EXPECT_FALSE(platform.dialogs.calls[0].save);
    EXPECT_EQ(child<QLineEdit>(w, "customPathEdit")->text(), mine);
    EXPECT_TRUE(child<QPushButton>(w, "previewCustomButton")->isEnabled());
    EXPECT_EQ(platform.boxes.shown.size(), 1); // 199 whole KiB: accepted without a word

    click(w, "confirmButton");
    EXPECT_EQ(platform.boxes.shown.back().prompt, "选择成功!");
    EXPECT_EQ(stored(), "1");
    EXPECT_EQ(temp.read("\\yx\\qz.mp3"),
              QByteArray::fromStdString(velanote::testing::messageFormatBytes(204799)));

    temp.write("\\user\\mine.mp3", "changed");
    QFile::remove(mine);
    EXPECT_EQ(temp.read("\\yx\\qz.mp3"),
              QByteArray::fromStdString(velanote::testing::messageFormatBytes(204799)));
    flushDeletes();
    EXPECT_EQ(child<QLabel>(open(), "storedLabel")->text(),
              "程序检测：您已设置过前缀音频为自定义音频是否点击试听?");
}

TEST_F(PrefixWindowTest, PathCheckRefusesLargeAndMissingFilesAndCancelChangesNothing) {
    PrefixWindow* w = open();
    child<QRadioButton>(w, "customOption")->setChecked(true);
    platform.boxes.shown.clear();

    pick(w, userFile("big.mp3", 204800));
    EXPECT_EQ(platform.dialogs.calls.last().title, "请选择要合并的前缀音频文件");
    EXPECT_EQ(platform.dialogs.calls.last().filter, "(MP3音频文件)|*.MP3");
    ASSERT_EQ(platform.boxes.shown.size(), 1);
    EXPECT_EQ(platform.boxes.shown[0].prompt, "请选择200K以下的音频文件!");
    EXPECT_EQ(platform.boxes.shown[0].style, MessageBoxStyle::OkExclamation);
    EXPECT_TRUE(child<QLineEdit>(w, "customPathEdit")->text().isEmpty());
    EXPECT_FALSE(child<QPushButton>(w, "previewCustomButton")->isEnabled());

    const QString ok = userFile("ok.mp3", 2000);
    pick(w, ok);
    EXPECT_TRUE(child<QPushButton>(w, "previewCustomButton")->isEnabled());
    click(w, "previewCustomButton");
    EXPECT_EQ(player().URL(), ok);
    EXPECT_EQ(child<QPushButton>(w, "previewCustomButton")->text(), "停止");

    platform.dialogs.cancelNext();
    click(w, "browseButton");
    EXPECT_EQ(child<QLineEdit>(w, "customPathEdit")->text(), ok);
    EXPECT_TRUE(child<QPushButton>(w, "previewCustomButton")->isEnabled());
    EXPECT_EQ(child<QPushButton>(w, "previewCustomButton")->text(), "停止");

    // Choosing the same file again checks it afresh: the preview stops.
    pick(w, ok);
    EXPECT_EQ(child<QPushButton>(w, "previewCustomButton")->text(), "试听");
    EXPECT_TRUE(player().URL().isEmpty());

    platform.boxes.shown.clear();
    pick(w, temp.path("\\user\\nothing-here.mp3"));
    ASSERT_EQ(platform.boxes.shown.size(), 1);
    EXPECT_EQ(platform.boxes.shown[0].prompt, "文件错误!未找到文件!请您重新查找!");
    EXPECT_TRUE(child<QLineEdit>(w, "customPathEdit")->text().isEmpty());
    EXPECT_FALSE(child<QPushButton>(w, "previewCustomButton")->isEnabled());
    pick(w, temp.path("\\sc")); // a folder is no file either
    EXPECT_FALSE(child<QPushButton>(w, "previewCustomButton")->isEnabled());

    // A file that vanishes after the check is reported when previewed.
    pick(w, ok);
    QFile::remove(ok);
    platform.boxes.shown.clear();
    click(w, "previewCustomButton");
    ASSERT_EQ(platform.boxes.shown.size(), 1);
    EXPECT_EQ(platform.boxes.shown[0].prompt, "文件错误!未找到文件!请您重新查找!");
    EXPECT_FALSE(child<QPushButton>(w, "previewCustomButton")->isEnabled());
    EXPECT_EQ(child<QPushButton>(w, "previewCustomButton")->text(), "试听");
}

TEST_F(PrefixWindowTest, AFileThatIsNotAudioOfTheMessagesFormatIsRefused) {
    PrefixWindow* w = open();
    child<QRadioButton>(w, "customOption")->setChecked(true);
    const std::vector<std::pair<QString, QByteArray>> others = {
        {"wave.mp3", QByteArray("RIFF\x24\x08\0\0WAVEfmt ", 16) + QByteArray(2000, '\0')},
        {"text.mp3", QByteArray("祝你生日快乐\n").repeated(100)},
        {"cd.mp3", QByteArray("\xFF\xFB\x90\x64", 4) + QByteArray(2000, '\0')}, // MPEG-1, 44.1 kHz, stereo
        {"tagged.mp3", QByteArray("ID3\x04\0\0\0\0\0\x02xx", 12) + QByteArray("\xFF\xFB\x90\xC4", 4) +
                           QByteArray(2000, '\0')}, // behind a tag: MPEG-1, 44.1 kHz, mono
        {"short.mp3", QByteArray::fromStdString(velanote::testing::messageFormatBytes(104)).left(60)},
    };
    for (const auto& [name, bytes] : others) {
        temp.write("\\user\\" + name, bytes);
        platform.boxes.shown.clear();
        pick(w, temp.path("\\user\\" + name));
        ASSERT_EQ(platform.boxes.shown.size(), 1) << name.toStdString();
        EXPECT_EQ(platform.boxes.shown[0].prompt, "请选择MPEG-2.5 Layer III、11025 Hz、单声道的 MP3文件!");
        EXPECT_TRUE(child<QLineEdit>(w, "customPathEdit")->text().isEmpty());
        EXPECT_FALSE(child<QPushButton>(w, "previewCustomButton")->isEnabled());
        EXPECT_FALSE(PrefixStore(temp.folder()).storeCustom(temp.path("\\user\\" + name)))
            << name.toStdString();
    }
    EXPECT_FALSE(QFile::exists(prefix()));
    // A tag before the frames is fine.
    const QString tagged = temp.path("\\user\\tagged-ok.mp3");
    temp.write("\\user\\tagged-ok.mp3",
               QByteArray("ID3\x04\0\0\0\0\0\x02xx", 12) +
                   QByteArray::fromStdString(velanote::testing::messageFormatBytes(500)));
    EXPECT_TRUE(PrefixStore(temp.folder()).storeCustom(tagged));
}

TEST_F(PrefixWindowTest, AFailedRecordPutsThePreviousPrefixBackAndALinkIsReplaced) {
    temp.write("\\yx\\qz.mp3", jingleBytes(9));
    ASSERT_TRUE(QDir().mkpath(ini())); // a folder where the settings file belongs cannot be written
    const PrefixStore store(temp.folder());
    EXPECT_FALSE(store.storeJingle(2, "欢快"));
    EXPECT_EQ(temp.read("\\yx\\qz.mp3"), jingleBytes(9));
    QFile::remove(prefix());
    EXPECT_FALSE(store.storeJingle(2, "欢快"));
    EXPECT_FALSE(QFile::exists(prefix()));
    ASSERT_TRUE(QDir(ini()).removeRecursively());

    const QString elsewhere = temp.path("\\user\\elsewhere.mp3");
    temp.write("\\user\\elsewhere.mp3", "someone else's file");
    ASSERT_TRUE(QFile::link(elsewhere, prefix()));
    EXPECT_TRUE(store.storeJingle(2, "欢快"));
    EXPECT_FALSE(QFileInfo(prefix()).isSymLink());
    EXPECT_EQ(temp.read("\\yx\\qz.mp3"), jingleBytes(2));
    EXPECT_EQ(temp.read("\\user\\elsewhere.mp3"), "someone else's file");
}

TEST_F(PrefixWindowTest, PreviewsResetEachOther) {
    temp.write("\\yx\\qz.mp3", jingleBytes(7));
    PrefixWindow* w = open();
    chooseJingle(w, 2);
    click(w, "previewJingleButton");
    EXPECT_EQ(child<QPushButton>(w, "previewJingleButton")->text(), "停止");
    EXPECT_EQ(player().URL(), temp.path("\\sc\\3.mp3"));

    click(w, "previewStoredButton");
    EXPECT_EQ(child<QPushButton>(w, "previewStoredButton")->text(), "停止");
    EXPECT_EQ(child<QPushButton>(w, "previewJingleButton")->text(), "试听");
    EXPECT_EQ(player().URL(), prefix());

    // Stopping on the window's player strip ends the preview and offers it again.
    ASSERT_NE(child<PlayerStrip>(w, "playerStrip"), nullptr);
    w->show();
    EXPECT_TRUE(child<PlayerStrip>(w, "playerStrip")->isVisible());
    EXPECT_TRUE(child<PlayerStrip>(w, "playerStrip")->isPolling());
    EXPECT_GT(child<PlayerStrip>(w, "playerStrip")->y(),
              child<QGroupBox>(w, "storedFrame")->geometry().bottom());
    EXPECT_TRUE(w->rect().contains(child<PlayerStrip>(w, "playerStrip")->geometry()));
    child<PlayerStrip>(w, "playerStrip")->stopButton()->click();
    EXPECT_EQ(player().URL(), prefix());
    EXPECT_EQ(child<QPushButton>(w, "previewStoredButton")->text(), "试听");
    click(w, "previewStoredButton");
    EXPECT_EQ(player().URL(), prefix());
    // So does the preview's end.
    player().setPlaying(false);
    EXPECT_EQ(child<QPushButton>(w, "previewStoredButton")->text(), "试听");
    click(w, "previewStoredButton");
    EXPECT_EQ(child<QPushButton>(w, "previewStoredButton")->text(), "停止");

    click(w, "previewJingleButton");
    EXPECT_EQ(child<QPushButton>(w, "previewStoredButton")->text(), "试听");
    // Another choice in the list ends the running preview.
    chooseJingle(w, 4);
    EXPECT_EQ(child<QPushButton>(w, "previewJingleButton")->text(), "试听");
    EXPECT_TRUE(player().URL().isEmpty());

    // Back to built-in mode while the user's file plays: caption reset, the file plays on.
    child<QRadioButton>(w, "customOption")->setChecked(true);
    const QString mine = userFile("mine.mp3", 500);
    pick(w, mine);
    click(w, "previewCustomButton");
    child<QRadioButton>(w, "builtInOption")->setChecked(true);
    EXPECT_EQ(child<QPushButton>(w, "previewCustomButton")->text(), "试听");
    EXPECT_FALSE(child<QPushButton>(w, "previewCustomButton")->isEnabled());
    EXPECT_EQ(player().URL(), mine);

    // A typed name that matches no row previews nothing and says so.
    click(w, "previewStoredButton");
    click(w, "previewStoredButton"); // stopped: the player is empty
    platform.boxes.shown.clear();
    chooseJingle(w, 0);
    child<QComboBox>(w, "jingleCombo")->setEditText("我的歌");
    click(w, "previewJingleButton");
    ASSERT_EQ(platform.boxes.shown.size(), 1);
    EXPECT_EQ(platform.boxes.shown[0].prompt, "情进行选择后在试听,请勿手动输入非法字符!");
    EXPECT_EQ(platform.boxes.shown[0].style, MessageBoxStyle::OkExclamation);
    EXPECT_EQ(child<QPushButton>(w, "previewJingleButton")->text(), "停止");

    // The stored prefix disappearing is reported by its preview.
    QFile::remove(prefix());
    click(w, "previewStoredButton");
    EXPECT_EQ(platform.boxes.shown.back().prompt, "文件错误!未找到文件!请您重新设置!");
    EXPECT_EQ(child<QLabel>(w, "storedLabel")->text(), kNoPrefix);
    EXPECT_FALSE(child<QPushButton>(w, "previewStoredButton")->isEnabled());
}

TEST_F(PrefixWindowTest, ClosingShowsMainWindowAndUnticksTheSwitchOnlyWithoutAPrefixFile) {
    int handlerRuns = 0;
    QObject::connect(prefixCheck, &QCheckBox::stateChanged, [&] { ++handlerRuns; });
    prefixCheck->setChecked(true);
    handlerRuns = 0;
    mainWindow.hide();
    QPointer<PrefixWindow> w = open();
    w->show();
    child<QRadioButton>(w, "customOption")->setChecked(true);
    pick(w, userFile("mine.mp3", 100)); // browsing only
    w->close();
    EXPECT_TRUE(mainWindow.isVisible());
    EXPECT_FALSE(prefixCheck->isChecked());
    EXPECT_EQ(handlerRuns, 1);
    EXPECT_FALSE(QFile::exists(prefix()));
    EXPECT_FALSE(QFile::exists(ini()));
    flushDeletes();
    EXPECT_TRUE(w.isNull());

    temp.write("\\yx\\qz.mp3", jingleBytes(1));
    prefixCheck->setChecked(true);
    handlerRuns = 0;
    mainWindow.hide();
    PrefixWindow* w2 = open();
    w2->show();
    w2->close();
    EXPECT_TRUE(mainWindow.isVisible());
    EXPECT_TRUE(prefixCheck->isChecked());
    EXPECT_EQ(handlerRuns, 0);

    // Only an ordinary file counts as a prefix.
    QFile::remove(prefix());
    QDir().mkpath(prefix());
    EXPECT_EQ(child<QLabel>(open(), "storedLabel")->text(), kNoPrefix);
}

TEST_F(PrefixWindowTest, BadConfirmationsKeepThePreviousPrefixAndRecordNothing) {
    temp.write("\\yx\\qz.mp3", jingleBytes(9));
    writeSetting("Information", "qzyp", "动感活泼", ini());
    QPointer<PrefixWindow> w = open();
    w->show();

    click(w, "confirmButton");
    EXPECT_EQ(platform.boxes.shown.back().prompt, "请选择您要合成的音频前缀!");
    EXPECT_EQ(platform.boxes.shown.back().style, MessageBoxStyle::OkExclamation);

    // A typed name is refused.
    child<QComboBox>(w, "jingleCombo")->setEditText("我自己的歌");
    click(w, "confirmButton");
    EXPECT_EQ(platform.boxes.shown.back().prompt, "请从列表中选择前缀音频,请勿手动输入!");
    EXPECT_EQ(platform.boxes.shown.back().style, MessageBoxStyle::OkExclamation);
    EXPECT_EQ(platform.boxes.shown.back().title, "Tomo阿朔提示");
    EXPECT_EQ(stored(), "动感活泼");
    EXPECT_EQ(temp.read("\\yx\\qz.mp3"), jingleBytes(9));

    child<QRadioButton>(w, "customOption")->setChecked(true);
    click(w, "confirmButton");
    EXPECT_EQ(platform.boxes.shown.back().prompt, "请先选择您要合成的前缀音频文件!");

    for (const auto& box : platform.boxes.shown) {
        EXPECT_NE(box.prompt, "选择成功!");
    }
    flushDeletes();
    ASSERT_FALSE(w.isNull());
    EXPECT_TRUE(w->isVisible());
}

TEST_F(PrefixWindowTest, UnwritablePrefixFolderIsReportedAndTheWindowStaysOpen) {
    temp.write("\\yx", "an ordinary file where the folder belongs");
    prefixCheck->setChecked(true);
    QPointer<PrefixWindow> w = open();
    w->show();
    chooseJingle(w, 0);
    click(w, "confirmButton");
    ASSERT_EQ(platform.boxes.shown.size(), 1);
    EXPECT_EQ(platform.boxes.shown[0].prompt, "前缀音频保存失败!请您重新设置!");
    EXPECT_FALSE(QFile::exists(ini()));
    flushDeletes();
    ASSERT_FALSE(w.isNull());
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(prefixCheck->isChecked());

    // A missing "\yx" is created.
    QFile::remove(temp.path("\\yx"));
    click(w, "confirmButton");
    EXPECT_EQ(platform.boxes.shown.back().prompt, "选择成功!");
    EXPECT_EQ(temp.read("\\yx\\qz.mp3"), jingleBytes(1));
    EXPECT_EQ(stored(), "Pretty Boy");
}

TEST_F(PrefixWindowTest, WelcomeLabelOpensTheChatLink) {
    PrefixWindow* w = open();
    w->show();
    QTest::mouseClick(child<QLabel>(w, "welcomeLabel"), Qt::LeftButton);
    EXPECT_EQ(platform.shellFake.openedAddresses, QStringList{ctx.endpoints.chatUrl});
}

} // namespace
