#pragma once
#include "reading/readingsource.h"
#include "service/clipcache.h"
#include "synthesis/voicesettings.h"

#include <atomic>
#include <cstdint>
#include <future>
#include <mutex>
#include <string>
#include <unordered_map>

namespace velanote {

class ClipStore;
class ServiceMetrics;

// Provides the served clip of a text: from the store when the same text was spoken before (memory
// first, then the shared store when there is one), otherwise synthesised on the calling thread.
// Concurrent requests for one text share a single synthesis.
class ClipProvider {
public:
    // The readings come from `readings`; none means the built-in lexicon alone. Clips are also
    // looked up in and kept in `shared` when there is one; `metrics` counts look-ups and syntheses.
    explicit ClipProvider(std::size_t cacheBytes, std::shared_ptr<ReadingSource> readings = nullptr,
                          ClipStore* shared = nullptr, ServiceMetrics* metrics = nullptr);

    // Throws std::runtime_error when synthesis or encoding fails.
    SpeechClip clipFor(const std::u32string& text, const VoiceSettings& voice = {});
    std::optional<SpeechClip> stored(const std::string& id);
    // The clip of the text when it is stored anywhere.
    std::optional<SpeechClip> storedFor(const std::u32string& text, const VoiceSettings& voice = {});
    // The memory held by the clips kept in memory.
    std::size_t bytesHeld() const { return cache_.bytes(); }

    // How many texts this renderer has synthesised (store hits excluded).
    std::uint64_t synthesisCount() const { return syntheses_.load(); }

private:
    std::optional<SpeechClip> find(const std::string& id, bool counted);

    std::shared_ptr<ReadingSource> readings_;
    ClipCache cache_;
    ClipStore* shared_;
    ServiceMetrics* metrics_;
    std::mutex mutex_;
    std::unordered_map<std::string, std::shared_future<SpeechClip>> pending_;
    std::atomic<std::uint64_t> syntheses_{0};
};

} // namespace velanote
