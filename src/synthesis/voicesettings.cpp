#include "synthesis/voicesettings.h"

#include <charconv>

namespace velanote {

namespace {

constexpr std::string_view voiceNames[] = {"male", "female"};

// The number a numeric setting is kept in; null for others.
template <typename Settings> auto* field(Settings& settings, std::string_view name) {
    using Number = decltype(&settings.rate);
    if (name == "rate") {
        return &settings.rate;
    }
    if (name == "pitch") {
        return &settings.pitch;
    }
    if (name == "volume") {
        return &settings.volume;
    }
    return Number{nullptr};
}

} // namespace

std::optional<VoiceSettings::Range> VoiceSettings::rangeOf(std::string_view name) {
    if (name == "rate") {
        return Range{50, 200};
    }
    if (name == "pitch") {
        return Range{50, 150};
    }
    if (name == "volume") {
        return Range{10, 200};
    }
    return std::nullopt;
}

std::string VoiceSettings::allowed(std::string_view name) {
    if (const std::optional<Range> range = rangeOf(name)) {
        return std::to_string(range->low).append(" to ").append(std::to_string(range->high));
    }
    return std::string(voiceNames[0]).append(" or ").append(voiceNames[1]);
}

VoiceSettings::Outcome VoiceSettings::set(std::string_view name, std::string_view value) {
    if (name == "voice") {
        for (std::size_t i = 0; i < std::size(voiceNames); ++i) {
            if (value == voiceNames[i]) {
                voice = static_cast<Voice>(i);
                return Outcome::set;
            }
        }
        return Outcome::badValue;
    }
    int* const target = field(*this, name);
    if (target == nullptr) {
        return Outcome::unknownName;
    }
    int number = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    const Range range = *rangeOf(name);
    if (error != std::errc() || end != value.data() + value.size() || number < range.low ||
        number > range.high) {
        return Outcome::badValue;
    }
    *target = number;
    return Outcome::set;
}

std::string VoiceSettings::value(std::string_view name) const {
    if (name == "voice") {
        return std::string(voiceNames[static_cast<std::size_t>(voice)]);
    }
    const int* const source = field(*this, name);
    return source == nullptr ? std::string() : std::to_string(*source);
}

std::string VoiceSettings::query() const {
    const VoiceSettings normal;
    std::string out;
    for (const std::string_view name : names) {
        const std::string mine = value(name);
        if (mine != normal.value(name)) {
            out.append("&").append(name).append("=").append(mine);
        }
    }
    return out;
}

} // namespace velanote
