#pragma once
#include "synthesis/speechclip.h"

#include <memory>
#include <string>

namespace velanote {

class MandarinReader;

// Text to a clip: synthesised on the speech engine, halved to 11025 Hz and encoded to MP3 on the
// calling thread while the engine is still speaking.
class SpeechSynthesizer {
public:
    // 40 lower-case hex digits naming the clip of this voice, text and way of reading it.
    static std::string clipId(const std::string& utf8Text, const std::string& readingDigest);

    // Throws std::runtime_error when synthesis or encoding fails. The clip's id is left empty.
    static SpeechClip render(const std::u32string& text,
                             std::shared_ptr<const MandarinReader> reader = nullptr);
};

} // namespace velanote
