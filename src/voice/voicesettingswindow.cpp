#include "voice/voicesettingswindow.h"

#include "app/windowtitles.h"
#include "generation/serviceclient.h"
#include "generation/voicesettingsstore.h"
#include "generation/waitwithoutinput.h"
#include "platform/httpclient.h"
#include "widgets/objectname.h"
#include "widgets/statusbar.h"
#include "widgets/twips.h"
#include "widgets/windowplacement.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

namespace velanote {

namespace {

// Client area and the status bar, in twips.
constexpr int kWidth = 6000;
constexpr int kHeight = 3900;
constexpr int kStatusTop = 3450;
constexpr int kStatusHeight = 450;

QString percent(int value) {
    return QStringLiteral("%1%").arg(value);
}

} // namespace

VoiceSettingsWindow::VoiceSettingsWindow(AppContext& ctx, const QWidget* mainWindow, QWidget* parent)
    : QWidget(parent, Qt::Window), ctx_(ctx) {
    setObjectName(QStringLiteral("VoiceSettingsWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(toolWindowTitle(QStringLiteral("【星河】-语音设置")));
    player = ctx.platform.createPlayer(this);
    buildControls();
    centreOnScreen(this, mainWindow);
    connect(previewButton, &QPushButton::clicked, this, &VoiceSettingsWindow::onPreviewButtonClicked);
    connect(defaultsButton, &QPushButton::clicked, this, &VoiceSettingsWindow::onDefaultsButtonClicked);
    connect(confirmButton, &QPushButton::clicked, this, &VoiceSettingsWindow::onConfirmButtonClicked);
    setSettings(VoiceSettingsStore(ctx.folder).load());
}

VoiceSettingsWindow::~VoiceSettingsWindow() = default;

QString VoiceSettingsWindow::sampleText() {
    return QStringLiteral("親愛的朋友，祝你新年快樂，萬事如意！");
}

void VoiceSettingsWindow::buildControls() {
    setFixedSize(twipsToPixels(kWidth), twipsToPixels(kHeight));
    settingsFrame = named(new QGroupBox(QStringLiteral("请调整语音"), this), "settingsFrame");
    setGeometryTwips(settingsFrame, 120, 120, 5760, 2580);
    struct Row {
        QLabel*& label;
        QSlider*& slider;
        QLabel*& value;
        const char* names[3];
        QString caption;
        std::string_view setting;
    };
    Row rows[] = {
        {rateLabel,
         rateSlider,
         rateValue,
         {"rateLabel", "rateSlider", "rateValue"},
         QStringLiteral("语速："),
         "rate"},
        {pitchLabel,
         pitchSlider,
         pitchValue,
         {"pitchLabel", "pitchSlider", "pitchValue"},
         QStringLiteral("音调："),
         "pitch"},
        {volumeLabel,
         volumeSlider,
         volumeValue,
         {"volumeLabel", "volumeSlider", "volumeValue"},
         QStringLiteral("音量："),
         "volume"},
    };
    int top = 390;
    for (Row& row : rows) {
        row.label = named(new QLabel(row.caption, settingsFrame), row.names[0]);
        setGeometryTwips(row.label, 240, top, 780, 330);
        row.slider = named(new QSlider(Qt::Horizontal, settingsFrame), row.names[1]);
        const VoiceSettings::Range range = *VoiceSettings::rangeOf(row.setting);
        row.slider->setRange(range.low, range.high);
        row.slider->setSingleStep(5);
        row.slider->setPageStep(10);
        setGeometryTwips(row.slider, 1020, top, 3660, 330);
        row.value = named(new QLabel(settingsFrame), row.names[2]);
        row.value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        setGeometryTwips(row.value, 4740, top, 780, 330);
        QLabel* value = row.value;
        connect(row.slider, &QSlider::valueChanged, value, [value](int v) { value->setText(percent(v)); });
        top += 480;
    }
    maleOption = named(new QRadioButton(QStringLiteral("男声"), settingsFrame), "maleOption");
    setGeometryTwips(maleOption, 1020, top + 30, 1200, 330);
    femaleOption = named(new QRadioButton(QStringLiteral("女声"), settingsFrame), "femaleOption");
    setGeometryTwips(femaleOption, 2400, top + 30, 1200, 330);

    previewButton = named(new QPushButton(QStringLiteral("试听"), this), "previewButton");
    setGeometryTwips(previewButton, 120, 2820, 1800, 450);
    defaultsButton = named(new QPushButton(QStringLiteral("恢复默认"), this), "defaultsButton");
    setGeometryTwips(defaultsButton, 2100, 2820, 1800, 450);
    confirmButton = named(new QPushButton(QStringLiteral("确定"), this), "confirmButton");
    setGeometryTwips(confirmButton, 4080, 2820, 1800, 450);
    QFont bold = confirmButton->font();
    bold.setBold(true);
    confirmButton->setFont(bold);

    statusLine =
        new StatusBar({QStringLiteral("运行状态："), QStringLiteral("请调整语音后试听或确定...")}, 2, this);
    statusLine->setObjectName(QStringLiteral("statusLine"));
    setGeometryTwips(statusLine, 0, kStatusTop, kWidth, kStatusHeight);
}

VoiceSettings VoiceSettingsWindow::settings() const {
    VoiceSettings settings;
    settings.rate = rateSlider->value();
    settings.pitch = pitchSlider->value();
    settings.volume = volumeSlider->value();
    settings.voice = femaleOption->isChecked() ? VoiceSettings::Voice::female : VoiceSettings::Voice::male;
    return settings;
}

void VoiceSettingsWindow::setSettings(const VoiceSettings& settings) {
    rateSlider->setValue(settings.rate);
    pitchSlider->setValue(settings.pitch);
    volumeSlider->setValue(settings.volume);
    // A slider already at the value sends no change, so the numbers are set here as well.
    rateValue->setText(percent(settings.rate));
    pitchValue->setText(percent(settings.pitch));
    volumeValue->setText(percent(settings.volume));
    (settings.voice == VoiceSettings::Voice::female ? femaleOption : maleOption)->setChecked(true);
}

void VoiceSettingsWindow::setStatus(const QString& text) {
    statusLine->setPanelText(2, text);
}

void VoiceSettingsWindow::onPreviewButtonClicked() {
    previewButton->setEnabled(false);
    setStatus(QStringLiteral("正在生成试听语音..请稍等.."));
    HttpClient& http = ctx_.platform.http();
    const QString base = ctx_.endpoints.speechBase;
    const QString request = SpeechRequest::address(base, UTF8EncodeURI(sampleText()), settings());
    const auto address = waitWithoutInput(
        [&http, request, base] { return SpeechRequest::messageAddress(http, request, base); });
    previewButton->setEnabled(true);
    if (!address) {
        setStatus(QStringLiteral("试听失败!语音服务暂不可用,请稍后再试.."));
        return;
    }
    player->setURL(*address);
    setStatus(QStringLiteral("正在试听..."));
}

void VoiceSettingsWindow::onDefaultsButtonClicked() {
    setSettings(VoiceSettings{});
    setStatus(QStringLiteral("已恢复默认设置,按确定保存"));
}

void VoiceSettingsWindow::onConfirmButtonClicked() {
    if (!VoiceSettingsStore(ctx_.folder).save(settings())) {
        setStatus(QStringLiteral("语音设置保存失败!请检查程序目录是否可写.."));
        return;
    }
    close();
}

} // namespace velanote
