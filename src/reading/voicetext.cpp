#include "reading/voicetext.h"

#include "reading/utf8.h"

#include <algorithm>
#include <array>
#include <utility>

namespace velanote {

namespace {

bool isAsciiLetter(char32_t c) {
    return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z');
}

bool isBlank(char32_t c) {
    return c <= 0x20 || c == 0x7F || (c >= 0x80 && c <= 0xA0);
}

// Abbreviations said letter by letter even when not written in capitals (vip, Atm).
bool isLowerCaseAbbreviation(std::u32string_view written) {
    std::u32string word(written);
    for (char32_t& c : word) {
        c = c >= U'A' && c <= U'Z' ? c - U'A' + U'a' : c;
    }
    static constexpr std::array<std::u32string_view, 16> words = {
        U"atm", U"ufo", U"nba", U"gpu", U"cpu", U"ceo", U"wto", U"mvp",
        U"vip", U"iq",  U"mba", U"dna", U"diy", U"ktv", U"pk",  U"ok"};
    return std::find(words.begin(), words.end(), word) != words.end();
}

// A pinyin syllable as the reader writes it: letters (ü written v or u:) and a tone digit.
bool isPinyinSyllable(std::string_view token) {
    if (token.size() < 2 || token.back() < '1' || token.back() > '5') {
        return false;
    }
    return std::all_of(token.begin(), token.end() - 1,
                       [](char c) { return (c >= 'a' && c <= 'z') || c == ':'; });
}

bool hasLetter(std::string_view token) {
    return std::any_of(token.begin(), token.end(),
                       [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); });
}

} // namespace

VoiceText::VoiceText(MandarinCheck staysMandarin, LatinReading userReading)
    : staysMandarin_(std::move(staysMandarin)), userReading_(std::move(userReading)) {}

bool VoiceText::isChinese(char32_t c) {
    return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
           (c >= 0xFF00 && c <= 0xFFEF) || (c >= 0x20000 && c <= 0x3FFFF);
}

std::string VoiceText::prepare(std::u32string_view text) const {
    std::string out;
    out.reserve(text.size() * 3);
    std::size_t i = 0;
    while (i < text.size()) {
        const char32_t c = text[i];
        std::size_t end = i + 1;
        if (isBlank(c)) {
            out.push_back(' ');
        } else if (isChinese(c)) {
            utf8::append(out, c);
        } else if (isAsciiLetter(c)) {
            // A word, with the apostrophes inside it (don't).
            while (end < text.size() &&
                   (isAsciiLetter(text[end]) ||
                    (text[end] == U'\'' && end + 1 < text.size() && isAsciiLetter(text[end + 1])))) {
                ++end;
            }
            out += rewriteWord(text.substr(i, end - i));
        } else {
            while (end < text.size() && !isBlank(text[end]) && !isChinese(text[end]) &&
                   !isAsciiLetter(text[end])) {
                ++end;
            }
            out += rewriteSymbols(text.substr(i, end - i));
        }
        i = end;
    }
    return out;
}

std::string VoiceText::rewriteWord(std::u32string_view word) const {
    if (userReading_) {
        if (std::string reading = userReading_(word); !reading.empty()) {
            return reading;
        }
    }
    const bool capitals =
        std::all_of(word.begin(), word.end(), [](char32_t c) { return c >= U'A' && c <= U'Z'; });
    if ((capitals && word.size() >= 2 && word.size() <= 5) || isLowerCaseAbbreviation(word)) {
        std::string spelled;
        for (const char32_t c : word) {
            if (!spelled.empty()) {
                spelled.push_back('-'); // V-I-P: the English voice says letter names, never "a" for A
            }
            spelled.push_back(static_cast<char>(c >= U'a' ? c - U'a' + U'A' : c));
        }
        return spelled;
    }
    return utf8::encode(word);
}

std::string VoiceText::rewriteSymbols(std::u32string_view run) const {
    std::string whole = utf8::encode(run);
    if (staysMandarin_(whole)) {
        return whole;
    }
    std::string out;
    for (std::size_t i = 0; i < run.size(); ++i) {
        const std::string single = utf8::encode(run.substr(i, 1));
        out += staysMandarin_(single) ? single : std::string(" ");
    }
    return staysMandarin_(out) ? out : std::string(" ");
}

std::vector<VoiceText::Run> VoiceText::languageRuns(std::string_view reading) {
    const auto isWordByte = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ':' ||
               c == '\'';
    };
    std::vector<Run> runs;
    std::size_t i = 0;
    while (i < reading.size()) {
        // A word (a syllable or a Latin word), or what lies between words.
        const bool word = isWordByte(reading[i]);
        std::size_t end = i + 1;
        while (end < reading.size() && isWordByte(reading[end]) == word) {
            ++end;
        }
        const std::string_view piece = reading.substr(i, end - i);
        const bool english = word && hasLetter(piece) && !isPinyinSyllable(piece);
        // Blanks and ASCII punctuation go with the words before them, in either language.
        const bool neutral =
            !word && std::all_of(piece.begin(), piece.end(), [](char c) { return c > 0 && c < 0x7F; });
        if (runs.empty() || (!neutral && runs.back().english != english)) {
            runs.push_back(Run{{}, english});
        }
        runs.back().text += piece;
        i = end;
    }
    return runs;
}

} // namespace velanote
