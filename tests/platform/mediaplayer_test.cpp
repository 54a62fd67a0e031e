#include "loopbackserver.h"
#include "platform/desktopmediaplayer.h"
#include "scratchfolder.h"
#include "support/speechmp3.h"

#include <QMediaPlayer>
#include <QTest>

#include <gtest/gtest.h>

using namespace velanote;

TEST(MediaPlayer, PlaysALocalFileAtOnceKeepsTheUrlTextAndStopsOnTheEmptyText) {
    scratch::ScratchFolder folder;
    const QByteArray mp3 = fakes::speechLikeMp3(2.0);
    ASSERT_GT(mp3.size(), 1000);
    ASSERT_TRUE(folder.write("tone.mp3", mp3));

    DesktopMediaPlayer player;
    EXPECT_EQ(qgetenv("QT_MEDIA_BACKEND"), QByteArray("gstreamer"));
    EXPECT_EQ(player.volume(), 50);
    EXPECT_EQ(player.URL(), QString());

    const QString assigned = " " + folder.path("tone.mp3");
    player.setURL(assigned);
    EXPECT_EQ(player.URL(), assigned);
    EXPECT_EQ(player.backend().source(), QUrl::fromLocalFile(folder.path("tone.mp3")));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return player.backend().playbackState() == QMediaPlayer::PlayingState &&
                   player.backend().position() > 0;
        },
        5000));
    EXPECT_EQ(player.backend().error(), QMediaPlayer::NoError);

    player.setURL("");
    EXPECT_EQ(player.URL(), QString());
    EXPECT_TRUE(player.backend().source().isEmpty());
    EXPECT_EQ(player.backend().playbackState(), QMediaPlayer::StoppedState);

    player.setVolume(100);
    EXPECT_EQ(player.volume(), 100);
    player.setVolume(150);
    EXPECT_EQ(player.volume(), 100);
}

TEST(MediaPlayer, AddressesAreHandedOverAsUrlsAndPathsAsFiles) {
    EXPECT_EQ(DesktopMediaPlayer::sourceFor(" http://127.0.0.1:8080/mp3/a b.mp3"),
              QUrl("http://127.0.0.1:8080/mp3/a%20b.mp3"));
    EXPECT_EQ(DesktopMediaPlayer::sourceFor("HTTPS://example.com/x.mp3").scheme(), "https");
    EXPECT_EQ(DesktopMediaPlayer::sourceFor("/home/u/音信 1.mp3"), QUrl::fromLocalFile("/home/u/音信 1.mp3"));
    EXPECT_EQ(DesktopMediaPlayer::sourceFor("relative/x.mp3").scheme(), "file");
    EXPECT_TRUE(DesktopMediaPlayer::sourceFor("  ").isEmpty());
}

TEST(MediaPlayer, ReportsPositionAndDurationPausesResumesAndTellsItsWatcher) {
    scratch::ScratchFolder folder;
    ASSERT_TRUE(folder.write("tone.mp3", fakes::speechLikeMp3(2.0)));

    DesktopMediaPlayer player;
    int notices = 0;
    int failures = 0;
    player.setChangeWatcher([&] { ++notices; });
    player.setFailureWatcher([&] { ++failures; });
    EXPECT_FALSE(player.isPlaying());
    EXPECT_EQ(player.position(), 0);
    EXPECT_EQ(player.duration(), 0);
    player.resume(); // nothing loaded: nothing starts
    EXPECT_FALSE(player.isPlaying());

    player.setURL(folder.path("tone.mp3"));
    EXPECT_GT(notices, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.isPlaying() && player.position() > 0; }, 5000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.duration() > 0; }, 3000));
    EXPECT_NEAR(double(player.duration()), 2000.0, 250.0);

    notices = 0;
    player.pause();
    EXPECT_FALSE(player.isPlaying());
    EXPECT_GT(notices, 0);
    const qint64 pausedAt = player.position();
    QTest::qWait(300);
    EXPECT_EQ(player.position(), pausedAt);
    player.resume();
    EXPECT_TRUE(QTest::qWaitFor([&] { return player.isPlaying() && player.position() > pausedAt; }, 3000));

    // At the end it stops by itself; resume plays it again from the start.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !player.isPlaying(); }, 5000));
    EXPECT_EQ(player.URL(), folder.path("tone.mp3"));
    player.resume();
    EXPECT_TRUE(QTest::qWaitFor([&] { return player.isPlaying() && player.position() < 1500; }, 3000));

    player.setURL(QString());
    EXPECT_FALSE(player.isPlaying());
    EXPECT_EQ(player.position(), 0);
    EXPECT_EQ(player.duration(), 0);
    EXPECT_EQ(failures, 0);
}

TEST(MediaPlayer, AnAddressThatCannotBePlayedIsReportedOnceAndNothingPlays) {
    velanote::testing::LoopbackServer server;
    ASSERT_TRUE(server.running());
    for (const char* path : {"/missing", "/empty", "/file.mp3"}) { // 404, no body, not audio
        DesktopMediaPlayer player;
        int failures = 0;
        player.setFailureWatcher([&] { ++failures; });
        player.setURL(" " + server.url(QString::fromLatin1(path)));
        EXPECT_TRUE(QTest::qWaitFor([&] { return failures > 0; }, 8000)) << path;
        QTest::qWait(300);
        EXPECT_EQ(failures, 1) << path;
        EXPECT_FALSE(player.isPlaying()) << path;
    }
}
