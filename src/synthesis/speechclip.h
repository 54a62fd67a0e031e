#pragma once
#include <memory>
#include <string>

namespace velanote {

// One synthesised utterance as served: its id, the MP3 bytes and the playing time.
struct SpeechClip {
    std::string id;
    std::shared_ptr<const std::string> mp3;
    int durationMs = 0;
};

} // namespace velanote
