// Measures the main window at rest, as the program shows it: the processor time the whole program
// takes over 30 s with calm water and the prefix switch off (its box shakes every 5 s), and how long
// each shake keeps the window from handling input. Run it under an X server (xvfb-run -a) so that
// the display's costs count; prints one figure per line.
#include "app/appcontext.h"
#include "app/endpoints.h"
#include "app/programfolder.h"
#include "app/resourcestore.h"
#include "cosmetics/water.h"
#include "mainwindow/mainwindow.h"
#include "platform/platform.h"
#include "service/speechservice.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Times every event the program handles from the event loop (not the events sent while handling
// one): an event that takes long is a time the window answers no input.
class TimedApplication : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        if (depth_ > 0) {
            return QApplication::notify(receiver, event);
        }
        ++depth_;
        QElapsedTimer clock;
        clock.start();
        const double cpuBefore = threadCpuMs();
        const bool handled = QApplication::notify(receiver, event);
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        --depth_;
        if (receiver == shakeTimer && event->type() == QEvent::Timer) {
            shakes.push_back(ms);
            shakeCpu.push_back(threadCpuMs() - cpuBefore);
        } else {
            longestOther = std::max(longestOther, ms);
        }
        return handled;
    }

    QObject* shakeTimer = nullptr;
    std::vector<double> shakes;
    std::vector<double> shakeCpu;
    double longestOther = 0;

private:
    int depth_ = 0;
};

// Runs the event loop for `ms` milliseconds.
void runFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir home;
    qputenv("VELANOTE_HOME", home.path().toLocal8Bit());
    TimedApplication app(argc, argv);
    velanote::initResources();

    velanote::SpeechService service;
    const quint16 port = service.start() ? service.port() : 0;
    const std::unique_ptr<velanote::Platform> platform = velanote::createDesktopPlatform();
    velanote::AppContext ctx{*platform, velanote::ProgramFolder::locate(),
                             velanote::Endpoints::forLocalService(port)};
    velanote::prepareProgramFolder(ctx.folder);
    velanote::MainWindow window(ctx);
    window.show();
    auto* prefixCheck = window.findChild<QCheckBox*>(QStringLiteral("prefixCheck"));
    auto* shakeTimer = window.findChild<QTimer*>(QStringLiteral("shakeTimer"));
    // Shown, and unlocked by the start-up check, within a few seconds.
    runFor(3000);
    if (!window.isVisible() || prefixCheck->isChecked() || !velanote::waterRipple().isCalm() ||
        !shakeTimer->isActive()) {
        std::fprintf(stderr, "the main window is not at rest (switch on, water moving or no shake)\n");
        return 1;
    }

    app.shakeTimer = shakeTimer;
    app.shakes.clear();
    app.longestOther = 0;
    constexpr int seconds = 30;
    const double cpuBefore = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    runFor(seconds * 1000);
    const double cpu = cpuSeconds() - cpuBefore;
    const double elapsed = double(wall.nsecsElapsed()) / 1e9;
    service.stop();

    std::vector<double> shakes = app.shakes;
    std::sort(shakes.begin(), shakes.end());
    std::vector<double> shakeCpu = app.shakeCpu;
    std::sort(shakeCpu.begin(), shakeCpu.end());
    std::printf("platform: %s\n", qPrintable(QGuiApplication::platformName()));
    std::printf("idle-cpu: %.2f%% of a core over %.1f s\n", 100.0 * cpu / elapsed, elapsed);
    std::printf("shakes: %zu\n", shakes.size());
    if (!shakes.empty()) {
        std::printf("shake-freeze-median: %.1f ms\n", shakes[shakes.size() / 2]);
        std::printf("shake-freeze-max: %.1f ms\n", shakes.back());
        std::printf("shake-cpu-median: %.1f ms\n", shakeCpu[shakeCpu.size() / 2]);
    }
    std::printf("longest-other-event: %.1f ms\n", app.longestOther);
    return 0;
}
