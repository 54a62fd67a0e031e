#pragma once

#include <chrono>
#include <functional>
#include <string_view>

namespace velanote {

// Runs a piece of work in a child forked from this process and hands what the child writes back to
// the caller. A child forked while another thread held a lock it needs (the allocator's, say) waits
// for it forever; so a child that stays silent too long is killed, and one that had said nothing yet
// is tried once more.
class ChildProcess {
public:
    // Runs in the child; writes into `fd` and says whether it succeeded.
    using Work = std::function<bool(int fd)>;
    // Gets each piece the child wrote, then an empty piece once it has closed its end.
    using Receive = std::function<void(std::string_view piece)>;

    explicit ChildProcess(std::chrono::milliseconds silenceLimit = std::chrono::seconds(15))
        : silenceLimit_(silenceLimit) {}

    // Throws std::runtime_error with `failure` when the child cannot start, fails or stops answering;
    // rethrows what `receive` throws.
    void run(const Work& work, const Receive& receive, const char* failure) const;

private:
    enum class End { finished, silent };
    End runOnce(const Work& work, const Receive& receive, const char* failure, bool& spoke) const;

    std::chrono::milliseconds silenceLimit_;
};

} // namespace velanote
