#include "synthesis/childprocess.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <exception>
#include <stdexcept>
#include <string>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace velanote {

void ChildProcess::run(const Work& work, const Receive& receive, const char* failure) const {
    bool spoke = false;
    if (runOnce(work, receive, failure, spoke) == End::finished) {
        return;
    }
    if (!spoke && runOnce(work, receive, failure, spoke) == End::finished) {
        return;
    }
    throw std::runtime_error(std::string(failure) + " (the process stopped answering)");
}

ChildProcess::End ChildProcess::runOnce(const Work& work, const Receive& receive, const char* failure,
                                        bool& spoke) const {
    std::array<int, 2> pipe{};
    if (::pipe2(pipe.data(), O_CLOEXEC) != 0) {
        throw std::runtime_error("no pipe for a child process");
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipe[0]);
        ::_exit(work(pipe[1]) ? 0 : 1);
    }
    ::close(pipe[1]);
    if (child < 0) {
        ::close(pipe[0]);
        throw std::runtime_error("no child process");
    }
    std::exception_ptr failed;
    bool silent = false;
    try {
        std::array<char, 1 << 16> buffer{};
        pollfd readable{pipe[0], POLLIN, 0};
        for (;;) {
            const int ready = ::poll(&readable, 1, static_cast<int>(silenceLimit_.count()));
            if (ready == 0) {
                silent = true;
                break;
            }
            const ssize_t n = ready < 0 ? -1 : ::read(pipe[0], buffer.data(), buffer.size());
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0) {
                throw std::runtime_error("what a child process wrote could not be read");
            }
            spoke = spoke || n > 0;
            receive(std::string_view(buffer.data(), static_cast<std::size_t>(n)));
            if (n == 0) {
                break;
            }
        }
    } catch (...) {
        failed = std::current_exception();
    }
    ::close(pipe[0]);
    if (silent || failed) {
        ::kill(child, SIGKILL);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (failed) {
        std::rethrow_exception(failed);
    }
    if (silent) {
        return End::silent;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error(failure);
    }
    return End::finished;
}

} // namespace velanote
