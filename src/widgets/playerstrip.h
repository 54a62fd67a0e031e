#pragma once
#include <QTimer>
#include <QWidget>

class QLabel;
class QProgressBar;
class QToolButton;

namespace velanote {

class MediaPlayer;

// The visible face of one window's player on a single line: play/pause, stop, the name of what
// is loaded (optional), elapsed and total time, and a thin progress bar. It reads the player every
// 250 ms only while it is shown and something is playing or about to start; otherwise it waits for
// the player's change notice, its own buttons or being shown again.
class PlayerStrip : public QWidget {
    Q_OBJECT
public:
    // The player must outlive every call into the strip; the strip never touches it when destroyed.
    explicit PlayerStrip(MediaPlayer& player, QWidget* parent = nullptr);

    // Shows the loaded file's name between the buttons and the time.
    void setShowsName(bool on);

    // Reads the player now and starts or ends the polling to match.
    void refresh();

    bool isPolling() const { return poll_.isActive(); }
    QToolButton* playPauseButton() const { return playPause_; }
    QToolButton* stopButton() const { return stop_; }
    QLabel* nameLabel() const { return name_; }
    QLabel* timeLabel() const { return time_; }
    QProgressBar* progressBar() const { return progress_; }

    // "m:ss", or "h:mm:ss" from an hour on; the unknown (negative) time as "-:--".
    static QString clockText(qint64 ms);
    // The last part of a path or address, without any query.
    static QString shortName(const QString& url);

    static constexpr int PollIntervalMs = 250;
    // How long the strip keeps reading a player that was given something but has not started.
    static constexpr int StartWaitPolls = 120;

Q_SIGNALS:
    // The stop button has stopped the player and taken it back to the start.
    void stopped();
    // What was playing has ended by itself (or could not go on), not through the strip's buttons.
    void finished();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void tick();
    void playPauseClicked();
    void stopClicked();
    void showState(const QString& url, bool playing, qint64 position, qint64 duration);

    MediaPlayer& player_;
    QTimer poll_;
    QToolButton* playPause_ = nullptr;
    QToolButton* stop_ = nullptr;
    QLabel* name_ = nullptr;
    QLabel* time_ = nullptr;
    QProgressBar* progress_ = nullptr;
    bool showsName_ = false;
    QString seenUrl_;
    bool started_ = false; // playing was seen since the URL or a resume
    bool wasPlaying_ = false;
    bool heldHere_ = false; // paused or stopped by this strip's buttons, and not playing since
    int waitedPolls_ = 0;
};

} // namespace velanote
