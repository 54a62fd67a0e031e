// velanote-splash: the splash window in a process of its own, started by the velanote command beside
// velanote-desktop. It loads only what the splash needs, so it is on the screen while the desktop
// program is still starting; when the splash has faded out after its click it writes "main" to the
// pipe named by VELANOTE_SPLASH_PIPE, and the desktop program shows its main window. It writes "up"
// there first, as soon as its window is on the screen. It ends by itself once nobody reads the pipe
// any more: the desktop program has gone, so nothing is left for the splash to lead to.
#include "app/programfolder.h"
#include "app/resourcestore.h"
#include "app/splashwindow.h"

#include <QApplication>
#include <QTimer>

#include <poll.h>
#include <unistd.h>

namespace {

// How often the splash looks whether the desktop program still holds the pipe's other end.
constexpr int ReaderCheckMs = 200;

// Whether the read end of the pipe whose write end is `pipe` has been closed everywhere.
bool readerGone(int pipe) {
    pollfd end{pipe, 0, 0};
    return poll(&end, 1, 0) == 1 && (end.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("velanote"));
    velanote::initResources();
    bool ok = false;
    const int pipe = qEnvironmentVariableIntValue("VELANOTE_SPLASH_PIPE", &ok);
    auto* splash = new velanote::SplashWindow(velanote::ProgramFolder::locate(), [&ok, pipe] {
        if (ok && write(pipe, "main\n", 5) == 5) {
            close(pipe);
        }
        ok = false;
    });
    splash->show();
    QGuiApplication::sync();
    // The window is up: the rest of the program may start now.
    if (ok && write(pipe, "up\n", 3) != 3) {
        ok = false;
    }
    QTimer readerCheck;
    if (ok) {
        QObject::connect(&readerCheck, &QTimer::timeout, [&ok, pipe] {
            if (ok && readerGone(pipe)) {
                QCoreApplication::exit(0);
            }
        });
        readerCheck.start(ReaderCheckMs);
    }
    return QApplication::exec();
}
