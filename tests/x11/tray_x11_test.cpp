// The tray icon's Qt balloon on a private X server with a tray.
#include "xdisplay.h"

#include "platform/desktoptrayicon.h"

#include <QApplication>
#include <QDBusConnection>
#include <QElapsedTimer>
#include <QSystemTrayIcon>
#include <QTest>
#include <QThread>
#include <QWidget>

#include <gtest/gtest.h>

using namespace velanote;
using velanote::testing::XDisplay;

namespace {

QWidget* visibleTopLevel(const char* className) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && qstrcmp(w->metaObject()->className(), className) == 0) {
            return w;
        }
    }
    return nullptr;
}

// Pixels between two rectangles, 0 when they touch or overlap.
int gap(const QRect& a, const QRect& b) {
    const int dx = std::max({0, a.left() - b.right(), b.left() - a.right()});
    const int dy = std::max({0, a.top() - b.bottom(), b.top() - a.bottom()});
    return std::max(dx, dy);
}

} // namespace

// Runs in a child process on the private display (see the test below), where the icon is new:
// the balloon is asked for in the moment the icon is made visible, as the program does.
TEST(TrayOnX11, DISABLED_FirstBalloonOfANewIcon) {
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    // Waits for the tray without running the event loop, which the program has not either.
    QElapsedTimer clock;
    clock.start();
    while (!QSystemTrayIcon::isSystemTrayAvailable() && clock.elapsed() < 5000) {
        QThread::msleep(20);
    }
    ASSERT_TRUE(QSystemTrayIcon::isSystemTrayAvailable());
    DesktopTrayIcon tray(QDBusConnection(QStringLiteral("no-bus")));
    tray.setVisible(true);
    tray.showBalloon(QStringLiteral("程序正在生成音信文件..请稍等.."), QStringLiteral("Vela系列软件の声笺"));

    QWidget* balloon = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] { return (balloon = visibleTopLevel("QBalloonTip")) != nullptr; }, 5000));
    QWidget* icon = visibleTopLevel("QSystemTrayIconSys");
    ASSERT_NE(icon, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([icon] { return icon->mapToGlobal(QPoint()) != QPoint(); }, 5000));
    const QRect iconArea(icon->mapToGlobal(QPoint()), icon->size());
    EXPECT_LE(gap(balloon->frameGeometry(), iconArea), 4)
        << "balloon at " << balloon->x() << "," << balloon->y() << ", icon at " << iconArea.x() << ","
        << iconArea.y();
}

TEST(TrayOnX11, TheFirstBalloonPointsAtTheIconNotAtTheScreensCorner) {
    XDisplay x;
    ASSERT_TRUE(x.running());
    ASSERT_TRUE(x.startTray());
    QProcess* child = x.start(QCoreApplication::applicationFilePath(),
                              {QStringLiteral("--gtest_filter=TrayOnX11.DISABLED_FirstBalloonOfANewIcon"),
                               QStringLiteral("--gtest_also_run_disabled_tests")},
                              x.environment());
    ASSERT_NE(child, nullptr);
    ASSERT_TRUE(child->waitForFinished(30000));
    const QByteArray output = child->readAllStandardOutput() + child->readAllStandardError();
    EXPECT_EQ(child->exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
}
