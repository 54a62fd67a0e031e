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
// hides nothing itself; the window that opens it hides itself and is shown again when this one
// closes. Deleted on close.
class Form3 : public QWidget {
    Q_OBJECT
public:
    // `form1` is the window to show again on closing (it may be null or go away first).
    Form3(AppContext& ctx, QWidget* form1, QWidget* parent = nullptr);
    ~Form3() override;

    static const QString Browse; // "浏览": no path set, a press opens the dialog
    static const QString Chosen; // "已选择": a path is set, a press offers to clear it

    QGroupBox* Frame1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton* Command1 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Text2 = nullptr;
    QPushButton* Command2 = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* Text3 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command3 = nullptr;
    QGroupBox* Frame4 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label9 = nullptr;
    QGroupBox* Frame3 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* Command5 = nullptr;
    StatusBar* St1 = nullptr;
    QFrame* Line1 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    CommonDialog C1;
    CommonDialog C2;
    CommonDialog C3;
    std::unique_ptr<MediaPlayer> WindowsMediaPlayer1;
    PlayerStrip* playerStrip = nullptr; // the player's visible controls

    // Output path of the last successful join; empty until then.
    QString OutputFilePath;

    void Form_Load();
    void Command1_Click();
    void Command2_Click();
    void Command4_Click();
    void Text1_Change();
    void Text2_Change();
    void Text3_Change();
    void Command3_Click();
    void Command5_Click();
    void Form_QueryUnload();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void pickInput(QPushButton* button, CommonDialog& dialog, QLineEdit* text);
    void updateOutputPicker();
    void play(const QString& path);
    void setStatus(const QString& text);

    AppContext& ctx_;
    QPointer<QWidget> form1_;
};

} // namespace velanote
