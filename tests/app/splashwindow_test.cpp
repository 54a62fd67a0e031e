#include "app/resourcestore.h"
#include "app/splashwindow.h"
#include "support/tempfolder.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace velanote;

namespace {

QList<int> fadeInAlphas() {
    QList<int> alphas;
    for (int a = 0; a <= 255; a += 15) {
        alphas.append(a);
    }
    return alphas; // 0, 15, ..., 240, 255
}

QList<int> fadeOutAlphas() {
    QList<int> alphas;
    for (int a = 255; a >= 0; a -= 15) {
        alphas.append(a);
    }
    return alphas; // 255, 240, ..., 15, 0
}

// A splash window in a folder of its own that records when, and after which alphas, it has the
// main window shown.
struct WatchedSplash {
    WatchedSplash() {
        form = new SplashWindow(home.folder(), [this] {
            ++shown;
            alphasWhenShown = form->appliedAlphas;
        });
        guard = form;
    }
    fakes::TempProgramFolder home;
    SplashWindow* form = nullptr;
    QPointer<SplashWindow> guard;
    int shown = 0;
    QList<int> alphasWhenShown;
};

void deliverDeferredDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

TEST(SplashWindow, LoadingPreparesTheWindowAndThenTheFolder) {
    fakes::TempProgramFolder home;
    int shown = 0;
    auto* form = new SplashWindow(home.folder(), [&] { ++shown; });
    QPointer<SplashWindow> guard(form);

    // Prepared once the event loop runs, after the window is up.
    EXPECT_FALSE(QFileInfo(home.path("\\skinh.she")).exists());
    QCoreApplication::processEvents();
    EXPECT_EQ(home.read("\\sc\\1.mp3"), loadResource(112));
    EXPECT_EQ(home.read("\\sc\\10.mp3"), loadResource(121));
    EXPECT_TRUE(QFileInfo(home.path("\\yx")).isDir());
    EXPECT_EQ(home.read("\\skinh.she"), loadResource(111));

    EXPECT_EQ(form->objectName(), "SplashWindow");
    EXPECT_EQ(form->size(), QSize(598, 394));
    EXPECT_EQ(form->minimumSize(), form->maximumSize()); // no sizing
    EXPECT_TRUE(form->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(form->fadeInTimer->isActive());
    EXPECT_EQ(form->fadeInTimer->interval(), 50);
    EXPECT_FALSE(form->fadeOutTimer->isActive());
    EXPECT_EQ(form->fadeOutTimer->interval(), 50);
    EXPECT_EQ(form->fadeInLevel, 0);
    EXPECT_EQ(form->fadeOutLevel, 0);
    EXPECT_TRUE(form->appliedAlphas.isEmpty());

    // Rounded shape: corners of 50 x 50 cut away, everything else kept.
    form->activate();
    const QRegion& r = form->roundRegion;
    EXPECT_EQ(r.boundingRect(), QRect(0, 0, 598, 394));
    EXPECT_EQ(form->mask(), r);
    for (const QPoint corner :
         {QPoint(0, 0), QPoint(597, 0), QPoint(0, 393), QPoint(597, 393), QPoint(6, 6), QPoint(591, 387)}) {
        EXPECT_FALSE(r.contains(corner)) << corner.x() << "," << corner.y();
    }
    for (const QPoint inside : {QPoint(25, 0), QPoint(0, 25), QPoint(572, 393), QPoint(597, 368),
                                QPoint(10, 10), QPoint(299, 197), QPoint(299, 0), QPoint(0, 197)}) {
        EXPECT_TRUE(r.contains(inside)) << inside.x() << "," << inside.y();
    }
    EXPECT_EQ(shown, 0);
    form->close();
    deliverDeferredDeletes();
    EXPECT_TRUE(guard.isNull());

    // Shown but not (yet) active, as without a window manager: the shape is there all the same.
    auto* unfocused = new SplashWindow(home.folder(), [] {});
    unfocused->show();
    EXPECT_FALSE(unfocused->isActiveWindow());
    EXPECT_EQ(unfocused->mask(), unfocused->roundRegion);
    EXPECT_FALSE(unfocused->mask().contains(QPoint(0, 0)));
    EXPECT_TRUE(unfocused->mask().contains(QPoint(299, 197)));
    delete unfocused;
}

TEST(SplashWindow, FadesInThenWaitsWithoutShowingTheMainWindow) {
    fakes::TempProgramFolder home;
    int shown = 0;
    auto* form = new SplashWindow(home.folder(), [&] { ++shown; });
    form->fadeInTimer->stop(); // the test drives the ticks itself
    form->fadeInTimer->start();
    for (int i = 0; i < 18; ++i) {
        form->onFadeInTick();
    }
    EXPECT_EQ(form->appliedAlphas, fadeInAlphas());
    EXPECT_FALSE(form->fadeInTimer->isActive());
    EXPECT_EQ(form->fadeInLevel, 0);
    EXPECT_DOUBLE_EQ(form->windowOpacity(), 1.0);

    // Waiting: real time passes with the event loop running, and nothing else happens.
    QTest::qWait(300);
    EXPECT_EQ(form->appliedAlphas.size(), 18);
    EXPECT_FALSE(form->fadeOutTimer->isActive());
    EXPECT_EQ(shown, 0);
    delete form;
}

TEST(SplashWindow, AClickDuringTheFadeInFadesOutFromFullOpacityThenShowsTheMainWindow) {
    WatchedSplash splash;
    SplashWindow* form = splash.form;
    for (int i = 0; i < 5; ++i) {
        form->onFadeInTick(); // 0 .. 60
    }
    form->onClick();
    EXPECT_FALSE(form->fadeInTimer->isActive());
    EXPECT_TRUE(form->fadeOutTimer->isActive());
    form->onClick(); // a second click changes nothing
    EXPECT_FALSE(form->fadeInTimer->isActive());
    EXPECT_TRUE(form->fadeOutTimer->isActive());
    EXPECT_EQ(form->fadeInLevel, 75);
    EXPECT_EQ(form->fadeOutLevel, 0);

    for (int i = 0; i < 17; ++i) {
        form->onFadeOutTick();
    }
    EXPECT_EQ(splash.shown, 0); // not before the tick that applies 0
    EXPECT_EQ(form->appliedAlphas.last(), 15);
    form->onFadeOutTick();
    EXPECT_EQ(splash.shown, 1);

    QList<int> expected = fadeInAlphas().mid(0, 5) + fadeOutAlphas();
    EXPECT_EQ(splash.alphasWhenShown, expected);
    ASSERT_FALSE(splash.guard.isNull()); // unloaded right after, by deferred deletion
    EXPECT_FALSE(form->fadeOutTimer->isActive());
    EXPECT_FALSE(form->isVisible());
    deliverDeferredDeletes();
    EXPECT_TRUE(splash.guard.isNull());
    EXPECT_EQ(splash.shown, 1);
}

TEST(SplashWindow, RealTimersAndMouse) {
    // With the timers and a real click: fade in, click on the picture, fade out, main window.
    WatchedSplash splash;
    SplashWindow* form = splash.form;
    form->show();
    QTRY_VERIFY_WITH_TIMEOUT(!form->fadeInTimer->isActive(), 3000);
    EXPECT_EQ(form->appliedAlphas, fadeInAlphas());
    QTest::mouseClick(form, Qt::RightButton, {}, QPoint(300, 200)); // not a click on the window
    EXPECT_FALSE(form->fadeOutTimer->isActive());
    QTest::mouseClick(form, Qt::LeftButton, {}, QPoint(300, 200));
    EXPECT_TRUE(form->fadeOutTimer->isActive());
    QTRY_VERIFY_WITH_TIMEOUT(splash.guard.isNull(), 3000);
    EXPECT_EQ(splash.shown, 1);
    EXPECT_EQ(splash.alphasWhenShown, fadeInAlphas() + fadeOutAlphas());

    // Closed by other means while waiting: the main window is never shown.
    fakes::TempProgramFolder second;
    int shownAfterClose = 0;
    auto* other = new SplashWindow(second.folder(), [&] { ++shownAfterClose; });
    QPointer<SplashWindow> otherGuard(other);
    other->show();
    QTest::qWait(120);
    other->close();
    QTRY_VERIFY_WITH_TIMEOUT(otherGuard.isNull(), 3000);
    QTest::qWait(200);
    EXPECT_EQ(shownAfterClose, 0);
}
