#pragma once
#include "platform/mediaplayer.h"

#include <QUrl>

#include <memory>

class QAudioOutput;
class QMediaPlayer;

namespace velanote {

// The real player over QMediaPlayer (GStreamer backend). URL keeps exactly the assigned text;
// the backend gets it with surrounding blanks removed, a local path as a file URL.
class DesktopMediaPlayer : public MediaPlayer {
public:
    DesktopMediaPlayer();
    ~DesktopMediaPlayer() override;

    void setURL(const QString& url) override;
    QString URL() const override { return url_; }
    void setVolume(int volume) override;
    int volume() const override { return volume_; }
    qint64 position() const override;
    qint64 duration() const override;
    bool isPlaying() const override;
    void pause() override;
    void resume() override;
    void stop() override;

    // What the backend is given for an assigned text: http(s) and other addresses as URLs,
    // anything else as a local path; the empty URL for blank text.
    static QUrl sourceFor(const QString& url);

    // The backend, for tests that look at its state.
    QMediaPlayer& backend() { return *player_; }

private:
    void reportFailure();

    std::unique_ptr<QAudioOutput> output_;
    std::unique_ptr<QMediaPlayer> player_;
    QString url_;
    int volume_ = 50;
    // Set from an assignment until playback has really started: a play() issued while the
    // backend is still loading the new source can be lost, so it is issued again once loaded.
    bool startPending_ = false;
    bool failureReported_ = false; // the current source was found unplayable and reported
};

// Chooses the GStreamer media backend unless the environment already names one; must run before
// the first QMediaPlayer is created (the ffmpeg backend of this Qt crashes with no audio device).
void preferGStreamerMediaBackend();

} // namespace velanote
