// The main window's start: loading, the lock, the start-up check, F4, the ripple and closing.
#include "form1fixture.h"

#include "app/inifile.h"
#include "cosmetics/water.h"
#include "mainwindow/form1texts.h"
#include "platform/statusbar.h"
#include "prefix/prefixswitch.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace velanote;
using velanote::testing::Form1Test;

namespace {

QList<QWidget*> lockedControls(Form1& f) {
    return {f.Text4, f.Text5, f.Text2, f.Combo1, f.Check1, f.Command2, f.Command4, f.Command7};
}
QList<QAction*> lockedItems(Form1& f) {
    return {f.jiance, f.xznz, f.qz, f.ypzh, f.qcyx, f.zttx, f.ypxf};
}

} // namespace

TEST_F(Form1Test, LoadsLockedWithItsTimersRunning) {
    form = std::make_unique<Form1>(ctx);
    form->WebBrowser1.waitForQuietLoad();
    EXPECT_TRUE(form->Timer2->isActive());
    EXPECT_TRUE(form->Timer3->isActive());
    EXPECT_TRUE(form->Timer4->isActive());
    EXPECT_EQ(form->Timer2->interval(), 5000);
    EXPECT_EQ(form->Timer3->interval(), 1000);
    EXPECT_EQ(form->Timer4->interval(), 10);
    EXPECT_EQ(form->Timer4->timerType(), Qt::PreciseTimer);
    form->Timer2->stop();
    form->Timer3->stop();
    form->Timer4->stop();

    for (QWidget* w : lockedControls(*form)) {
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    }
    for (QAction* a : lockedItems(*form)) {
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    }
    EXPECT_TRUE(form->Command5->isEnabled());
    EXPECT_TRUE(form->saveyx->isEnabled());
    EXPECT_FALSE(form->KeyPreview);
    EXPECT_EQ(form->St1->panelText(1), QStringLiteral("当前状态："));
    EXPECT_EQ(status(), QStringLiteral("程序检测更新中..请您稍等..."));
    EXPECT_EQ(form->St1->panelText(3), QStringLiteral("程序设计:Tomo阿朔"));

    // Loading: full volume, the relationship list with an empty text, the usage text, the quiet
    // forum load (a fetch, never the user's browser).
    ASSERT_EQ(platform.players.size(), 1);
    EXPECT_EQ(platform.players[0]->volume(), 100);
    EXPECT_EQ(form->Combo1->count(), 35);
    EXPECT_EQ(form->Combo1->itemText(0), QStringLiteral("同学"));
    EXPECT_EQ(form->Combo1->itemText(33), QStringLiteral("同事"));
    EXPECT_EQ(form->Combo1->itemText(34), QStringLiteral("自己添加..."));
    EXPECT_TRUE(form->Combo1->currentText().isEmpty());
    EXPECT_EQ(form->Text6->toPlainText(), QString(PrefixSwitch::usageText()).remove('\r'));
    EXPECT_TRUE(platform.httpFake.requests.contains(ctx.endpoints.forumUrl));
    EXPECT_TRUE(platform.shellFake.openedAddresses.isEmpty());
    EXPECT_TRUE(waterRipple().isInitialised());
    EXPECT_EQ(waterRipple().size(), QSize(640, 106));

    // F4 does nothing while locked.
    QTest::keyClick(form->centralWidget(), Qt::Key_F4);
    EXPECT_EQ(form->Check1->checkState(), Qt::Unchecked);
    EXPECT_TRUE(platform.boxes.shown.isEmpty());
}

TEST_F(Form1Test, StartUpCheckUnlocksAfterSuccessOrFailure) {
    replyVersion("V6.0\r\n");
    open();
    form->Timer3->start();
    form->Timer3_Timer();
    EXPECT_EQ(status(), QStringLiteral("程序加载完毕..."));
    for (QWidget* w : lockedControls(*form)) {
        EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    }
    for (QAction* a : lockedItems(*form)) {
        EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
    }
    EXPECT_FALSE(form->Timer3->isActive());
    EXPECT_TRUE(form->KeyPreview);
    EXPECT_TRUE(platform.boxes.shown.isEmpty());
    // The check runs once per start.
    form->Timer3_Timer();
    EXPECT_EQ(versionRequests(), 1);

    form.reset();
    platform.httpFake.replies.clear();
    replyVersion("V6.0", 503);
    open();
    form->Timer3_Timer();
    EXPECT_EQ(status(), QStringLiteral("检测失败!请检查您的网络连接!."));
    EXPECT_TRUE(form->isUnlocked());
    EXPECT_TRUE(form->Command2->isEnabled());
    EXPECT_TRUE(form->KeyPreview);
    EXPECT_EQ(platform.shellFake.endProgramCalls, 0);
}

TEST_F(Form1Test, AnotherVersionEndsTheProgramAndKeepsTheLock) {
    replyVersion("V6.1");
    open();
    form->Timer3->start();
    // While the question waits, a second tick and a close request change nothing.
    int ticksDuringQuestion = 0;
    platform.boxes.onShow = [&](const fakes::ShownBox&) {
        form->Timer3_Timer();
        EXPECT_FALSE(form->close());
        ++ticksDuringQuestion;
    };
    platform.boxes.answerNext(MsgBoxAnswer::Yes);
    form->Timer3_Timer();
    EXPECT_EQ(ticksDuringQuestion, 1);
    ASSERT_EQ(platform.boxes.shown.size(), 1);
    EXPECT_EQ(platform.boxes.shown[0].prompt,
              QStringLiteral("您当前使用的为旧版软件!\r\n \r\n最新版本为:【V6.1】是否更新?"));
    EXPECT_EQ(versionRequests(), 1);
    EXPECT_EQ(platform.shellFake.openedAddresses, QStringList{ctx.endpoints.forumUrl});
    EXPECT_EQ(platform.shellFake.endProgramCalls, 1);
    EXPECT_FALSE(form->isUnlocked());
    EXPECT_FALSE(form->Text4->isEnabled());
    EXPECT_FALSE(form->KeyPreview);
    EXPECT_EQ(status(), QStringLiteral("程序检测更新中..请您稍等..."));
    form->Timer3_Timer();
    EXPECT_EQ(versionRequests(), 1);

    form.reset();
    platform.boxes.onShow = nullptr;
    platform.boxes.shown.clear();
    platform.shellFake.openedAddresses.clear();
    open();
    platform.boxes.answerNext(MsgBoxAnswer::No);
    form->Timer3_Timer();
    EXPECT_TRUE(platform.shellFake.openedAddresses.isEmpty());
    EXPECT_EQ(platform.shellFake.endProgramCalls, 2);
    EXPECT_FALSE(form->Check1->isEnabled());
}

TEST_F(Form1Test, ManualCheckDisablesItsItemOnlyWhileItRuns) {
    openUnlocked();
    bool enabledWhileShown = true;
    platform.boxes.onShow = [&](const fakes::ShownBox&) { enabledWhileShown = form->jiance->isEnabled(); };
    form->jiance->trigger();
    ASSERT_EQ(platform.boxes.shown.size(), 1);
    EXPECT_EQ(platform.boxes.shown[0].prompt, QStringLiteral("当前为最新版本!"));
    EXPECT_EQ(platform.boxes.shown[0].style, MsgBoxStyle::OkInformation);
    EXPECT_FALSE(enabledWhileShown);
    EXPECT_TRUE(form->jiance->isEnabled());
    EXPECT_TRUE(form->jiance->isChecked());
    EXPECT_EQ(status(), QStringLiteral("程序加载完毕..."));

    platform.httpFake.replies.clear();
    form->jiance_Click();
    ASSERT_EQ(platform.boxes.shown.size(), 2);
    EXPECT_EQ(platform.boxes.shown[1].prompt, QStringLiteral("检测失败!请检查您的网络连接!"));
    EXPECT_EQ(platform.boxes.shown[1].style, MsgBoxStyle::OkExclamation);
    EXPECT_TRUE(form->jiance->isEnabled());
    EXPECT_EQ(platform.shellFake.endProgramCalls, 0);
}

TEST_F(Form1Test, F4TogglesThePrefixSwitchThroughItsHandler) {
    // A stored prefix: ticking shows the usage text and then the question; No keeps it.
    temp.write("\\yx\\qz.mp3", QByteArray(100, 'j'));
    ASSERT_TRUE(WriteToINI("Information", "qzyp", "1", temp.path("\\velanote.ini")));
    openUnlocked();
    platform.boxes.answerNext(MsgBoxAnswer::Ok);
    platform.boxes.answerNext(MsgBoxAnswer::No);
    QTest::keyClick(form->Text4, Qt::Key_F4);
    EXPECT_EQ(form->Check1->checkState(), Qt::Checked);
    ASSERT_EQ(platform.boxes.shown.size(), 2);
    EXPECT_EQ(platform.boxes.shown[0].style, MsgBoxStyle::OkInformation);
    EXPECT_FALSE(form->Timer2->isActive());

    QTest::keyClick(form->Text2, Qt::Key_F4);
    EXPECT_EQ(form->Check1->checkState(), Qt::Unchecked);
    EXPECT_EQ(platform.boxes.shown.size(), 2);
    EXPECT_TRUE(form->Timer2->isActive());

    // Other keys reach the control; a greyed switch is left alone.
    QTest::keyClick(form->Text4, Qt::Key_A);
    EXPECT_EQ(form->Text4->text(), QStringLiteral("a"));
    form->Check1->setCheckState(Qt::PartiallyChecked);
    const int shown = int(platform.boxes.shown.size());
    QTest::keyClick(form->Text4, Qt::Key_F4);
    form->Form_KeyDown(115);
    EXPECT_EQ(form->Check1->checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(platform.boxes.shown.size(), shown);
    // A click never makes it greyed: greyed and unticked go to ticked, ticked to unticked.
    platform.boxes.answerNext(MsgBoxAnswer::Ok);
    platform.boxes.answerNext(MsgBoxAnswer::No);
    form->Check1->click();
    EXPECT_EQ(form->Check1->checkState(), Qt::Checked);
    form->Check1->click();
    EXPECT_EQ(form->Check1->checkState(), Qt::Unchecked);
}

TEST_F(Form1Test, ChoosingCustomRelationEmptiesAndFocusesTheBox) {
    openUnlocked();
    form->Combo1->setCurrentIndex(3);
    form->Combo1_Click();
    EXPECT_EQ(form->Combo1->currentText(), QStringLiteral("妈妈"));

    form->Combo1->setCurrentIndex(34);
    Q_EMIT form->Combo1->activated(34);
    EXPECT_TRUE(form->Combo1->currentText().isEmpty());
    EXPECT_EQ(form->focusWidget(), form->Combo1);
    EXPECT_EQ(form->Combo1->count(), 35);
}

TEST_F(Form1Test, RippleFollowsTheMouseOnlyWhileTheEffectIsOn) {
    openUnlocked();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    QWidget* surface = form->centralWidget();
    ASSERT_TRUE(surface->hasMouseTracking());
    ASSERT_TRUE(waterRipple().isCalm());

    form->zttx->trigger();
    EXPECT_EQ(form->zttx->text(), QStringLiteral("开启主题特效"));
    QTest::mousePress(surface, Qt::LeftButton, Qt::NoModifier, QPoint(200, 60));
    QTest::mouseMove(surface, QPoint(220, 70));
    form->Timer4_Timer();
    EXPECT_TRUE(waterRipple().isCalm());
    QTest::mouseRelease(surface, Qt::LeftButton, Qt::NoModifier, QPoint(220, 70));

    form->zttx->trigger();
    EXPECT_EQ(form->zttx->text(), QStringLiteral("关闭主题特效"));
    // A move without a pressed button stirs the water.
    QTest::mouseMove(surface, QPoint(300, 50));
    form->Timer4_Timer();
    EXPECT_FALSE(waterRipple().isCalm());
    const auto lightTrail = waterRipple().energy();
    form->Form_MouseDown(400.4, 60.6);
    form->Timer4_Timer();
    EXPECT_GT(waterRipple().energy(), lightTrail);

    // Any other caption: no call at all, while the tick goes on.
    form->zttx->setText(QStringLiteral("主题特效"));
    const auto before = waterRipple().energy();
    form->Form_MouseDown(100, 60);
    EXPECT_EQ(waterRipple().energy(), before);
    for (int i = 0; i < 2000 && !waterRipple().isCalm(); ++i) {
        form->Timer4_Timer();
    }
    EXPECT_TRUE(waterRipple().isCalm());
}

TEST_F(Form1Test, ClosingAsksAndCancelKeepsEverything) {
    openUnlocked();
    form->show();
    platform.boxes.answerNext(MsgBoxAnswer::Cancel);
    EXPECT_FALSE(form->close());
    ASSERT_EQ(platform.boxes.shown.size(), 1);
    const fakes::ShownBox box = platform.boxes.shown[0];
    EXPECT_EQ(
        box.prompt,
        QStringLiteral(
            "感谢您对阿朔、对Vela系列的软件的支持!\r \r是否退出并到论坛可以下载更多阿朔的原创免费软件?"));
    EXPECT_FALSE(box.prompt.contains('\n'));
    EXPECT_EQ(box.style, MsgBoxStyle::YesNoCancelInformation);
    EXPECT_EQ(box.title, QStringLiteral("Vela系列软件"));
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(platform.shellFake.openedAddresses.isEmpty());

    // The exit item asks the same question; No closes without the forum and hides the tray icon.
    platform.trayIcons[0]->setVisible(true);
    form->ypzh_Click();
    QPointer<Form3> joiner = form->joinerWindow();
    ASSERT_TRUE(joiner);
    EXPECT_FALSE(form->isVisible());
    form->show();
    platform.boxes.answerNext(MsgBoxAnswer::No);
    form->endd->trigger();
    EXPECT_EQ(platform.boxes.shown.size(), 2);
    EXPECT_EQ(platform.boxes.shown[1].prompt, box.prompt);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(!joiner || !joiner->isVisible());
    EXPECT_FALSE(platform.trayIcons[0]->isVisible());
    EXPECT_TRUE(platform.shellFake.openedAddresses.isEmpty());
    EXPECT_FALSE(form->Timer4->isActive());
}

TEST_F(Form1Test, ClosingWithYesOpensTheForumAndTakesThePhraseLibrary) {
    openUnlocked();
    form->show();
    form->Command7->click();
    QPointer<Form4> phrases = form->phraseWindow();
    ASSERT_TRUE(phrases);
    form->xznz->trigger();
    EXPECT_EQ(form->phraseWindow(), phrases.data()) << "one phrase library at a time";
    platform.boxes.answerNext(MsgBoxAnswer::Yes);
    EXPECT_TRUE(form->close());
    EXPECT_EQ(platform.shellFake.openedAddresses, QStringList{ctx.endpoints.forumUrl});
    EXPECT_TRUE(!phrases || !phrases->isVisible());
    EXPECT_FALSE(platform.trayIcons[0]->isVisible());
}

TEST_F(Form1Test, CloseAskedWhileTheCheckWaitsRunsAfterIt) {
    replyVersion("V6.0");
    open();
    form->show();
    // The close request arrives while the version file is still on its way.
    bool closedDuringFetch = true;
    form->updateCheck().setFetcher([this, &closedDuringFetch](const QString&) {
        closedDuringFetch = form->close();
        return QStringLiteral("V6.0");
    });
    platform.boxes.answerNext(MsgBoxAnswer::Cancel);
    form->Timer3_Timer();
    EXPECT_FALSE(closedDuringFetch);
    EXPECT_TRUE(platform.boxes.shown.isEmpty()) << "no exit question while the check runs";
    EXPECT_TRUE(form->isUnlocked());
    QCoreApplication::processEvents();
    ASSERT_EQ(platform.boxes.shown.size(), 1);
    EXPECT_EQ(platform.boxes.shown[0].prompt, Form1Texts::exitQuestion());
    EXPECT_TRUE(form->isVisible());

    // The same during a manual check; here the question is answered No and the window goes.
    form->updateCheck().setFetcher([this](const QString&) {
        form->endd->trigger();
        return QString();
    });
    platform.boxes.answerNext(MsgBoxAnswer::Ok);
    platform.boxes.answerNext(MsgBoxAnswer::No);
    form->jiance->trigger();
    EXPECT_EQ(platform.boxes.shown.size(), 2);
    EXPECT_TRUE(form->isVisible());
    QCoreApplication::processEvents();
    ASSERT_EQ(platform.boxes.shown.size(), 3);
    EXPECT_EQ(platform.boxes.shown[2].prompt, Form1Texts::exitQuestion());
    EXPECT_FALSE(form->isVisible());

    // A check that ends the program drops the request.
    platform.boxes.shown.clear();
    open();
    form->show();
    form->updateCheck().setFetcher([this](const QString&) {
        form->close();
        return QStringLiteral("V6.1");
    });
    platform.boxes.answerNext(MsgBoxAnswer::No);
    form->Timer3_Timer();
    QCoreApplication::processEvents();
    ASSERT_EQ(platform.boxes.shown.size(), 1);
    EXPECT_EQ(platform.shellFake.endProgramCalls, 1);
}
