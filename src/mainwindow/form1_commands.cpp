// Form1's commands: the generation buttons, the maintenance and information items of the menu,
// the links, and the audio repair.
#include "generation/generationrun.h"
#include "joiner/form3.h"
#include "mainwindow/form1.h"
#include "mainwindow/form1texts.h"
#include "mainwindow/maintenance.h"
#include "phrases/form4.h"
#include "platform/statusbar.h"
#include "platform/textbox.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>

namespace velanote {

void Form1::Command2_Click() {
    run_->Command2_Click();
}
void Form1::Command5_Click() {
    run_->Command5_Click();
}
void Form1::Command1_Click() {
    run_->Command1_Click();
}
void Form1::Command6_Click() {
    run_->Command6_Click();
}
void Form1::copy_Click() {
    run_->copy_Click();
}
void Form1::saveyx_Click() {
    run_->saveyx_Click();
}
void Form1::save_Click() {
    run_->save_Click();
}

void Form1::endd_Click() {
    close();
}

void Form1::cq_Click() {
    if (ask(Form1Texts::restartQuestion(), MsgBoxStyle::YesNoInformation, Form1Texts::messageTitle()) !=
        MsgBoxAnswer::Yes) {
        return;
    }
    Shell& shell = ctx_.platform.shell();
    shell.startDetached(QCoreApplication::applicationFilePath(), {});
    shell.endProgram();
}

void Form1::rj_Click() {
    ask(Form1Texts::softwareDescription(), MsgBoxStyle::OkInformation, QStringLiteral("软件说明"));
}

void Form1::sm_Click() {
    ask(plainTextWithCrLf(*Text7), MsgBoxStyle::OkInformation, QStringLiteral("更新说明"));
}

void Form1::zttx_Click() {
    const QString on = QString::fromUtf8(EffectOnCaption);
    const QString off = QString::fromUtf8(EffectOffCaption);
    if (zttx->text() == on) {
        zttx->setText(off);
    } else if (zttx->text() == off) {
        zttx->setText(on);
    }
}

void Form1::qcyx_Click() {
    if (ask(QStringLiteral("此操作将清除软件所包含的目录下所有的音信文件,是否确认?"),
            MsgBoxStyle::YesNoInformation, Form1Texts::messageTitle()) != MsgBoxAnswer::Yes) {
        return;
    }
    const QStringList files = Maintenance::generatedMessageFiles(ctx_.folder);
    if (files.isEmpty()) {
        ask(QStringLiteral("当前目录下没有音信文件!无需删除!"), MsgBoxStyle::OkInformation,
            Form1Texts::messageTitle());
        return;
    }
    Maintenance::deleteFiles(files);
}

void Form1::qk_Click() {
    if (ask(QStringLiteral("是否确认清除全部信息?"), MsgBoxStyle::YesNoInformation,
            Form1Texts::messageTitle()) != MsgBoxAnswer::Yes) {
        return;
    }
    Text2->clear();
    Text4->clear();
    Text5->clear();
    Combo1->setEditText(QString());
    setStatus(QStringLiteral("全部信息已清空.."));
}

void Form1::qkzf_Click() {
    if (Text2->toPlainText().isEmpty()) {
        return;
    }
    if (ask(QStringLiteral("您已输入内容,确认清空?"), MsgBoxStyle::YesNoInformation,
            Form1Texts::messageTitle()) != MsgBoxAnswer::Yes) {
        return;
    }
    Text2->clear();
    setStatus(QStringLiteral("祝福语已清空.."));
}

void Form1::qkjt_Click() {
    ctx_.platform.clipboard().clear();
    setStatus(QStringLiteral("剪贴板已清空.."));
}

void Form1::ztxx_Click() {
    const QString pasted = ctx_.platform.clipboard().text();
    if (pasted.isEmpty()) {
        setStatus(QStringLiteral("没有可粘贴的内容,请先复制.."));
        return;
    }
    Text2->setPlainText(Text2->toPlainText() + pasted);
    Text2->moveCursor(QTextCursor::End);
    setStatus(QStringLiteral("已粘贴剪贴板内容.."));
}

void Form1::xznz_Click() {
    Form4::showSingle(form4_, ctx_, Text2, St1);
}

void Form1::ypzh_Click() {
    if (!form3_) {
        form3_ = new Form3(ctx_, this);
    }
    form3_->show();
    form3_->raise();
    form3_->activateWindow();
    hide();
}

void Form1::velafans_Click() {
    ctx_.platform.shell().openAddress(ctx_.endpoints.forumUrl);
}

void Form1::tieba_Click() {
    ctx_.platform.shell().openAddress(ctx_.endpoints.boardUrl);
}

void Form1::it8_Click() {
    ctx_.platform.shell().openAddress(ctx_.endpoints.blogUrl);
}

void Form1::con_Click() {
    WebBrowser1.Navigate(ctx_.endpoints.chatUrl);
}

void Form1::xxbc_Click() {
    ask(Form1Texts::lessonsAdvert(), MsgBoxStyle::OkInformation, Form1Texts::messageTitle());
    Clipboard& clipboard = ctx_.platform.clipboard();
    clipboard.clear();
    clipboard.setText(ctx_.endpoints.authorAccount);
}

void Form1::ypxf_Click() {
    if (ask(Form1Texts::repairQuestion(), MsgBoxStyle::YesNoInformation, Form1Texts::messageTitle()) !=
        MsgBoxAnswer::Yes) {
        return;
    }
    Command1->hide();
    Command6->hide();
    setStatus(QStringLiteral("音频功能修复中..."));
    ProgressBar1->show();
    for (int value = 1; value <= ProgressBar1->maximum(); ++value) {
        ProgressBar1->setValue(value);
        // Paint now and then, so the bar is seen to fill while nothing else runs.
        if (value % 100 == 0 && ProgressBar1->isVisible()) {
            ProgressBar1->repaint();
        }
    }
    const bool restored = Maintenance::restoreJingles(ctx_.folder);
    setStatus(restored ? QStringLiteral("音频前缀功能已全面修复完毕...")
                       : QStringLiteral("音频前缀功能修复失败!请检查程序目录是否可写.."));
    ProgressBar1->hide();
}

} // namespace velanote
