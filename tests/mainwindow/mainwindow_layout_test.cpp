// The main window's frame, controls and menu as built.
#include "mainwindowfixture.h"

#include "mainwindow/mainwindowpictures.h"
#include "widgets/playerstrip.h"
#include "widgets/statusbar.h"
#include "widgets/twips.h"

#include <QAction>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMovie>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>

using namespace velanote;
using velanote::testing::MainWindowTest;

namespace {

QStringList captionsOf(const QMenu* menu) {
    QStringList list;
    for (const QAction* a : menu->actions()) {
        list.append(a->isSeparator() ? QStringLiteral("-") : a->text());
    }
    return list;
}

} // namespace

TEST_F(MainWindowTest, WindowFrameAndControls) {
    open();
    EXPECT_EQ(form->windowTitle(),
              QStringLiteral("Vela系列软件の声笺V6.0【星河】[娱乐类软件]  -By:Tomo阿朔"));
    EXPECT_EQ(form->centralWidget()->size(), QSize(658, 458));
    form->show();
    EXPECT_EQ(form->minimumSize(), form->maximumSize()) << "the window cannot be resized";
    EXPECT_EQ(form->centralWidget()->size(), QSize(658, 458));
    EXPECT_EQ(find<QGroupBox>("inputFrame")->title(),
              QStringLiteral("寄声设置:[更多原创免费软件尽在bbs.velasoft.example]"));

    const QRect client = form->centralWidget()->rect();
    for (const char* name : {"inputFrame", "senderLabel", "senderEdit", "recipientEdit", "relationCombo",
                             "messageEdit", "exampleButton", "generateButton", "phrasesButton", "toolsButton",
                             "prefixFrame", "prefixCheck", "statusLine", "stripImage"}) {
        auto* w = form->findChild<QWidget*>(QString::fromLatin1(name));
        ASSERT_NE(w, nullptr) << name;
        EXPECT_EQ(w->objectName(), QString::fromLatin1(name));
        EXPECT_TRUE(w->isVisible()) << name;
        const QRect r(w->mapTo(form->centralWidget(), QPoint(0, 0)), w->size());
        EXPECT_TRUE(client.contains(r)) << name;
    }
    EXPECT_TRUE(find<QPushButton>("findSpeechButton")->isHidden());
    EXPECT_TRUE(find<QPushButton>("findJoinedButton")->isHidden());
    EXPECT_TRUE(find<QProgressBar>("repairProgress")->isHidden());
    EXPECT_EQ(find<QProgressBar>("repairProgress")->minimum(), 0);
    EXPECT_EQ(find<QProgressBar>("repairProgress")->maximum(), 5000);
    EXPECT_EQ(find<QCheckBox>("prefixCheck")->text(),
              QStringLiteral("是否启用在音信前加入前缀音频功能? [F4快捷]"));
    EXPECT_EQ(find<QPushButton>("generateButton")->text(), QStringLiteral("生成音信"));
    EXPECT_EQ(find<QPushButton>("phrasesButton")->text(), QStringLiteral("选择内置祝福语"));
    EXPECT_EQ(find<QPushButton>("toolsButton")->text(), QStringLiteral("程序相关小操作"));
    EXPECT_EQ(find<QPushButton>("exampleButton")->text(), QStringLiteral("实例"));
    EXPECT_EQ(find<QLabel>("relationLabel")->text(), QStringLiteral("对方对您的称呼[关系]:"));
    EXPECT_TRUE(find<QPlainTextEdit>("messageEdit")->font().families().contains(QStringLiteral("微软雅黑")));
    EXPECT_TRUE(
        find<QPlainTextEdit>("messageEdit")->font().families().contains(QStringLiteral("Noto Sans CJK SC")));

    // The repair's bar stands on the status line beside the status text, clear of the credit.
    const auto panelRect = [&](const char* name) {
        const auto* panel = find<StatusBar>("statusLine")->findChild<QWidget*>(QString::fromLatin1(name));
        return QRect(panel->mapTo(form->centralWidget(), QPoint(0, 0)), panel->size());
    };
    const QRect bar(find<QProgressBar>("repairProgress")->mapTo(form->centralWidget(), QPoint(0, 0)),
                    find<QProgressBar>("repairProgress")->size());
    EXPECT_TRUE(panelRect("panel2").contains(bar));
    EXPECT_FALSE(panelRect("panel3").intersects(bar));
    // The player's strip fits in the switch's row without touching the switch or its caption.
    auto* strip = find<PlayerStrip>("playerStrip");
    EXPECT_EQ(strip->parentWidget(), find<QGroupBox>("prefixFrame"));
    EXPECT_TRUE(strip->isVisible());
    EXPECT_TRUE(find<QGroupBox>("prefixFrame")->contentsRect().contains(strip->geometry()));
    EXPECT_FALSE(strip->geometry().intersects(find<QCheckBox>("prefixCheck")->geometry()));
    EXPECT_LT(find<QCheckBox>("prefixCheck")->x() + find<QCheckBox>("prefixCheck")->sizeHint().width(),
              strip->x());
    EXPECT_GE(strip->width(), 200);
    EXPECT_LE(strip->height(), 26);
    for (QWidget* part : std::initializer_list<QWidget*>{strip->playPauseButton(), strip->stopButton(),
                                                         strip->timeLabel(), strip->progressBar()}) {
        EXPECT_TRUE(part->isVisible());
        EXPECT_TRUE(strip->rect().contains(part->geometry())) << part->objectName().toStdString();
    }

    // Pictures: four 16 x 16 icons, the 640 x 106 water picture, the banner and the animated strip.
    for (const QPixmap& icon : {MainWindowPictures::copyIcon(), MainWindowPictures::saveIcon(),
                                MainWindowPictures::exitIcon(), MainWindowPictures::updateIcon()}) {
        EXPECT_EQ(icon.size(), QSize(16, 16));
    }
    EXPECT_EQ(MainWindowPictures::waterPicture().size(), QSize(640, 106));
    EXPECT_EQ(MainWindowPictures::banner().size(), QSize(640, 207));
    const QMovie* movie = find<QLabel>("stripImage")->movie();
    ASSERT_NE(movie, nullptr);
    EXPECT_TRUE(movie->isValid());
    EXPECT_GT(movie->frameCount(), 1);
    EXPECT_EQ(movie->currentImage().size(), QSize(21, 184));

    // The shake of the switch lasts long enough to reach the screen and ends where it began.
    const QPoint before = positionTwips(find<QCheckBox>("prefixCheck"));
    QElapsedTimer shaking;
    shaking.start();
    tick("shakeTimer");
    EXPECT_GE(shaking.elapsed(), 16);
    EXPECT_EQ(positionTwips(find<QCheckBox>("prefixCheck")), before);
}

TEST_F(MainWindowTest, MenuBarHoldsSevenEntriesAndThePopupIsSeparate) {
    open();
    const QList<QAction*> bar = form->menuBar()->actions();
    QStringList entries;
    for (const QAction* a : bar) {
        entries.append(a->text());
    }
    EXPECT_EQ(entries, (QStringList{QStringLiteral("【程序菜单】"), QStringLiteral("【相关说明】"),
                                    QStringLiteral("【相关功能】"), QStringLiteral("【联系作者】"),
                                    QStringLiteral("【学习编程】"), QStringLiteral("【重启程序】"),
                                    QStringLiteral("【更多精彩】")}));
    EXPECT_FALSE(bar.contains(find<QMenu>("toolsMenu")->menuAction()));
    EXPECT_EQ(find<QMenu>("toolsMenu")->title(), QStringLiteral("【相关操作】"));
    EXPECT_EQ(find<QMenu>("toolsMenu")->objectName(), QStringLiteral("toolsMenu"));

    EXPECT_EQ(captionsOf(find<QMenu>("programMenu")),
              (QStringList{QStringLiteral("检测程序更新"), "-", QStringLiteral("保存音信文件"), "-",
                           QStringLiteral("复制音信地址"), "-", QStringLiteral("退出音信程序")}));
    EXPECT_EQ(captionsOf(find<QMenu>("notesMenu")),
              (QStringList{QStringLiteral("软件说明"), "-", QStringLiteral("更新说明")}));
    EXPECT_EQ(captionsOf(find<QMenu>("featuresMenu")),
              (QStringList{QStringLiteral("前缀音频设置"), "-", QStringLiteral("音频整合功能"), "-",
                           QStringLiteral("语音设置"), "-", QStringLiteral("批量生成音信"), "-",
                           QStringLiteral("选择内置祝福"), "-", QStringLiteral("清除全部音信"), "-",
                           QStringLiteral("音频修复功能"), "-", QStringLiteral("关闭主题特效")}));
    EXPECT_EQ(captionsOf(find<QMenu>("moreMenu")),
              (QStringList{QStringLiteral("原创免费软件"), "-", QStringLiteral("官方百度贴吧"), "-",
                           QStringLiteral("原创技术博客")}));
    EXPECT_EQ(captionsOf(find<QMenu>("toolsMenu")),
              (QStringList{QStringLiteral("粘贴剪切板信息"), "-", QStringLiteral("清空相关的信息")}));
    EXPECT_EQ(find<QMenu>("toolsMenu")->actions()[2]->menu(), find<QMenu>("clearMenu"));
    EXPECT_EQ(find<QMenu>("clearMenu")->objectName(), QStringLiteral("clearMenu"));
    EXPECT_EQ(captionsOf(find<QMenu>("clearMenu")),
              (QStringList{QStringLiteral("清空祝福信息"), "-", QStringLiteral("清空全部信息"), "-",
                           QStringLiteral("清空剪贴板信息")}));

    // The pictured items carry their pictures in the checked state; the others none.
    for (QAction* a : {find<QAction>("checkUpdateAction"), find<QAction>("saveMessageAction"),
                       find<QAction>("copyAddressAction"), find<QAction>("exitAction")}) {
        EXPECT_TRUE(a->isCheckable() && a->isChecked()) << a->objectName().toStdString();
        EXPECT_FALSE(a->icon().pixmap(13, 13, QIcon::Normal, QIcon::On).isNull())
            << a->objectName().toStdString();
    }
    for (QAction* a : {find<QAction>("aboutAction"), find<QAction>("prefixSettingsAction"),
                       find<QAction>("pasteAction")}) {
        EXPECT_TRUE(a->icon().isNull()) << a->objectName().toStdString();
        EXPECT_FALSE(a->isChecked());
    }

    // toolsButton opens the pop-up at (502, 290) twips of the client area.
    openUnlocked();
    form->show();
    find<QPushButton>("toolsButton")->click();
    EXPECT_TRUE(find<QMenu>("toolsMenu")->isVisible());
    EXPECT_EQ(form->popupPosition(), form->centralWidget()->mapToGlobal(QPoint(33, 19)));
    find<QMenu>("toolsMenu")->close();
}
