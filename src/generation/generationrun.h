#pragma once
#include "app/appcontext.h"
#include "generation/trayparking.h"
#include "platform/commondialog.h"

#include <QString>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace velanote {

class MediaPlayer;
class StatusBar;
class TrayIcon;

// The main window's controls that the generation commands read and write. The window keeps
// ownership of every one of them; they must outlive the GenerationRun they are handed to.
struct GenerationControls {
    QLineEdit* senderEdit = nullptr;         // sender
    QLineEdit* recipientEdit = nullptr;      // recipient
    QComboBox* relationCombo = nullptr;      // relationship (editable)
    QPlainTextEdit* messageEdit = nullptr;   // message
    StatusBar* statusLine = nullptr;         // panel 2 is the status line
    QPushButton* generateButton = nullptr;   // "生成音信"
    QPushButton* findSpeechButton = nullptr; // "找到音信文件"
    QPushButton* findJoinedButton = nullptr; // "找到合成音信"
    QWidget* window = nullptr; // the main window, hidden behind the tray while the service works
    MediaPlayer* player = nullptr;
    TrayIcon* tray = nullptr;
    CommonDialog* speechFileDialog = nullptr; // speech file dialog (see makeSpeechFileDialog)
    CommonDialog* joinedFileDialog = nullptr; // joined file dialog (see makeJoinedFileDialog)
};

// The "生成音信" command and the commands that act on its result, for the main window.
//
// Usage from the window:
//     run_ = std::make_unique<GenerationRun>(ctx, GenerationControls{.senderEdit = senderEdit, ...});
//     void MainWindow::onGenerateClicked() { run_->onGenerateClicked(prefixOn); }   // and so on
// Every pointer of GenerationControls must be set. The window creates speechFileDialog and
// joinedFileDialog with makeSpeechFileDialog and makeJoinedFileDialog (their titles and filters).
// The message address and the paths of the two "find" buttons live here, empty at start.
// The commands block while the service works, but keep painting and timers alive (user input is
// dropped meanwhile), so the tray balloon is on screen and no second command can start.
class GenerationRun {
public:
    GenerationRun(AppContext& ctx, const GenerationControls& controls);
    ~GenerationRun();
    GenerationRun(const GenerationRun&) = delete;
    GenerationRun& operator=(const GenerationRun&) = delete;

    // "生成音信"; with the prefix switch on, the message is saved with the prefix instead of played.
    void onGenerateClicked(bool withPrefix);
    void onExampleClicked();    // "实例"
    void onCopyAddress();       // "复制音信地址"
    void onFindSpeechClicked(); // "找到音信文件"
    void onFindJoinedClicked(); // "找到合成音信"
    void onSaveMessage();       // "保存音信文件"
    // The saving branch of a generation: the speech file, then the joined file.
    void saveSpeechThenJoined();
    void saveJoinedFile();

    // The address of the last generated message; empty until one was generated.
    const QString& messageAddress() const { return messageAddress_; }
    void setMessageAddress(const QString& address) { messageAddress_ = address; }

    // Tray operations shared with the window's other save commands.

    QString speechFilePath;
    QString joinedFilePath;

private:
    void setStatus(const QString& text);
    void enableInputs();
    void showFindButton(QPushButton* shown, QPushButton* hidden);
    // Downloads the message address to `path` with the window in the tray; false (and the status
    // text set) when nothing usable arrived.
    bool downloadSpeech(const QString& path);
    // Asks for the speech path in speechFileDialog under `title` and downloads to it; false (and the status
    // text set) when the dialog was cancelled or the download failed.
    bool saveSpeechThroughDialog(const QString& title, const QString& cancelled);
    MessageBoxAnswer ask(const QString& prompt, MessageBoxStyle style);
    void onlinePlaybackFailed();

    AppContext& ctx_;
    GenerationControls c_;
    TrayParking tray_;
    QString messageAddress_;
    QString onlineAddress_; // the message address handed to the player, until it fails
};

// The two dialogs of the main window with their design-time titles and filters.
CommonDialog makeSpeechFileDialog(FileDialogService& dialogs, QWidget* parent);
CommonDialog makeJoinedFileDialog(FileDialogService& dialogs, QWidget* parent);

} // namespace velanote
