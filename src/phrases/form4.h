#pragma once
#include "app/appcontext.h"
#include "platform/commondialog.h"

#include <QPointer>
#include <QWidget>

class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace velanote {

class StatusBar;

// The greeting phrase library: pick a category, double-click a phrase to put it into the main
// window's message box. One instance at a time (see showSingle); deleted on close.
class Form4 : public QWidget {
    Q_OBJECT
public:
    // `form1Text2` receives a chosen phrase, panel 2 of `form1St1` reports it; either may be null.
    Form4(AppContext& ctx, QPlainTextEdit* form1Text2, StatusBar* form1St1, QWidget* parent = nullptr);

    // Shows the one phrase library: brings the window in `slot` forward unchanged when it exists,
    // else creates it, keeps it in `slot` and shows it. The slot empties itself when it closes.
    static Form4* showSingle(QPointer<Form4>& slot, AppContext& ctx, QPlainTextEdit* form1Text2,
                             StatusBar* form1St1, QWidget* parent = nullptr);

    QGroupBox* Frame3 = nullptr;
    QComboBox* Combo2 = nullptr;
    QListWidget* List1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Picture1 = nullptr;
    QPushButton* Command3 = nullptr;
    CommonDialog C5; // carried with the window; no command shows it

    void Form_Load();
    void Combo2_Click();
    void List1_Click();
    void List1_DblClick();
    void Command3_Click();
    void Label1_Click();
    void Picture1_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void placeBesideMainWindow();

    AppContext& ctx_;
    QPointer<QPlainTextEdit> form1Text2_;
    QPointer<StatusBar> form1St1_;
};

} // namespace velanote
