#pragma once
#include "app/appcontext.h"

#include <QObject>
#include <QPointer>
#include <QString>

class QCheckBox;
class QPlainTextEdit;
class QTimer;
class QWidget;

namespace velanote {

class Form2;

// The main window's prefix switch: what ticking and unticking Check1 does, the pop-up menu item
// that opens the prefix settings window, the attention shake of the unticked box, and the
// settings window's lifetime (created on opening, released when it closes).
//
// Form1 owns one PrefixSwitch, built after its controls, and wires it itself; the switch
// connects nothing:
//   Check1 (QCheckBox, "是否启用在音信前加入前缀音频功能? [F4快捷]"):
//       connect(Check1, &QCheckBox::stateChanged, [this] { prefix->Check1_Click(); });
//       (stateChanged, not clicked: F4 and the settings window change the value in code, and
//       each change must run the handler once.)
//   Timer2 (interval 5000 ms, started with the window):
//       connect(Timer2, &QTimer::timeout, [this] { prefix->Timer2_Timer(); });
//   menu item qz ("前缀音频设置"): connect(qz, &QAction::triggered, [this] { prefix->qz_Click(); });
//   Text6: setPlainText(PrefixSwitch::usageText()) when Form1 loads (read back when ticking).
//   exit sequence ("unload Form2"): prefix->closeSettingsWindow().
// The switch reads Check1's value, the settings file and "\yx\qz.mp3"; it stops and starts
// Timer2, hides Form1 while the settings window is open, and the settings window shows Form1
// again (and unticks Check1 when no prefix file exists) when it closes.
class PrefixSwitch : public QObject {
    Q_OBJECT
public:
    PrefixSwitch(AppContext& ctx, QWidget* form1, QCheckBox* check1, QTimer* timer2, QPlainTextEdit* text6,
                 QObject* parent = nullptr);
    ~PrefixSwitch() override;

    // The usage text Form1 keeps in Text6 (lines ending with CR LF).
    static QString usageText();

    // Runs the switch procedure for Check1's current value.
    void Check1_Click();
    // The pop-up menu item "前缀音频设置".
    void qz_Click();
    // One shake of Check1 (100 passes), ending exactly where it began.
    void Timer2_Timer();

    // Shows the settings window modeless (creating it when none is open) and hides Form1.
    void openSettingsWindow();
    // Closes the settings window if it is open, running its closing steps.
    void closeSettingsWindow();
    // The open settings window, or nullptr.
    Form2* settingsWindow() const { return form2_.data(); }

private:
    AppContext& ctx_;
    QWidget* form1_;
    QCheckBox* check1_;
    QTimer* timer2_;
    QPlainTextEdit* text6_;
    QPointer<Form2> form2_;
};

} // namespace velanote
