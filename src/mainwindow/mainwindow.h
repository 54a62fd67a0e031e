#pragma once
#include "app/appcontext.h"
#include "batch/batchwindow.h"
#include "joiner/joinerwindow.h"
#include "mainwindow/silentbrowser.h"
#include "mainwindow/updatecheck.h"
#include "phrases/phrasewindow.h"
#include "platform/commondialog.h"
#include "platform/mediaplayer.h"
#include "platform/trayicon.h"
#include "voice/voicesettingswindow.h"

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
// control              caption                         handler                         purpose
// senderEdit           请输入您的名字:                                                 the sender
// recipientEdit        请输入对方的名字:                                               the recipient
// relationCombo        对方对您的称呼[关系]:           onRelationComboActivated        the relationship
// exampleButton        实例                            onExampleButtonClicked          shows an example
// messageEdit          在这里输入祝福语(100字以内)                                     the message
// prefixCheck          是否启用在音信前加入前缀音频... PrefixSwitch::onSwitchToggled   F4 toggles it
// generateButton       生成音信                        onGenerateButtonClicked         makes the message
// phrasesButton        选择内置祝福语                  onPhrasesButtonClicked          the phrase library
// toolsButton          程序相关小操作                  onToolsButtonClicked            pops up toolsMenu
// findSpeechButton     找到音信文件                    onFindSpeechButtonClicked       the speech file
// findJoinedButton     找到合成音信                    onFindJoinedButtonClicked       the joined file
// repairProgress       (on the status line)                                            audio repair
// statusLine           当前状态： ...                                                  status in panel 2
// shakeTimer           (5000 ms)                       onShakeTimerTimeout             shakes the switch
// startupCheckTimer    (1000 ms)                       onStartupCheckTimerTimeout      start-up check
// rippleTimer          (10 ms)                         onRippleTimerTimeout            the water ripple
// programMenu          【程序菜单】
// checkUpdateAction    检测程序更新                    onCheckUpdateActionTriggered
// saveMessageAction    保存音信文件                    onSaveMessageActionTriggered
// copyAddressAction    复制音信地址                    onCopyAddressActionTriggered
// exitAction           退出音信程序                    onExitActionTriggered
// notesMenu            【相关说明】
// aboutAction          软件说明                        onAboutActionTriggered
// updateNotesAction    更新说明                        onUpdateNotesActionTriggered
// featuresMenu         【相关功能】
// prefixSettingsAction 前缀音频设置                    PrefixSwitch::onSettingsChosen
// joinerAction         音频整合功能                    onJoinerActionTriggered
// voiceSettingsAction  语音设置                        onVoiceSettingsActionTriggered
// batchAction          批量生成音信                    onBatchActionTriggered
// phrasesAction        选择内置祝福                    onPhrasesActionTriggered
// deleteMessagesAction 清除全部音信                    onDeleteMessagesActionTriggered
// repairAction         音频修复功能                    onRepairActionTriggered
// effectAction         关闭主题特效 / 开启主题特效     onEffectActionTriggered         the water ripple
// contactAction        【联系作者】                    onContactActionTriggered        the chat address
// lessonsAction        【学习编程】                    onLessonsActionTriggered        copies the account
// restartAction        【重启程序】                    onRestartActionTriggered
// moreMenu             【更多精彩】
// softwareSiteAction   原创免费软件                    onSoftwareSiteActionTriggered
// boardAction          官方百度贴吧                    onBoardActionTriggered
// blogAction           原创技术博客                    onBlogActionTriggered
// toolsMenu            【相关操作】                                                    toolsButton's pop-up
// pasteAction          粘贴剪切板信息                  onPasteActionTriggered
// clearMenu            清空相关的信息
// clearMessageAction   清空祝福信息                    onClearMessageActionTriggered
// clearAllAction       清空全部信息                    onClearAllActionTriggered
// clearClipboardAction 清空剪贴板信息                  onClearClipboardActionTriggered
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(AppContext& ctx, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Client area in twips; the menu bar lies outside it.
    static constexpr int ClientWidthTwips = 9870;
    static constexpr int ClientHeightTwips = 6870;

    static constexpr const char* EffectOnCaption = "关闭主题特效";
    static constexpr const char* EffectOffCaption = "开启主题特效";

    // The windows opened from here, while they are open (null otherwise).
    JoinerWindow* joinerWindow() const { return joinerWindow_.data(); }
    VoiceSettingsWindow* voiceSettingsWindow() const { return voiceSettingsWindow_.data(); }
    BatchWindow* batchWindow() const { return batchWindow_.data(); }
    PhraseWindow* phraseWindow() const { return phraseWindow_.data(); }
    PrefixSwitch* prefixSwitch() const { return prefix_; }
    // Whether the start-up check has run and unlocked the window.
    bool isUnlocked() const { return unlocked_; }
    // Where toolsButton's pop-up opens, in global coordinates.
    QPoint popupPosition() const;
    // The fetch of the version file, replaceable so a test can drive it.
    UpdateCheck& updateCheck() { return updateCheck_; }
    // The quiet load of the forum page, which runs on a worker.
    SilentBrowser& browser() { return browser_; }
    // Whether F4 is watched for (from the end of the start-up check on).
    bool keyPreview() const { return keyPreview_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Window events.
    void load();
    void onKeyDown(Qt::Key key);
    // Mouse positions in pixels of the client area.
    void onMousePress(double x, double y);
    void onMouseMove(double x, double y);
    // The exit question; returns whether the window may close.
    bool askToClose();
    void unload();

    // Control handlers.
    void onStartupCheckTimerTimeout();
    // One shake of prefixCheck (100 passes), ending exactly where it began.
    void onShakeTimerTimeout();
    void onRippleTimerTimeout();
    void onRelationComboActivated();
    void onToolsButtonClicked();
    void onPhrasesButtonClicked();
    void onGenerateButtonClicked();
    void onExampleButtonClicked();
    void onFindSpeechButtonClicked();
    void onFindJoinedButtonClicked();
    void onCopyAddressActionTriggered();
    void onSaveMessageActionTriggered();
    void onCheckUpdateActionTriggered();
    void onExitActionTriggered();
    void onRestartActionTriggered();
    void onAboutActionTriggered();
    void onUpdateNotesActionTriggered();
    void onEffectActionTriggered();
    void onDeleteMessagesActionTriggered();
    void onClearAllActionTriggered();
    void onClearMessageActionTriggered();
    void onClearClipboardActionTriggered();
    void onPasteActionTriggered();
    void onPhrasesActionTriggered();
    void onJoinerActionTriggered();
    void onVoiceSettingsActionTriggered();
    void onBatchActionTriggered();
    void onSoftwareSiteActionTriggered();
    void onBoardActionTriggered();
    void onBlogActionTriggered();
    void onContactActionTriggered();
    void onLessonsActionTriggered();
    void onRepairActionTriggered();

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
    QAction* voiceSettingsAction = nullptr;
    QAction* batchAction = nullptr;
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

    SilentBrowser browser_;
    // The form-level key preview: F4 reaches onKeyDown only while it is on.
    bool keyPreview_ = false;
    WaterSurface* surface_ = nullptr;
    std::unique_ptr<TrayParking> parking_;
    std::unique_ptr<GenerationRun> run_;
    PrefixSwitch* prefix_ = nullptr;
    QPointer<JoinerWindow> joinerWindow_;
    QPointer<VoiceSettingsWindow> voiceSettingsWindow_;
    QPointer<BatchWindow> batchWindow_;
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
