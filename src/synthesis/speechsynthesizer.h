#pragma once
#include "synthesis/speechclip.h"
#include "synthesis/voicesettings.h"

#include <memory>
#include <string>

namespace velanote {

class MandarinReader;

// Text to a clip: synthesised on the speech engine, halved to 11025 Hz and encoded to MP3 on the
// calling thread while the engine is still speaking.
class SpeechSynthesizer {
public:
    // 40 lower-case hex digits naming the clip of this voice, text, way of reading it and voice
    // settings. The normal settings add nothing, so those clips keep the names they always had.
    static std::string clipId(const std::string& utf8Text, const std::string& readingDigest,
                              const VoiceSettings& voice = {});

    // Throws std::runtime_error when synthesis or encoding fails. The clip's id is left empty.
    static SpeechClip render(const std::u32string& text,
                             std::shared_ptr<const MandarinReader> reader = nullptr,
                             const VoiceSettings& voice = {});
};

} // namespace velanote
