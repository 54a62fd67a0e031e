#include "platform/desktopmediaplayer.h"
#include "scratchfolder.h"

#include <QMediaPlayer>
#include <QTest>

#include <gtest/gtest.h>
#include <lame/lame.h>

#include <cmath>
#include <vector>

using namespace velanote;

namespace {

// Two seconds of a tone as MP3 in the program's speech format (11025 Hz, 16 kbit/s, mono).
QByteArray toneMp3() {
    lame_t lame = lame_init();
    lame_set_in_samplerate(lame, 11025);
    lame_set_out_samplerate(lame, 11025);
    lame_set_num_channels(lame, 1);
    lame_set_mode(lame, MONO);
    lame_set_brate(lame, 16);
    lame_set_bWriteVbrTag(lame, 0);
    if (lame_init_params(lame) < 0) {
        lame_close(lame);
        return {};
    }
    std::vector<short> pcm(11025 * 2);
    for (size_t i = 0; i < pcm.size(); ++i) {
        pcm[i] = short(8000 * std::sin(2 * M_PI * 440.0 * double(i) / 11025.0));
    }
    std::vector<unsigned char> out(pcm.size() * 5 / 4 + 7200);
    int n = lame_encode_buffer(lame, pcm.data(), pcm.data(), int(pcm.size()), out.data(), int(out.size()));
    QByteArray mp3(reinterpret_cast<const char*>(out.data()), n > 0 ? n : 0);
    n = lame_encode_flush(lame, out.data(), int(out.size()));
    mp3.append(reinterpret_cast<const char*>(out.data()), n > 0 ? n : 0);
    lame_close(lame);
    return mp3;
}

} // namespace

TEST(MediaPlayer, PlaysALocalFileAtOnceKeepsTheUrlTextAndStopsOnTheEmptyText) {
    scratch::ScratchFolder folder;
    const QByteArray mp3 = toneMp3();
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
