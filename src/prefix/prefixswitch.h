#pragma once
#include "app/appcontext.h"

#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

namespace velanote {

class PrefixWindow;

// The main window's prefix switch: what ticking and unticking prefixCheck does, the pop-up menu item
// that opens the prefix settings window, when the unticked box shakes for attention, and the
// settings window's lifetime (created on opening, released when it closes).
//
// MainWindow owns one PrefixSwitch and wires it both ways; the switch holds none of its controls:
//   prefixCheck stateChanged        -> onSwitchToggled(prefixCheck->checkState())
//       (stateChanged, not clicked: F4 and switchOffWanted change the value in code, and each
//       change must run the handler once.)
//   prefixSettingsAction triggered  -> onSettingsChosen(prefixCheck->checkState())
//   exit sequence                   -> closeSettingsWindow()
//   shakeWanted(on)                 -> starts / stops shakeTimer, whose 5000 ms tick shakes prefixCheck
//   mainWindowHideWanted/ShowWanted -> hides / shows MainWindow around the settings window
//   switchOffWanted                 -> unticks prefixCheck (settings window closed without a prefix)
// The switch reads the settings file and "\yx\qz.mp3"; its message boxes belong to `dialogParent`,
// over which the settings window opens.
class PrefixSwitch : public QObject {
    Q_OBJECT
public:
    PrefixSwitch(AppContext& ctx, QWidget* dialogParent, QObject* parent = nullptr);
    ~PrefixSwitch() override;

    // The usage text shown when the switch is ticked (lines ending with CR LF).
    static QString usageText();

    // Runs the switch procedure for the switch's new state.
    void onSwitchToggled(Qt::CheckState state);
    // The pop-up menu item "前缀音频设置", chosen while the switch is in `switchState`.
    void onSettingsChosen(Qt::CheckState switchState);

    // Shows the settings window modeless (creating it when none is open) and asks to hide MainWindow.
    void openSettingsWindow();
    // Closes the settings window if it is open, running its closing steps.
    void closeSettingsWindow();
    // The open settings window, or nullptr.
    PrefixWindow* settingsWindow() const { return settingsWindow_.data(); }

Q_SIGNALS:
    // The unticked box should shake every few seconds (on) or rest (off).
    void shakeWanted(bool on);
    void mainWindowHideWanted();
    void mainWindowShowWanted();
    // The switch should be unticked.
    void switchOffWanted();

private:
    void onSettingsWindowClosed(bool withPrefix);

    AppContext& ctx_;
    QWidget* dialogParent_;
    QPointer<PrefixWindow> settingsWindow_;
};

} // namespace velanote
