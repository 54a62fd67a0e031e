#pragma once
#include "app/appcontext.h"
#include "platform/commondialog.h"
#include "platform/mediaplayer.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>

class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QFrame;

namespace velanote {

class PlayerStrip;
class StatusBar;

// The audio joiner tool: two chosen audio files joined one after the other into a third. It
// hides nothing itself; the window that opens it hides itself and shows itself again when this
// one emits closed(). Deleted on close.
//
// control             caption            handler                      purpose
// firstPathEdit       (a path)           onFirstPathEditChanged       the file that comes first
// firstBrowseButton   浏览 / 已选择      onFirstBrowseButtonClicked   picks it, or offers to clear it
// secondPathEdit      (a path)           onSecondPathEditChanged      the file that comes second
// secondBrowseButton  浏览 / 已选择      onSecondBrowseButtonClicked  picks it, or offers to clear it
// outputPathEdit      (a path)           onOutputPathEditChanged      where the joined file goes
// outputBrowseButton  浏览 / 已选择      onOutputBrowseButtonClicked  picks it, or offers to clear it
// joinButton          确认合并           onJoinButtonClicked          joins the two files
// firstSizeLabel      (1)大小：...                                    size of the first file
// secondSizeLabel     (2)大小：...                                    size of the second file
// estimateLabel       预计合成后大小：...                             size the joined file will have
// progressBar         (整合过程)                                      progress of the join
// explanationLabel    (整合说明)                                      how the joiner works
// findOutputButton    找到合成音频       onFindOutputButtonClicked    shows the joined file in its folder
// statusLine          运行状态： ...                                  status text in panel 2
class JoinerWindow : public QWidget {
    Q_OBJECT
public:
    // Opens centred on the screen of `mainWindow` (which it does not keep), or the primary screen.
    explicit JoinerWindow(AppContext& ctx, const QWidget* mainWindow = nullptr, QWidget* parent = nullptr);
    ~JoinerWindow() override;

    static const QString Browse; // "浏览": no path set, a press opens the dialog
    static const QString Chosen; // "已选择": a path is set, a press offers to clear it

    // Output path of the last successful join; empty until then.
    const QString& outputFilePath() const { return outputFilePath_; }

Q_SIGNALS:
    // The window is closing; its owner shows the main window again.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void load();
    void onFirstBrowseButtonClicked();
    void onSecondBrowseButtonClicked();
    void onOutputBrowseButtonClicked();
    void onFirstPathEditChanged();
    void onSecondPathEditChanged();
    void onOutputPathEditChanged();
    void onJoinButtonClicked();
    void onFindOutputButtonClicked();
    void runClosingSteps();
    void pickInput(QPushButton* button, CommonDialog& dialog, QLineEdit* text);
    void updateOutputPicker();
    void followChoices();
    // Whether a picker holds a chosen path: its caption reads Chosen, else Browse.
    bool& chosenFlag(const QPushButton* picker);
    bool isChosen(const QPushButton* picker);
    void setChosen(QPushButton* picker, bool chosen);
    void play(const QString& path);
    void setStatus(const QString& text);

    QGroupBox* inputFrame = nullptr;
    QLabel* firstLabel = nullptr;
    QLineEdit* firstPathEdit = nullptr;
    QPushButton* firstBrowseButton = nullptr;
    QLabel* secondLabel = nullptr;
    QLineEdit* secondPathEdit = nullptr;
    QPushButton* secondBrowseButton = nullptr;
    QLabel* outputLabel = nullptr;
    QLineEdit* outputPathEdit = nullptr;
    QPushButton* outputBrowseButton = nullptr;
    QPushButton* joinButton = nullptr;
    QGroupBox* sizeFrame = nullptr;
    QLabel* firstSizeLabel = nullptr;
    QLabel* secondSizeLabel = nullptr;
    QLabel* estimateLabel = nullptr;
    QGroupBox* progressFrame = nullptr;
    QProgressBar* progressBar = nullptr;
    QGroupBox* explanationFrame = nullptr;
    QLabel* explanationLabel = nullptr;
    QPushButton* findOutputButton = nullptr;
    StatusBar* statusLine = nullptr;
    QFrame* bottomLine = nullptr;
    QLabel* notesPictureLabel = nullptr;
    QLabel* discPictureLabel = nullptr;
    CommonDialog firstDialog;
    CommonDialog secondDialog;
    CommonDialog outputDialog;
    std::unique_ptr<MediaPlayer> player;
    PlayerStrip* playerStrip = nullptr; // the player's visible controls

    AppContext& ctx_;
    QString outputFilePath_;
    bool firstChosen_ = false;
    bool secondChosen_ = false;
    bool outputChosen_ = false;
};

} // namespace velanote
