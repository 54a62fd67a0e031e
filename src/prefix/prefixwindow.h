#pragma once
#include "app/appcontext.h"
#include "platform/commondialog.h"
#include "platform/mediaplayer.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace velanote {

class PlayerStrip;

// The prefix audio settings window: the user picks one of the ten built-in jingles or a small
// MP3 file of their own, previews it, and confirms; confirming stores a copy as "\yx\qz.mp3" and
// records the choice under [Information] qzyp. Opened by the prefix switch while the main window is
// hidden; on closing it emits closed(), and its owner shows the main window again. The window
// deletes itself when it closes.
//
// control              caption                 handler                       purpose
// welcomeLabel         欢迎使用【Vela.声笺】... onWelcomeLabelClicked         opens the contact link
// builtInOption        使用程序默认音频        onBuiltInOptionToggled        choose a built-in jingle
// customOption         使用定义音频功能        onCustomOptionToggled         choose a file of one's own
// jingleCombo          (the ten jingle names)  onJingleComboActivated        which built-in jingle
// previewJingleButton  试听 / 停止             onPreviewJingleButtonClicked  previews that jingle
// customPathEdit       (a path)                onCustomPathEditChanged       the file of one's own
// browseButton         浏览                    onBrowseButtonClicked         picks that file
// previewCustomButton  试听 / 停止             onPreviewCustomButtonClicked  previews that file
// storedLabel          程序检测：...                                         what is stored today
// previewStoredButton  试听 / 停止             onPreviewStoredButtonClicked  previews the stored prefix
// confirmButton        确定                    onConfirmButtonClicked        stores the choice, closes
// modeFrame            (a dropped file)        onModeFrameDrop               takes nothing
class PrefixWindow : public QWidget {
    Q_OBJECT
public:
    // Opens centred over `mainWindow` (which it does not keep), or the screen when that is null.
    explicit PrefixWindow(AppContext& ctx, const QWidget* mainWindow = nullptr, QWidget* parent = nullptr);
    ~PrefixWindow() override;

    // The names of the built-in jingles in list order; row i is the file "\sc\<i+1>.mp3".
    static const QStringList& jingleNames();
    static QString parameterNote();

Q_SIGNALS:
    // The window is closing; `withPrefix` tells whether a prefix file exists now.
    void closed(bool withPrefix);
    // The window has closed and is about to be released.
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void load();
    void onBuiltInOptionToggled();
    void onCustomOptionToggled();
    void onJingleComboActivated();
    void onConfirmButtonClicked();
    void onPreviewJingleButtonClicked();
    void onBrowseButtonClicked();
    void onPreviewCustomButtonClicked();
    void onPreviewStoredButtonClicked();
    void onCustomPathEditChanged();
    void onWelcomeLabelClicked();
    void onModeFrameDrop();
    void onWelcomeLabelMouseMove();
    // The closing steps; run by every close of the window.
    void runClosingSteps();
    enum class PreviewState { Idle, Playing };
    static QString previewCaption(PreviewState state);
    PreviewState& stateOf(QPushButton* previewButton);
    // Sets the state of one preview button and the caption that follows from it.
    void setPreview(QPushButton* previewButton, PreviewState state);
    void placeOver(const QWidget* mainWindow);
    int listIndex() const;
    bool prefixFileExists() const;
    MessageBoxAnswer ask(const QString& prompt, MessageBoxStyle style);

    QGroupBox* welcomeFrame;
    QLabel* welcomeLabel;
    QGroupBox* modeFrame;
    QRadioButton* builtInOption;
    QRadioButton* customOption;
    QGroupBox* builtInFrame;
    QLabel* builtInLabel;
    QComboBox* jingleCombo;
    QPushButton* previewJingleButton;
    QGroupBox* customFrame;
    QLabel* customLabel;
    QLineEdit* customPathEdit;
    QPushButton* browseButton;
    QPushButton* previewCustomButton;
    QGroupBox* storedFrame;
    QLabel* storedLabel;
    QPushButton* previewStoredButton;
    QPushButton* confirmButton;
    CommonDialog fileDialog;
    std::unique_ptr<MediaPlayer> player;
    PlayerStrip* playerStrip = nullptr; // the player's visible controls

    // Hands the contact link to the system, as an embedded browser told to navigate would.
    class Browser {
    public:
        explicit Browser(Shell& shell) : shell_(shell) {}
        void Navigate(const QString& address) { shell_.openAddress(address); }

    private:
        Shell& shell_;
    };
    Browser browser;
    AppContext& ctx_;
    PreviewState jinglePreview_ = PreviewState::Idle;
    PreviewState customPreview_ = PreviewState::Idle;
    PreviewState storedPreview_ = PreviewState::Idle;
};

} // namespace velanote
