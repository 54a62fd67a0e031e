#include "prefix/prefixswitch.h"

#include "app/inifile.h"
#include "cosmetics/messageboxrelabel.h"
#include "prefix/prefixwindow.h"
#include "prefixfixture.h"
#include "widgets/twips.h"

#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QTest>

using namespace velanote;
using velanote::testing::child;

namespace {

const QString kUsage = QStringLiteral("使用本功能方式如下：\r\n\r\n"
                                      "1.首次使用会自动弹出设置页面,设置过的可自行决定是否重新选择\r\n"
                                      "2.选择试听您想要合成的前缀音频后,点击确定保存,您也可以自定义\r\n"
                                      "3.功能开启后,会先生成原版音信文件,生成后请先保存一下音信文件\r\n"
                                      "4.保存完成后,程序将会自动最小化到托盘并且自动进行音频合并操作\r\n"
                                      "5.程序再次弹出保存对话框,选择路径,保存合并完成后的音信文件即可\r\n");
const QString kQuestion = QStringLiteral("程序检测:您已设置过前缀音频,现在该如何进行操作?");

// Wires the switch the way the main window does.
class PrefixSwitchTest : public prefixtest::PrefixFixture {
protected:
    PrefixSwitchTest() : prefixSwitch(ctx, &mainWindow) { wire(prefixSwitch); }
    void storePrefix(const QString& choice) {
        temp.write("\\yx\\qz.mp3", jingleBytes(4));
        writeSetting("Information", "qzyp", choice, ini());
    }

    PrefixSwitch prefixSwitch;
};

TEST_F(PrefixSwitchTest, FirstTickOpensTheSettingsWindowAndClosingItUnticksTheSwitch) {
    EXPECT_EQ(PrefixSwitch::usageText(), kUsage);
    prefixCheck->setChecked(true);
    ASSERT_EQ(platform.boxes.shown.size(), 2);
    EXPECT_EQ(platform.boxes.shown[0].prompt, kUsage);
    EXPECT_EQ(platform.boxes.shown[0].style, MessageBoxStyle::OkInformation);
    EXPECT_EQ(platform.boxes.shown[0].title, "Vela系列软件");
    EXPECT_EQ(platform.boxes.shown[1].prompt, "您是首次使用,请先进行设置");
    EXPECT_EQ(platform.boxes.shown[1].style, MessageBoxStyle::OkInformation);
    EXPECT_FALSE(shakeTimer.isActive());
    QPointer<PrefixWindow> w = prefixSwitch.settingsWindow();
    ASSERT_FALSE(w.isNull());
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(mainWindow.isVisible());

    w->close();
    EXPECT_TRUE(mainWindow.isVisible());
    EXPECT_FALSE(prefixCheck->isChecked());
    EXPECT_TRUE(shakeTimer.isActive()); // the handler ran for the unticking
    EXPECT_EQ(platform.boxes.shown.size(), 2);
    flushDeletes();
    EXPECT_EQ(prefixSwitch.settingsWindow(), nullptr);

    // Ticking again opens a fresh window; confirming a jingle keeps the switch on.
    prefixCheck->setChecked(true);
    w = prefixSwitch.settingsWindow();
    ASSERT_FALSE(w.isNull());
    chooseJingle(w, 5);
    click(w, "confirmButton");
    EXPECT_TRUE(mainWindow.isVisible());
    EXPECT_TRUE(prefixCheck->isChecked());
    EXPECT_FALSE(shakeTimer.isActive());
    EXPECT_EQ(temp.read("\\yx\\qz.mp3"), jingleBytes(6));
    EXPECT_EQ(readSetting("Information", "qzyp", "0", ini()), "我想我是疯了");
}

TEST_F(PrefixSwitchTest, QuestionIsRelabelledOnlyWhileShownAndKeepingLeavesEverythingAsItWas) {
    storePrefix("Dream");
    struct Seen {
        QString prompt;
        bool hooked;
        QString hookedTitle;
    };
    QList<Seen> seen;
    platform.boxes.onShow = [&](const fakes::ShownBox& box) {
        seen.append({box.prompt, MessageBoxRelabel::isInstalled(), MessageBoxRelabel::targetTitle});
    };
    platform.boxes.answerNext(MessageBoxAnswer::Ok);
    platform.boxes.answerNext(MessageBoxAnswer::No);
    prefixCheck->setChecked(true);

    ASSERT_EQ(seen.size(), 2);
    EXPECT_EQ(seen[0].prompt, kUsage);
    EXPECT_FALSE(seen[0].hooked);
    EXPECT_EQ(seen[1].prompt, kQuestion);
    EXPECT_TRUE(seen[1].hooked);
    EXPECT_EQ(seen[1].hookedTitle, "Vela系列软件");
    EXPECT_EQ(platform.boxes.shown[1].style, MessageBoxStyle::YesNoInformation);
    EXPECT_EQ(platform.boxes.shown[1].title, "Vela系列软件");
    EXPECT_FALSE(MessageBoxRelabel::isInstalled());

    EXPECT_EQ(prefixSwitch.settingsWindow(), nullptr);
    EXPECT_TRUE(mainWindow.isVisible());
    EXPECT_TRUE(prefixCheck->isChecked());
    EXPECT_FALSE(shakeTimer.isActive());
    EXPECT_EQ(temp.read("\\yx\\qz.mp3"), jingleBytes(4));
    EXPECT_EQ(readSetting("Information", "qzyp", "0", ini()), "Dream");

    // Unticking keeps the prefix, so ticking again asks again; "重新设置音频" opens the window.
    prefixCheck->setChecked(false);
    EXPECT_TRUE(shakeTimer.isActive());
    EXPECT_EQ(platform.boxes.shown.size(), 2);
    EXPECT_TRUE(QFile::exists(prefix()));
    platform.boxes.answerNext(MessageBoxAnswer::Ok);
    platform.boxes.answerNext(MessageBoxAnswer::Yes);
    prefixCheck->setChecked(true);
    ASSERT_EQ(seen.size(), 4);
    EXPECT_EQ(seen[2].prompt, kUsage);
    EXPECT_EQ(seen[3].prompt, kQuestion);
    EXPECT_FALSE(MessageBoxRelabel::isInstalled());
    ASSERT_NE(prefixSwitch.settingsWindow(), nullptr);
    EXPECT_EQ(child<QLabel>(prefixSwitch.settingsWindow(), "storedLabel")->text(),
              "程序检测：您已设置过前缀音频为:Dream");
    EXPECT_FALSE(mainWindow.isVisible());
    EXPECT_EQ(platform.boxes.unexpected, 0);

    // The main window's exit sequence closes it; the prefix exists, so the switch stays on.
    prefixSwitch.closeSettingsWindow();
    EXPECT_TRUE(mainWindow.isVisible());
    EXPECT_TRUE(prefixCheck->isChecked());
    flushDeletes();
    EXPECT_EQ(prefixSwitch.settingsWindow(), nullptr);
}

TEST_F(PrefixSwitchTest, PrefixWithoutARecordedChoiceIsAConfigurationError) {
    temp.write("\\yx\\qz.mp3", jingleBytes(1));
    prefixCheck->setChecked(true);
    ASSERT_EQ(platform.boxes.shown.size(), 2);
    EXPECT_EQ(platform.boxes.shown[1].prompt, "配置文件出错!请您重新设置!");
    EXPECT_EQ(platform.boxes.shown[1].style, MessageBoxStyle::OkInformation);
    ASSERT_NE(prefixSwitch.settingsWindow(), nullptr);
    EXPECT_EQ(child<QLabel>(prefixSwitch.settingsWindow(), "storedLabel")->text(),
              "程序检测：您已设置过前缀音频为:0");
    prefixSwitch.closeSettingsWindow();
    EXPECT_TRUE(prefixCheck->isChecked());

    writeSetting("Information", "qzyp", "0", ini()); // a hand-edited "0" is no choice either
    prefixCheck->setChecked(false);
    prefixCheck->setChecked(true);
    EXPECT_EQ(platform.boxes.shown.back().prompt, "配置文件出错!请您重新设置!");
}

TEST_F(PrefixSwitchTest, F4TwiceShowsTheUsageTextOnTheTickingPressOnly) {
    storePrefix("OPPO温馨");
    auto f4 = [this] { prefixCheck->setChecked(!prefixCheck->isChecked()); };
    f4();
    f4();
    QStringList p = prompts();
    EXPECT_EQ(p, (QStringList{kUsage, kQuestion}));
    EXPECT_FALSE(prefixCheck->isChecked());
    EXPECT_TRUE(shakeTimer.isActive());
    EXPECT_EQ(prefixSwitch.settingsWindow(), nullptr);
}

TEST_F(PrefixSwitchTest, MenuItemOpensTheWindowOnlyWhileTheSwitchIsOn) {
    prefixSwitch.onSettingsChosen(prefixCheck->checkState());
    ASSERT_EQ(platform.boxes.shown.size(), 1);
    EXPECT_EQ(platform.boxes.shown[0].prompt, "请您先开启音频前缀功能!");
    EXPECT_EQ(platform.boxes.shown[0].style, MessageBoxStyle::OkExclamation);
    EXPECT_EQ(platform.boxes.shown[0].title, "Vela系列软件");
    EXPECT_EQ(prefixSwitch.settingsWindow(), nullptr);
    EXPECT_FALSE(prefixCheck->isChecked());

    storePrefix("Dream");
    prefixCheck->setChecked(true); // answered "使用原有音频"
    platform.boxes.shown.clear();
    prefixSwitch.onSettingsChosen(prefixCheck->checkState());
    EXPECT_TRUE(platform.boxes.shown.isEmpty());
    ASSERT_NE(prefixSwitch.settingsWindow(), nullptr);
    EXPECT_TRUE(prefixSwitch.settingsWindow()->isVisible());
    EXPECT_FALSE(mainWindow.isVisible());
}

TEST_F(PrefixSwitchTest, OnlyATickedSwitchIsOnAndTheWindowOpensOverTheMainWindow) {
    // A greyed box (value 2) is not on: the shaking resumes and nothing is asked ...
    shakeTimer.stop();
    prefixCheck->setCheckState(Qt::PartiallyChecked);
    EXPECT_TRUE(platform.boxes.shown.isEmpty());
    EXPECT_TRUE(shakeTimer.isActive());
    EXPECT_EQ(prefixSwitch.settingsWindow(), nullptr);
    // ... yet it is not off either, so the menu item opens the settings window.
    mainWindow.move(130, 90);
    const QPoint mainCentre = mainWindow.frameGeometry().center();
    prefixSwitch.onSettingsChosen(prefixCheck->checkState());
    EXPECT_TRUE(platform.boxes.shown.isEmpty());
    ASSERT_NE(prefixSwitch.settingsWindow(), nullptr);
    // Centred on the main window, give or take the window frame.
    const QRect placed = prefixSwitch.settingsWindow()->frameGeometry();
    EXPECT_LE((placed.center() - mainCentre).manhattanLength(), 30) << placed.x() << "," << placed.y();
    EXPECT_FALSE(mainWindow.isVisible());
}

// Counts what reaches the check box while it shakes.
class EventCounter : public QObject {
public:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Move) {
            ++moves;
        } else if (e->type() == QEvent::KeyPress) {
            ++keys;
        }
        return false;
    }
    int moves = 0;
    int keys = 0;
};

TEST_F(PrefixSwitchTest, ShakeMovesBlocksInputEndsInPlaceAndShowsTheBoxThere) {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&mainWindow));
    movePositionTwips(prefixCheck, 607, 3001); // not whole pixels
    const QPoint pixels = prefixCheck->pos();
    QCoreApplication::processEvents();
    const QImage before = mainWindow.grab().toImage();
    EventCounter counter;
    prefixCheck->installEventFilter(&counter);
    for (int tick = 0; tick < 3; ++tick) {
        QCoreApplication::postEvent(prefixCheck,
                                    new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a"));
        counter.moves = 0;
        counter.keys = 0;
        shake(prefixCheck);
        EXPECT_GE(counter.moves, 600) << "tick " << tick;
        EXPECT_EQ(counter.keys, 0) << "tick " << tick;
        EXPECT_EQ(positionTwips(prefixCheck), QPoint(607, 3001));
        EXPECT_EQ(prefixCheck->pos(), pixels);
        QCoreApplication::processEvents();
        EXPECT_EQ(counter.keys, 1);
    }
    prefixCheck->removeEventFilter(&counter);
    EXPECT_EQ(mainWindow.grab().toImage(), before);
}

} // namespace
