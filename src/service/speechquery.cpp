#include "service/speechquery.h"

#include "reading/utf8.h"

#include <algorithm>
#include <optional>

namespace velanote {

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::optional<std::string_view> findParameter(std::string_view query, std::string_view wanted) {
    while (true) {
        const std::size_t amp = query.find('&');
        const std::string_view field = query.substr(0, amp);
        const std::size_t eq = field.find('=');
        const std::string_view key = field.substr(0, eq);
        if (SpeechQuery::decodeComponent(key) == wanted) {
            return eq == std::string_view::npos ? std::string_view() : field.substr(eq + 1);
        }
        if (amp == std::string_view::npos) {
            return std::nullopt;
        }
        query.remove_prefix(amp + 1);
    }
}

bool isBlank(char32_t c) {
    return c == U' ' || c == U'\t' || c == U'\n' || c == U'\r' || c == 0x3000 || c == 0xA0;
}

} // namespace

std::string SpeechQuery::decodeComponent(std::string_view component) {
    std::string out;
    out.reserve(component.size());
    for (std::size_t i = 0; i < component.size(); ++i) {
        const char c = component[i];
        if (c == '+') {
            out.push_back(' ');
        } else if (c == '%' && i + 2 < component.size() && hexValue(component[i + 1]) >= 0 &&
                   hexValue(component[i + 2]) >= 0) {
            out.push_back(static_cast<char>(hexValue(component[i + 1]) * 16 + hexValue(component[i + 2])));
            i += 2;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

std::string SpeechQuery::encodeComponent(std::string_view bytes) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 3);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') ||
            byte == '-' || byte == '_' || byte == '.' || byte == '~') {
            out.push_back(c);
        } else {
            out += '%';
            out += hex[byte >> 4];
            out += hex[byte & 15];
        }
    }
    return out;
}

SpeechQuery SpeechQuery::parse(std::string_view rawQuery) {
    SpeechQuery query;
    const std::optional<std::string_view> raw = findParameter(rawQuery, "text");
    if (!raw) {
        query.error = "missing text";
        return query;
    }
    std::optional<std::u32string> text = utf8::decode(decodeComponent(*raw));
    if (!text) {
        query.error = "text is not valid UTF-8";
        return query;
    }
    if (std::all_of(text->begin(), text->end(), isBlank)) {
        query.error = "empty text";
        return query;
    }
    if (text->size() > maxCharacters) {
        query.error = "text longer than 1000 characters";
        return query;
    }
    if (std::any_of(text->begin(), text->end(), isRefusedControl)) {
        query.error = "text contains control characters";
        return query;
    }
    for (const std::string_view name : VoiceSettings::names) {
        const std::optional<std::string_view> value = findParameter(rawQuery, name);
        if (value && query.voice.set(name, decodeComponent(*value)) != VoiceSettings::Outcome::set) {
            query.error = std::string(name) + " takes " + VoiceSettings::allowed(name);
            return query;
        }
    }
    query.text = std::move(*text);
    return query;
}

} // namespace velanote
