#pragma once
#include <QString>

class QWidget;

namespace velanote {

class TrayIcon;

// Hides a window behind the tray icon with a balloon while slow work runs, and brings it back.
class TrayParking {
public:
    TrayParking(QWidget* window, TrayIcon* tray);

    // Shows the icon and the balloon, hides the window, and lets the screen catch up.
    void minimise(const QString& balloon);
    // Removes the balloon and shows the window again, normal sized and focused.
    void restore();
    // Removes the balloon alone; the window stays hidden.
    void withdrawBalloon();

    static constexpr const char* TrayTitle = "Vela系列软件の声笺";
    static constexpr const char* RestoreHint = "双击图标还原窗口";

private:
    QWidget* window_;
    TrayIcon* tray_;
};

} // namespace velanote
