#pragma once
#include "app/appcontext.h"
#include "generation/trayparking.h"
#include "platform/commondialog.h"

#include <QString>

class QCheckBox;
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
    QLineEdit* Text4 = nullptr;      // sender
    QLineEdit* Text5 = nullptr;      // recipient
    QComboBox* Combo1 = nullptr;     // relationship (editable)
    QPlainTextEdit* Text2 = nullptr; // message
    QPlainTextEdit* Text1 = nullptr; // working box: sentence, then its encoded form
    QLineEdit* Text3 = nullptr;      // message address
    StatusBar* St1 = nullptr;        // panel 2 is the status line
    QPushButton* Command2 = nullptr; // "生成音信"
    QPushButton* Command1 = nullptr; // "找到音信文件"
    QPushButton* Command6 = nullptr; // "找到合成音信"
    QCheckBox* Check1 = nullptr;     // prefix switch: Qt::Checked selects the saving branch
    QWidget* window = nullptr;       // the main window, hidden behind the tray while the service works
    MediaPlayer* player = nullptr;
    TrayIcon* tray = nullptr;
    CommonDialog* C5 = nullptr; // speech file dialog (see makeC5)
    CommonDialog* C6 = nullptr; // joined file dialog (see makeC6)
};

// The "生成音信" command and the commands that act on its result, for the main window.
//
// Usage from the window:
//     run_ = std::make_unique<GenerationRun>(ctx, GenerationControls{.Text4 = Text4, ..., .C6 = &C6});
//     void Form1::Command2_Click() { run_->Command2_Click(); }   // and so on for each handler
// Every pointer of GenerationControls must be set. The window creates C5 and C6 with makeC5 and
// makeC6 (their design-time titles and filters). SpeechFilePath and JoinedFilePath are the
// window-level values of the two "find" buttons; they live here, empty at start.
// The commands block while the service works, but keep painting and timers alive (user input is
// held back meanwhile), so the tray balloon is on screen and no second command can start.
class GenerationRun {
public:
    GenerationRun(AppContext& ctx, const GenerationControls& controls);

    void Command2_Click(); // "生成音信"
    void Command5_Click(); // "实例"
    void copy_Click();     // "复制音信地址"
    void Command1_Click(); // "找到音信文件"
    void Command6_Click(); // "找到合成音信"
    void saveyx_Click();   // "保存音信文件"
    void save_Click();     // the hidden button `save`: speech file, then SaveJoinedFile
    void SaveJoinedFile();

    // Tray operations shared with the window's other save commands.
    void minimiseToTray(const QString& balloon) { tray_.minimise(balloon); }
    void restoreFromTray() { tray_.restore(); }

    QString SpeechFilePath;
    QString JoinedFilePath;

    static constexpr const char* MessageTitle = "Vela系列软件";

private:
    void setStatus(const QString& text);
    void enableInputs();
    void showFindButton(QPushButton* shown, QPushButton* hidden);
    // Downloads the message address to `path` with the window in the tray; false (and the status
    // text set) when nothing usable arrived.
    bool downloadSpeech(const QString& path);
    // Asks for the speech path in C5 under `title` and downloads to it; false (and the status text
    // set) when the dialog was cancelled or the download failed.
    bool saveSpeechThroughC5(const QString& title, const QString& cancelled);
    int ask(const QString& prompt, int style);

    AppContext& ctx_;
    GenerationControls c_;
    TrayParking tray_;
};

// The two dialogs of the main window with their design-time titles and filters.
CommonDialog makeC5(FileDialogService& dialogs, QWidget* parent);
CommonDialog makeC6(FileDialogService& dialogs, QWidget* parent);

} // namespace velanote
