#include "service/servicemetrics.h"

#include <charconv>

namespace velanote {

namespace {

// The shortest text that reads back as the same value: bucket bounds show as "0.05", not
// "0.050000000000000003".
std::string number(double value) {
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, value);
    return {text, written.ptr};
}

} // namespace

void ServiceMetrics::countRequest(const std::string& route, int status) {
    std::lock_guard lock(mutex_);
    ++requests_[{route, status}];
}

void ServiceMetrics::observeSynthesis(double seconds) {
    std::lock_guard lock(mutex_);
    for (std::size_t i = 0; i < synthesisBuckets.size(); ++i) {
        if (seconds <= synthesisBuckets[i]) {
            ++synthesisCounts_[i];
        }
    }
    ++synthesisTotal_;
    synthesisSeconds_ += seconds;
}

void ServiceMetrics::countLookup(Level level, bool hit) {
    std::lock_guard lock(mutex_);
    ++lookups_[(level == Level::memory ? 0 : 2) + (hit ? 0 : 1)];
}

std::string ServiceMetrics::text(const Gauges& gauges) const {
    std::lock_guard lock(mutex_);
    std::string out;
    out += "# HELP velanote_http_requests_total HTTP requests answered, by route and status.\n"
           "# TYPE velanote_http_requests_total counter\n";
    for (const auto& [key, count] : requests_) {
        out += "velanote_http_requests_total{route=\"" + key.first + "\",status=\"" +
               std::to_string(key.second) + "\"} " + std::to_string(count) + "\n";
    }
    out += "# HELP velanote_synthesis_seconds Time to synthesise and encode one text.\n"
           "# TYPE velanote_synthesis_seconds histogram\n";
    for (std::size_t i = 0; i < synthesisBuckets.size(); ++i) {
        out += "velanote_synthesis_seconds_bucket{le=\"" + number(synthesisBuckets[i]) + "\"} " +
               std::to_string(synthesisCounts_[i]) + "\n";
    }
    out += "velanote_synthesis_seconds_bucket{le=\"+Inf\"} " + std::to_string(synthesisTotal_) + "\n";
    out += "velanote_synthesis_seconds_sum " + number(synthesisSeconds_) + "\n";
    out += "velanote_synthesis_seconds_count " + std::to_string(synthesisTotal_) + "\n";
    out += "# HELP velanote_clip_store_lookups_total Clip look-ups, by store level and result.\n"
           "# TYPE velanote_clip_store_lookups_total counter\n";
    const char* levels[] = {"memory", "shared"};
    const char* results[] = {"hit", "miss"};
    for (std::size_t i = 0; i < lookups_.size(); ++i) {
        out += std::string("velanote_clip_store_lookups_total{level=\"") + levels[i / 2] + "\",result=\"" +
               results[i % 2] + "\"} " + std::to_string(lookups_[i]) + "\n";
    }
    out += "# HELP velanote_clip_store_bytes Memory held by the clips kept in memory.\n"
           "# TYPE velanote_clip_store_bytes gauge\n"
           "velanote_clip_store_bytes " +
           std::to_string(gauges.bytesHeld) + "\n";
    out += "# HELP velanote_synthesis_queue_length Texts waiting for the speech engine.\n"
           "# TYPE velanote_synthesis_queue_length gauge\n"
           "velanote_synthesis_queue_length " +
           std::to_string(gauges.queueLength) + "\n";
    out += "# HELP velanote_http_connections_open Connections open now.\n"
           "# TYPE velanote_http_connections_open gauge\n"
           "velanote_http_connections_open " +
           std::to_string(gauges.openConnections) + "\n";
    out += "# HELP velanote_http_connections_dropped_total Connections refused or cut, by reason.\n"
           "# TYPE velanote_http_connections_dropped_total counter\n";
    for (const auto& [reason, count] : gauges.droppedConnections) {
        out += "velanote_http_connections_dropped_total{reason=\"" + reason + "\"} " + std::to_string(count) +
               "\n";
    }
    if (gauges.sharedStoreUp) {
        out += "# HELP velanote_shared_store_up Whether the shared Redis store answers.\n"
               "# TYPE velanote_shared_store_up gauge\n"
               "velanote_shared_store_up " +
               std::string(*gauges.sharedStoreUp ? "1" : "0") + "\n";
    }
    return out;
}

} // namespace velanote
