#include "service/servearguments.h"
#include "service/speechservice.h"

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace velanote {

namespace {

int wakeWriteEnd = -1;

// Only writes one byte to the pipe that the serving thread waits on.
extern "C" void onStopSignal(int) {
    const int saved = errno;
    if (wakeWriteEnd >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t n = write(wakeWriteEnd, &byte, 1);
    }
    errno = saved;
}

// Routes SIGINT and SIGTERM into a self-pipe for as long as it lives.
class StopSignals {
public:
    StopSignals() {
        if (pipe2(fds_, O_CLOEXEC) != 0) {
            fds_[0] = fds_[1] = -1;
            return;
        }
        fcntl(fds_[1], F_SETFL, O_NONBLOCK);
        wakeWriteEnd = fds_[1];
        struct sigaction action {};
        action.sa_handler = onStopSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(SIGINT, &action, &oldInt_);
        sigaction(SIGTERM, &action, &oldTerm_);
    }
    ~StopSignals() {
        if (fds_[0] < 0) {
            return;
        }
        sigaction(SIGINT, &oldInt_, nullptr);
        sigaction(SIGTERM, &oldTerm_, nullptr);
        wakeWriteEnd = -1;
        close(fds_[0]);
        close(fds_[1]);
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    bool ok() const { return fds_[0] >= 0; }

    void wait() const {
        char byte = 0;
        while (read(fds_[0], &byte, 1) < 0 && errno == EINTR) {
        }
    }

private:
    int fds_[2] = {-1, -1};
    struct sigaction oldInt_ {};
    struct sigaction oldTerm_ {};
};

} // namespace

int runServeCommand(const QStringList& arguments) {
    ServeArguments parsed = ServeArguments::parse(arguments);
    if (parsed.helpWanted && parsed.error.isEmpty()) {
        std::fputs(ServeArguments::usage().toUtf8().constData(), stdout);
        return 0;
    }
    if (!parsed.error.isEmpty()) {
        std::fprintf(stderr, "velanote serve: %s\n%s", parsed.error.toUtf8().constData(),
                     ServeArguments::usage().toUtf8().constData());
        return 2;
    }
    StopSignals signals;
    if (!signals.ok()) {
        std::fprintf(stderr, "velanote serve: cannot watch for signals\n");
        return 1;
    }
    parsed.options.logRequests = true;
    SpeechService service(parsed.options);
    if (!service.start()) {
        std::fprintf(stderr, "velanote serve: %s\n", service.errorString().toUtf8().constData());
        return 1;
    }
    const QString host = parsed.options.bindAddress.contains(QLatin1Char(':'))
                             ? QStringLiteral("[%1]").arg(parsed.options.bindAddress)
                             : parsed.options.bindAddress;
    std::printf("http://%s:%u\n", host.toUtf8().constData(), static_cast<unsigned>(service.port()));
    std::fflush(stdout);
    signals.wait();
    std::fprintf(stderr, "velanote serve: stopping\n");
    service.stop();
    return 0;
}

} // namespace velanote
