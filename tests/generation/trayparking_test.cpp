#include "generation/trayparking.h"

#include "support/fakeplatform.h"

#include <QWidget>
#include <gtest/gtest.h>

using namespace velanote;

TEST(TrayParking, HidesTheWindowBehindTheIconWithABalloonAndBringsItBack) {
    QWidget window;
    fakes::FakeTrayIcon tray;
    window.show();
    TrayParking parking(&window, &tray);

    parking.minimise(QStringLiteral("程序正在生成音信文件..请稍等.."));
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(tray.isVisible());
    EXPECT_TRUE(tray.balloonShown);
    ASSERT_EQ(tray.balloons.size(), 1);
    EXPECT_EQ(tray.balloons[0].message, QStringLiteral("程序正在生成音信文件..请稍等.."));
    EXPECT_EQ(tray.balloons[0].title, QStringLiteral("Vela系列软件の声笺"));
    EXPECT_EQ(tray.toolTip(), QStringLiteral("Vela系列软件の声笺"));

    parking.restore();
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(tray.balloonShown);
}
