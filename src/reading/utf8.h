#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace velanote::utf8 {

// Strict UTF-8 decoding: overlong forms, surrogates, values above U+10FFFF and truncated
// sequences are rejected as a whole.
std::optional<std::u32string> decode(std::string_view bytes);

std::string encode(std::u32string_view text);
void append(std::string& out, char32_t c);

} // namespace velanote::utf8
