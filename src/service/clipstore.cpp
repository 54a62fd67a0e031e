#include "service/clipstore.h"

#include <QByteArray>
#include <QCryptographicHash>

#include <charconv>

namespace velanote {

namespace {

constexpr std::string_view magic = "velanote-clip 1 ";

std::string sha1Hex(std::string_view bytes) {
    return QCryptographicHash::hash(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())),
                                    QCryptographicHash::Sha1)
        .toHex()
        .toStdString();
}

bool parseDuration(std::string_view text, int& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

} // namespace

std::string ClipStore::encode(const SpeechClip& clip) {
    std::string value(magic);
    value += clip.id + " " + std::to_string(clip.durationMs) + " " + sha1Hex(*clip.mp3) + "\n";
    value += *clip.mp3;
    return value;
}

std::optional<SpeechClip> ClipStore::decode(const std::string& id, std::string_view value) {
    if (!value.starts_with(magic)) {
        return std::nullopt;
    }
    value.remove_prefix(magic.size());
    const std::size_t end = value.find('\n');
    if (end == std::string_view::npos || end > 200) {
        return std::nullopt;
    }
    const std::string_view header = value.substr(0, end);
    const std::string_view mp3 = value.substr(end + 1);
    const std::size_t firstBlank = header.find(' ');
    const std::size_t secondBlank = header.find(' ', firstBlank + 1);
    if (firstBlank == std::string_view::npos || secondBlank == std::string_view::npos) {
        return std::nullopt;
    }
    SpeechClip clip;
    if (header.substr(0, firstBlank) != id ||
        !parseDuration(header.substr(firstBlank + 1, secondBlank - firstBlank - 1), clip.durationMs) ||
        clip.durationMs <= 0 || header.substr(secondBlank + 1) != sha1Hex(mp3) || mp3.size() < 2 ||
        static_cast<unsigned char>(mp3[0]) != 0xFF || (static_cast<unsigned char>(mp3[1]) & 0xE0) != 0xE0) {
        return std::nullopt;
    }
    clip.id = id;
    clip.mp3 = std::make_shared<const std::string>(mp3);
    return clip;
}

} // namespace velanote
