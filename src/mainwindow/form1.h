#pragma once
#include "app/appcontext.h"
#include "joiner/form3.h"
#include "mainwindow/silentbrowser.h"
#include "mainwindow/updatecheck.h"
#include "phrases/form4.h"
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
class WaterSurface;

// The main window: the four inputs of a voice message, the commands that generate, save and find
// it, the menu that reaches every other window and maintenance command, the start-up lock lifted
// by the update check, the F4 shortcut, the water ripple under the mouse and the exit question.
class Form1 : public QMainWindow {
    Q_OBJECT
public:
    explicit Form1(AppContext& ctx, QWidget* parent = nullptr);
    ~Form1() override;

    // Client area in twips; the menu bar lies outside it.
    static constexpr int ClientWidthTwips = 9870;
    static constexpr int ClientHeightTwips = 6870;

    // Controls, named as the window names them.
    QGroupBox* Frame1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Text4 = nullptr;
    QLineEdit* Text5 = nullptr;
    QComboBox* Combo1 = nullptr;
    QPlainTextEdit* Text2 = nullptr;
    QPushButton* Command5 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command7 = nullptr;
    QPushButton* Command4 = nullptr;
    QGroupBox* Frame4 = nullptr;
    QCheckBox* Check1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command6 = nullptr;
    QPushButton* save = nullptr;
    QPlainTextEdit* Text1 = nullptr;
    QLineEdit* Text3 = nullptr;
    QPlainTextEdit* Text6 = nullptr;
    QPlainTextEdit* Text7 = nullptr;
    QTimer* Timer2 = nullptr;
    QTimer* Timer3 = nullptr;
    QTimer* Timer4 = nullptr;
    QLabel* pic1 = nullptr;
    QLabel* pic2 = nullptr;
    QLabel* pic3 = nullptr;
    QLabel* pic4 = nullptr;
    QLabel* Picture1 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Image2 = nullptr;
    QMovie* Image2Movie = nullptr;
    QFrame* Line1 = nullptr;
    QFrame* Line2 = nullptr;
    QFrame* Line3 = nullptr;
    QFrame* Line4 = nullptr;
    QFrame* Line5 = nullptr;
    QFrame* Line6 = nullptr;
    QFrame* Line7 = nullptr;
    QFrame* Line8 = nullptr;
    QFrame* Line9 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    StatusBar* St1 = nullptr;
    CommonDialog C5;
    CommonDialog C6;
    std::unique_ptr<MediaPlayer> WindowsMediaPlayer1;
    PlayerStrip* playerStrip = nullptr; // the player's visible controls
    std::unique_ptr<TrayIcon> EFMTrayIcon1;
    SilentBrowser WebBrowser1;

    // Menu: the top-level entries, then the items of each.
    QMenu* menu = nullptr;
    QMenu* xgsm = nullptr;
    QMenu* qtgn = nullptr;
    QAction* con = nullptr;
    QAction* xxbc = nullptr;
    QAction* cq = nullptr;
    QMenu* more = nullptr;
    QMenu* xgcz = nullptr; // pop-up of Command4, never on the bar
    QAction* jiance = nullptr;
    QAction* x213 = nullptr;
    QAction* saveyx = nullptr;
    QAction* x2 = nullptr;
    QAction* copy = nullptr;
    QAction* x3 = nullptr;
    QAction* endd = nullptr;
    QAction* rj = nullptr;
    QAction* x54 = nullptr;
    QAction* sm = nullptr;
    QAction* qz = nullptr;
    QAction* x20 = nullptr;
    QAction* ypzh = nullptr;
    QAction* x21 = nullptr;
    QAction* xznz = nullptr;
    QAction* x561 = nullptr;
    QAction* qcyx = nullptr;
    QAction* x32 = nullptr;
    QAction* ypxf = nullptr;
    QAction* x35 = nullptr;
    QAction* zttx = nullptr;
    QAction* velafans = nullptr;
    QAction* x6 = nullptr;
    QAction* tieba = nullptr;
    QAction* xz = nullptr;
    QAction* it8 = nullptr;
    QAction* ztxx = nullptr;
    QAction* x455 = nullptr;
    QMenu* qkxx = nullptr;
    QAction* qkzf = nullptr;
    QAction* x55 = nullptr;
    QAction* qk = nullptr;
    QAction* x50 = nullptr;
    QAction* qkjt = nullptr;

    // The form-level key preview: F4 reaches Form_KeyDown only while it is on.
    bool KeyPreview = false;

    static constexpr const char* EffectOnCaption = "关闭主题特效";
    static constexpr const char* EffectOffCaption = "开启主题特效";

    // Window events.
    void Form_Load();
    void Form_KeyDown(int keyCode);
    // Mouse positions in pixels of the client area.
    void Form_MouseDown(double x, double y);
    void Form_MouseMove(double x, double y);
    void Timer3_Timer();
    void Timer4_Timer();
    // The exit question; returns whether the window may close.
    bool Form_QueryUnload();
    void Form_Unload();
    void Combo1_Click();
    void Command4_Click();
    void Command7_Click();

    // Generation commands.
    void Command2_Click();
    void Command5_Click();
    void Command1_Click();
    void Command6_Click();
    void copy_Click();
    void saveyx_Click();
    void save_Click();

    // Menu commands.
    void jiance_Click();
    void endd_Click();
    void cq_Click();
    void rj_Click();
    void sm_Click();
    void zttx_Click();
    void qcyx_Click();
    void qk_Click();
    void qkzf_Click();
    void qkjt_Click();
    void ztxx_Click();
    void xznz_Click();
    void ypzh_Click();
    void velafans_Click();
    void tieba_Click();
    void it8_Click();
    void con_Click();
    void xxbc_Click();
    void ypxf_Click();

    // The windows opened from here, while they are open (null otherwise).
    Form3* joinerWindow() const { return form3_.data(); }
    Form4* phraseWindow() const { return form4_.data(); }
    PrefixSwitch* prefixSwitch() const { return prefix_; }
    GenerationRun* generation() const { return run_.get(); }
    // Whether the start-up check has run and unlocked the window.
    bool isUnlocked() const { return unlocked_; }
    // Where Command4's pop-up opens, in global coordinates.
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
    void setLocked(bool locked);
    void unlockAfterCheck();
    // Ends a check that did not end the program; a close asked for meanwhile runs now.
    void finishCheck();
    // Hands a mouse event to the ripple with the strength values of the effect's state.
    void stirWater(double x, double y, int a, int b);
    void setStatus(const QString& text);
    int ask(const QString& prompt, int style, const QString& title);

    AppContext& ctx_;
    WaterSurface* surface_ = nullptr;
    std::unique_ptr<GenerationRun> run_;
    PrefixSwitch* prefix_ = nullptr;
    QPointer<Form3> form3_;
    QPointer<Form4> form4_;
    UpdateCheck updateCheck_;
    bool checking_ = false;
    bool closePending_ = false;
    bool unlocked_ = false;
    bool programEnded_ = false;
    bool unloaded_ = false;
};

} // namespace velanote
