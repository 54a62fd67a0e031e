#include "reading/voicetext.h"

#include "reading/utf8.h"

#include <utility>

namespace velanote {

namespace {

bool isAsciiLetter(char32_t c) {
    return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z');
}

bool isBlank(char32_t c) {
    return c <= 0x20 || c == 0x7F || (c >= 0x80 && c <= 0xA0);
}

} // namespace

VoiceText::VoiceText(MandarinCheck staysMandarin) : staysMandarin_(std::move(staysMandarin)) {}

bool VoiceText::isChinese(char32_t c) {
    return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
           (c >= 0xFF00 && c <= 0xFFEF) || (c >= 0x20000 && c <= 0x3FFFF);
}

std::string VoiceText::prepare(std::u32string_view text) const {
    std::string out;
    out.reserve(text.size() * 3);
    std::u32string run;
    const auto flushRun = [&] {
        if (!run.empty()) {
            out += rewriteRun(run);
            run.clear();
        }
    };
    for (const char32_t c : text) {
        if (isBlank(c)) {
            flushRun();
            out.push_back(' ');
        } else if (isChinese(c)) {
            flushRun();
            utf8::append(out, c);
        } else {
            run.push_back(c);
        }
    }
    flushRun();
    return out;
}

std::string VoiceText::rewriteRun(std::u32string_view run) const {
    std::string whole = utf8::encode(run);
    if (staysMandarin_(whole)) {
        return whole;
    }
    std::string out;
    const auto separate = [&out] {
        if (!out.empty() && out.back() != ' ') {
            out.push_back(' ');
        }
    };
    std::size_t i = 0;
    while (i < run.size()) {
        std::size_t end = i + 1;
        if (isAsciiLetter(run[i])) {
            while (end < run.size() && isAsciiLetter(run[end])) {
                ++end;
            }
            const std::string word = utf8::encode(run.substr(i, end - i));
            separate();
            if (staysMandarin_(word)) {
                out += word;
            } else {
                for (std::size_t k = i; k < end; ++k) {
                    separate();
                    out.push_back(static_cast<char>(run[k]));
                }
            }
        } else {
            const std::string single = utf8::encode(run.substr(i, 1));
            separate();
            out += staysMandarin_(single) ? single : std::string(" ");
        }
        i = end;
    }
    return staysMandarin_(out) ? out : std::string(" ");
}

} // namespace velanote
