// The splash of the real program on a private X server, with and without a compositor.
#include "xdisplay.h"

#include "app/resourcestore.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

#include <gtest/gtest.h>

using namespace velanote;
using velanote::testing::meanDifference;
using velanote::testing::XDisplay;

namespace {

constexpr qint64 Opaque = 0xFFFFFFFF;
const QSize SplashSize(598, 394); // the picture is drawn unscaled from its top left corner

// The velanote command on the display, with `home` as its program folder.
QProcess* startVelanote(XDisplay& x, const QTemporaryDir& home) {
    QProcessEnvironment env = x.environment();
    env.insert(QStringLiteral("VELANOTE_HOME"), home.path());
    return x.start(QCoreApplication::applicationDirPath() + QStringLiteral("/velanote"), {}, env);
}

} // namespace

// Under a compositor only what reaches the server as _NET_WM_WINDOW_OPACITY is seen: the fade-in
// must get there step by step up to opaque. Without one the window simply shows.
TEST(SplashOnX11, FadesInToOpaqueAndIsSeenWhileItWaitsForTheClick) {
    const QImage splash(QStringLiteral(":/images/splash.jpg"));
    ASSERT_FALSE(splash.isNull());
    for (const bool composited : {true, false}) {
        SCOPED_TRACE(composited ? "with xcompmgr" : "without a compositor");
        XDisplay x;
        ASSERT_TRUE(x.running());
        if (composited) {
            ASSERT_TRUE(x.startCompositor());
        }
        QTemporaryDir home;
        QProcess* program = startVelanote(x, home);
        ASSERT_NE(program, nullptr);

        XDisplay::Window window;
        ASSERT_TRUE(QTest::qWaitFor([&] { return !(window = x.findWindow(SplashSize)).id.isEmpty(); }, 15000))
            << program->readAllStandardError().toStdString();
        QList<qint64> seen;
        const bool reachedOpaque = QTest::qWaitFor(
            [&] {
                seen.append(x.opacity(window.id));
                return seen.last() == Opaque;
            },
            4000);
        EXPECT_TRUE(reachedOpaque) << "last seen: " << seen.last();
        EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
        EXPECT_TRUE(std::any_of(seen.begin(), seen.end(), [](qint64 v) { return v > 0 && v < Opaque; }))
            << "no step of the fade reached the server";

        // Well after the fade-in, the picture is on the screen (corners left out: they are rounded).
        QTest::qWait(300);
        const QRect inner = QRect(QPoint(), SplashSize).adjusted(30, 30, -30, -30);
        EXPECT_LT(
            meanDifference(x.screenshot(), inner.translated(window.geometry.topLeft()), splash.copy(inner)),
            20.0);
    }
}

// The splash leads to the desktop program; killed while the splash shows, it takes the splash along.
TEST(SplashOnX11, GoesWhenTheDesktopProgramIsKilled) {
    XDisplay x;
    ASSERT_TRUE(x.running());
    QTemporaryDir home;
    QProcess* program = startVelanote(x, home);
    ASSERT_NE(program, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !x.findWindow(SplashSize).id.isEmpty(); }, 15000))
        << program->readAllStandardError().toStdString();

    program->kill();
    ASSERT_TRUE(program->waitForFinished(3000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return x.findWindow(SplashSize).id.isEmpty(); }, 2000))
        << "the splash outlived the desktop program by more than 2 s";
}
