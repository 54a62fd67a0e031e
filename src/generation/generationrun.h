#pragma once
#include "app/appcontext.h"
#include "generation/composition.h"
#include "platform/commondialog.h"
#include "platform/messagebox.h"

#include <QObject>
#include <QString>

namespace velanote {

class MediaPlayer;

// The "生成音信" command and the commands that act on its result. It is handed the message's
// inputs and the prefix switch's state as plain data and reports through its signals what the
// window is to show; it holds none of the window's controls.
//
// Usage from the window:
//     run_ = new GenerationRun(ctx, *player, speechFileDialog, joinedFileDialog, this);
//     connect(run_, &GenerationRun::statusChanged, ...);   // and the other signals
//     run_->generate(MessageInputs{...}, prefixOn);
// The window creates the two dialogs with makeSpeechFileDialog and makeJoinedFileDialog (their
// titles and filters); message boxes are parented to the run's parent when that is a widget.
// The message address and the paths of the two "find" buttons live here, empty at start.
// The commands block while the service works, but keep painting and timers alive (user input is
// dropped meanwhile), so the tray balloon is on screen and no second command can start.
class GenerationRun : public QObject {
    Q_OBJECT
public:
    // The file a "find" button shows in the file manager.
    enum class SavedFile { Speech, Joined };

    GenerationRun(AppContext& ctx, MediaPlayer& player, CommonDialog& speechFileDialog,
                  CommonDialog& joinedFileDialog, QObject* parent = nullptr);
    ~GenerationRun() override;

    // "生成音信"; with the prefix switch on, the message is saved with the prefix instead of played.
    void generate(const MessageInputs& in, bool withPrefix);
    void showExample(const QString& sender, const QString& relation); // "实例"
    void copyAddress();                                               // "复制音信地址"
    void findSpeechFile();                                            // "找到音信文件"
    void findJoinedFile();                                            // "找到合成音信"
    void saveMessage();                                               // "保存音信文件"
    // The saving branch of a generation: the speech file, then the joined file.
    void saveSpeechThenJoined();
    void saveJoinedFile();

    // The address of the last generated message; empty until one was generated.
    const QString& messageAddress() const { return messageAddress_; }
    void setMessageAddress(const QString& address) { messageAddress_ = address; }

    QString speechFilePath;
    QString joinedFilePath;

Q_SIGNALS:
    // The status line's text (panel 2).
    void statusChanged(const QString& text);
    // An input failed its check and takes the focus.
    void focusRequested(InputField field);
    // "生成音信" is usable or not while the run asks and works.
    void generateEnabled(bool enabled);
    // The run ended: the sender, recipient and relation inputs and "生成音信" are usable again.
    void inputsEnabled();
    // `file` was saved: its "find" button shows on the status bar and the other one hides.
    void savedFileShown(GenerationRun::SavedFile file);
    // Slow work starts: the window waits behind the tray icon with `balloon`, until parkEnded.
    void parkRequested(const QString& balloon);
    // The balloon no longer holds (a dialog waits for the user): it goes, the window stays parked.
    void balloonWithdrawn();
    void parkEnded();

private:
    // Downloads the message address to `path` with the window in the tray; false (and the status
    // text set) when nothing usable arrived.
    bool downloadSpeech(const QString& path);
    // Asks for the speech path in the speech dialog under `title` and downloads to it; false (and
    // the status text set) when the dialog was cancelled or the download failed.
    bool saveSpeechThroughDialog(const QString& title, const QString& cancelled);
    MessageBoxAnswer ask(const QString& prompt, MessageBoxStyle style);
    void onlinePlaybackFailed();

    AppContext& ctx_;
    MediaPlayer& player_;
    CommonDialog& speechFileDialog_;
    CommonDialog& joinedFileDialog_;
    QString messageAddress_;
    QString onlineAddress_; // the message address handed to the player, until it fails
};

} // namespace velanote
