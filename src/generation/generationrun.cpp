#include "generation/generationrun.h"

#include "app/messagetitles.h"
#include "generation/composition.h"
#include "generation/filebytes.h"
#include "generation/serviceclient.h"
#include "generation/waitwithoutinput.h"
#include "platform/mediaplayer.h"
#include "platform/twips.h"
#include "widgets/statusbar.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <algorithm>

namespace velanote {

namespace {
const QString SavingBalloon = QStringLiteral("程序正在保存音信文件..请稍等..");
const QString NothingGenerated = QStringLiteral("请先生成音信,再执行本操作..");
const QString DownloadFailed = QStringLiteral("音信文件下载失败!请检查网络后重试..");
const QString SaveFailed = QStringLiteral("音信文件保存失败!请检查保存路径..");
const QString PlayFailed = QStringLiteral("音信播放失败!请检查网络后重试..");
} // namespace

CommonDialog makeSpeechFileDialog(FileDialogService& dialogs, QWidget* parent) {
    return CommonDialog(dialogs, parent, QStringLiteral("请选择您要保存的音信文件路径"),
                        QStringLiteral("(MP3音频文件)|*.mp3"));
}

CommonDialog makeJoinedFileDialog(FileDialogService& dialogs, QWidget* parent) {
    return CommonDialog(dialogs, parent, QString(), QStringLiteral("音频文件(*.mp3)|*.mp3"));
}

GenerationRun::GenerationRun(AppContext& ctx, const GenerationControls& controls)
    : ctx_(ctx), c_(controls), tray_(controls.window, controls.tray) {
    c_.player->setFailureWatcher([this] { onlinePlaybackFailed(); });
}

GenerationRun::~GenerationRun() {
    c_.player->setFailureWatcher({});
}

// The message address turned out unplayable (not found, empty, not audio): the run ends as failed.
void GenerationRun::onlinePlaybackFailed() {
    if (onlineAddress_.isEmpty() || c_.player->URL() != onlineAddress_) {
        return;
    }
    onlineAddress_.clear();
    c_.player->setURL(QString());
    setStatus(PlayFailed);
    enableInputs();
}

void GenerationRun::setStatus(const QString& text) {
    c_.statusLine->setPanelText(2, text);
}

MessageBoxAnswer GenerationRun::ask(const QString& prompt, MessageBoxStyle style) {
    return ctx_.platform.messageBox().show(prompt, style, MessageTitles::program(), c_.window);
}

void GenerationRun::enableInputs() {
    c_.senderEdit->setEnabled(true);
    c_.recipientEdit->setEnabled(true);
    c_.relationCombo->setEnabled(true);
    c_.generateButton->setEnabled(true);
}

// The button sits on the status bar, a little below its top, no taller than the room left on the
// bar and in the window; where its least height (a skin may raise it) does not fit there, it rises
// until its bottom is in view, so that none of it is cut off at the window's bottom edge.
void GenerationRun::showFindButton(QPushButton* shown, QPushButton* hidden) {
    shown->setVisible(true);
    const int left = positionTwips(shown).x();
    movePositionTwips(shown, left, positionTwips(c_.statusLine).y() + 5);
    int bottom = c_.statusLine->geometry().bottom();
    if (const QWidget* parent = shown->parentWidget()) {
        bottom = std::min(bottom, parent->rect().bottom());
    }
    shown->resize(shown->width(), std::min(shown->height(), bottom - shown->y() + 1));
    if (shown->geometry().bottom() > bottom) {
        movePositionTwips(shown, left, pixelsToTwips(bottom + 1 - shown->height()));
    }
    hidden->setVisible(false);
}

void GenerationRun::onGenerateClicked(bool withPrefix) {
    const MessageInputs in{c_.senderEdit->text(), c_.recipientEdit->text(), c_.relationCombo->currentText(),
                           c_.messageEdit->toPlainText()};
    if (const auto failure = MessageComposer::check(in)) {
        QWidget* focus[] = {c_.senderEdit, c_.recipientEdit, c_.relationCombo, c_.messageEdit};
        focus[int(failure->focus)]->setFocus();
        setStatus(failure->status);
        return;
    }

    c_.generateButton->setEnabled(false);
    setStatus(QStringLiteral("正在进行联网检测..请稍等.."));
    HttpClient& http = ctx_.platform.http();
    const QString probeHost = ctx_.endpoints.probeHost;
    const QString probe = waitWithoutInput([&http, probeHost] { return http.fetchText(probeHost); });
    if (probe.isEmpty()) {
        const QString offline = QStringLiteral("程序未联网!暂不可使用!");
        ask(offline, MessageBoxStyle::OkExclamation);
        setStatus(offline);
        c_.generateButton->setEnabled(true);
        return;
    }
    setStatus(QStringLiteral("经检测,您已联网,进入预览界面!"));

    if (ask(MessageComposer::previewText(in), MessageBoxStyle::YesNoInformation) != MessageBoxAnswer::Yes) {
        setStatus(QStringLiteral("您已取消生成!"));
        c_.generateButton->setEnabled(true);
        return;
    }

    tray_.minimise(QStringLiteral("程序正在生成音信文件..请稍等.."));
    const QString encoded = UTF8EncodeURI(ToTraditionalChinese(MessageComposer::spokenSentence(in)));
    setStatus(QStringLiteral("正在生成Vela声笺...发送者:[") + in.sender + QStringLiteral("] | 接收者:[") +
              in.recipient + QLatin1String("]"));

    const QString base = ctx_.endpoints.speechBase;
    const QString request = SpeechRequest::address(base, encoded);
    const auto address = waitWithoutInput(
        [&http, request, base] { return SpeechRequest::messageAddress(http, request, base); });
    if (!address) {
        setStatus(QStringLiteral("Vela声笺生成失败!语音服务暂不可用,请稍后再试.."));
        enableInputs();
        tray_.restore();
        return;
    }
    messageAddress_ = *address;

    if (withPrefix) {
        setStatus(QStringLiteral("Vela声笺生成成功!正在进行保存..."));
        saveSpeechThenJoined();
        enableInputs();
    } else {
        setStatus(QStringLiteral("Vela声笺生成成功!正在进行在线播放..."));
        onlineAddress_ = messageAddress_;
        c_.player->setURL(onlineAddress_);
        enableInputs();
    }
    tray_.restore();
}

void GenerationRun::onExampleClicked() {
    const QString sender = c_.senderEdit->text();
    const QString relation = c_.relationCombo->currentText();
    if (sender.isEmpty() || relation.isEmpty()) {
        ask(QStringLiteral("请您先输入您的名字并随意选择或输入一个称呼"), MessageBoxStyle::OkExclamation);
        return;
    }
    ask(MessageComposer::exampleText(sender, relation), MessageBoxStyle::OkInformation);
}

void GenerationRun::onCopyAddress() {
    const QString address = messageAddress_;
    if (address.isEmpty()) {
        setStatus(NothingGenerated);
        return;
    }
    Clipboard& clipboard = ctx_.platform.clipboard();
    clipboard.clear();
    clipboard.setText(address);
    setStatus(QStringLiteral("Vela.声笺音信地址复制成功!"));
}

namespace {
bool isExistingFile(const QString& path) {
    const QFileInfo info(path);
    return !path.isEmpty() && info.exists() && info.isFile();
}
} // namespace

void GenerationRun::onFindSpeechClicked() {
    if (isExistingFile(speechFilePath)) {
        ctx_.platform.shell().showFileInManager(speechFilePath);
        return;
    }
    ask(QStringLiteral("未找到原版音信文件!可能已被删除!请您检查!"), MessageBoxStyle::OkExclamation);
}

void GenerationRun::onFindJoinedClicked() {
    if (isExistingFile(joinedFilePath)) {
        ctx_.platform.shell().showFileInManager(joinedFilePath);
        return;
    }
    ask(QStringLiteral("未找到合成音信文件!可能已被删除!请您检查!"), MessageBoxStyle::OkExclamation);
}

bool GenerationRun::downloadSpeech(const QString& path) {
    tray_.minimise(SavingBalloon);
    HttpClient& http = ctx_.platform.http();
    const QString address = messageAddress_.trimmed();
    const DownloadOutcome outcome =
        waitWithoutInput([&http, address, path] { return http.download(address, path); });
    tray_.restore();
    if (outcome == DownloadOutcome::NotFetched) {
        setStatus(DownloadFailed);
    } else if (outcome == DownloadOutcome::NotWritten) {
        setStatus(SaveFailed);
    }
    return outcome == DownloadOutcome::Saved;
}

bool GenerationRun::saveSpeechThroughDialog(const QString& title, const QString& cancelled) {
    c_.speechFileDialog->DialogTitle = title;
    if (c_.speechFileDialog->showSaveDialog() == CommonDialog::Outcome::Cancelled) {
        setStatus(cancelled);
        return false;
    }
    return downloadSpeech(c_.speechFileDialog->FileName);
}

void GenerationRun::saveSpeechThenJoined() {
    if (saveSpeechThroughDialog(QStringLiteral("请选择您要保存音信文件的路径"),
                                QStringLiteral("您已取消保存音频文件..."))) {
        saveJoinedFile();
    }
}

void GenerationRun::saveJoinedFile() {
    c_.joinedFileDialog->DialogTitle = QStringLiteral("请选择您要保存合成音信的路径");
    if (c_.joinedFileDialog->showSaveDialog() == CommonDialog::Outcome::Cancelled) {
        setStatus(QStringLiteral("您取消了音频保存操作..."));
        return;
    }
    const QString joinedPath = c_.joinedFileDialog->FileName;
    const QString prefixPath = ctx_.folder.file(QStringLiteral("\\yx\\qz.mp3"));
    const QString speechPath = c_.speechFileDialog->FileName;

    tray_.minimise(SavingBalloon);
    const PrefixJoinOutcome outcome = waitWithoutInput([prefixPath, speechPath, joinedPath] {
        return joinPrefixAndSpeech(prefixPath, speechPath, joinedPath);
    });
    tray_.restore();
    switch (outcome) {
    case PrefixJoinOutcome::Joined:
        break;
    case PrefixJoinOutcome::PrefixMissing:
        setStatus(QStringLiteral("未找到前缀音频文件!请先进行前缀音频设置.."));
        return;
    case PrefixJoinOutcome::SameAsPrefix:
        setStatus(QStringLiteral("合成路径不能与前缀音频相同!请重新选择.."));
        return;
    case PrefixJoinOutcome::SpeechUnreadable:
    case PrefixJoinOutcome::WriteFailed:
        setStatus(SaveFailed);
        return;
    }

    if (ask(QStringLiteral("音频文件已合成成功!是否试听?"), MessageBoxStyle::YesNoInformation) ==
        MessageBoxAnswer::Yes) {
        c_.player->setURL(joinedPath);
    }
    setStatus(QStringLiteral("合成音信文件已保存!是否找到此文件?!"));
    showFindButton(c_.findJoinedButton, c_.findSpeechButton);
    joinedFilePath = joinedPath;
}

void GenerationRun::onSaveMessage() {
    if (messageAddress_.isEmpty()) {
        setStatus(QStringLiteral("请先生成音信,再执行本操作..."));
        return;
    }
    if (!saveSpeechThroughDialog(QStringLiteral("保存音频文件"), QStringLiteral("您取消了音信保存操作..."))) {
        return;
    }
    setStatus(QStringLiteral("音信文件已保存,是否找到此文件?!"));
    showFindButton(c_.findSpeechButton, c_.findJoinedButton);
    speechFilePath = c_.speechFileDialog->FileName;
}

} // namespace velanote
