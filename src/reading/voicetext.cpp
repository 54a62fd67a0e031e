#include "reading/voicetext.h"

#include "reading/utf8.h"

#include <utility>

namespace velanote {

namespace {

bool isAsciiLetter(char32_t c) {
    return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z');
}

bool isAsciiDigit(char32_t c) {
    return c >= U'0' && c <= U'9';
}

bool isBlank(char32_t c) {
    return c <= 0x20 || c == 0x7F || (c >= 0x80 && c <= 0xA0);
}

// Full-width letters and digits become their ASCII forms, so that they are read like them.
char32_t narrowed(char32_t c) {
    if ((c >= 0xFF10 && c <= 0xFF19) || (c >= 0xFF21 && c <= 0xFF3A) || (c >= 0xFF41 && c <= 0xFF5A)) {
        return c - 0xFF00 + 0x20;
    }
    return c;
}

const char* symbolWord(char32_t c) {
    switch (c) {
    case U'+':
        return "加";
    case U'=':
        return "等于";
    case U'%':
        return "百分号";
    case U'@':
        return "艾特";
    case U'&':
        return "和";
    case U'#':
        return "井号";
    case U'*':
        return "星号";
    case U'/':
        return "斜杠";
    case U'\\':
        return "反斜杠";
    case U'~':
        return "波浪号";
    case U'$':
        return "美元";
    case U'<':
        return "小于";
    case U'>':
        return "大于";
    default:
        return nullptr;
    }
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
    for (const char32_t original : text) {
        const char32_t c = narrowed(original);
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
        } else if (isAsciiDigit(run[i])) {
            while (end < run.size() && isAsciiDigit(run[end])) {
                ++end;
            }
            const std::string number = utf8::encode(run.substr(i, end - i));
            separate();
            if (end < run.size() && run[end] == U'%') {
                out += "百分之" + number;
                ++end;
            } else {
                out += number;
            }
        } else if (const char* word = symbolWord(run[i])) {
            separate();
            out += word;
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
