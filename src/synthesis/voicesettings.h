#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace velanote {

// How a text is spoken: speed, pitch and loudness in percent of the normal voice, and which of the
// two voices. Every way of speaking carries one; the normal settings are the voice as it always was.
struct VoiceSettings {
    enum class Voice { male, female };
    struct Range {
        int low;
        int high;
    };
    enum class Outcome { set, unknownName, badValue };

    int rate = 100;
    int pitch = 100;
    int volume = 100;
    Voice voice = Voice::male;

    bool operator==(const VoiceSettings&) const = default;
    bool isNormal() const { return *this == VoiceSettings{}; }

    // The setting names, as query parameters and command-line options use them.
    static constexpr std::string_view names[] = {"rate", "pitch", "volume", "voice"};
    // The range of a numeric setting; none for "voice" and unknown names.
    static std::optional<Range> rangeOf(std::string_view name);
    // What a setting takes, for messages: "50 to 200", "male or female".
    static std::string allowed(std::string_view name);

    // Sets one setting from its text (a whole number in range, or a voice's name).
    Outcome set(std::string_view name, std::string_view value);
    // The text of one setting, as set() takes it.
    std::string value(std::string_view name) const;
    // "&rate=120&voice=female": the settings that differ from normal, as query parameters.
    std::string query() const;
};

} // namespace velanote
