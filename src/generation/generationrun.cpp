#include "generation/generationrun.h"

#include "app/messagetitles.h"
#include "generation/composition.h"
#include "generation/filebytes.h"
#include "generation/serviceclient.h"
#include "generation/voicesettingsstore.h"
#include "generation/waitwithoutinput.h"
#include "platform/mediaplayer.h"

#include <QFileInfo>
#include <QWidget>

namespace velanote {

namespace {
const QString SavingBalloon = QStringLiteral("程序正在保存音信文件..请稍等..");
const QString NothingGenerated = QStringLiteral("请先生成音信,再执行本操作..");
const QString DownloadFailed = QStringLiteral("音信文件下载失败!请检查网络后重试..");
const QString SaveFailed = QStringLiteral("音信文件保存失败!请检查保存路径..");
const QString PlayFailed = QStringLiteral("音信播放失败!请检查网络后重试..");
} // namespace

GenerationRun::GenerationRun(AppContext& ctx, MediaPlayer& player, CommonDialog& speechFileDialog,
                             CommonDialog& joinedFileDialog, QObject* parent)
    : QObject(parent), ctx_(ctx), player_(player), speechFileDialog_(speechFileDialog),
      joinedFileDialog_(joinedFileDialog) {
    player_.setFailureWatcher([this] { onlinePlaybackFailed(); });
}

GenerationRun::~GenerationRun() {
    player_.setFailureWatcher({});
}

// The message address turned out unplayable (not found, empty, not audio): the run ends as failed.
void GenerationRun::onlinePlaybackFailed() {
    if (onlineAddress_.isEmpty() || player_.URL() != onlineAddress_) {
        return;
    }
    onlineAddress_.clear();
    player_.setURL(QString());
    Q_EMIT statusChanged(PlayFailed);
    Q_EMIT inputsEnabled();
}

MessageBoxAnswer GenerationRun::ask(const QString& prompt, MessageBoxStyle style) {
    return ctx_.platform.messageBox().show(prompt, style, MessageTitles::program(),
                                           qobject_cast<QWidget*>(parent()));
}

void GenerationRun::generate(const MessageInputs& in, bool withPrefix) {
    if (const auto failure = MessageComposer::check(in)) {
        Q_EMIT focusRequested(failure->focus);
        Q_EMIT statusChanged(failure->status);
        return;
    }

    Q_EMIT generateEnabled(false);
    Q_EMIT statusChanged(QStringLiteral("正在进行联网检测..请稍等.."));
    HttpClient& http = ctx_.platform.http();
    const QString probeHost = ctx_.endpoints.probeHost;
    const QString probe = waitWithoutInput([&http, probeHost] { return http.fetchText(probeHost); });
    if (probe.isEmpty()) {
        const QString offline = QStringLiteral("程序未联网!暂不可使用!");
        ask(offline, MessageBoxStyle::OkExclamation);
        Q_EMIT statusChanged(offline);
        Q_EMIT generateEnabled(true);
        return;
    }
    Q_EMIT statusChanged(QStringLiteral("经检测,您已联网,进入预览界面!"));

    if (ask(MessageComposer::previewText(in), MessageBoxStyle::YesNoInformation) != MessageBoxAnswer::Yes) {
        Q_EMIT statusChanged(QStringLiteral("您已取消生成!"));
        Q_EMIT generateEnabled(true);
        return;
    }

    Q_EMIT parkRequested(QStringLiteral("程序正在生成音信文件..请稍等.."));
    const QString encoded = UTF8EncodeURI(ToTraditionalChinese(MessageComposer::spokenSentence(in)));
    Q_EMIT statusChanged(QStringLiteral("正在生成Vela声笺...发送者:[") + in.sender +
                         QStringLiteral("] | 接收者:[") + in.recipient + QLatin1String("]"));

    const QString base = ctx_.endpoints.speechBase;
    const QString request = SpeechRequest::address(base, encoded, VoiceSettingsStore(ctx_.folder).load());
    const auto address = waitWithoutInput(
        [&http, request, base] { return SpeechRequest::messageAddress(http, request, base); });
    if (!address) {
        Q_EMIT statusChanged(QStringLiteral("Vela声笺生成失败!语音服务暂不可用,请稍后再试.."));
        Q_EMIT inputsEnabled();
        Q_EMIT parkEnded();
        return;
    }
    messageAddress_ = *address;

    if (withPrefix) {
        Q_EMIT statusChanged(QStringLiteral("Vela声笺生成成功!正在进行保存..."));
        saveSpeechThenJoined();
        Q_EMIT inputsEnabled();
    } else {
        Q_EMIT statusChanged(QStringLiteral("Vela声笺生成成功!正在进行在线播放..."));
        onlineAddress_ = messageAddress_;
        player_.setURL(onlineAddress_);
        Q_EMIT inputsEnabled();
    }
    Q_EMIT parkEnded();
}

void GenerationRun::showExample(const QString& sender, const QString& relation) {
    if (sender.isEmpty() || relation.isEmpty()) {
        ask(QStringLiteral("请您先输入您的名字并随意选择或输入一个称呼"), MessageBoxStyle::OkExclamation);
        return;
    }
    ask(MessageComposer::exampleText(sender, relation), MessageBoxStyle::OkInformation);
}

void GenerationRun::copyAddress() {
    const QString address = messageAddress_;
    if (address.isEmpty()) {
        Q_EMIT statusChanged(NothingGenerated);
        return;
    }
    Clipboard& clipboard = ctx_.platform.clipboard();
    clipboard.clear();
    clipboard.setText(address);
    Q_EMIT statusChanged(QStringLiteral("Vela.声笺音信地址复制成功!"));
}

namespace {
bool isExistingFile(const QString& path) {
    const QFileInfo info(path);
    return !path.isEmpty() && info.exists() && info.isFile();
}
} // namespace

void GenerationRun::findSpeechFile() {
    if (isExistingFile(speechFilePath)) {
        ctx_.platform.shell().showFileInManager(speechFilePath);
        return;
    }
    ask(QStringLiteral("未找到原版音信文件!可能已被删除!请您检查!"), MessageBoxStyle::OkExclamation);
}

void GenerationRun::findJoinedFile() {
    if (isExistingFile(joinedFilePath)) {
        ctx_.platform.shell().showFileInManager(joinedFilePath);
        return;
    }
    ask(QStringLiteral("未找到合成音信文件!可能已被删除!请您检查!"), MessageBoxStyle::OkExclamation);
}

bool GenerationRun::downloadSpeech(const QString& path) {
    Q_EMIT parkRequested(SavingBalloon);
    HttpClient& http = ctx_.platform.http();
    const QString address = messageAddress_.trimmed();
    const DownloadOutcome outcome =
        waitWithoutInput([&http, address, path] { return http.download(address, path); });
    Q_EMIT parkEnded();
    if (outcome == DownloadOutcome::NotFetched) {
        Q_EMIT statusChanged(DownloadFailed);
    } else if (outcome == DownloadOutcome::NotWritten) {
        Q_EMIT statusChanged(SaveFailed);
    }
    return outcome == DownloadOutcome::Saved;
}

bool GenerationRun::saveSpeechThroughDialog(const QString& title, const QString& cancelled) {
    speechFileDialog_.DialogTitle = title;
    // Nothing is being made while the dialog waits for the user.
    Q_EMIT balloonWithdrawn();
    if (speechFileDialog_.showSaveDialog() == CommonDialog::Outcome::Cancelled) {
        Q_EMIT statusChanged(cancelled);
        return false;
    }
    return downloadSpeech(speechFileDialog_.FileName);
}

void GenerationRun::saveSpeechThenJoined() {
    if (saveSpeechThroughDialog(QStringLiteral("请选择您要保存音信文件的路径"),
                                QStringLiteral("您已取消保存音频文件..."))) {
        saveJoinedFile();
    }
}

void GenerationRun::saveJoinedFile() {
    joinedFileDialog_.DialogTitle = QStringLiteral("请选择您要保存合成音信的路径");
    if (joinedFileDialog_.showSaveDialog() == CommonDialog::Outcome::Cancelled) {
        Q_EMIT statusChanged(QStringLiteral("您取消了音频保存操作..."));
        return;
    }
    const QString joinedPath = joinedFileDialog_.FileName;
    const QString prefixPath = ctx_.folder.file(QStringLiteral("\\yx\\qz.mp3"));
    const QString speechPath = speechFileDialog_.FileName;

    Q_EMIT parkRequested(SavingBalloon);
    const PrefixJoinOutcome outcome = waitWithoutInput([prefixPath, speechPath, joinedPath] {
        return joinPrefixAndSpeech(prefixPath, speechPath, joinedPath);
    });
    Q_EMIT parkEnded();
    switch (outcome) {
    case PrefixJoinOutcome::Joined:
        break;
    case PrefixJoinOutcome::PrefixMissing:
        Q_EMIT statusChanged(QStringLiteral("未找到前缀音频文件!请先进行前缀音频设置.."));
        return;
    case PrefixJoinOutcome::SameAsPrefix:
        Q_EMIT statusChanged(QStringLiteral("合成路径不能与前缀音频相同!请重新选择.."));
        return;
    case PrefixJoinOutcome::SpeechUnreadable:
    case PrefixJoinOutcome::WriteFailed:
        Q_EMIT statusChanged(SaveFailed);
        return;
    }

    if (ask(QStringLiteral("音频文件已合成成功!是否试听?"), MessageBoxStyle::YesNoInformation) ==
        MessageBoxAnswer::Yes) {
        player_.setURL(joinedPath);
    }
    Q_EMIT statusChanged(QStringLiteral("合成音信文件已保存!是否找到此文件?!"));
    Q_EMIT savedFileShown(SavedFile::Joined);
    joinedFilePath = joinedPath;
}

void GenerationRun::saveMessage() {
    if (messageAddress_.isEmpty()) {
        Q_EMIT statusChanged(QStringLiteral("请先生成音信,再执行本操作..."));
        return;
    }
    if (!saveSpeechThroughDialog(QStringLiteral("保存音频文件"), QStringLiteral("您取消了音信保存操作..."))) {
        return;
    }
    Q_EMIT statusChanged(QStringLiteral("音信文件已保存,是否找到此文件?!"));
    Q_EMIT savedFileShown(SavedFile::Speech);
    speechFilePath = speechFileDialog_.FileName;
}

} // namespace velanote
