#pragma once
#include <QString>
#include <QtGlobal>

#include <functional>
#include <utility>

namespace velanote {

// One embedded player: assigning a path or address to URL starts it, the empty text stops it,
// and URL reads back exactly what was assigned.
class MediaPlayer {
public:
    virtual ~MediaPlayer() = default;
    virtual void setURL(const QString& url) = 0;
    virtual QString URL() const = 0;
    virtual void setVolume(int volume) = 0; // 0..100
    virtual int volume() const = 0;

    // What a visible control strip reads and does; players that cannot tell report nothing playing.
    virtual qint64 position() const { return 0; } // milliseconds
    virtual qint64 duration() const { return 0; } // milliseconds; 0 while unknown
    virtual bool isPlaying() const { return false; }
    virtual void pause() {}
    virtual void resume() {}
    // Ends playing and goes back to the start, keeping what is loaded: resume plays it again.
    virtual void stop() {}

    // One watcher, told after every assignment to URL and whenever playing starts or stops, by
    // players that report it; the empty function removes it.
    void setChangeWatcher(std::function<void()> watcher) { changeWatcher_ = std::move(watcher); }
    // One watcher, told once per assignment when what was assigned cannot be played (not found,
    // empty, not audio), by players that report it; the empty function removes it.
    void setFailureWatcher(std::function<void()> watcher) { failureWatcher_ = std::move(watcher); }

protected:
    void notifyChanged() const {
        if (changeWatcher_) {
            changeWatcher_();
        }
    }
    void notifyFailed() const {
        if (failureWatcher_) {
            failureWatcher_();
        }
    }

private:
    std::function<void()> changeWatcher_;
    std::function<void()> failureWatcher_;
};

} // namespace velanote
