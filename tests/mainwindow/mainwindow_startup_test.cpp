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

QList<QWidget*> lockedControls(MainWindow& f) {
    return {f.senderEdit,  f.recipientEdit,  f.messageEdit, f.relationCombo,
            f.prefixCheck, f.generateButton, f.toolsButton, f.phrasesButton};
}
QList<QAction*> lockedItems(MainWindow& f) {
    return {f.checkUpdateAction,    f.phrasesAction, f.prefixSettingsAction, f.joinerAction,
            f.deleteMessagesAction, f.effectAction,  f.repairAction};
}

} // namespace

TEST_F(MainWindowTest, LoadsLockedWithItsTimersRunning) {
    form = std::make_unique<MainWindow>(ctx);
    form->browser.waitForQuietLoad();
    EXPECT_TRUE(form->shakeTimer->isActive());
    EXPECT_TRUE(form->startupCheckTimer->isActive());
    EXPECT_TRUE(form->rippleTimer->isActive());
    EXPECT_EQ(form->shakeTimer->interval(), 5000);
    EXPECT_EQ(form->startupCheckTimer->interval(), 1000);
    EXPECT_EQ(form->rippleTimer->interval(), 10);
    EXPECT_EQ(form->rippleTimer->timerType(), Qt::PreciseTimer);
    form->shakeTimer->stop();
    form->startupCheckTimer->stop();
    form->rippleTimer->stop();

    for (QWidget* w : lockedControls(*form)) {
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    }
    for (QAction* a : lockedItems(*form)) {
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    }
    EXPECT_TRUE(form->exampleButton->isEnabled());
    EXPECT_TRUE(form->saveMessageAction->isEnabled());
    EXPECT_FALSE(form->keyPreview);
    EXPECT_EQ(form->statusLine->panelText(1), QStringLiteral("当前状态："));
    EXPECT_EQ(status(), QStringLiteral("程序检测更新中..请您稍等..."));
    EXPECT_EQ(form->statusLine->panelText(3), QStringLiteral("程序设计:Tomo阿朔"));

    // Loading: full volume, the relationship list with an empty text, the usage text, the quiet
    // forum load (a fetch, never the user's browser).
    ASSERT_EQ(platform.players.size(), 1);
    EXPECT_EQ(platform.players[0]->volume(), 100);
    EXPECT_EQ(form->relationCombo->count(), 35);
    EXPECT_EQ(form->relationCombo->itemText(0), QStringLiteral("同学"));
    EXPECT_EQ(form->relationCombo->itemText(33), QStringLiteral("同事"));
    EXPECT_EQ(form->relationCombo->itemText(34), QStringLiteral("自己添加..."));
    EXPECT_TRUE(form->relationCombo->currentText().isEmpty());
    EXPECT_TRUE(platform.httpFake.requests.contains(ctx.endpoints.forumUrl));
    EXPECT_TRUE(platform.shellFake.openedAddresses.isEmpty());
    EXPECT_TRUE(waterRipple().isInitialised());
    EXPECT_EQ(waterRipple().size(), QSize(640, 106));

    // F4 does nothing while locked.
    QTest::keyClick(form->centralWidget(), Qt::Key_F4);
    EXPECT_EQ(form->prefixCheck->checkState(), Qt::Unchecked);
    EXPECT_TRUE(platform.boxes.shown.isEmpty());
}

TEST_F(MainWindowTest, StartUpCheckUnlocksAfterSuccessOrFailure) {
    replyVersion("V6.0\r\n");
    open();
    form->startupCheckTimer->start();
    form->onStartupCheckTick();
    EXPECT_EQ(status(), QStringLiteral("程序加载完毕..."));
    for (QWidget* w : lockedControls(*form)) {
        EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    }
    for (QAction* a : lockedItems(*form)) {
        EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
    }
    EXPECT_FALSE(form->startupCheckTimer->isActive());
    EXPECT_TRUE(form->keyPreview);
    EXPECT_TRUE(platform.boxes.shown.isEmpty());
    // The check runs once per start.
    form->onStartupCheckTick();
    EXPECT_EQ(versionRequests(), 1);

    form.reset();
    platform.httpFake.replies.clear();
    replyVersion("V6.0", 503);
    open();
    form->onStartupCheckTick();
    EXPECT_EQ(status(), QStringLiteral("检测失败!请检查您的网络连接!."));
    EXPECT_TRUE(form->isUnlocked());
    EXPECT_TRUE(form->generateButton->isEnabled());
    EXPECT_TRUE(form->keyPreview);
    EXPECT_EQ(platform.shellFake.endProgramCalls, 0);
}

TEST_F(MainWindowTest, AnotherVersionEndsTheProgramAndKeepsTheLock) {
    replyVersion("V6.1");
    open();
    form->startupCheckTimer->start();
    // While the question waits, a second tick and a close request change nothing.
    int ticksDuringQuestion = 0;
    platform.boxes.onShow = [&](const fakes::ShownBox&) {
        form->onStartupCheckTick();
        EXPECT_FALSE(form->close());
        ++ticksDuringQuestion;
    };
    platform.boxes.answerNext(MessageBoxAnswer::Yes);
    form->onStartupCheckTick();
    EXPECT_EQ(ticksDuringQuestion, 1);
    ASSERT_EQ(platform.boxes.shown.size(), 1);
    EXPECT_EQ(platform.boxes.shown[0].prompt,
              QStringLiteral("您当前使用的为旧版软件!\r\n \r\n最新版本为:【V6.1】是否更新?"));
    EXPECT_EQ(versionRequests(), 1);
    EXPECT_EQ(platform.shellFake.openedAddresses, QStringList{ctx.endpoints.forumUrl});
    EXPECT_EQ(platform.shellFake.endProgramCalls, 1);
    EXPECT_FALSE(form->isUnlocked());
    EXPECT_FALSE(form->senderEdit->isEnabled());
    EXPECT_FALSE(form->keyPreview);
    EXPECT_EQ(status(), QStringLiteral("程序检测更新中..请您稍等..."));
    form->onStartupCheckTick();
    EXPECT_EQ(versionRequests(), 1);

    form.reset();
    platform.boxes.onShow = nullptr;
    platform.boxes.shown.clear();
    platform.shellFake.openedAddresses.clear();
    open();
    platform.boxes.answerNext(MessageBoxAnswer::No);
    form->onStartupCheckTick();
    EXPECT_TRUE(platform.shellFake.openedAddresses.isEmpty());
    EXPECT_EQ(platform.shellFake.endProgramCalls, 2);
    EXPECT_FALSE(form->prefixCheck->isEnabled());
}

TEST_F(MainWindowTest, ManualCheckDisablesItsItemOnlyWhileItRuns) {
    openUnlocked();
    bool enabledWhileShown = true;
    platform.boxes.onShow = [&](const fakes::ShownBox&) {
        enabledWhileShown = form->checkUpdateAction->isEnabled();
    };
    form->checkUpdateAction->trigger();
    ASSERT_EQ(platform.boxes.shown.size(), 1);
    EXPECT_EQ(platform.boxes.shown[0].prompt, QStringLiteral("当前为最新版本!"));
    EXPECT_EQ(platform.boxes.shown[0].style, MessageBoxStyle::OkInformation);
    EXPECT_FALSE(enabledWhileShown);
    EXPECT_TRUE(form->checkUpdateAction->isEnabled());
    EXPECT_TRUE(form->checkUpdateAction->isChecked());
    EXPECT_EQ(status(), QStringLiteral("程序加载完毕..."));

    platform.httpFake.replies.clear();
    form->onCheckUpdate();
    ASSERT_EQ(platform.boxes.shown.size(), 2);
    EXPECT_EQ(platform.boxes.shown[1].prompt, QStringLiteral("检测失败!请检查您的网络连接!"));
    EXPECT_EQ(platform.boxes.shown[1].style, MessageBoxStyle::OkExclamation);
    EXPECT_TRUE(form->checkUpdateAction->isEnabled());
    EXPECT_EQ(platform.shellFake.endProgramCalls, 0);
}

TEST_F(MainWindowTest, F4TogglesThePrefixSwitchThroughItsHandler) {
    // A stored prefix: ticking shows the usage text and then the question; No keeps it.
    temp.write("\\yx\\qz.mp3", QByteArray(100, 'j'));
    ASSERT_TRUE(writeSetting("Information", "qzyp", "1", temp.path("\\velanote.ini")));
    openUnlocked();
    platform.boxes.answerNext(MessageBoxAnswer::Ok);
    platform.boxes.answerNext(MessageBoxAnswer::No);
    QTest::keyClick(form->senderEdit, Qt::Key_F4);
    EXPECT_EQ(form->prefixCheck->checkState(), Qt::Checked);
    ASSERT_EQ(platform.boxes.shown.size(), 2);
    EXPECT_EQ(platform.boxes.shown[0].style, MessageBoxStyle::OkInformation);
    EXPECT_FALSE(form->shakeTimer->isActive());

    QTest::keyClick(form->messageEdit, Qt::Key_F4);
    EXPECT_EQ(form->prefixCheck->checkState(), Qt::Unchecked);
    EXPECT_EQ(platform.boxes.shown.size(), 2);
    EXPECT_TRUE(form->shakeTimer->isActive());

    // Other keys reach the control; a greyed switch is left alone.
    QTest::keyClick(form->senderEdit, Qt::Key_A);
    EXPECT_EQ(form->senderEdit->text(), QStringLiteral("a"));
    form->prefixCheck->setCheckState(Qt::PartiallyChecked);
    const int shown = int(platform.boxes.shown.size());
    QTest::keyClick(form->senderEdit, Qt::Key_F4);
    form->onKeyDown(Qt::Key_F4);
    EXPECT_EQ(form->prefixCheck->checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(platform.boxes.shown.size(), shown);
    // A click never makes it greyed: greyed and unticked go to ticked, ticked to unticked.
    platform.boxes.answerNext(MessageBoxAnswer::Ok);
    platform.boxes.answerNext(MessageBoxAnswer::No);
    form->prefixCheck->click();
    EXPECT_EQ(form->prefixCheck->checkState(), Qt::Checked);
    form->prefixCheck->click();
    EXPECT_EQ(form->prefixCheck->checkState(), Qt::Unchecked);
}

TEST_F(MainWindowTest, PrefixSettingsWindowStandsInForTheMainWindowAndUnticksWithoutAPrefix) {
    openUnlocked();
    form->show();
    form->prefixSettingsAction->trigger(); // unticked: refused
    ASSERT_EQ(platform.boxes.shown.size(), 1);
    EXPECT_EQ(platform.boxes.shown[0].prompt, QStringLiteral("请您先开启音频前缀功能!"));

    QTest::keyClick(form->senderEdit, Qt::Key_F4); // no prefix yet: the settings window opens
    EXPECT_EQ(platform.boxes.shown.size(), 3);
    EXPECT_FALSE(form->shakeTimer->isActive());
    QPointer<PrefixWindow> settings = form->prefixSwitch()->settingsWindow();
    ASSERT_FALSE(settings.isNull());
    EXPECT_TRUE(settings->isVisible());
    EXPECT_FALSE(form->isVisible());

    settings->close();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->prefixCheck->checkState(), Qt::Unchecked);
    EXPECT_TRUE(form->shakeTimer->isActive());
    EXPECT_EQ(platform.boxes.shown.size(), 3);
}

TEST_F(MainWindowTest, ChoosingCustomRelationEmptiesAndFocusesTheBox) {
    openUnlocked();
    form->relationCombo->setCurrentIndex(3);
    form->onRelationChosen();
    EXPECT_EQ(form->relationCombo->currentText(), QStringLiteral("妈妈"));

    form->relationCombo->setCurrentIndex(34);
    Q_EMIT form->relationCombo->activated(34);
    EXPECT_TRUE(form->relationCombo->currentText().isEmpty());
    EXPECT_EQ(form->focusWidget(), form->relationCombo);
    EXPECT_EQ(form->relationCombo->count(), 35);
}

TEST_F(MainWindowTest, RippleFollowsTheMouseOnlyWhileTheEffectIsOn) {
    openUnlocked();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    QWidget* surface = form->centralWidget();
    ASSERT_TRUE(surface->hasMouseTracking());
    ASSERT_TRUE(waterRipple().isCalm());

    form->effectAction->trigger();
    EXPECT_EQ(form->effectAction->text(), QStringLiteral("开启主题特效"));
    QTest::mousePress(surface, Qt::LeftButton, Qt::NoModifier, QPoint(200, 60));
    QTest::mouseMove(surface, QPoint(220, 70));
    form->onRippleTick();
    EXPECT_TRUE(waterRipple().isCalm());
    QTest::mouseRelease(surface, Qt::LeftButton, Qt::NoModifier, QPoint(220, 70));

    form->effectAction->trigger();
    EXPECT_EQ(form->effectAction->text(), QStringLiteral("关闭主题特效"));
    // A move without a pressed button stirs the water.
    QTest::mouseMove(surface, QPoint(300, 50));
    form->onRippleTick();
    EXPECT_FALSE(waterRipple().isCalm());
    const auto lightTrail = waterRipple().energy();
    form->onMousePress(400.4, 60.6);
    form->onRippleTick();
    EXPECT_GT(waterRipple().energy(), lightTrail);

    for (int i = 0; i < 2000 && !waterRipple().isCalm(); ++i) {
        form->onRippleTick();
    }
    EXPECT_TRUE(waterRipple().isCalm());

    // The ticks rest while the water is calm, and the mouse wakes them.
    form->rippleTimer->start();
    form->onRippleTick();
    EXPECT_FALSE(form->rippleTimer->isActive());
    form->effectAction->setText(QStringLiteral("关闭主题特效"));
    QTest::mouseMove(surface, QPoint(250, 40));
    EXPECT_TRUE(form->rippleTimer->isActive());
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
    form->onJoiner();
    QPointer<JoinerWindow> joiner = form->joinerWindow();
    ASSERT_TRUE(joiner);
    EXPECT_FALSE(form->isVisible());
    form->show();
    platform.boxes.answerNext(MessageBoxAnswer::No);
    form->exitAction->trigger();
    EXPECT_EQ(platform.boxes.shown.size(), 2);
    EXPECT_EQ(platform.boxes.shown[1].prompt, box.prompt);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(!joiner || !joiner->isVisible());
    EXPECT_FALSE(platform.trayIcons[0]->isVisible());
    EXPECT_TRUE(platform.shellFake.openedAddresses.isEmpty());
    EXPECT_FALSE(form->rippleTimer->isActive());
}

TEST_F(MainWindowTest, ClosingWithYesOpensTheForumAndTakesThePhraseLibrary) {
    openUnlocked();
    form->show();
    form->phrasesButton->click();
    QPointer<PhraseWindow> phrases = form->phraseWindow();
    ASSERT_TRUE(phrases);
    form->phrasesAction->trigger();
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
    form->onStartupCheckTick();
    EXPECT_FALSE(closedDuringFetch);
    EXPECT_TRUE(platform.boxes.shown.isEmpty()) << "no exit question while the check runs";
    EXPECT_TRUE(form->isUnlocked());
    QCoreApplication::processEvents();
    ASSERT_EQ(platform.boxes.shown.size(), 1);
    EXPECT_EQ(platform.boxes.shown[0].prompt, MainWindowTexts::exitQuestion());
    EXPECT_TRUE(form->isVisible());

    // The same during a manual check; here the question is answered No and the window goes.
    form->updateCheck().setFetcher([this](const QString&) {
        form->exitAction->trigger();
        return QString();
    });
    platform.boxes.answerNext(MessageBoxAnswer::Ok);
    platform.boxes.answerNext(MessageBoxAnswer::No);
    form->checkUpdateAction->trigger();
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
    form->onStartupCheckTick();
    QCoreApplication::processEvents();
    ASSERT_EQ(platform.boxes.shown.size(), 1);
    EXPECT_EQ(platform.shellFake.endProgramCalls, 1);
}
