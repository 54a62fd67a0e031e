#pragma once
#include "synthesis/speechclip.h"

#include <optional>
#include <string>
#include <string_view>

namespace velanote {

// A second level behind the memory store: where clips are kept beyond one process (a shared
// Redis, or a folder of the desktop's own), and the form they are kept in.
class ClipStore {
public:
    virtual ~ClipStore() = default;
    virtual std::optional<SpeechClip> find(const std::string& id) = 0;
    virtual void keep(const SpeechClip& clip) = 0;

    // The stored form of a clip, and the clip back from it when the value is sound.
    static std::string encode(const SpeechClip& clip);
    static std::optional<SpeechClip> decode(const std::string& id, std::string_view value);
};

} // namespace velanote
