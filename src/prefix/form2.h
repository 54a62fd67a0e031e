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
// records the choice under [Information] qzyp. Opened by the prefix switch while Form1 is hidden;
// closing shows Form1 again and unticks Form1's Check1 when no prefix file exists. The window
// deletes itself when it closes.
class Form2 : public QWidget {
    Q_OBJECT
public:
    Form2(AppContext& ctx, QWidget* form1, QCheckBox* check1, QWidget* parent = nullptr);
    ~Form2() override;

    // The names of the built-in jingles in list order; row i is the file "\sc\<i+1>.mp3".
    static const QStringList& jingleNames();
    static QString jingleFile(int row);
    static QString parameterNote();

    QGroupBox* Frame2;
    QLabel* Label2;
    QGroupBox* Frame1;
    QRadioButton* Option1;
    QRadioButton* Option2;
    QGroupBox* Frame3;
    QLabel* Label1;
    QComboBox* Combo1;
    QPushButton* Command2;
    QGroupBox* Frame4;
    QLabel* Label3;
    QLineEdit* Text1;
    QPushButton* Command3;
    QPushButton* Command4;
    QGroupBox* Frame5;
    QLabel* Label4;
    QPushButton* Command5;
    QPushButton* Command1;
    QPlainTextEdit* Text2;
    CommonDialog C1;
    std::unique_ptr<MediaPlayer> WindowsMediaPlayer1;
    PlayerStrip* playerStrip = nullptr; // the player's visible controls

    // Hands the contact link to the system, as an embedded browser told to navigate would.
    class Browser {
    public:
        explicit Browser(Shell& shell) : shell_(shell) {}
        void Navigate(const QString& address) { shell_.openAddress(address); }

    private:
        Shell& shell_;
    };
    Browser WebBrowser1;

    void Form_Load();
    void Option1_Click();
    void Option2_Click();
    void Combo1_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Text1_Change();
    void Label2_Click();
    void Frame1_DragDrop();
    void Frame2_MouseMove();
    // The closing steps; run by every close of the window.
    void Form_QueryUnload();

Q_SIGNALS:
    // The window has closed and is about to be released.
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void placeOverMainWindow();
    int listIndex() const;
    bool prefixFileExists() const;
    int msgBox(const QString& prompt, int style);
    void showMainWindow();

    AppContext& ctx_;
    QPointer<QWidget> form1_;
    QPointer<QCheckBox> check1_;
};

} // namespace velanote
