// velanote: starts the desktop program (velanote-desktop) when given no command, and the
// command-line tools (velanote-cli) otherwise. It links nothing but the C++ library, so a command
// loads only what the tools need and the desktop program only what it needs.
#include "app/launchpaths.h"

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

namespace {

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

int main(int argc, char** argv) {
    const char* name = argc > 1 && isCommand(argv[1]) ? "velanote-cli" : "velanote-desktop";
    const std::string program = privateProgram(name);
    if (program.empty()) {
        std::fprintf(stderr, "velanote: %s is missing beside %s\n", name, ownFolder().c_str());
        return 127;
    }
    execv(program.c_str(), argv);
    std::fprintf(stderr, "velanote: cannot start %s: %s\n", program.c_str(), std::strerror(errno));
    return 126;
}
