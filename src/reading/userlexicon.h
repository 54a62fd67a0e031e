#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velanote {

class ReadingTable;

// A lexicon of readings in plain text: `词语<TAB>pin1 yin1` per line, `#` starting a comment.
// Syllables are written with tone numbers 1–5; ü may be written v, u: or ü. A word of Latin letters
// (`iPhone<TAB>ai4 feng4`) may have any number of syllables, or an English spelling of its sound
// (`iPhone<TAB>eye phone`). A line that cannot be used is skipped and described, with its number,
// in `problems`.
struct UserLexicon {
    struct Word {
        std::u32string text; // as written
        std::vector<std::uint16_t> readings;
    };
    struct Problem {
        int line = 0;
        std::string reason; // in Chinese, for the person who wrote the file
    };

    // A word of Latin letters and what is said for it: pinyin syllables as the voice reads them
    // ("ai4 feng4") or English words ("eye phone").
    struct LatinWord {
        std::u32string text; // as written
        std::string said;
    };

    std::vector<Word> words;
    std::vector<LatinWord> latinWords;
    std::vector<Problem> problems;

    // Syllables are checked against the table's inventory.
    static UserLexicon parse(std::string_view text, const ReadingTable& table);
};

} // namespace velanote
