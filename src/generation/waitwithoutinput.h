#pragma once
#include <QEventLoop>
#include <QFutureWatcher>
#include <QObject>
#include <QtConcurrent/QtConcurrentRun>

#include <utility>

namespace velanote {

// While it lives, keyboard, mouse, wheel and touch input to every window of the program is dropped
// (not held back for later), so nothing the user does during a wait takes effect afterwards.
class DroppedInput : public QObject {
public:
    DroppedInput();
    ~DroppedInput() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// Runs blocking work on a worker thread and waits for it with a local event loop that paints,
// runs timers and shows balloons but drops user input. Returns the work's result.
template <typename Work> auto waitWithoutInput(Work&& work) {
    using Result = decltype(work());
    const DroppedInput dropped;
    QFutureWatcher<Result> watcher;
    QEventLoop loop;
    QObject::connect(&watcher, &QFutureWatcherBase::finished, &loop, &QEventLoop::quit);
    watcher.setFuture(QtConcurrent::run(std::forward<Work>(work)));
    if (!watcher.isFinished()) {
        loop.exec();
    }
    watcher.waitForFinished();
    return watcher.result();
}

} // namespace velanote
