// velanote: starts the desktop program (velanote-desktop, with its splash from velanote-splash) when
// given no command, and the command-line tools (velanote-cli) otherwise. It links nothing but the C++
// library, so a command loads only what the tools need and the desktop program only what it needs.
#include "app/launchpaths.h"

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

namespace {

// How long the splash may take to come up before the desktop program starts regardless.
constexpr int SplashWaitMs = 5000;

// The folder this program was started from.
std::string ownFolder() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) {
        return ".";
    }
    const std::string_view self(path, std::size_t(length));
    const std::size_t slash = self.rfind('/');
    return slash == std::string_view::npos ? std::string(".") : std::string(self.substr(0, slash));
}

// The program `name`: beside this one (a build tree) or in the folder of velanote's private
// programs (an installed copy).
std::string privateProgram(const char* name) {
    const std::string folder = ownFolder();
    for (const std::string& candidate :
         {folder + "/" + name, folder + "/" + velanote::kPrivateProgramsFromBin + "/" + name}) {
        if (access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return {};
}

bool isCommand(const char* word) {
    // Options (other than help and version) go to the desktop program, as Qt's own do.
    for (const char* tool : {"--help", "-h", "--version"}) {
        if (std::strcmp(word, tool) == 0) {
            return true;
        }
    }
    return word[0] != '-';
}

} // namespace

// Starts velanote-splash and waits until its window is up (it writes "up" to a pipe), so that the
// splash does not share the processor with the start of the rest; this process then becomes
// velanote-desktop, which reads the rest of the pipe. Without a splash process the desktop program
// shows the splash itself.
void startSplash(char** argv) {
    const std::string splash = privateProgram("velanote-splash");
    int ends[2];
    if (splash.empty() || pipe(ends) != 0) {
        return;
    }
    const pid_t child = fork();
    if (child == 0) {
        // The splash runs in a grandchild, which init takes over: the desktop program never has
        // to collect it.
        if (fork() == 0) {
            close(ends[0]);
            setenv("VELANOTE_SPLASH_PIPE", std::to_string(ends[1]).c_str(), 1);
            execv(splash.c_str(), argv);
        }
        _exit(127);
    }
    close(ends[1]);
    if (child > 0) {
        waitpid(child, nullptr, 0);
    }
    char up[3] = {};
    pollfd wait{ends[0], POLLIN, 0};
    if (child > 0 && poll(&wait, 1, SplashWaitMs) >= 0 && read(ends[0], up, sizeof up) == sizeof up &&
        std::string_view(up, sizeof up) == "up\n") {
        setenv("VELANOTE_SPLASH_PIPE", std::to_string(ends[0]).c_str(), 1);
    } else {
        close(ends[0]);
    }
}

int main(int argc, char** argv) {
    const bool command = argc > 1 && isCommand(argv[1]);
    const char* name = command ? "velanote-cli" : "velanote-desktop";
    const std::string program = privateProgram(name);
    if (program.empty()) {
        std::fprintf(stderr, "velanote: %s is missing beside %s\n", name, ownFolder().c_str());
        return 127;
    }
    if (!command) {
        startSplash(argv);
    }
    execv(program.c_str(), argv);
    std::fprintf(stderr, "velanote: cannot start %s: %s\n", program.c_str(), std::strerror(errno));
    return 126;
}
