#pragma once
#include "app/appcontext.h"
#include "platform/mediaplayer.h"
#include "synthesis/voicesettings.h"

#include <QWidget>

#include <memory>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;

namespace velanote {

class StatusBar;

// The voice settings window (语音设置): speed, pitch and loudness, the male or the female voice,
// a sample spoken with them, and the normal settings back. 确定 keeps them in velanote.ini
// (VoiceSettingsStore), where every message the desktop program makes takes them from; closing
// otherwise keeps what was stored. Deleted on close.
//
// control         caption          handler                   purpose
// rateSlider      语速：                                     speed, 50 to 200 percent
// pitchSlider     音调：                                     pitch, 50 to 150 percent
// volumeSlider    音量：                                     loudness, 10 to 200 percent
// rateValue, pitchValue, volumeValue  (100%)                 the slider's value
// maleOption      男声                                       the male voice
// femaleOption    女声                                       the female voice
// previewButton   试听             onPreviewButtonClicked    speaks a short sample with these settings
// defaultsButton  恢复默认         onDefaultsButtonClicked   puts the normal settings back
// confirmButton   确定             onConfirmButtonClicked    keeps the settings and closes
// statusLine      运行状态： ...                             what the window is doing
class VoiceSettingsWindow : public QWidget {
    Q_OBJECT
public:
    explicit VoiceSettingsWindow(AppContext& ctx, const QWidget* mainWindow = nullptr,
                                 QWidget* parent = nullptr);
    ~VoiceSettingsWindow() override;

    // What the sample says.
    static QString sampleText();

    // The settings the controls show.
    VoiceSettings settings() const;

private:
    QGroupBox* settingsFrame = nullptr;
    QLabel* rateLabel = nullptr;
    QSlider* rateSlider = nullptr;
    QLabel* rateValue = nullptr;
    QLabel* pitchLabel = nullptr;
    QSlider* pitchSlider = nullptr;
    QLabel* pitchValue = nullptr;
    QLabel* volumeLabel = nullptr;
    QSlider* volumeSlider = nullptr;
    QLabel* volumeValue = nullptr;
    QRadioButton* maleOption = nullptr;
    QRadioButton* femaleOption = nullptr;
    QPushButton* previewButton = nullptr;
    QPushButton* defaultsButton = nullptr;
    QPushButton* confirmButton = nullptr;
    StatusBar* statusLine = nullptr;
    std::unique_ptr<MediaPlayer> player;

    void setSettings(const VoiceSettings& settings);
    void onPreviewButtonClicked();
    void onDefaultsButtonClicked();
    void onConfirmButtonClicked();
    void buildControls();
    void setStatus(const QString& text);

    AppContext& ctx_;
};

} // namespace velanote
