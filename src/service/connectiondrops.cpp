#include "service/connectiondrops.h"

namespace velanote {

ConnectionDrops::ConnectionDrops(Logger logger, Clock::duration interval)
    : logger_(std::move(logger)),
      interval_(interval), totals_{{overLimit, 0}, {deadline, 0}, {clientLeft, 0}} {}

void ConnectionDrops::count(const std::string& reason, Clock::time_point now) {
    std::lock_guard lock(mutex_);
    ++totals_[reason];
    ++sinceSummary_[reason];
    summariseLocked(now);
}

void ConnectionDrops::summarise(Clock::time_point now) {
    std::lock_guard lock(mutex_);
    summariseLocked(now);
}

void ConnectionDrops::summariseLocked(Clock::time_point now) {
    if (sinceSummary_.empty() || (summarised_ && now - lastSummary_ < interval_)) {
        return;
    }
    std::string line = "connections refused or cut since the last summary:";
    for (const auto& [reason, count] : sinceSummary_) {
        line += " " + reason + " " + std::to_string(count);
    }
    sinceSummary_.clear();
    lastSummary_ = now;
    summarised_ = true;
    if (logger_) {
        logger_(line);
    }
}

std::map<std::string, std::uint64_t> ConnectionDrops::totals() const {
    std::lock_guard lock(mutex_);
    return totals_;
}

} // namespace velanote
