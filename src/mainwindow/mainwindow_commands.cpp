// MainWindow's commands: the generation buttons, the maintenance and information items of the menu,
// the links, and the audio repair.
#include "app/messagetitles.h"
#include "generation/generationrun.h"
#include "joiner/joinerwindow.h"
#include "mainwindow/maintenance.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/mainwindowtexts.h"
#include "phrases/phrasewindow.h"
#include "widgets/statusbar.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>

namespace velanote {

void MainWindow::onGenerateButtonClicked() {
    run_->generate(MessageInputs{senderEdit->text(), recipientEdit->text(), relationCombo->currentText(),
                                 messageEdit->toPlainText()},
                   prefixCheck->checkState() == Qt::Checked);
}
void MainWindow::onExampleButtonClicked() {
    run_->showExample(senderEdit->text(), relationCombo->currentText());
}
void MainWindow::onFindSpeechButtonClicked() {
    run_->findSpeechFile();
}
void MainWindow::onFindJoinedButtonClicked() {
    run_->findJoinedFile();
}
void MainWindow::onCopyAddressActionTriggered() {
    run_->copyAddress();
}
void MainWindow::onSaveMessageActionTriggered() {
    run_->saveMessage();
}

void MainWindow::onExitActionTriggered() {
    close();
}

void MainWindow::onRestartActionTriggered() {
    if (ask(MainWindowTexts::restartQuestion(), MessageBoxStyle::YesNoInformation,
            MessageTitles::program()) != MessageBoxAnswer::Yes) {
        return;
    }
    Shell& shell = ctx_.platform.shell();
    shell.startDetached(QCoreApplication::applicationFilePath(), {});
    shell.endProgram();
}

void MainWindow::onAboutActionTriggered() {
    ask(MainWindowTexts::softwareDescription(), MessageBoxStyle::OkInformation, QStringLiteral("软件说明"));
}

void MainWindow::onUpdateNotesActionTriggered() {
    ask(MainWindowTexts::updateNotes(), MessageBoxStyle::OkInformation, QStringLiteral("更新说明"));
}

void MainWindow::onEffectActionTriggered() {
    effectOn_ = !effectOn_;
    effectAction->setText(QString::fromUtf8(effectOn_ ? EffectOnCaption : EffectOffCaption));
}

void MainWindow::onDeleteMessagesActionTriggered() {
    if (ask(QStringLiteral("此操作将清除软件所包含的目录下所有的音信文件,是否确认?"),
            MessageBoxStyle::YesNoInformation, MessageTitles::program()) != MessageBoxAnswer::Yes) {
        return;
    }
    const QStringList files = Maintenance::generatedMessageFiles(ctx_.folder);
    if (files.isEmpty()) {
        ask(QStringLiteral("当前目录下没有音信文件!无需删除!"), MessageBoxStyle::OkInformation,
            MessageTitles::program());
        return;
    }
    Maintenance::deleteFiles(files);
}

void MainWindow::onClearAllActionTriggered() {
    if (ask(QStringLiteral("是否确认清除全部信息?"), MessageBoxStyle::YesNoInformation,
            MessageTitles::program()) != MessageBoxAnswer::Yes) {
        return;
    }
    messageEdit->clear();
    senderEdit->clear();
    recipientEdit->clear();
    relationCombo->setEditText(QString());
    setStatus(QStringLiteral("全部信息已清空.."));
}

void MainWindow::onClearMessageActionTriggered() {
    if (messageEdit->toPlainText().isEmpty()) {
        return;
    }
    if (ask(QStringLiteral("您已输入内容,确认清空?"), MessageBoxStyle::YesNoInformation,
            MessageTitles::program()) != MessageBoxAnswer::Yes) {
        return;
    }
    messageEdit->clear();
    setStatus(QStringLiteral("祝福语已清空.."));
}

void MainWindow::onClearClipboardActionTriggered() {
    ctx_.platform.clipboard().clear();
    setStatus(QStringLiteral("剪贴板已清空.."));
}

void MainWindow::onPasteActionTriggered() {
    const QString pasted = ctx_.platform.clipboard().text();
    if (pasted.isEmpty()) {
        setStatus(QStringLiteral("没有可粘贴的内容,请先复制.."));
        return;
    }
    messageEdit->setPlainText(messageEdit->toPlainText() + pasted);
    messageEdit->moveCursor(QTextCursor::End);
    setStatus(QStringLiteral("已粘贴剪贴板内容.."));
}

void MainWindow::onPhrasesActionTriggered() {
    showPhraseWindow();
}

void MainWindow::showPhraseWindow() {
    const bool opening = phraseWindow_.isNull();
    PhraseWindow::showSingle(phraseWindow_, ctx_, this, nullptr,
                             {{senderEdit, recipientEdit, relationCombo, messageEdit}, messageEdit});
    if (opening) {
        connect(phraseWindow_, &PhraseWindow::phraseChosen, this, &MainWindow::usePhrase);
    }
}

void MainWindow::usePhrase(const QString& phrase) {
    messageEdit->setPlainText(phrase);
    setStatus(QStringLiteral("祝福语自动填写成功..."));
}

void MainWindow::onJoinerActionTriggered() {
    if (!joinerWindow_) {
        joinerWindow_ = new JoinerWindow(ctx_, this);
        connect(joinerWindow_, &JoinerWindow::closed, this, &QWidget::show);
    }
    joinerWindow_->show();
    joinerWindow_->raise();
    joinerWindow_->activateWindow();
    hide();
}

namespace {

// Opens `window` (made by `make` when not open) beside the main window, which stays shown.
template <typename Window, typename Make> void showSingle(QPointer<Window>& window, Make make) {
    if (!window) {
        window = make();
    }
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

void MainWindow::onVoiceSettingsActionTriggered() {
    showSingle(voiceSettingsWindow_, [this] { return new VoiceSettingsWindow(ctx_, this); });
}

void MainWindow::onBatchActionTriggered() {
    showSingle(batchWindow_, [this] { return new BatchWindow(ctx_, this); });
}

void MainWindow::onSoftwareSiteActionTriggered() {
    ctx_.platform.shell().openAddress(ctx_.endpoints.forumUrl);
}

void MainWindow::onBoardActionTriggered() {
    ctx_.platform.shell().openAddress(ctx_.endpoints.boardUrl);
}

void MainWindow::onBlogActionTriggered() {
    ctx_.platform.shell().openAddress(ctx_.endpoints.blogUrl);
}

void MainWindow::onContactActionTriggered() {
    browser_.Navigate(ctx_.endpoints.chatUrl);
}

void MainWindow::onLessonsActionTriggered() {
    ask(MainWindowTexts::lessonsAdvert(), MessageBoxStyle::OkInformation, MessageTitles::program());
    Clipboard& clipboard = ctx_.platform.clipboard();
    clipboard.clear();
    clipboard.setText(ctx_.endpoints.authorAccount);
}

void MainWindow::onRepairActionTriggered() {
    if (ask(MainWindowTexts::repairQuestion(), MessageBoxStyle::YesNoInformation, MessageTitles::program()) !=
        MessageBoxAnswer::Yes) {
        return;
    }
    findSpeechButton->hide();
    findJoinedButton->hide();
    setStatus(QStringLiteral("音频功能修复中..."));
    repairProgress->show();
    for (int value = 1; value <= repairProgress->maximum(); ++value) {
        repairProgress->setValue(value);
        // Paint now and then, so the bar is seen to fill while nothing else runs.
        if (value % 100 == 0 && repairProgress->isVisible()) {
            repairProgress->repaint();
        }
    }
    const bool restored = Maintenance::restoreJingles(ctx_.folder);
    setStatus(restored ? QStringLiteral("音频前缀功能已全面修复完毕...")
                       : QStringLiteral("音频前缀功能修复失败!请检查程序目录是否可写.."));
    repairProgress->hide();
}

} // namespace velanote
