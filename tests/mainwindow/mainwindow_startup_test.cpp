// The main window's start: loading, the lock, the start-up check, F4, the ripple and closing.
#include "mainwindowfixture.h"

#include "app/inifile.h"
#include "cosmetics/water.h"
#include "mainwindow/mainwindowtexts.h"
#include "prefix/prefixswitch.h"
#include "widgets/statusbar.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

using namespace velanote;
using velanote::testing::MainWindowTest;

namespace {

QList<QWidget*> lockedControls(const MainWindow& f) {
    QList<QWidget*> controls;
    for (const char* name : {"senderEdit", "recipientEdit", "messageEdit", "relationCombo", "prefixCheck",
                             "generateButton", "toolsButton", "phrasesButton"}) {
        controls << velanote::testing::child<QWidget>(&f, name);
    }
    return controls;
}
QList<QAction*> lockedItems(const MainWindow& f) {
    QList<QAction*> items;
    for (const char* name : {"checkUpdateAction", "phrasesAction", "prefixSettingsAction", "joinerAction",
                             "deleteMessagesAction", "effectAction", "repairAction"}) {
        items << velanote::testing::child<QAction>(&f, name);
    }
    return items;
}

} // namespace

TEST_F(MainWindowTest, LoadsLockedWithItsTimersRunning) {
    form = std::make_unique<MainWindow>(ctx);
    form->browser().waitForQuietLoad();
    EXPECT_TRUE(find<QTimer>("shakeTimer")->isActive());
    EXPECT_TRUE(find<QTimer>("startupCheckTimer")->isActive());
    EXPECT_TRUE(find<QTimer>("rippleTimer")->isActive());
    EXPECT_EQ(find<QTimer>("shakeTimer")->interval(), 5000);
    EXPECT_EQ(find<QTimer>("startupCheckTimer")->interval(), 1000);
    EXPECT_EQ(find<QTimer>("rippleTimer")->interval(), 10);
    EXPECT_EQ(find<QTimer>("rippleTimer")->timerType(), Qt::PreciseTimer);
    find<QTimer>("shakeTimer")->stop();
    find<QTimer>("startupCheckTimer")->stop();
    find<QTimer>("rippleTimer")->stop();

    for (QWidget* w : lockedControls(*form)) {
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    }
    for (QAction* a : lockedItems(*form)) {
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    }
    EXPECT_TRUE(find<QPushButton>("exampleButton")->isEnabled());
    EXPECT_TRUE(find<QAction>("saveMessageAction")->isEnabled());
    EXPECT_FALSE(form->keyPreview());
    EXPECT_EQ(find<StatusBar>("statusLine")->panelText(1), QStringLiteral("当前状态："));
    EXPECT_EQ(status(), QStringLiteral("程序检测更新中..请您稍等..."));
    EXPECT_EQ(find<StatusBar>("statusLine")->panelText(3), QStringLiteral("程序设计:Tomo阿朔"));

    // Loading: full volume, the relationship list with an empty text, the usage text, the quiet
    // forum load (a fetch, never the user's browser).
    ASSERT_EQ(platform.players.size(), 1);
    EXPECT_EQ(platform.players[0]->volume(), 100);
    EXPECT_EQ(find<QComboBox>("relationCombo")->count(), 35);
    EXPECT_EQ(find<QComboBox>("relationCombo")->itemText(0), QStringLiteral("同学"));
    EXPECT_EQ(find<QComboBox>("relationCombo")->itemText(33), QStringLiteral("同事"));
    EXPECT_EQ(find<QComboBox>("relationCombo")->itemText(34), QStringLiteral("自己添加..."));
    EXPECT_TRUE(find<QComboBox>("relationCombo")->currentText().isEmpty());
    EXPECT_TRUE(platform.httpFake.requests.contains(ctx.endpoints.forumUrl));
    EXPECT_TRUE(platform.shellFake.openedAddresses.isEmpty());
    EXPECT_TRUE(waterRipple().isInitialised());
    EXPECT_EQ(waterRipple().size(), QSize(640, 106));

    // F4 does nothing while locked.
    QTest::keyClick(form->centralWidget(), Qt::Key_F4);
    EXPECT_EQ(find<QCheckBox>("prefixCheck")->checkState(), Qt::Unchecked);
    EXPECT_TRUE(platform.boxes.shown.isEmpty());
}

TEST_F(MainWindowTest, StartUpCheckUnlocksAfterSuccessOrFailure) {
    replyVersion("V6.0\r\n");
    open();
    find<QTimer>("startupCheckTimer")->start();
    tick("startupCheckTimer");
    EXPECT_EQ(status(), QStringLiteral("程序加载完毕..."));
    for (QWidget* w : lockedControls(*form)) {
        EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    }
    for (QAction* a : lockedItems(*form)) {
        EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
    }
    EXPECT_FALSE(find<QTimer>("startupCheckTimer")->isActive());
    EXPECT_TRUE(form->keyPreview());
    EXPECT_TRUE(platform.boxes.shown.isEmpty());
    // The check runs once per start.
    tick("startupCheckTimer");
    EXPECT_EQ(versionRequests(), 1);

    form.reset();
    platform.httpFake.replies.clear();
    replyVersion("V6.0", 503);
    open();
    tick("startupCheckTimer");
    EXPECT_EQ(status(), QStringLiteral("检测失败!请检查您的网络连接!."));
    EXPECT_TRUE(form->isUnlocked());
    EXPECT_TRUE(find<QPushButton>("generateButton")->isEnabled());
    EXPECT_TRUE(form->keyPreview());
    EXPECT_EQ(platform.shellFake.endProgramCalls, 0);
}

TEST_F(MainWindowTest, AnotherVersionEndsTheProgramAndKeepsTheLock) {
    replyVersion("V6.1");
    open();
    find<QTimer>("startupCheckTimer")->start();
    // While the question waits, a second tick and a close request change nothing.
    int ticksDuringQuestion = 0;
    platform.boxes.onShow = [&](const fakes::ShownBox&) {
        tick("startupCheckTimer");
        EXPECT_FALSE(form->close());
        ++ticksDuringQuestion;
    };
    platform.boxes.answerNext(MessageBoxAnswer::Yes);
    tick("startupCheckTimer");
    EXPECT_EQ(ticksDuringQuestion, 1);
    ASSERT_EQ(platform.boxes.shown.size(), 1);
    EXPECT_EQ(platform.boxes.shown[0].prompt,
              QStringLiteral("您当前使用的为旧版软件!\r\n \r\n最新版本为:【V6.1】是否更新?"));
    EXPECT_EQ(versionRequests(), 1);
    EXPECT_EQ(platform.shellFake.openedAddresses, QStringList{ctx.endpoints.forumUrl});
    EXPECT_EQ(platform.shellFake.endProgramCalls, 1);
    EXPECT_FALSE(form->isUnlocked());
    EXPECT_FALSE(find<QLineEdit>("senderEdit")->isEnabled());
    EXPECT_FALSE(form->keyPreview());
    EXPECT_EQ(status(), QStringLiteral("程序检测更新中..请您稍等..."));
    tick("startupCheckTimer");
    EXPECT_EQ(versionRequests(), 1);

    form.reset();
    platform.boxes.onShow = nullptr;
    platform.boxes.shown.clear();
    platform.shellFake.openedAddresses.clear();
    open();
    platform.boxes.answerNext(MessageBoxAnswer::No);
    tick("startupCheckTimer");
    EXPECT_TRUE(platform.shellFake.openedAddresses.isEmpty());
    EXPECT_EQ(platform.shellFake.endProgramCalls, 2);
    EXPECT_FALSE(find<QCheckBox>("prefixCheck")->isEnabled());
}

TEST_F(MainWindowTest, ManualCheckDisablesItsItemOnlyWhileItRuns) {
    openUnlocked();
    bool enabledWhileShown = true;
    platform.boxes.onShow = [&](const fakes::ShownBox&) {
        enabledWhileShown = find<QAction>("checkUpdateAction")->isEnabled();
    };
    find<QAction>("checkUpdateAction")->trigger();
    ASSERT_EQ(platform.boxes.shown.size(), 1);
    EXPECT_EQ(platform.boxes.shown[0].prompt, QStringLiteral("当前为最新版本!"));
    EXPECT_EQ(platform.boxes.shown[0].style, MessageBoxStyle::OkInformation);
    EXPECT_FALSE(enabledWhileShown);
    EXPECT_TRUE(find<QAction>("checkUpdateAction")->isEnabled());
    EXPECT_TRUE(find<QAction>("checkUpdateAction")->isChecked());
    EXPECT_EQ(status(), QStringLiteral("程序加载完毕..."));

    platform.httpFake.replies.clear();
    trigger("checkUpdateAction");
    ASSERT_EQ(platform.boxes.shown.size(), 2);
    EXPECT_EQ(platform.boxes.shown[1].prompt, QStringLiteral("检测失败!请检查您的网络连接!"));
    EXPECT_EQ(platform.boxes.shown[1].style, MessageBoxStyle::OkExclamation);
    EXPECT_TRUE(find<QAction>("checkUpdateAction")->isEnabled());
    EXPECT_EQ(platform.shellFake.endProgramCalls, 0);
}

TEST_F(MainWindowTest, F4TogglesThePrefixSwitchThroughItsHandler) {
    // A stored prefix: ticking shows the usage text and then the question; No keeps it.
    temp.write("\\yx\\qz.mp3", QByteArray(100, 'j'));
    ASSERT_TRUE(writeSetting("Information", "qzyp", "1", temp.path("\\velanote.ini")));
    openUnlocked();
    platform.boxes.answerNext(MessageBoxAnswer::Ok);
    platform.boxes.answerNext(MessageBoxAnswer::No);
    QTest::keyClick(find<QLineEdit>("senderEdit"), Qt::Key_F4);
    EXPECT_EQ(find<QCheckBox>("prefixCheck")->checkState(), Qt::Checked);
    ASSERT_EQ(platform.boxes.shown.size(), 2);
    EXPECT_EQ(platform.boxes.shown[0].style, MessageBoxStyle::OkInformation);
    EXPECT_FALSE(find<QTimer>("shakeTimer")->isActive());

    QTest::keyClick(find<QPlainTextEdit>("messageEdit"), Qt::Key_F4);
    EXPECT_EQ(find<QCheckBox>("prefixCheck")->checkState(), Qt::Unchecked);
    EXPECT_EQ(platform.boxes.shown.size(), 2);
    EXPECT_TRUE(find<QTimer>("shakeTimer")->isActive());

    // Other keys reach the control; a greyed switch is left alone.
    QTest::keyClick(find<QLineEdit>("senderEdit"), Qt::Key_A);
    EXPECT_EQ(find<QLineEdit>("senderEdit")->text(), QStringLiteral("a"));
    find<QCheckBox>("prefixCheck")->setCheckState(Qt::PartiallyChecked);
    const int shown = int(platform.boxes.shown.size());
    QTest::keyClick(find<QLineEdit>("senderEdit"), Qt::Key_F4);
    EXPECT_EQ(find<QCheckBox>("prefixCheck")->checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(platform.boxes.shown.size(), shown);
    // A click never makes it greyed: greyed and unticked go to ticked, ticked to unticked.
    platform.boxes.answerNext(MessageBoxAnswer::Ok);
    platform.boxes.answerNext(MessageBoxAnswer::No);
    find<QCheckBox>("prefixCheck")->click();
    EXPECT_EQ(find<QCheckBox>("prefixCheck")->checkState(), Qt::Checked);
    find<QCheckBox>("prefixCheck")->click();
    EXPECT_EQ(find<QCheckBox>("prefixCheck")->checkState(), Qt::Unchecked);
}

TEST_F(MainWindowTest, PrefixSettingsWindowStandsInForTheMainWindowAndUnticksWithoutAPrefix) {
    openUnlocked();
    form->show();
    find<QAction>("prefixSettingsAction")->trigger(); // unticked: refused
    ASSERT_EQ(platform.boxes.shown.size(), 1);
    EXPECT_EQ(platform.boxes.shown[0].prompt, QStringLiteral("请您先开启音频前缀功能!"));

    QTest::keyClick(find<QLineEdit>("senderEdit"), Qt::Key_F4); // no prefix yet: the settings window opens
    EXPECT_EQ(platform.boxes.shown.size(), 3);
    EXPECT_FALSE(find<QTimer>("shakeTimer")->isActive());
    QPointer<PrefixWindow> settings = form->prefixSwitch()->settingsWindow();
    ASSERT_FALSE(settings.isNull());
    EXPECT_TRUE(settings->isVisible());
    EXPECT_FALSE(form->isVisible());

    settings->close();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(find<QCheckBox>("prefixCheck")->checkState(), Qt::Unchecked);
    EXPECT_TRUE(find<QTimer>("shakeTimer")->isActive());
    EXPECT_EQ(platform.boxes.shown.size(), 3);
}

TEST_F(MainWindowTest, ChoosingCustomRelationEmptiesAndFocusesTheBox) {
    openUnlocked();
    find<QComboBox>("relationCombo")->setCurrentIndex(3);
    Q_EMIT find<QComboBox>("relationCombo")->activated(3);
    EXPECT_EQ(find<QComboBox>("relationCombo")->currentText(), QStringLiteral("妈妈"));

    find<QComboBox>("relationCombo")->setCurrentIndex(34);
    Q_EMIT find<QComboBox>("relationCombo")->activated(34);
    EXPECT_TRUE(find<QComboBox>("relationCombo")->currentText().isEmpty());
    EXPECT_EQ(form->focusWidget(), find<QComboBox>("relationCombo"));
    EXPECT_EQ(find<QComboBox>("relationCombo")->count(), 35);
}

TEST_F(MainWindowTest, RippleFollowsTheMouseOnlyWhileTheEffectIsOn) {
    openUnlocked();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    QWidget* surface = form->centralWidget();
    ASSERT_TRUE(surface->hasMouseTracking());
    ASSERT_TRUE(waterRipple().isCalm());

    find<QAction>("effectAction")->trigger();
    EXPECT_EQ(find<QAction>("effectAction")->text(), QStringLiteral("开启主题特效"));
    QTest::mousePress(surface, Qt::LeftButton, Qt::NoModifier, QPoint(200, 60));
    QTest::mouseMove(surface, QPoint(220, 70));
    tick("rippleTimer");
    EXPECT_TRUE(waterRipple().isCalm());
    QTest::mouseRelease(surface, Qt::LeftButton, Qt::NoModifier, QPoint(220, 70));

    find<QAction>("effectAction")->trigger();
    EXPECT_EQ(find<QAction>("effectAction")->text(), QStringLiteral("关闭主题特效"));
    // A move without a pressed button stirs the water.
    QTest::mouseMove(surface, QPoint(300, 50));
    tick("rippleTimer");
    EXPECT_FALSE(waterRipple().isCalm());
    const auto lightTrail = waterRipple().energy();
    QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(400, 61));
    tick("rippleTimer");
    EXPECT_GT(waterRipple().energy(), lightTrail);

    for (int i = 0; i < 2000 && !waterRipple().isCalm(); ++i) {
        tick("rippleTimer");
    }
    EXPECT_TRUE(waterRipple().isCalm());

    // The ticks rest while the water is calm, and the mouse wakes them.
    find<QTimer>("rippleTimer")->start();
    tick("rippleTimer");
    EXPECT_FALSE(find<QTimer>("rippleTimer")->isActive());
    find<QAction>("effectAction")->setText(QStringLiteral("关闭主题特效"));
    QTest::mouseMove(surface, QPoint(250, 40));
    EXPECT_TRUE(find<QTimer>("rippleTimer")->isActive());
}

TEST_F(MainWindowTest, ClosingAsksAndCancelKeepsEverything) {
    openUnlocked();
    form->show();
    platform.boxes.answerNext(MessageBoxAnswer::Cancel);
    EXPECT_FALSE(form->close());
    ASSERT_EQ(platform.boxes.shown.size(), 1);
    const fakes::ShownBox box = platform.boxes.shown[0];
    EXPECT_EQ(
        box.prompt,
        QStringLiteral(
            "感谢您对阿朔、对Vela系列的软件的支持!\r \r是否退出并到论坛可以下载更多阿朔的原创免费软件?"));
    EXPECT_FALSE(box.prompt.contains('\n'));
    EXPECT_EQ(box.style, MessageBoxStyle::YesNoCancelInformation);
    EXPECT_EQ(box.title, QStringLiteral("Vela系列软件"));
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(platform.shellFake.openedAddresses.isEmpty());

    // The exit item asks the same question; No closes without the forum and hides the tray icon.
    platform.trayIcons[0]->setVisible(true);
    trigger("joinerAction");
    QPointer<JoinerWindow> joiner = form->joinerWindow();
    ASSERT_TRUE(joiner);
    EXPECT_FALSE(form->isVisible());
    form->show();
    platform.boxes.answerNext(MessageBoxAnswer::No);
    find<QAction>("exitAction")->trigger();
    EXPECT_EQ(platform.boxes.shown.size(), 2);
    EXPECT_EQ(platform.boxes.shown[1].prompt, box.prompt);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(!joiner || !joiner->isVisible());
    EXPECT_FALSE(platform.trayIcons[0]->isVisible());
    EXPECT_TRUE(platform.shellFake.openedAddresses.isEmpty());
    EXPECT_FALSE(find<QTimer>("rippleTimer")->isActive());
}

TEST_F(MainWindowTest, ClosingWithYesOpensTheForumAndTakesThePhraseLibrary) {
    openUnlocked();
    form->show();
    find<QPushButton>("phrasesButton")->click();
    QPointer<PhraseWindow> phrases = form->phraseWindow();
    ASSERT_TRUE(phrases);
    find<QAction>("phrasesAction")->trigger();
    EXPECT_EQ(form->phraseWindow(), phrases.data()) << "one phrase library at a time";
    platform.boxes.answerNext(MessageBoxAnswer::Yes);
    EXPECT_TRUE(form->close());
    EXPECT_EQ(platform.shellFake.openedAddresses, QStringList{ctx.endpoints.forumUrl});
    EXPECT_TRUE(!phrases || !phrases->isVisible());
    EXPECT_FALSE(platform.trayIcons[0]->isVisible());
}

TEST_F(MainWindowTest, CloseAskedWhileTheCheckWaitsRunsAfterIt) {
    replyVersion("V6.0");
    open();
    form->show();
    // The close request arrives while the version file is still on its way.
    bool closedDuringFetch = true;
    form->updateCheck().setFetcher([this, &closedDuringFetch](const QString&) {
        closedDuringFetch = form->close();
        return QStringLiteral("V6.0");
    });
    platform.boxes.answerNext(MessageBoxAnswer::Cancel);
    tick("startupCheckTimer");
    EXPECT_FALSE(closedDuringFetch);
    EXPECT_TRUE(platform.boxes.shown.isEmpty()) << "no exit question while the check runs";
    EXPECT_TRUE(form->isUnlocked());
    QCoreApplication::processEvents();
    ASSERT_EQ(platform.boxes.shown.size(), 1);
    EXPECT_EQ(platform.boxes.shown[0].prompt, MainWindowTexts::exitQuestion());
    EXPECT_TRUE(form->isVisible());

    // The same during a manual check; here the question is answered No and the window goes.
    form->updateCheck().setFetcher([this](const QString&) {
        find<QAction>("exitAction")->trigger();
        return QString();
    });
    platform.boxes.answerNext(MessageBoxAnswer::Ok);
    platform.boxes.answerNext(MessageBoxAnswer::No);
    find<QAction>("checkUpdateAction")->trigger();
    EXPECT_EQ(platform.boxes.shown.size(), 2);
    EXPECT_TRUE(form->isVisible());
    QCoreApplication::processEvents();
    ASSERT_EQ(platform.boxes.shown.size(), 3);
    EXPECT_EQ(platform.boxes.shown[2].prompt, MainWindowTexts::exitQuestion());
    EXPECT_FALSE(form->isVisible());

    // A check that ends the program drops the request.
    platform.boxes.shown.clear();
    open();
    form->show();
    form->updateCheck().setFetcher([this](const QString&) {
        form->close();
        return QStringLiteral("V6.1");
    });
    platform.boxes.answerNext(MessageBoxAnswer::No);
    tick("startupCheckTimer");
    QCoreApplication::processEvents();
    ASSERT_EQ(platform.boxes.shown.size(), 1);
    EXPECT_EQ(platform.shellFake.endProgramCalls, 1);
}
