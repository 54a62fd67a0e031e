#include "widgets/playerstrip.h"

#include "platform/mediaplayer.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QRegularExpression>
#include <QStyle>
#include <QToolButton>

#include <algorithm>

namespace velanote {

namespace {

constexpr int ProgressSteps = 1000;

QToolButton* makeButton(QWidget* parent, const char* name) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoRaise(true);
    button->setIconSize(QSize(16, 16));
    button->setFixedSize(24, 22);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

} // namespace

PlayerStrip::PlayerStrip(MediaPlayer& player, QWidget* parent) : QWidget(parent), player_(player) {
    setFixedHeight(24);
    poll_.setInterval(PollIntervalMs);
    connect(&poll_, &QTimer::timeout, this, &PlayerStrip::tick);

    playPause_ = makeButton(this, "PlayPause");
    stop_ = makeButton(this, "Stop");
    stop_->setIcon(style()->standardIcon(QStyle::SP_MediaStop));
    stop_->setToolTip(QStringLiteral("停止"));
    name_ = new QLabel(this);
    name_->setObjectName(QStringLiteral("PlayerName"));
    name_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    name_->setVisible(false);
    time_ = new QLabel(this);
    time_->setObjectName(QStringLiteral("PlayerTime"));
    time_->setAlignment(Qt::AlignCenter);
    time_->setFixedWidth(time_->fontMetrics().horizontalAdvance(QStringLiteral("00:00 / 00:00")) + 6);
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("PlayerProgress"));
    progress_->setRange(0, ProgressSteps);
    progress_->setTextVisible(false);
    progress_->setFixedHeight(6);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(2, 1, 4, 1);
    row->setSpacing(4);
    row->addWidget(playPause_);
    row->addWidget(stop_);
    row->addWidget(name_, 2);
    row->addWidget(time_);
    row->addWidget(progress_, 1, Qt::AlignVCenter);

    connect(playPause_, &QToolButton::clicked, this, &PlayerStrip::playPauseClicked);
    connect(stop_, &QToolButton::clicked, this, &PlayerStrip::stopClicked);
    player_.setChangeWatcher([strip = QPointer<PlayerStrip>(this)] {
        if (strip) {
            strip->refresh();
        }
    });
    showState(QString(), false, 0, 0);
}

void PlayerStrip::setShowsName(bool on) {
    showsName_ = on;
    name_->setVisible(on);
    refresh();
}

void PlayerStrip::refresh() {
    const QString url = player_.URL();
    const bool playing = !url.isEmpty() && player_.isPlaying();
    const bool sameUrl = url == seenUrl_;
    if (!sameUrl) {
        seenUrl_ = url;
        started_ = false;
        heldHere_ = false;
        waitedPolls_ = 0;
    }
    const bool ended = sameUrl && wasPlaying_ && !playing && !heldHere_;
    wasPlaying_ = playing;
    // Playing again (the window's own replay of the same file): a later stop is an end again.
    heldHere_ = heldHere_ && !playing;
    started_ = started_ || playing;
    showState(url, playing, player_.position(), player_.duration());

    const bool starting = !started_ && waitedPolls_ < StartWaitPolls;
    if (isVisible() && !url.isEmpty() && (playing || starting)) {
        if (!poll_.isActive()) {
            poll_.start();
        }
    } else {
        poll_.stop();
    }
    if (ended) {
        Q_EMIT finished();
    }
}

void PlayerStrip::tick() {
    if (!started_) {
        ++waitedPolls_;
    }
    refresh();
}

void PlayerStrip::playPauseClicked() {
    if (player_.URL().isEmpty()) {
        return;
    }
    if (player_.isPlaying()) {
        heldHere_ = true;
        player_.pause();
    } else {
        started_ = false;
        heldHere_ = false;
        waitedPolls_ = 0;
        player_.resume();
    }
    refresh();
}

void PlayerStrip::stopClicked() {
    heldHere_ = true;
    player_.stop();
    refresh();
    Q_EMIT stopped();
}

void PlayerStrip::showState(const QString& url, bool playing, qint64 position, qint64 duration) {
    const bool loaded = !url.isEmpty();
    playPause_->setEnabled(loaded);
    stop_->setEnabled(loaded);
    playPause_->setIcon(style()->standardIcon(playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
    playPause_->setToolTip(playing ? QStringLiteral("暂停") : QStringLiteral("播放"));
    setToolTip(url);

    if (showsName_) {
        const QString name = loaded ? shortName(url) : QString();
        name_->setText(name_->fontMetrics().elidedText(name, Qt::ElideMiddle, std::max(0, name_->width())));
        name_->setToolTip(url);
    }
    position = loaded ? std::max<qint64>(position, 0) : 0;
    duration = loaded ? duration : 0;
    const bool known = !loaded || duration > 0;
    time_->setText(clockText(position) + QStringLiteral(" / ") + clockText(known ? duration : -1));
    progress_->setValue(
        duration > 0 ? int(std::clamp<qint64>(position * ProgressSteps / duration, 0, ProgressSteps)) : 0);
}

void PlayerStrip::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refresh();
}

void PlayerStrip::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    poll_.stop();
}

void PlayerStrip::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (showsName_) {
        refresh();
    }
}

QString PlayerStrip::clockText(qint64 ms) {
    if (ms < 0) {
        return QStringLiteral("-:--");
    }
    const qint64 seconds = ms / 1000;
    const qint64 hours = seconds / 3600;
    const QString minSec =
        QStringLiteral("%1:%2")
            .arg(hours > 0 ? QStringLiteral("%1").arg((seconds / 60) % 60, 2, 10, QLatin1Char('0'))
                           : QString::number(seconds / 60))
            .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return hours > 0 ? QString::number(hours) + QLatin1Char(':') + minSec : minSec;
}

QString PlayerStrip::shortName(const QString& url) {
    QString text = url.trimmed();
    if (text.contains(QStringLiteral("://"))) {
        const qsizetype cut = text.indexOf(QRegularExpression(QStringLiteral("[?#]")));
        if (cut >= 0) {
            text.truncate(cut);
        }
    }
    const qsizetype slash = std::max(text.lastIndexOf(QLatin1Char('/')), text.lastIndexOf(QLatin1Char('\\')));
    const QString last = text.mid(slash + 1);
    return last.isEmpty() ? text : last;
}

} // namespace velanote
