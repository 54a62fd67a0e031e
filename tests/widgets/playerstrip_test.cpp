// The player strip as the windows use it, over the fake player.
#include "support/fakeplatform.h"
#include "widgets/playerstrip.h"

#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

using namespace velanote;
using velanote::fakes::FakeMediaPlayer;

TEST(PlayerStrip, ShowsThePlayersStateAndPollsOnlyWhileShownAndPlaying) {
    FakeMediaPlayer player;
    PlayerStrip strip(player);
    strip.resize(320, 24);
    EXPECT_EQ(strip.height(), 24);
    EXPECT_FALSE(strip.isPolling());
    EXPECT_FALSE(strip.playPauseButton()->isEnabled());
    EXPECT_FALSE(strip.stopButton()->isEnabled());
    EXPECT_EQ(strip.timeLabel()->text(), QStringLiteral("0:00 / 0:00"));

    // Loaded while hidden: nothing is read until the strip is seen.
    player.setURL(QStringLiteral("/home/u/yx.mp3"));
    EXPECT_FALSE(strip.isPolling());
    strip.show();
    EXPECT_TRUE(strip.isPolling());
    EXPECT_TRUE(strip.playPauseButton()->isEnabled());
    EXPECT_TRUE(strip.stopButton()->isEnabled());
    EXPECT_EQ(strip.playPauseButton()->toolTip(), QStringLiteral("暂停"));
    EXPECT_EQ(strip.toolTip(), QStringLiteral("/home/u/yx.mp3"));

    // The timer alone picks up the moving position.
    player.setDuration(12000);
    player.setPosition(3000);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return strip.timeLabel()->text() == QStringLiteral("0:03 / 0:12"); }, 2000));
    EXPECT_EQ(strip.progressBar()->value(), 250);
    player.setDuration(0);
    strip.refresh();
    EXPECT_EQ(strip.timeLabel()->text(), QStringLiteral("0:03 / -:--"));
    EXPECT_EQ(strip.progressBar()->value(), 0);

    // Finished: the strip stops reading but keeps the file, which can be played again.
    player.setDuration(12000);
    player.setPosition(12000);
    player.setPlaying(false);
    EXPECT_FALSE(strip.isPolling());
    EXPECT_EQ(strip.playPauseButton()->toolTip(), QStringLiteral("播放"));
    EXPECT_TRUE(strip.playPauseButton()->isEnabled());
    EXPECT_EQ(strip.progressBar()->value(), 1000);

    // Emptied by the window's own stop: idle, nothing to press.
    player.setURL(QString());
    EXPECT_FALSE(strip.isPolling());
    EXPECT_FALSE(strip.playPauseButton()->isEnabled());
    EXPECT_EQ(strip.timeLabel()->text(), QStringLiteral("0:00 / 0:00"));
    EXPECT_EQ(strip.progressBar()->value(), 0);

    // A new file that takes a while to start is watched until it plays; hiding ends the reading.
    player.startsOnURL = false;
    player.setURL(QStringLiteral("http://127.0.0.1/mp3/a.mp3"));
    EXPECT_TRUE(strip.isPolling());
    EXPECT_EQ(strip.playPauseButton()->toolTip(), QStringLiteral("播放"));
    player.setPlaying(true);
    EXPECT_TRUE(strip.isPolling());
    strip.hide();
    EXPECT_FALSE(strip.isPolling());
    strip.show();
    EXPECT_TRUE(strip.isPolling());
}

TEST(PlayerStrip, ButtonsPauseResumeAndStopThroughThePlayer) {
    FakeMediaPlayer player;
    PlayerStrip strip(player);
    QSignalSpy stopped(&strip, &PlayerStrip::stopped);
    strip.show();
    player.setURL(QStringLiteral("/tmp/qz.mp3"));
    player.setDuration(5000);
    player.setPosition(2000);

    strip.playPauseButton()->click();
    EXPECT_EQ(player.pauseCalls, 1);
    EXPECT_EQ(player.resumeCalls, 0);
    EXPECT_FALSE(player.isPlaying());
    EXPECT_FALSE(strip.isPolling());
    EXPECT_EQ(strip.playPauseButton()->toolTip(), QStringLiteral("播放"));
    EXPECT_EQ(strip.timeLabel()->text(), QStringLiteral("0:02 / 0:05"));

    strip.playPauseButton()->click();
    EXPECT_EQ(player.pauseCalls, 1);
    EXPECT_EQ(player.resumeCalls, 1);
    EXPECT_TRUE(strip.isPolling());
    EXPECT_EQ(player.URL(), QStringLiteral("/tmp/qz.mp3"));

    // Stop rewinds and keeps the message: play starts it again. Only its end by itself is "finished".
    QSignalSpy finished(&strip, &PlayerStrip::finished);
    strip.stopButton()->click();
    EXPECT_EQ(player.stopCalls, 1);
    EXPECT_EQ(player.URL(), QStringLiteral("/tmp/qz.mp3"));
    EXPECT_EQ(player.urlHistory, QStringList{QStringLiteral("/tmp/qz.mp3")});
    EXPECT_EQ(stopped.count(), 1);
    EXPECT_FALSE(strip.isPolling());
    EXPECT_EQ(strip.timeLabel()->text(), QStringLiteral("0:00 / 0:05"));
    EXPECT_TRUE(strip.playPauseButton()->isEnabled());
    strip.playPauseButton()->click();
    EXPECT_EQ(player.resumeCalls, 2);
    EXPECT_TRUE(player.isPlaying());
    EXPECT_TRUE(strip.isPolling());
    EXPECT_EQ(finished.count(), 0);
    player.setPlaying(false);
    EXPECT_EQ(finished.count(), 1);
}

TEST(PlayerStrip, ClockNamesAndLifetimes) {
    EXPECT_EQ(PlayerStrip::clockText(0), QStringLiteral("0:00"));
    EXPECT_EQ(PlayerStrip::clockText(12999), QStringLiteral("0:12"));
    EXPECT_EQ(PlayerStrip::clockText(61000), QStringLiteral("1:01"));
    EXPECT_EQ(PlayerStrip::clockText(600000), QStringLiteral("10:00"));
    EXPECT_EQ(PlayerStrip::clockText(3662000), QStringLiteral("1:01:02"));
    EXPECT_EQ(PlayerStrip::clockText(-1), QStringLiteral("-:--"));
    EXPECT_EQ(PlayerStrip::shortName(QStringLiteral("C:\\声笺\\yx\\qz.mp3")), QStringLiteral("qz.mp3"));
    EXPECT_EQ(PlayerStrip::shortName(QStringLiteral("http://h.example/mp3/a.mp3?x=1#t")),
              QStringLiteral("a.mp3"));
    EXPECT_EQ(PlayerStrip::shortName(QStringLiteral("/tmp/a#b?.mp3")), QStringLiteral("a#b?.mp3"));
    EXPECT_EQ(PlayerStrip::shortName(QStringLiteral("http://h.example/")),
              QStringLiteral("http://h.example/"));

    // The name, when shown, follows the player.
    FakeMediaPlayer player;
    PlayerStrip strip(player);
    strip.setShowsName(true);
    strip.resize(480, 24);
    strip.show();
    player.setURL(QStringLiteral("/tmp/音信.mp3"));
    EXPECT_EQ(strip.nameLabel()->text(), QStringLiteral("音信.mp3"));
    player.setURL(QString());
    EXPECT_EQ(strip.nameLabel()->text(), QString());

    // A window destroys its player before its child widgets; the strip must not touch it then,
    // and a player that outlives its strip must not call into it.
    {
        auto window = std::make_unique<QWidget>();
        auto gone = std::make_unique<FakeMediaPlayer>();
        new PlayerStrip(*gone, window.get());
        window->show();
        gone->setURL(QStringLiteral("/tmp/x.mp3"));
        gone.reset();
        window.reset();
    }
    auto outliving = std::make_unique<PlayerStrip>(player);
    outliving.reset();
    player.setURL(QStringLiteral("/tmp/y.mp3"));
    EXPECT_EQ(player.URL(), QStringLiteral("/tmp/y.mp3"));
}
