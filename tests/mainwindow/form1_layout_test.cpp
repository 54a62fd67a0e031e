// The main window's frame, controls and menu as built.
#include "form1fixture.h"

#include "platform/playerstrip.h"
#include "platform/statusbar.h"
#include "platform/twips.h"

#include <QAction>
#include <QCheckBox>
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
using velanote::testing::Form1Test;

namespace {

QStringList captionsOf(const QMenu* menu) {
    QStringList list;
    for (const QAction* a : menu->actions()) {
        list.append(a->objectName() + ":" + (a->isSeparator() ? QStringLiteral("-") : a->text()));
    }
    return list;
}

} // namespace

TEST_F(Form1Test, WindowFrameAndControls) {
    open();
    EXPECT_EQ(form->windowTitle(),
              QStringLiteral("Vela系列软件の声笺V6.0【星河】[娱乐类软件]  -By:Tomo阿朔"));
    EXPECT_EQ(form->centralWidget()->size(), QSize(658, 458));
    form->show();
    EXPECT_EQ(form->minimumSize(), form->maximumSize()) << "the window cannot be resized";
    EXPECT_EQ(form->centralWidget()->size(), QSize(658, 458));
    EXPECT_EQ(form->Frame1->title(), QStringLiteral("寄声设置:[更多原创免费软件尽在bbs.velasoft.example]"));

    const QRect client = form->centralWidget()->rect();
    for (const char* name : {"Frame1", "Label1", "Text4", "Text5", "Combo1", "Text2", "Command5", "Command2",
                             "Command7", "Command4", "Frame4", "Check1", "St1", "Image2"}) {
        auto* w = form->findChild<QWidget*>(QString::fromLatin1(name));
        ASSERT_NE(w, nullptr) << name;
        EXPECT_EQ(w->objectName(), QString::fromLatin1(name));
        EXPECT_TRUE(w->isVisible()) << name;
        const QRect r(w->mapTo(form->centralWidget(), QPoint(0, 0)), w->size());
        EXPECT_TRUE(client.contains(r)) << name;
    }
    // Working boxes and picture sources are never seen.
    for (QWidget* w : std::initializer_list<QWidget*>{form->Text1, form->Text3, form->Text6, form->Text7,
                                                      form->pic1, form->Picture1}) {
        EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
    }
    EXPECT_TRUE(form->Command1->isHidden());
    EXPECT_TRUE(form->Command6->isHidden());
    EXPECT_TRUE(form->save->isHidden());
    EXPECT_EQ(form->save->text(), QStringLiteral("Command5"));
    EXPECT_TRUE(form->ProgressBar1->isHidden());
    EXPECT_EQ(form->ProgressBar1->minimum(), 0);
    EXPECT_EQ(form->ProgressBar1->maximum(), 5000);
    EXPECT_EQ(form->Check1->text(), QStringLiteral("是否启用在音信前加入前缀音频功能? [F4快捷]"));
    EXPECT_EQ(form->Command2->text(), QStringLiteral("生成音信"));
    EXPECT_EQ(form->Command7->text(), QStringLiteral("选择内置祝福语"));
    EXPECT_EQ(form->Command4->text(), QStringLiteral("程序相关小操作"));
    EXPECT_EQ(form->Command5->text(), QStringLiteral("实例"));
    EXPECT_EQ(form->Label3->text(), QStringLiteral("对方对您的称呼[关系]:"));
    EXPECT_TRUE(form->Text2->font().families().contains(QStringLiteral("微软雅黑")));
    EXPECT_TRUE(form->Text2->font().families().contains(QStringLiteral("Noto Sans CJK SC")));

    // The repair's bar stands on the status line beside the status text, clear of the credit.
    const auto panelRect = [&](const char* name) {
        const auto* panel = form->St1->findChild<QWidget*>(QString::fromLatin1(name));
        return QRect(panel->mapTo(form->centralWidget(), QPoint(0, 0)), panel->size());
    };
    const QRect bar(form->ProgressBar1->mapTo(form->centralWidget(), QPoint(0, 0)),
                    form->ProgressBar1->size());
    EXPECT_TRUE(panelRect("panel2").contains(bar));
    EXPECT_FALSE(panelRect("panel3").intersects(bar));
    // The player's strip fits in the switch's row without touching the switch or its caption.
    auto* strip = form->findChild<PlayerStrip*>(QStringLiteral("WindowsMediaPlayer1"));
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(strip, form->playerStrip);
    EXPECT_EQ(strip->parentWidget(), form->Frame4);
    EXPECT_TRUE(strip->isVisible());
    EXPECT_TRUE(form->Frame4->contentsRect().contains(strip->geometry()));
    EXPECT_FALSE(strip->geometry().intersects(form->Check1->geometry()));
    EXPECT_LT(form->Check1->x() + form->Check1->sizeHint().width(), strip->x());
    EXPECT_GE(strip->width(), 200);
    EXPECT_LE(strip->height(), 26);
    for (QWidget* part : std::initializer_list<QWidget*>{strip->playPauseButton(), strip->stopButton(),
                                                         strip->timeLabel(), strip->progressBar()}) {
        EXPECT_TRUE(part->isVisible());
        EXPECT_TRUE(strip->rect().contains(part->geometry())) << part->objectName().toStdString();
    }

    // Pictures: four 16 x 16 icons, the 640 x 106 water picture, the banner and the animated strip.
    for (QLabel* pic : {form->pic1, form->pic2, form->pic3, form->pic4}) {
        EXPECT_EQ(pic->pixmap().size(), QSize(16, 16));
    }
    EXPECT_EQ(form->Picture1->pixmap().size(), QSize(640, 106));
    EXPECT_EQ(form->Image1->pixmap().size(), QSize(640, 207));
    ASSERT_NE(form->Image2Movie, nullptr);
    EXPECT_TRUE(form->Image2Movie->isValid());
    EXPECT_GT(form->Image2Movie->frameCount(), 1);
    EXPECT_EQ(form->Image2Movie->currentImage().size(), QSize(21, 184));

    // The shake of the switch ends where it began.
    const QPoint before = positionTwips(form->Check1);
    form->prefixSwitch()->Timer2_Timer();
    EXPECT_EQ(positionTwips(form->Check1), before);
}

TEST_F(Form1Test, MenuBarHoldsSevenEntriesAndThePopupIsSeparate) {
    open();
    const QList<QAction*> bar = form->menuBar()->actions();
    QStringList entries;
    for (const QAction* a : bar) {
        entries.append(a->menu() ? a->menu()->objectName() + ":" + a->text()
                                 : a->objectName() + ":" + a->text());
    }
    EXPECT_EQ(entries, (QStringList{QStringLiteral("menu:【程序菜单】"), QStringLiteral("xgsm:【相关说明】"),
                                    QStringLiteral("qtgn:【相关功能】"), QStringLiteral("con:【联系作者】"),
                                    QStringLiteral("xxbc:【学习编程】"), QStringLiteral("cq:【重启程序】"),
                                    QStringLiteral("more:【更多精彩】")}));
    EXPECT_FALSE(bar.contains(form->xgcz->menuAction()));
    EXPECT_EQ(form->xgcz->title(), QStringLiteral("【相关操作】"));
    EXPECT_EQ(form->xgcz->objectName(), QStringLiteral("xgcz"));

    EXPECT_EQ(captionsOf(form->menu),
              (QStringList{QStringLiteral("jiance:检测程序更新"), "x213:-",
                           QStringLiteral("saveyx:保存音信文件"), "x2:-", QStringLiteral("copy:复制音信地址"),
                           "x3:-", QStringLiteral("endd:退出音信程序")}));
    EXPECT_EQ(captionsOf(form->xgsm),
              (QStringList{QStringLiteral("rj:软件说明"), "x54:-", QStringLiteral("sm:更新说明")}));
    EXPECT_EQ(captionsOf(form->qtgn),
              (QStringList{QStringLiteral("qz:前缀音频设置"), "x20:-", QStringLiteral("ypzh:音频整合功能"),
                           "x21:-", QStringLiteral("xznz:选择内置祝福"), "x561:-",
                           QStringLiteral("qcyx:清除全部音信"), "x32:-", QStringLiteral("ypxf:音频修复功能"),
                           "x35:-", QStringLiteral("zttx:关闭主题特效")}));
    EXPECT_EQ(captionsOf(form->more), (QStringList{QStringLiteral("velafans:原创免费软件"), "x6:-",
                                                   QStringLiteral("tieba:官方百度贴吧"), "xz:-",
                                                   QStringLiteral("it8:原创技术博客")}));
    EXPECT_EQ(captionsOf(form->xgcz), (QStringList{QStringLiteral("ztxx:粘贴剪切板信息"), "x455:-",
                                                   QStringLiteral(":清空相关的信息")}));
    EXPECT_EQ(form->xgcz->actions()[2]->menu(), form->qkxx);
    EXPECT_EQ(form->qkxx->objectName(), QStringLiteral("qkxx"));
    EXPECT_EQ(captionsOf(form->qkxx),
              (QStringList{QStringLiteral("qkzf:清空祝福信息"), "x55:-", QStringLiteral("qk:清空全部信息"),
                           "x50:-", QStringLiteral("qkjt:清空剪贴板信息")}));

    // The pictured items carry their pictures in the checked state; the others none.
    for (QAction* a : {form->jiance, form->saveyx, form->copy, form->endd}) {
        EXPECT_TRUE(a->isCheckable() && a->isChecked()) << a->objectName().toStdString();
        EXPECT_FALSE(a->icon().pixmap(13, 13, QIcon::Normal, QIcon::On).isNull())
            << a->objectName().toStdString();
    }
    for (QAction* a : {form->rj, form->qz, form->ztxx, form->x213}) {
        EXPECT_TRUE(a->icon().isNull()) << a->objectName().toStdString();
        EXPECT_FALSE(a->isChecked());
    }

    // Command4 opens the pop-up at (502, 290) twips of the client area.
    openUnlocked();
    form->show();
    form->Command4->click();
    EXPECT_TRUE(form->xgcz->isVisible());
    EXPECT_EQ(form->popupPosition(), form->centralWidget()->mapToGlobal(QPoint(33, 19)));
    form->xgcz->close();
}
