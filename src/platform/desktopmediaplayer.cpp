#include "platform/desktopmediaplayer.h"

#include <QAudio>
#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QRegularExpression>

#include <algorithm>

namespace velanote {

void preferGStreamerMediaBackend() {
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND")) {
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
    }
}

DesktopMediaPlayer::DesktopMediaPlayer() {
    preferGStreamerMediaBackend();
    output_ = std::make_unique<QAudioOutput>();
    player_ = std::make_unique<QMediaPlayer>();
    player_->setAudioOutput(output_.get());
    setVolume(volume_);
    QObject::connect(player_.get(), &QMediaPlayer::playbackStateChanged, player_.get(),
                     [this](QMediaPlayer::PlaybackState state) {
                         if (state == QMediaPlayer::PlayingState) {
                             startPending_ = false;
                         }
                         notifyChanged();
                     });
    QObject::connect(
        player_.get(), &QMediaPlayer::mediaStatusChanged, player_.get(),
        [this](QMediaPlayer::MediaStatus status) {
            if (status == QMediaPlayer::InvalidMedia) {
                reportFailure();
            } else if (status == QMediaPlayer::EndOfMedia) {
                startPending_ = false;
            } else if (startPending_ &&
                       (status == QMediaPlayer::LoadedMedia || status == QMediaPlayer::BufferedMedia) &&
                       player_->playbackState() != QMediaPlayer::PlayingState) {
                player_->play();
            }
        });
    QObject::connect(player_.get(), &QMediaPlayer::durationChanged, player_.get(),
                     [this] { notifyChanged(); });
    QObject::connect(player_.get(), &QMediaPlayer::errorOccurred, player_.get(),
                     [this](QMediaPlayer::Error error) {
                         if (error != QMediaPlayer::NoError) {
                             reportFailure();
                         }
                     });
}

DesktopMediaPlayer::~DesktopMediaPlayer() {
    setChangeWatcher({});
    setFailureWatcher({});
    player_->stop();
    player_.reset();
}

QUrl DesktopMediaPlayer::sourceFor(const QString& url) {
    const QString text = url.trimmed();
    if (text.isEmpty()) {
        return {};
    }
    // A scheme of two or more letters; one letter would be a drive name, not an address.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+://"));
    if (scheme.match(text).hasMatch()) {
        return QUrl(text, QUrl::TolerantMode);
    }
    return QUrl::fromLocalFile(QFileInfo(text).absoluteFilePath());
}

// The backend reports one bad source several times (an error, then the status); it is told once.
void DesktopMediaPlayer::reportFailure() {
    startPending_ = false;
    if (failureReported_ || player_->source().isEmpty()) {
        return;
    }
    failureReported_ = true;
    player_->stop();
    notifyChanged();
    notifyFailed();
}

void DesktopMediaPlayer::setURL(const QString& url) {
    url_ = url;
    const QUrl source = sourceFor(url);
    startPending_ = false;
    failureReported_ = false;
    player_->stop();
    player_->setSource(source);
    if (!source.isEmpty()) {
        startPending_ = true;
        player_->play();
    }
    notifyChanged();
}

qint64 DesktopMediaPlayer::position() const {
    return player_->source().isEmpty() ? 0 : player_->position();
}

qint64 DesktopMediaPlayer::duration() const {
    return player_->source().isEmpty() ? 0 : player_->duration();
}

bool DesktopMediaPlayer::isPlaying() const {
    return player_->playbackState() == QMediaPlayer::PlayingState;
}

void DesktopMediaPlayer::pause() {
    startPending_ = false;
    if (isPlaying()) {
        player_->pause();
    }
}

// Goes on from a pause; after the end it plays from the beginning.
void DesktopMediaPlayer::resume() {
    if (player_->source().isEmpty() || isPlaying()) {
        return;
    }
    if (player_->mediaStatus() == QMediaPlayer::EndOfMedia) {
        player_->setPosition(0);
    }
    player_->play();
}

void DesktopMediaPlayer::stop() {
    startPending_ = false;
    player_->stop();
    player_->setPosition(0);
    notifyChanged();
}

void DesktopMediaPlayer::setVolume(int volume) {
    volume_ = std::clamp(volume, 0, 100);
    output_->setVolume(QAudio::convertVolume(float(volume_) / 100.0F, QAudio::LogarithmicVolumeScale,
                                             QAudio::LinearVolumeScale));
}

} // namespace velanote
