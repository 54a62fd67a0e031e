#pragma once
#include "speech/clipcache.h"
#include "speech/readingsource.h"

#include <atomic>
#include <cstdint>
#include <future>
#include <mutex>
#include <string>
#include <unordered_map>

namespace velanote {

// Turns text into served clips: from the store when the same text was spoken before, otherwise
// synthesised on the speech engine, halved to 11025 Hz and encoded on the calling thread.
// Concurrent requests for one text share a single synthesis.
class SpeechRenderer {
public:
    // The readings come from `readings`; none means the built-in lexicon alone.
    explicit SpeechRenderer(std::size_t cacheBytes, std::shared_ptr<ReadingSource> readings = nullptr);

    // 40 lower-case hex digits naming the clip of this voice, text and way of reading it.
    static std::string clipId(const std::string& utf8Text, const std::string& readingDigest);

    // Throws std::runtime_error when synthesis or encoding fails.
    SpeechClip clipFor(const std::u32string& text);
    std::optional<SpeechClip> stored(const std::string& id);

    // Synthesises and encodes without the store.
    static SpeechClip render(const std::u32string& text,
                             std::shared_ptr<const MandarinReader> reader = nullptr);

    // How many texts this renderer has synthesised (store hits excluded).
    std::uint64_t synthesisCount() const { return syntheses_.load(); }

private:
    std::shared_ptr<ReadingSource> readings_;
    ClipCache cache_;
    std::mutex mutex_;
    std::unordered_map<std::string, std::shared_future<SpeechClip>> pending_;
    std::atomic<std::uint64_t> syntheses_{0};
};

} // namespace velanote
