#pragma once
#include <QEventLoop>
#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

#include <utility>

namespace velanote {

// Runs blocking work on a worker thread and waits for it with a local event loop that paints,
// runs timers and shows balloons but holds back user input. Returns the work's result.
template <typename Work> auto waitWithoutInput(Work&& work) {
    using Result = decltype(work());
    QFutureWatcher<Result> watcher;
    QEventLoop loop;
    QObject::connect(&watcher, &QFutureWatcherBase::finished, &loop, &QEventLoop::quit);
    watcher.setFuture(QtConcurrent::run(std::forward<Work>(work)));
    if (!watcher.isFinished()) {
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    watcher.waitForFinished();
    return watcher.result();
}

} // namespace velanote
