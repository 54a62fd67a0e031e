#pragma once
#include <QString>

namespace velanote {

// The notification-area icon with its balloon.
class TrayIcon {
public:
    virtual ~TrayIcon() = default;
    virtual void setToolTip(const QString& text) = 0;
    virtual QString toolTip() const = 0;
    virtual void showBalloon(const QString& message, const QString& title) = 0;
    virtual void removeBalloon() = 0;
    virtual void setVisible(bool visible) = 0;
    virtual bool isVisible() const = 0;
};

} // namespace velanote
