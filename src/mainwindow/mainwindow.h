#pragma once
#include "app/appcontext.h"
#include "joiner/joinerwindow.h"
#include "mainwindow/silentbrowser.h"
#include "mainwindow/updatecheck.h"
#include "phrases/phrasewindow.h"
#include "platform/commondialog.h"
#include "platform/mediaplayer.h"
#include "platform/trayicon.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMovie;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTimer;

namespace velanote {

class GenerationRun;
class PlayerStrip;
class PrefixSwitch;
class StatusBar;
class TrayParking;
class WaterSurface;

// The main window: the four inputs of a voice message, the commands that generate, save and find
// it, the menu that reaches every other window and maintenance command, the start-up lock lifted
// by the update check, the F4 shortcut, the water ripple under the mouse and the exit question.
//
// control                 caption                         purpose
// senderEdit              请输入您的名字:                 the sender's name
// recipientEdit           请输入对方的名字:               the recipient's name
// relationCombo           对方对您的称呼[关系]:           what the recipient calls the sender (editable)
// exampleButton           实例                            fills the inputs with an example
// messageEdit             在这里输入祝福语(100字以内)     the message (placeholder text)
// prefixCheck             是否启用在音信前加入前缀音频... the prefix switch (F4 toggles it)
// generateButton          生成音信                        generates, plays or saves the voice message
// phrasesButton           选择内置祝福语                  opens the phrase library
// toolsButton             程序相关小操作                  pops up toolsMenu
// findSpeechButton        找到音信文件                    shows the saved speech file in the file manager
// findJoinedButton        找到合成音信                    shows the joined file in the file manager
// repairProgress          (on the status line)            progress of the audio repair
// statusLine              当前状态： ...                  status text in panel 2
// programMenu             【程序菜单】                    checkUpdate / saveMessage / copyAddress / exit
// notesMenu               【相关说明】                    about / updateNotes
// featuresMenu            【相关功能】                    prefixSettings / joiner / phrases /
//                                                         deleteMessages / repair / effect
// contactAction           【联系作者】                    opens the chat address
// lessonsAction           【学习编程】                    the lessons advert, copies the account
// restartAction           【重启程序】                    restarts the program
// moreMenu                【更多精彩】                    softwareSite / board / blog
// toolsMenu               【相关操作】                    paste, and clearMenu (clearMessage / clearAll /
//                                                         clearClipboard)
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(AppContext& ctx, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Client area in twips; the menu bar lies outside it.
    static constexpr int ClientWidthTwips = 9870;
    static constexpr int ClientHeightTwips = 6870;

    QGroupBox* inputFrame = nullptr;
    QLabel* senderLabel = nullptr;
    QLabel* recipientLabel = nullptr;
    QLabel* relationLabel = nullptr;
    QLineEdit* senderEdit = nullptr;
    QLineEdit* recipientEdit = nullptr;
    QComboBox* relationCombo = nullptr;
    QPlainTextEdit* messageEdit = nullptr;
    QPushButton* exampleButton = nullptr;
    QPushButton* generateButton = nullptr;
    QPushButton* phrasesButton = nullptr;
    QPushButton* toolsButton = nullptr;
    QGroupBox* prefixFrame = nullptr;
    QCheckBox* prefixCheck = nullptr;
    QPushButton* findSpeechButton = nullptr;
    QPushButton* findJoinedButton = nullptr;
    QTimer* shakeTimer = nullptr;        // 5000 ms: shakes the unticked prefix switch
    QTimer* startupCheckTimer = nullptr; // 1000 ms: runs the start-up update check once
    QTimer* rippleTimer = nullptr;       // 10 ms: advances the water ripple
    QLabel* stripImage = nullptr;
    QMovie* stripMovie = nullptr;
    QProgressBar* repairProgress = nullptr;
    StatusBar* statusLine = nullptr;
    CommonDialog speechFileDialog;
    CommonDialog joinedFileDialog;
    std::unique_ptr<MediaPlayer> player;
    PlayerStrip* playerStrip = nullptr; // the player's visible controls
    std::unique_ptr<TrayIcon> trayIcon;
    SilentBrowser browser;

    QMenu* programMenu = nullptr;
    QAction* checkUpdateAction = nullptr;
    QAction* saveMessageAction = nullptr;
    QAction* copyAddressAction = nullptr;
    QAction* exitAction = nullptr;
    QMenu* notesMenu = nullptr;
    QAction* aboutAction = nullptr;
    QAction* updateNotesAction = nullptr;
    QMenu* featuresMenu = nullptr;
    QAction* prefixSettingsAction = nullptr;
    QAction* joinerAction = nullptr;
    QAction* phrasesAction = nullptr;
    QAction* deleteMessagesAction = nullptr;
    QAction* repairAction = nullptr;
    QAction* effectAction = nullptr;
    QAction* contactAction = nullptr;
    QAction* lessonsAction = nullptr;
    QAction* restartAction = nullptr;
    QMenu* moreMenu = nullptr;
    QAction* softwareSiteAction = nullptr;
    QAction* boardAction = nullptr;
    QAction* blogAction = nullptr;
    QMenu* toolsMenu = nullptr; // pop-up of toolsButton, never on the bar
    QAction* pasteAction = nullptr;
    QMenu* clearMenu = nullptr;
    QAction* clearMessageAction = nullptr;
    QAction* clearAllAction = nullptr;
    QAction* clearClipboardAction = nullptr;

    // The form-level key preview: F4 reaches onKeyDown only while it is on.
    bool keyPreview = false;

    static constexpr const char* EffectOnCaption = "关闭主题特效";
    static constexpr const char* EffectOffCaption = "开启主题特效";

    // Window events.
    void load();
    void onKeyDown(Qt::Key key);
    // Mouse positions in pixels of the client area.
    void onMousePress(double x, double y);
    void onMouseMove(double x, double y);
    void onStartupCheckTick();
    // One shake of prefixCheck (100 passes), ending exactly where it began.
    void onShakeTick();
    void onRippleTick();
    // The exit question; returns whether the window may close.
    bool askToClose();
    void unload();
    void onRelationChosen();
    void onToolsClicked();
    void onPhrasesClicked();

    // Generation commands.
    void onGenerateClicked();
    void onExampleClicked();
    void onFindSpeechClicked();
    void onFindJoinedClicked();
    void onCopyAddress();
    void onSaveMessage();

    // Menu commands.
    void onCheckUpdate();
    void onExit();
    void onRestart();
    void onAbout();
    void onUpdateNotes();
    void onToggleEffect();
    void onDeleteMessages();
    void onClearAll();
    void onClearMessage();
    void onClearClipboard();
    void onPaste();
    void onChoosePhrase();
    void onJoiner();
    void onSoftwareSite();
    void onBoard();
    void onBlog();
    void onContact();
    void onLessons();
    void onRepair();

    // The windows opened from here, while they are open (null otherwise).
    JoinerWindow* joinerWindow() const { return joinerWindow_.data(); }
    PhraseWindow* phraseWindow() const { return phraseWindow_.data(); }
    PrefixSwitch* prefixSwitch() const { return prefix_; }
    // Whether the water ripple answers the mouse; the effect item's caption offers the opposite.
    // Whether the start-up check has run and unlocked the window.
    bool isUnlocked() const { return unlocked_; }
    // Where toolsButton's pop-up opens, in global coordinates.
    QPoint popupPosition() const;
    // The fetch of the version file, replaceable so a test can drive it.
    UpdateCheck& updateCheck() { return updateCheck_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildMenu();
    void wireHandlers();
    void connectRun();
    void setLocked(bool locked);
    void unlockAfterCheck();
    // Ends a check that did not end the program; a close asked for meanwhile runs now.
    void finishCheck();
    // Hands a mouse event to the ripple with the strength values of the effect's state.
    void stirWater(double x, double y, int a, int b);
    void setStatus(const QString& text);
    // Shows the one phrase library beside this window, connected to the message box.
    void showPhraseWindow();
    // Puts a phrase chosen in the phrase library into the message box.
    void usePhrase(const QString& phrase);
    MessageBoxAnswer ask(const QString& prompt, MessageBoxStyle style, const QString& title);

    AppContext& ctx_;
    WaterSurface* surface_ = nullptr;
    std::unique_ptr<TrayParking> parking_;
    std::unique_ptr<GenerationRun> run_;
    PrefixSwitch* prefix_ = nullptr;
    QPointer<JoinerWindow> joinerWindow_;
    QPointer<PhraseWindow> phraseWindow_;
    UpdateCheck updateCheck_;
    bool checking_ = false;
    bool closePending_ = false;
    bool unlocked_ = false;
    bool programEnded_ = false;
    bool unloaded_ = false;
    bool effectOn_ = true;
};

} // namespace velanote
