#include "prefix/prefixswitch.h"

#include "app/messagetitles.h"
#include "cosmetics/messageboxrelabel.h"
#include "prefix/prefixstore.h"
#include "prefix/prefixwindow.h"

#include <QWidget>

namespace velanote {

namespace {

// Keeps the relabelling hook installed for exactly one question.
class RelabelledQuestion {
public:
    explicit RelabelledQuestion(const QString& title) {
        MessageBoxRelabel::install();
        MessageBoxRelabel::targetTitle = title;
    }
    ~RelabelledQuestion() { MessageBoxRelabel::remove(); }
    RelabelledQuestion(const RelabelledQuestion&) = delete;
    RelabelledQuestion& operator=(const RelabelledQuestion&) = delete;
};
} // namespace

PrefixSwitch::PrefixSwitch(AppContext& ctx, QWidget* dialogParent, QObject* parent)
    : QObject(parent), ctx_(ctx), dialogParent_(dialogParent) {}

PrefixSwitch::~PrefixSwitch() {
    delete settingsWindow_.data();
}

QString PrefixSwitch::usageText() {
    return QStringLiteral("使用本功能方式如下：\r\n"
                          "\r\n"
                          "1.首次使用会自动弹出设置页面,设置过的可自行决定是否重新选择\r\n"
                          "2.选择试听您想要合成的前缀音频后,点击确定保存,您也可以自定义\r\n"
                          "3.功能开启后,会先生成原版音信文件,生成后请先保存一下音信文件\r\n"
                          "4.保存完成后,程序将会自动最小化到托盘并且自动进行音频合并操作\r\n"
                          "5.程序再次弹出保存对话框,选择路径,保存合并完成后的音信文件即可\r\n");
}

void PrefixSwitch::onSwitchToggled(Qt::CheckState state) {
    const PrefixStore store(ctx_.folder);
    const QString stored = store.storedChoice();
    MessageBoxService& boxes = ctx_.platform.messageBox();

    // Only the value 1 (ticked) is on; unticked and greyed both count as off.
    if (state != Qt::Checked) {
        Q_EMIT shakeWanted(true);
        return;
    }

    boxes.show(usageText(), MessageBoxStyle::OkInformation, MessageTitles::program(), dialogParent_);
    Q_EMIT shakeWanted(false);
    if (!store.prefixExists()) {
        boxes.show(QStringLiteral("您是首次使用,请先进行设置"), MessageBoxStyle::OkInformation,
                   MessageTitles::program(), dialogParent_);
        openSettingsWindow();
        return;
    }
    if (stored == QLatin1String("0")) {
        boxes.show(QStringLiteral("配置文件出错!请您重新设置!"), MessageBoxStyle::OkInformation,
                   MessageTitles::program(), dialogParent_);
        openSettingsWindow();
        return;
    }
    MessageBoxAnswer answer = MessageBoxAnswer::No;
    {
        const RelabelledQuestion relabel(MessageTitles::program());
        answer = boxes.show(QStringLiteral("程序检测:您已设置过前缀音频,现在该如何进行操作?"),
                            MessageBoxStyle::YesNoInformation, MessageBoxRelabel::targetTitle, dialogParent_);
    }
    if (answer == MessageBoxAnswer::Yes) {
        openSettingsWindow();
    }
}

void PrefixSwitch::onSettingsChosen(Qt::CheckState switchState) {
    if (switchState == Qt::Unchecked) {
        ctx_.platform.messageBox().show(QStringLiteral("请您先开启音频前缀功能!"),
                                        MessageBoxStyle::OkExclamation, MessageTitles::program(),
                                        dialogParent_);
        return;
    }
    openSettingsWindow();
}

void PrefixSwitch::openSettingsWindow() {
    if (settingsWindow_.isNull()) {
        settingsWindow_ = new PrefixWindow(ctx_, dialogParent_);
        connect(settingsWindow_, &PrefixWindow::closed, this, &PrefixSwitch::onSettingsWindowClosed);
        connect(settingsWindow_, &PrefixWindow::unloaded, this, [this] { settingsWindow_.clear(); });
    } else {
        settingsWindow_->raise();
    }
    settingsWindow_->show();
    settingsWindow_->activateWindow();
    Q_EMIT mainWindowHideWanted();
}

void PrefixSwitch::onSettingsWindowClosed(bool withPrefix) {
    Q_EMIT mainWindowShowWanted();
    if (!withPrefix) {
        Q_EMIT switchOffWanted();
    }
}

void PrefixSwitch::closeSettingsWindow() {
    if (!settingsWindow_.isNull()) {
        settingsWindow_->close();
    }
}

} // namespace velanote
