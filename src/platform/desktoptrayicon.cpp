#include "platform/desktoptrayicon.h"

#include <QApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QVariantMap>

namespace velanote {

namespace {

const QString NotificationsService = QStringLiteral("org.freedesktop.Notifications");
const QString NotificationsPath = QStringLiteral("/org/freedesktop/Notifications");
constexpr int NotificationCallTimeoutMs = 5000;
// How long a balloon waits for a newly shown icon to be placed by the tray, and how often it looks.
constexpr int PlacementWaitMs = 2000;
constexpr int PlacementPollMs = 20;

QDBusMessage notificationCall(const QString& method) {
    return QDBusMessage::createMethodCall(NotificationsService, NotificationsPath, NotificationsService,
                                          method);
}

} // namespace

QIcon DesktopTrayIcon::trayIconImage() {
    QIcon appIcon = QApplication::windowIcon();
    if (!appIcon.isNull()) {
        return appIcon;
    }
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2f, 0x7d, 0xc8));
    p.drawEllipse(QRectF(1, 1, 30, 30));
    // A quaver: head, stem and flag.
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(8, 18, 9, 7));
    p.drawRect(QRectF(15, 7, 2.5, 15));
    QPainterPath flag;
    flag.moveTo(17.5, 7);
    flag.cubicTo(22, 9, 24, 12, 22, 16);
    flag.cubicTo(22, 13, 20, 11.5, 17.5, 11.5);
    flag.closeSubpath();
    p.drawPath(flag);
    p.end();
    return QIcon(pixmap);
}

DesktopTrayIcon::DesktopTrayIcon(QDBusConnection bus)
    : bus_(std::move(bus)), context_(std::make_unique<QObject>()),
      icon_(std::make_unique<QSystemTrayIcon>(trayIconImage())), placementPoll_(new QTimer(context_.get())) {
    placementPoll_->setInterval(PlacementPollMs);
    QObject::connect(placementPoll_, &QTimer::timeout, context_.get(), [this] { showPendingBalloon(); });
}

DesktopTrayIcon::~DesktopTrayIcon() {
    removeBalloon();
    icon_->hide();
}

bool DesktopTrayIcon::notificationsAvailable() const {
    if (!bus_.isConnected() || bus_.interface() == nullptr) {
        return false;
    }
    const QDBusReply<bool> registered = bus_.interface()->isServiceRegistered(NotificationsService);
    if (registered.isValid() && registered.value()) {
        return true;
    }
    const QDBusReply<QStringList> activatable = bus_.interface()->activatableServiceNames();
    return activatable.isValid() && activatable.value().contains(NotificationsService);
}

void DesktopTrayIcon::closeNotification(uint id) {
    QDBusMessage call = notificationCall(QStringLiteral("CloseNotification"));
    call << id;
    bus_.asyncCall(call, NotificationCallTimeoutMs);
}

void DesktopTrayIcon::setToolTip(const QString& text) {
    toolTip_ = text;
    icon_->setToolTip(text);
}

void DesktopTrayIcon::showBalloon(const QString& message, const QString& title) {
    if (!visible_) {
        return;
    }
    if (notificationsAvailable()) {
        // No expiry: the balloon stays until it is removed, as the program's balloons always did.
        QDBusMessage call = notificationCall(QStringLiteral("Notify"));
        call << QCoreApplication::applicationName() << notificationId_ << QString() << title << message
             << QStringList() << QVariantMap{{QStringLiteral("urgency"), QVariant::fromValue<uchar>(1)}}
             << qint32(0);
        notifyPending_ = true;
        closeWhenKnown_ = false;
        auto* watcher =
            new QDBusPendingCallWatcher(bus_.asyncCall(call, NotificationCallTimeoutMs), context_.get());
        QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context_.get(),
                         [this](QDBusPendingCallWatcher* w) {
                             const QDBusPendingReply<uint> reply = *w;
                             w->deleteLater();
                             notifyPending_ = false;
                             notificationId_ = reply.isError() ? 0 : reply.value();
                             if (closeWhenKnown_ && notificationId_ != 0) {
                                 closeNotification(notificationId_);
                                 notificationId_ = 0;
                             }
                             closeWhenKnown_ = false;
                         });
        return;
    }
    if (QSystemTrayIcon::isSystemTrayAvailable() && QSystemTrayIcon::supportsMessages()) {
        pendingBalloon_ = {title, message};
        showPendingBalloon();
    }
}

// Until the tray has embedded a newly shown icon, the icon stands at the screen's origin, and a
// balloon asked for then would point there; so it waits (a bounded time) for the icon's place.
void DesktopTrayIcon::showPendingBalloon() {
    if (!pendingBalloon_) {
        placementPoll_->stop();
        return;
    }
    const bool placed = icon_->geometry().isValid() && icon_->geometry().topLeft() != QPoint(0, 0);
    if (!placed && !shownAt_.hasExpired(PlacementWaitMs)) {
        placementPoll_->start();
        return;
    }
    placementPoll_->stop();
    icon_->showMessage(pendingBalloon_->title, pendingBalloon_->message, QSystemTrayIcon::Information, 0);
    pendingBalloon_.reset();
    qtBalloonShown_ = true;
}

void DesktopTrayIcon::showIcon() {
    icon_->show();
    shownAt_.start();
}

void DesktopTrayIcon::removeBalloon() {
    if (notifyPending_) {
        closeWhenKnown_ = true;
    }
    if (notificationId_ != 0) {
        closeNotification(notificationId_);
        notificationId_ = 0;
    }
    pendingBalloon_.reset();
    // Qt has no call that takes its own balloon back; hiding the icon closes it, so the icon is
    // shown again at once.
    if (qtBalloonShown_ && visible_ && icon_->isVisible()) {
        icon_->hide();
        showIcon();
    }
    qtBalloonShown_ = false;
}

void DesktopTrayIcon::setVisible(bool visible) {
    visible_ = visible;
    if (!visible) {
        icon_->hide();
        qtBalloonShown_ = false;
        pendingBalloon_.reset();
    } else if (QSystemTrayIcon::isSystemTrayAvailable() && !icon_->isVisible()) {
        showIcon();
    }
}

} // namespace velanote
