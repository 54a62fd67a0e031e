#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velanote {

// Prepares a normalised text (numbers and symbols already in words) for the voices. Chinese passes
// unchanged. A Latin word the user's lexicon reads (iPhone ai4 feng4) becomes that pinyin; a word
// of two to five capitals (VIP, NBA) is spelled, to be said as English letter names; any other
// Latin word stays as written, for the English voice. Other characters that the Mandarin voice
// would read in another language become a pause.
class VoiceText {
public:
    // Answers whether the voice reads a piece of UTF-8 text without switching language.
    using MandarinCheck = std::function<bool(const std::string& utf8)>;
    // The user's reading of a Latin word in tone-numbered pinyin; empty when the user gave none.
    using LatinReading = std::function<std::string(std::u32string_view word)>;

    explicit VoiceText(MandarinCheck staysMandarin, LatinReading userReading = {});

    std::string prepare(std::u32string_view text) const;

    // True for characters the voice reads as Chinese (ideographs, CJK punctuation, full-width forms).
    static bool isChinese(char32_t c);

    // A stretch of what the voices are given and whether the English voice speaks it.
    struct Run {
        std::string text;
        bool english = false;
    };
    // Splits the reading of a text into runs for the Mandarin voice (pinyin syllables, Chinese,
    // punctuation) and for the English voice (Latin words that are not pinyin syllables).
    static std::vector<Run> languageRuns(std::string_view reading);

private:
    std::string rewriteSymbols(std::u32string_view run) const;
    std::string rewriteWord(std::u32string_view word) const;

    MandarinCheck staysMandarin_;
    LatinReading userReading_;
};

} // namespace velanote
