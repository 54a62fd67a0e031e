#pragma once
#include "app/appcontext.h"

#include <QObject>
#include <QPointer>
#include <QString>

class QCheckBox;
class QTimer;
class QWidget;

namespace velanote {

class PrefixWindow;

// The main window's prefix switch: what ticking and unticking prefixCheck does, the pop-up menu item
// that opens the prefix settings window, the attention shake of the unticked box, and the
// settings window's lifetime (created on opening, released when it closes).
//
// MainWindow owns one PrefixSwitch, built after its controls, and wires it itself; the switch
// connects nothing:
//   prefixCheck (QCheckBox, "是否启用在音信前加入前缀音频功能? [F4快捷]"):
//       connect(prefixCheck, &QCheckBox::stateChanged, [this] { prefix->onSwitchToggled(); });
//       (stateChanged, not clicked: F4 and the settings window change the value in code, and
//       each change must run the handler once.)
//   shakeTimer (interval 5000 ms, started with the window):
//       connect(shakeTimer, &QTimer::timeout, [this] { prefix->onShakeTick(); });
//   prefixSettingsAction ("前缀音频设置"):
//       connect(prefixSettingsAction, &QAction::triggered, [this] { prefix->onSettingsChosen(); });
//   exit sequence: prefix->closeSettingsWindow().
// The switch reads prefixCheck's value, the settings file and "\yx\qz.mp3"; it stops and starts
// shakeTimer, hides the main window while the settings window is open, and when that window closes
// shows the main window again (and unticks prefixCheck when no prefix file exists).
class PrefixSwitch : public QObject {
    Q_OBJECT
public:
    PrefixSwitch(AppContext& ctx, QWidget* mainWindow, QCheckBox* prefixCheck, QTimer* shakeTimer,
                 QObject* parent = nullptr);
    ~PrefixSwitch() override;

    // The usage text shown when the switch is ticked (lines ending with CR LF).
    static QString usageText();

    // Runs the switch procedure for prefixCheck's current value.
    void onSwitchToggled();
    // The pop-up menu item "前缀音频设置".
    void onSettingsChosen();
    // One shake of prefixCheck (100 passes), ending exactly where it began.
    void onShakeTick();

    // Shows the settings window modeless (creating it when none is open) and hides MainWindow.
    void openSettingsWindow();
    // Closes the settings window if it is open, running its closing steps.
    void closeSettingsWindow();
    // The open settings window, or nullptr.
    PrefixWindow* settingsWindow() const { return settingsWindow_.data(); }

private:
    void onSettingsWindowClosed(bool withPrefix);

    AppContext& ctx_;
    QWidget* mainWindow_;
    QCheckBox* prefixCheck_;
    QTimer* shakeTimer_;
    QPointer<PrefixWindow> settingsWindow_;
};

} // namespace velanote
