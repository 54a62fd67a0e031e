#pragma once
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>

namespace velanote {

// The connections the HTTP server refused or cut, counted by reason for /metrics and summed up in
// the log at most once a minute, so that an attack of thousands of connections costs the log a
// line a minute rather than a line each. The first drop after a quiet minute is logged at once.
class ConnectionDrops {
public:
    using Clock = std::chrono::steady_clock;
    using Logger = std::function<void(const std::string& line)>;

    // Refused: over the connection limit (the total or one client address's).
    static constexpr const char* overLimit = "limit";
    // Cut: the whole request did not arrive within the deadline.
    static constexpr const char* deadline = "deadline";
    // The client went away before its request was read or its answer sent.
    static constexpr const char* clientLeft = "client_left";

    explicit ConnectionDrops(Logger logger, Clock::duration interval = std::chrono::minutes(1));

    void count(const std::string& reason, Clock::time_point now = Clock::now());
    // Logs what was counted since the last summary, if there is any and the interval has passed.
    void summarise(Clock::time_point now = Clock::now());
    // Every reason above with its count since the start.
    std::map<std::string, std::uint64_t> totals() const;

private:
    void summariseLocked(Clock::time_point now);

    Logger logger_;
    Clock::duration interval_;
    mutable std::mutex mutex_;
    std::map<std::string, std::uint64_t> totals_;
    std::map<std::string, std::uint64_t> sinceSummary_;
    Clock::time_point lastSummary_{};
    bool summarised_ = false;
};

} // namespace velanote
