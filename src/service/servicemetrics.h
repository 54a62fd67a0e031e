#pragma once
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

namespace velanote {

// The counters of the speech service, written as Prometheus text for GET /metrics.
// Safe to update from several threads.
class ServiceMetrics {
public:
    enum class Level { memory, shared };

    void countRequest(const std::string& route, int status);
    void observeSynthesis(double seconds);
    void countLookup(Level level, bool hit);

    // What is read at the time of asking.
    struct Gauges {
        std::size_t bytesHeld = 0;
        std::size_t queueLength = 0;
        std::size_t openConnections = 0;
        std::map<std::string, std::uint64_t> droppedConnections; // by reason, since the start
        std::optional<bool> sharedStoreUp;                       // none without a shared store
    };

    // The exposition.
    std::string text(const Gauges& gauges) const;

    static constexpr std::array<double, 9> synthesisBuckets = {0.05, 0.1, 0.25, 0.5, 1, 2.5, 5, 10, 30};

private:
    mutable std::mutex mutex_;
    std::map<std::pair<std::string, int>, std::uint64_t> requests_;
    std::array<std::uint64_t, synthesisBuckets.size()> synthesisCounts_{};
    std::uint64_t synthesisTotal_ = 0;
    double synthesisSeconds_ = 0;
    std::array<std::uint64_t, 4> lookups_{}; // memory hit, memory miss, shared hit, shared miss
};

} // namespace velanote
