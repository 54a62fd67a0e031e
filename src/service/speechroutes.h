#pragma once
#include "service/httpexchange.h"
#include "service/servicemetrics.h"

#include <atomic>
#include <functional>
#include <string>
#include <string_view>

namespace velanote {

class FairQueue;
class ClipProvider;
struct VoiceSettings;

// The web site of the speech service: the speech request, the stored clips, the home page, the
// version file, health and metrics, plus the refusals (long addresses, bodies, other methods).
// Texts not yet stored wait their client's turn for the speech engine. The routes and the reply's
// fields keep their names: desktops and other instances that call the service rely on them.
class SpeechRoutes {
public:
    // Room for 1000 characters of four UTF-8 bytes each, every byte percent-encoded, and the rest
    // of the address.
    static constexpr std::size_t maxTargetLength = 16384;

    struct Parts {
        ClipProvider& renderer;
        FairQueue& queue;
        ServiceMetrics& metrics;
        std::function<bool()> engineStarted; // whether the speech engine came up
        // Fills in what the routes do not know themselves: connections and the shared store.
        std::function<void(ServiceMetrics::Gauges&)> readGauges;
    };

    SpeechRoutes(Parts parts, std::string latestVersion);

    HttpReply handle(const HttpRequest& request);

    // True for the 40 lower-case hex digits of a clip id.
    static bool isClipId(std::string_view id);

private:
    HttpReply route(const HttpRequest& request, std::string_view path, std::string_view query);
    HttpReply speak(std::string_view rawQuery, std::string_view client);
    HttpReply synthesise(const std::u32string& text, const VoiceSettings& voice);
    HttpReply clip(std::string_view name) const;
    HttpReply health() const;

    Parts parts_;
    std::string latestVersion_;
    std::atomic<bool> lastSynthesisFailed_{false};
};

} // namespace velanote
