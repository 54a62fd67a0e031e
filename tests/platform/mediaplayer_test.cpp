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
