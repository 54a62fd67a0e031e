#pragma once
#include "platform/trayicon.h"

#include <QDBusConnection>
#include <QElapsedTimer>

#include <memory>
#include <optional>

class QIcon;
class QObject;
class QSystemTrayIcon;
class QTimer;

namespace velanote {

// The real tray icon over QSystemTrayIcon. Its balloon is a desktop notification when the session
// has a notification service (so it can be taken back exactly), else Qt's own balloon. Where the
// desktop has no tray the icon only keeps its state.
class DesktopTrayIcon : public TrayIcon {
public:
    explicit DesktopTrayIcon(QDBusConnection bus = QDBusConnection::sessionBus());
    ~DesktopTrayIcon() override;

    void setToolTip(const QString& text) override;
    QString toolTip() const override { return toolTip_; }
    void showBalloon(const QString& message, const QString& title) override;
    void removeBalloon() override;
    void setVisible(bool visible) override;
    bool isVisible() const override { return visible_; }

    // The application's window icon, or a small note drawn here when it has none.
    static QIcon trayIconImage();

private:
    bool notificationsAvailable() const;
    void closeNotification(uint id);
    void showIcon();
    void showPendingBalloon();

    struct Balloon {
        QString title;
        QString message;
    };

    QDBusConnection bus_;
    std::unique_ptr<QObject> context_; // owns pending D-Bus calls, so none outlives the icon
    std::unique_ptr<QSystemTrayIcon> icon_;
    QString toolTip_;
    bool visible_ = false;
    uint notificationId_ = 0;    // the notification on screen, 0 when none
    bool notifyPending_ = false; // a Notify call has not answered yet
    bool closeWhenKnown_ = false;
    bool qtBalloonShown_ = false;           // Qt's own balloon, which only hiding the icon takes back
    QTimer* placementPoll_;                 // owned by context_
    QElapsedTimer shownAt_;                 // since the icon was last shown
    std::optional<Balloon> pendingBalloon_; // Qt's balloon, asked for before the icon had its place
};

} // namespace velanote
