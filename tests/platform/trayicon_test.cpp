#include "platform/desktoptrayicon.h"
#include "privatebus.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QIcon>
#include <QList>
#include <QSystemTrayIcon>
#include <QTest>
#include <QVariantMap>
#include <QWidget>

#include <gtest/gtest.h>

using namespace velanote;

// A notification service that records what it is asked.
class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Shown {
        uint replaces;
        QString summary;
        QString body;
        int expire;
    };
    QList<Shown> shown;
    QList<uint> closed;

public Q_SLOTS:
    uint Notify(const QString&, uint replaces, const QString&, const QString& summary, const QString& body,
                const QStringList&, const QVariantMap&, int expire) {
        shown.append({replaces, summary, body, expire});
        return uint(40 + shown.size());
    }
    void CloseNotification(uint id) { closed.append(id); }
};

TEST(TrayIcon, KeepsItsStateAndDoesNoHarmWhereThereIsNoTray) {
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable()); // the offscreen platform has none
    EXPECT_FALSE(DesktopTrayIcon::trayIconImage().isNull());
    DesktopTrayIcon tray(QDBusConnection(QStringLiteral("no-bus")));
    EXPECT_FALSE(tray.isVisible());
    tray.setToolTip(QStringLiteral("Vela音信"));
    tray.setVisible(true);
    tray.showBalloon(QStringLiteral("正在生成音信,请稍候..."), QStringLiteral("Vela系列软件"));
    tray.removeBalloon();
    EXPECT_TRUE(tray.isVisible());
    EXPECT_EQ(tray.toolTip(), QStringLiteral("Vela音信"));
    tray.setVisible(false);
    EXPECT_FALSE(tray.isVisible());
    for (QWidget* w : QApplication::topLevelWidgets()) {
        EXPECT_FALSE(w->isVisible()) << w->metaObject()->className();
    }
}

TEST(TrayIcon, BalloonsAreNotificationsThatStayUntilRemoved) {
    scratch::PrivateBus bus;
    ASSERT_TRUE(bus.running());
    FakeNotifications service;
    QDBusConnection serviceSide = bus.connect("tray-test-service");
    ASSERT_TRUE(serviceSide.registerObject("/org/freedesktop/Notifications", &service,
                                           QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(serviceSide.registerService("org.freedesktop.Notifications"));

    DesktopTrayIcon tray(bus.connect("tray-test-client"));
    tray.showBalloon("hidden", "icon not shown"); // no balloon without the icon
    tray.setVisible(true);
    tray.showBalloon(QStringLiteral("正在生成音信"), QStringLiteral("Vela系列软件"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return service.shown.size() == 1; }, 5000));
    EXPECT_EQ(service.shown[0].summary, QStringLiteral("Vela系列软件"));
    EXPECT_EQ(service.shown[0].body, QStringLiteral("正在生成音信"));
    EXPECT_EQ(service.shown[0].expire, 0);
    EXPECT_EQ(service.shown[0].replaces, 0u);
    QTest::qWait(50); // lets the answer with the id arrive

    tray.showBalloon("second", "title"); // replaces the first
    ASSERT_TRUE(QTest::qWaitFor([&] { return service.shown.size() == 2; }, 5000));
    EXPECT_EQ(service.shown[1].replaces, 41u);
    QTest::qWait(50);

    tray.removeBalloon();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !service.closed.isEmpty(); }, 5000));
    EXPECT_EQ(service.closed, QList<uint>{42u});

    // Removed before the service has answered: closed as soon as the id is known.
    tray.showBalloon("third", "title");
    tray.removeBalloon();
    ASSERT_TRUE(QTest::qWaitFor([&] { return service.closed.size() == 2; }, 5000));
    EXPECT_EQ(service.closed.last(), 43u);
    EXPECT_EQ(service.shown.size(), 3);
}

#include "trayicon_test.moc"
