#include "reading/userlexicon.h"

#include "reading/mandarinreader.h"
#include "reading/readingtable.h"
#include "reading/utf8.h"

#include <algorithm>
#include <cctype>

namespace velanote {

namespace {

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

// "lü4", "lu:4", "LV4" → ("lv", 4); the tone must be there.
bool splitSyllable(std::string_view written, std::string& letters, unsigned& tone) {
    if (written.size() < 2 || written.back() < '0' || written.back() > '9') {
        return false;
    }
    tone = static_cast<unsigned>(written.back() - '0');
    letters.clear();
    std::string body(written.substr(0, written.size() - 1));
    for (char& c : body) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    for (std::size_t i = 0; i < body.size(); ++i) {
        // ü, Ü and u: are all written v.
        if (body.compare(i, 2, "\xC3\xBC") == 0 || body.compare(i, 2, "\xC3\x9C") == 0 ||
            body.compare(i, 2, "u:") == 0) {
            letters.push_back('v');
            ++i;
        } else {
            letters.push_back(body[i]);
        }
    }
    return true;
}

// English words for a Latin word's sound: letters, apostrophes and blanks, no tone digits.
bool isEnglishSpelling(std::string_view said) {
    return !said.empty() && std::all_of(said.begin(), said.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '\'' || c == ' ' || c == '\t';
    });
}

} // namespace

UserLexicon UserLexicon::parse(std::string_view text, const ReadingTable& table) {
    UserLexicon lexicon;
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    int number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++number;
        const auto problem = [&lexicon, number](std::string reason) {
            lexicon.problems.push_back(Problem{number, std::move(reason)});
        };
        if (const std::size_t hash = line.find('#'); hash != std::string_view::npos) {
            line = line.substr(0, hash);
        }
        if (!utf8::decode(line)) {
            problem("不是 UTF-8 文本");
            continue;
        }
        // The word ends at the first blank: a tab as written in the file's description, or the
        // spaces (also full-width ones) an editor may have put in its place.
        std::string spaced;
        for (std::size_t i = 0; i < line.size(); ++i) {
            const bool wide = line.compare(i, 3, "\xE3\x80\x80") == 0;
            spaced.push_back(wide ? ' ' : line[i]);
            i += wide ? 2 : 0;
        }
        const std::string_view entry = trimmed(spaced);
        if (entry.empty()) {
            continue;
        }
        const std::size_t gap = entry.find_first_of(" \t");
        if (gap == std::string_view::npos) {
            problem("缺少拼音: 应为“词语<TAB>拼音”");
            continue;
        }
        const std::u32string word = *utf8::decode(entry.substr(0, gap));
        bool allIdeographs = !word.empty();
        bool allLatin = !word.empty();
        for (const char32_t c : word) {
            allIdeographs = allIdeographs && MandarinReader::isIdeograph(c);
            allLatin = allLatin && ((c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z'));
        }
        if (!allIdeographs && !allLatin) {
            problem("词语只能由汉字或拉丁字母组成");
            continue;
        }
        if (allLatin && isEnglishSpelling(trimmed(entry.substr(gap)))) {
            lexicon.latinWords.push_back(LatinWord{word, std::string(trimmed(entry.substr(gap)))});
            continue;
        }
        std::vector<std::uint16_t> readings;
        std::string_view rest = trimmed(entry.substr(gap));
        std::string failure;
        while (!rest.empty() && failure.empty()) {
            const std::size_t blank = rest.find_first_of(" \t");
            const std::string_view written = rest.substr(0, blank);
            rest = blank == std::string_view::npos ? std::string_view() : trimmed(rest.substr(blank));
            std::string letters;
            unsigned tone = 0;
            if (!splitSyllable(written, letters, tone)) {
                failure = "音节“" + std::string(written) + "”缺少声调数字 1–5";
            } else if (tone < 1 || tone > 5) {
                failure = "音节“" + std::string(written) + "”的声调应为 1–5";
            } else if (const auto code = table.code(letters, tone)) {
                readings.push_back(*code);
            } else {
                failure = "不认识的音节“" + std::string(written) + "”";
            }
        }
        if (!failure.empty()) {
            problem(failure);
            continue;
        }
        if (allLatin) {
            std::string said;
            for (const std::uint16_t code : readings) {
                if (!said.empty()) {
                    said.push_back(' ');
                }
                said += table.spell(code);
            }
            lexicon.latinWords.push_back(LatinWord{word, said});
            continue;
        }
        if (readings.size() != word.size()) {
            problem(std::to_string(word.size()) + " 个字却有 " + std::to_string(readings.size()) + " 个音节");
            continue;
        }
        lexicon.words.push_back(Word{word, std::move(readings)});
    }
    return lexicon;
}

} // namespace velanote
