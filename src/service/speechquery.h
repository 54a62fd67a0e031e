#pragma once
#include "synthesis/voicesettings.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace velanote {

// The text of a speech request, read from the raw query of "/text2speech.php?&text=…" the way
// web forms encode it: "%XX" is a byte, "+" a blank, and a "%" not followed by two hex digits
// stands for itself. The first "text" parameter counts; so does the first of each voice setting
// ("rate", "pitch", "volume", "voice"), and a setting out of its range is an error that names
// the range. Other parameters are ignored.
struct SpeechQuery {
    static constexpr std::size_t maxCharacters = 1000;

    std::u32string text;
    VoiceSettings voice;
    std::string error; // a short reason when the text cannot be spoken, else empty

    static SpeechQuery parse(std::string_view rawQuery);
    // The control characters a text may not hold (tabs and line breaks are allowed).
    static bool isRefusedControl(char32_t c) {
        return (c < 0x20 && c != U'\t' && c != U'\n' && c != U'\r') || c == 0x7F;
    }
    static std::string decodeComponent(std::string_view component);
    // The inverse a client uses: every byte outside A-Z a-z 0-9 "-_.~" as upper-case "%XX".
    static std::string encodeComponent(std::string_view bytes);
};

} // namespace velanote
