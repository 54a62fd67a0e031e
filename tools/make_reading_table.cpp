// Compiles Rime's Terra Pinyin lexicon (terra_pinyin.dict.yaml) and its word frequencies
// (essay.txt), with a list of mainland standard readings (data/reading/mainland-words.tsv), into
// the reading table that velanote embeds: one reading per word or character, looked up by
// simplified characters (traditional ones are folded onto them with OpenCC's t2s), with a
// segmentation cost from the word's frequency. Where both lexicons hold a word or character the
// mainland reading wins; Terra Pinyin's readings that no mainland word uses (Taiwan readings such as
// 垃圾 le4 se4) are replaced by the character's mainland one. Terra Pinyin's neutral tones are
// checked against CC-CEDICT's readings of the same words (data/reading/neutral-tones.tsv). Run by
// the build:
//   make_reading_table DICT ESSAY MAINLAND NEUTRAL OUT.bin OUT-digest.h
#include "reading/readingtableformat.h"
#include "reading/utf8.h"

#include <opencc/opencc.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace rt = velanote::readingtable;

std::u32string decodeUtf8(const std::string& s) {
    return velanote::utf8::decode(s).value_or(std::u32string());
}

std::string encodeUtf8(char32_t c) {
    std::string out;
    velanote::utf8::append(out, c);
    return out;
}

std::vector<std::string> split(const std::string& line, char separator) {
    std::vector<std::string> fields;
    std::string field;
    std::istringstream in(line);
    while (std::getline(in, field, separator)) {
        if (!field.empty()) {
            fields.push_back(field);
        }
    }
    return fields;
}

// A syllable with its tone: "hang2" → {"hang", 2}. Spellings the voice does not know are mended.
struct Syllable {
    std::string letters;
    unsigned tone = 0;
    bool operator<(const Syllable& o) const { return std::tie(letters, tone) < std::tie(o.letters, o.tone); }
    bool operator==(const Syllable& o) const = default;
};

bool parseSyllable(const std::string& text, Syllable& out) {
    if (text.size() < 2 || text.back() < '1' || text.back() > '5') {
        return false;
    }
    out.letters = text.substr(0, text.size() - 1);
    out.tone = static_cast<unsigned>(text.back() - '0');
    // lvan is no syllable of standard pinyin (the voice splits it in two); eh the voice reads as English;
    // erhua is spelled er5 as in the mainland list, not r5.
    static const std::map<std::string, std::string> mended = {{"lvan", "luan"}, {"eh", "e"}, {"r", "er"}};
    if (const auto it = mended.find(out.letters); it != mended.end()) {
        out.letters = it->second;
    }
    return out.letters.size() < rt::kSyllableBytes;
}

using Reading = std::vector<Syllable>;

// The syllables of a field ("ren4 shi5"); empty if one of them is no syllable.
Reading parseReading(const std::string& field) {
    Reading reading;
    for (const std::string& code : split(field, ' ')) {
        Syllable s;
        if (!parseSyllable(code, s)) {
            return {};
        }
        reading.push_back(s);
    }
    return reading;
}

// The mainland list: each word's reading and its share of running text.
struct MainlandWord {
    Reading reading;
    double share = 0;
};

struct Lexicon {
    // Per character: each reading with its percentage (negative: not given).
    std::map<char32_t, std::vector<std::pair<Syllable, double>>> characters;
    std::map<std::u32string, std::vector<Reading>> words;
    std::map<std::u32string, double> frequency; // essay.txt, by original spelling
    std::map<std::u32string, MainlandWord> mainland;
    // Per character, every reading that a mainland word gives it (neutral tones left out).
    std::map<char32_t, std::set<Syllable>> mainlandReadings;
    // How the standard dictionary reads the words that Terra Pinyin or the mainland list reads with
    // a neutral tone.
    std::map<std::u32string, std::vector<Reading>> standard;

    // Whether the standard dictionary reads the syllable at `i` of a word in the neutral tone;
    // nothing where it lacks the word.
    std::optional<bool> standardNeutral(const std::u32string& word, std::size_t i) const {
        const auto it = standard.find(word);
        if (it == standard.end()) {
            return std::nullopt;
        }
        return std::any_of(it->second.begin(), it->second.end(),
                           [i](const Reading& reading) { return reading[i].tone == 5; });
    }

    // The full tone the standard dictionary gives the syllable at `i` of a word that Terra Pinyin
    // reads there in the neutral tone; nothing where it has the neutral tone too or lacks the word.
    std::optional<Syllable> standardFullTone(const std::u32string& word, std::size_t i,
                                             const Syllable& neutral) const {
        if (standardNeutral(word, i).value_or(true)) {
            return std::nullopt;
        }
        for (const Reading& reading : standard.at(word)) {
            if (reading[i].letters == neutral.letters) {
                return reading[i];
            }
        }
        return std::nullopt;
    }

    bool isMainland(char32_t c, const Syllable& s) const {
        const auto it = mainlandReadings.find(c);
        return s.tone == 5 || c == U'一' || c == U'不' || it == mainlandReadings.end() ||
               it->second.count(s) != 0;
    }
};

bool readLexicon(const char* path, Lexicon& lexicon) {
    std::ifstream in(path);
    if (!in) {
        return false;
    }
    std::string line;
    bool body = false;
    while (std::getline(in, line)) {
        if (!body) {
            body = line == "...";
            continue;
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        const std::vector<std::string> fields = split(line, '\t');
        if (fields.size() < 2) {
            continue;
        }
        const std::u32string text = decodeUtf8(fields[0]);
        const Reading reading = parseReading(fields[1]);
        if (text.empty() || text.size() != reading.size() || text.size() > rt::kMaxWordLength) {
            continue; // erhua spellings and the like: one syllable per character is what we read
        }
        if (text.size() == 1) {
            double percent = -1;
            if (fields.size() >= 3 && fields[2].back() == '%') {
                percent = std::stod(fields[2].substr(0, fields[2].size() - 1));
            }
            lexicon.characters[text[0]].emplace_back(reading[0], percent);
        } else {
            auto& readings = lexicon.words[text];
            if (std::find(readings.begin(), readings.end(), reading) == readings.end()) {
                readings.push_back(reading);
            }
        }
    }
    return body;
}

// Calls `row` with the fields of each line of a tab-separated file that has `count` of them.
template <typename Row> void readRows(const char* path, std::size_t count, Row row) {
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        const std::vector<std::string> fields = split(line, '\t');
        if (fields.size() == count) {
            row(fields);
        }
    }
}

bool readFrequencies(const char* path, Lexicon& lexicon) {
    readRows(path, 2, [&lexicon](const std::vector<std::string>& fields) {
        lexicon.frequency[decodeUtf8(fields[0])] += std::stod(fields[1]);
    });
    return !lexicon.frequency.empty();
}

bool readMainland(const char* path, Lexicon& lexicon) {
    readRows(path, 3, [&lexicon](const std::vector<std::string>& fields) {
        const std::u32string text = decodeUtf8(fields[0]);
        MainlandWord word{parseReading(fields[1]), std::stod(fields[2])};
        if (text.empty() || text.size() != word.reading.size() || text.size() > rt::kMaxWordLength) {
            return;
        }
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (word.reading[i].tone != 5) {
                lexicon.mainlandReadings[text[i]].insert(word.reading[i]);
            }
        }
        lexicon.mainland[text] = std::move(word);
    });
    return !lexicon.mainland.empty();
}

// The standard dictionary's readings of the words Terra Pinyin or the mainland list reads with a
// neutral tone (data/reading/neutral-tones.tsv: word, syllables).
bool readStandardReadings(const char* path, Lexicon& lexicon) {
    readRows(path, 2, [&lexicon](const std::vector<std::string>& fields) {
        const std::u32string text = decodeUtf8(fields[0]);
        Reading reading = parseReading(fields[1]);
        if (!text.empty() && reading.size() == text.size()) {
            lexicon.standard[text].push_back(std::move(reading));
        }
    });
    return !lexicon.standard.empty();
}

// The share of a character's uses that take this reading, 0–100. Readings given without a
// percentage share what the others leave.
double characterWeight(const Lexicon& lexicon, char32_t c, const Syllable& s) {
    const auto it = lexicon.characters.find(c);
    if (it == lexicon.characters.end()) {
        return 100;
    }
    double given = 0;
    int unweighted = 0;
    for (const auto& [reading, percent] : it->second) {
        percent >= 0 ? given += percent : ++unweighted;
    }
    for (const auto& [reading, percent] : it->second) {
        if (reading == s) {
            return percent >= 0 ? percent : std::max(0.0, 100 - given) / unweighted;
        }
    }
    return 0;
}

bool isNumeral(char32_t c) {
    return std::u32string_view(U"〇一二三四五六七八九十兩两").find(c) != std::u32string_view::npos;
}

// The tone that 一 or 不 takes in this position by the tone-change rules, 0 when they do not say.
unsigned changedTone(const std::u32string& text, const Reading& reading, std::size_t i) {
    if (i + 1 >= text.size()) {
        return 0;
    }
    const unsigned next = reading[i + 1].tone;
    if (text[i] == U'不') {
        if (i > 0 && text[i - 1] == text[i + 1]) {
            return 5;
        }
        return next == 4 || next == 5 ? 2 : 4;
    }
    if (text[i] == U'一' && !isNumeral(text[i + 1]) && (i == 0 || text[i - 1] != U'第')) {
        return next == 4 || next == 5 ? 2 : 4;
    }
    return 0;
}

// Whether 不 at `i` of a word is light: in a yes-no question (好不好) or before a complement of
// result or possibility after a verb (看不见, 来不及); not after an adverb (好久不见, 毫不在意).
bool lightNegation(const std::u32string& text, std::size_t i) {
    if (i == 0 || i + 1 >= text.size()) {
        return false;
    }
    return text[i - 1] == text[i + 1] ||
           std::u32string_view(U"毫久决绝从永并也都还就再又更最很太").find(text[i - 1]) ==
               std::u32string_view::npos;
}

// Of several readings of a word, the one most likely meant: each syllable weighs as common as its
// reading of the character; a neutral tone after the first syllable is the spoken form of that
// syllable and costs nothing; 一 and 不 must follow their tone changes. Between otherwise equal
// readings the one with more neutral tones wins, as dictionaries give the spoken form.
Reading chooseReading(const Lexicon& lexicon, const std::u32string& text,
                      const std::vector<Reading>& readings) {
    const Reading* best = nullptr;
    double bestScore = 0;
    int bestNeutral = 0;
    for (const Reading& reading : readings) {
        double score = 0;
        int neutral = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const Syllable& s = reading[i];
            if (text[i] == U'一' || text[i] == U'不') {
                const unsigned expected = changedTone(text, reading, i);
                score += expected != 0 && expected != s.tone ? -50 : 0;
                continue;
            }
            double weight = characterWeight(lexicon, text[i], s);
            if (s.tone == 5 && i > 0) {
                ++neutral;
                for (unsigned t = 1; t <= 4; ++t) {
                    weight = std::max(weight, characterWeight(lexicon, text[i], Syllable{s.letters, t}));
                }
            }
            score += std::log(weight + 0.01) + (lexicon.isMainland(text[i], s) ? 0 : -20);
        }
        if (best == nullptr || score > bestScore + 1e-9 ||
            (std::abs(score - bestScore) <= 1e-9 && neutral > bestNeutral)) {
            best = &reading;
            bestScore = score;
            bestNeutral = neutral;
        }
    }
    return *best;
}

class Folder {
public:
    Folder() : converter_(opencc_open("t2s.json")) {}
    ~Folder() {
        if (ok()) {
            opencc_close(converter_);
        }
    }
    bool ok() const {
        return reinterpret_cast<std::intptr_t>(converter_) != -1;
    } // -1: OpenCC's failure value

    char32_t fold(char32_t c) {
        const auto known = folds_.find(c);
        if (known != folds_.end()) {
            return known->second;
        }
        const std::string in = encodeUtf8(c);
        char* converted = opencc_convert_utf8(converter_, in.c_str(), in.size());
        char32_t result = c;
        if (converted != nullptr) {
            const std::u32string out = decodeUtf8(converted);
            if (out.size() == 1) {
                result = out[0];
            }
            opencc_convert_utf8_free(converted);
        }
        folds_.emplace(c, result);
        return result;
    }

    // A character that is to stay itself, whatever OpenCC makes of it.
    void keep(char32_t c) { folds_[c] = c; }
    // A character to be read as `to`, whatever OpenCC makes of it.
    void foldOnto(char32_t c, char32_t to) { folds_[c] = to; }

    std::u32string fold(const std::u32string& text) {
        std::u32string out;
        for (const char32_t c : text) {
            out.push_back(fold(c));
        }
        return out;
    }

    std::vector<rt::FoldPair> pairs() const {
        std::vector<rt::FoldPair> out;
        for (const auto& [from, to] : folds_) {
            if (from != to) {
                out.push_back({static_cast<std::uint32_t>(from), static_cast<std::uint32_t>(to)});
            }
        }
        return out;
    }

private:
    opencc_t converter_;
    std::map<char32_t, char32_t> folds_;
};

struct Choice {
    Reading reading;
    double frequency = 0; // of the spelling the reading came from
    double total = 0;     // of every spelling folded onto the key
    bool composed = false;
    bool mainland = false;
};

// Common words of the frequency list that the lexicon lacks (长大, 看着) still guide segmentation;
// their characters are read one by one.
constexpr double kComposedWordFrequency = 500;

template <typename T> void put(std::string& out, const T& value) {
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

} // namespace

int main(int argc, char** argv) {
    enum { OUT = 5, DIGEST = 6 };
    if (argc != 7) {
        std::cerr << "usage: make_reading_table DICT ESSAY MAINLAND NEUTRAL OUT.bin OUT-digest.h\n";
        return 2;
    }
    Lexicon lexicon;
    if (!readLexicon(argv[1], lexicon)) {
        std::cerr << "make_reading_table: cannot read the lexicon " << argv[1] << "\n";
        return 1;
    }
    if (!readFrequencies(argv[2], lexicon)) {
        std::cerr << "make_reading_table: cannot read the word frequencies " << argv[2] << "\n";
        return 1;
    }
    if (!readMainland(argv[3], lexicon)) {
        std::cerr << "make_reading_table: cannot read the mainland readings " << argv[3] << "\n";
        return 1;
    }
    if (!readStandardReadings(argv[4], lexicon)) {
        std::cerr << "make_reading_table: cannot read the neutral tones " << argv[4] << "\n";
        return 1;
    }
    Folder folder;
    if (!folder.ok()) {
        std::cerr << "make_reading_table: OpenCC's t2s.json is missing\n";
        return 1;
    }
    // A character the mainland list reads on its own is a character of today's script, not a
    // traditional form of another (吒 is not 咤, 著 not 着): it keeps its own readings.
    for (const auto& [text, word] : lexicon.mainland) {
        if (text.size() == 1) {
            folder.keep(text[0]);
        }
    }
    // OpenCC makes 閤 合, but it stands for 阁 in most of its uses (閤下, 内閤, 閤门); words that mean
    // 阖 (閤家) keep the reading they have in the lexicon.
    folder.foldOnto(U'閤', U'阁');
    // The standard dictionary's words are looked up as the table's keys are.
    std::map<std::u32string, std::vector<Reading>> standard;
    for (auto& [text, readings] : lexicon.standard) {
        auto& to = standard[folder.fold(text)];
        to.insert(to.end(), readings.begin(), readings.end());
    }
    lexicon.standard = std::move(standard);
    const auto frequencyOf = [&lexicon](const std::u32string& text) {
        const auto it = lexicon.frequency.find(text);
        return it == lexicon.frequency.end() ? 0.0 : it->second;
    };

    std::map<std::u32string, Choice> chosen;
    // Characters: a key's readings weighted by how often each spelling folded onto it occurs.
    std::map<char32_t, std::map<Syllable, double>> characterVotes;
    std::map<char32_t, double> characterTotals;
    for (const auto& [c, readings] : lexicon.characters) {
        const char32_t key = folder.fold(c);
        const double frequency = frequencyOf(std::u32string(1, c)) + 1;
        characterTotals[key] += frequency;
        for (const auto& [syllable, percent] : readings) {
            characterVotes[key][syllable] += frequency * characterWeight(lexicon, c, syllable);
        }
    }
    for (const auto& [key, votes] : characterVotes) {
        const auto best = std::max_element(votes.begin(), votes.end(),
                                           [](const auto& a, const auto& b) { return a.second < b.second; });
        chosen[std::u32string(1, key)] = Choice{Reading{best->first}, 0, characterTotals[key]};
    }
    for (const auto& [text, readings] : lexicon.words) {
        const std::u32string key = folder.fold(text);
        const double frequency = frequencyOf(text);
        Choice& choice = chosen[key];
        if (choice.reading.empty() || frequency > choice.frequency) {
            choice.reading = chooseReading(lexicon, text, readings);
            choice.frequency = frequency;
        }
        choice.total += frequency;
    }

    // Mainland readings: each character's own, and each word's, before Terra Pinyin's; a Terra word
    // that reads a character as no mainland word does takes the character's mainland reading.
    // A character the list lacks alone takes the reading its words give it most often.
    std::map<char32_t, Syllable> mainlandDefault;
    std::map<char32_t, std::map<Syllable, double>> wordVotes;
    for (const auto& [text, word] : lexicon.mainland) {
        for (std::size_t i = 0; i < text.size() && text.size() > 1; ++i) {
            if (word.reading[i].tone != 5) {
                wordVotes[folder.fold(text[i])][word.reading[i]] += word.share;
            }
        }
    }
    for (const auto& [c, votes] : wordVotes) {
        const auto best = std::max_element(votes.begin(), votes.end(),
                                           [](const auto& a, const auto& b) { return a.second < b.second; });
        mainlandDefault[c] = best->first;
        if (c != U'一' && c != U'不') {
            chosen[std::u32string(1, c)].reading = Reading{best->first};
        }
    }
    std::vector<double> scales; // essay counts per mainland share, for words in both lists
    for (const auto& [text, word] : lexicon.mainland) {
        const std::u32string key = folder.fold(text);
        if (key.size() == 1) {
            mainlandDefault[key[0]] = word.reading[0];
            chosen[key].reading = word.reading;
        } else if (const auto it = chosen.find(key);
                   it != chosen.end() && it->second.total > 0 && word.share > 0) {
            scales.push_back(it->second.total / word.share);
        }
    }
    std::sort(scales.begin(), scales.end());
    const double scale = scales.empty() ? 1.0 : scales[scales.size() / 2];
    for (auto& [key, choice] : chosen) {
        if (key.size() < 2 || lexicon.mainland.count(key) != 0) {
            continue;
        }
        for (std::size_t i = 0; i < key.size(); ++i) {
            Syllable& s = choice.reading[i];
            if (key[i] == U'不' && s.tone == 5 && !lightNegation(key, i)) {
                s.tone = i + 1 < key.size() && choice.reading[i + 1].tone >= 4 ? 2 : 4;
            }
            if (s.tone == 5 && i > 0 && key[i] != U'不') {
                s = lexicon.standardFullTone(key, i, s).value_or(s);
            }
            const auto fallback = mainlandDefault.find(key[i]);
            if (fallback == mainlandDefault.end() || key[i] == U'一' || key[i] == U'不' || s.tone == 5) {
                continue;
            }
            if (!lexicon.isMainland(key[i], s)) {
                s = fallback->second;
            }
        }
    }
    for (const auto& [text, word] : lexicon.mainland) {
        const std::u32string key = folder.fold(text);
        if (key.size() < 2) {
            continue;
        }
        Choice& choice = chosen[key];
        // Where the list and Terra Pinyin disagree on a neutral tone, the standard dictionary
        // decides: the list gives full tones where speech has the neutral one (名字 ming2 zi4), so a
        // neutral tone of Terra Pinyin's stays unless the dictionary has the full tone (牌坊 fang1,
        // 但是 shi4); the list's own neutral tone gives way to a full one of Terra Pinyin's unless the
        // dictionary has the neutral tone (懒得 de5) or Terra's is a Taiwan reading (知识分子 shi4).
        const Reading terra = choice.composed ? Reading{} : choice.reading;
        choice.reading = word.reading;
        for (std::size_t i = 0; i < terra.size() && terra.size() == key.size(); ++i) {
            const bool sameLetters = terra[i].letters == choice.reading[i].letters;
            if ((terra[i].tone == 5 && !lexicon.standardFullTone(key, i, terra[i])) ||
                (sameLetters && choice.reading[i].tone == 5 && lexicon.isMainland(key[i], terra[i]) &&
                 !lexicon.standardNeutral(key, i).value_or(false))) {
                choice.reading[i] = terra[i];
            }
        }
        choice.composed = false;
        choice.mainland = true;
        if (choice.total <= 0) {
            choice.total = choice.frequency = word.share * scale;
        }
    }

    for (const auto& [text, frequency] : lexicon.frequency) {
        if (text.size() < 2 || text.size() > rt::kMaxWordLength || frequency < kComposedWordFrequency) {
            continue;
        }
        const std::u32string key = folder.fold(text);
        if (chosen.count(key) != 0) {
            continue;
        }
        Reading reading;
        for (const char32_t c : key) {
            const auto it = chosen.find(std::u32string(1, c));
            if (it == chosen.end()) {
                break;
            }
            reading.push_back(it->second.reading[0]);
        }
        if (reading.size() == key.size()) {
            chosen[key] = Choice{reading, frequency, frequency, true};
        }
    }

    double allWords = 0;
    for (const auto& [text, frequency] : lexicon.frequency) {
        allWords += frequency;
    }
    // What segmentation minimises: −ln of the word's share of all words. A word of the lexicon that
    // the frequency list lacks (人参, 了解 spelled so) still costs a little less than its
    // characters one by one, so that it is kept together when nothing better covers them.
    const auto characterCost = [&chosen, allWords](char32_t c) {
        const auto it = chosen.find(std::u32string(1, c));
        return -std::log(std::max(it == chosen.end() ? 0.0 : it->second.total, 1.0) / allWords);
    };
    const auto costOf = [&](const std::u32string& key, const Choice& choice) {
        if (choice.total > 0 || key.size() == 1) {
            return -std::log(std::max(choice.total, 1.0) / allWords);
        }
        double split = 0;
        for (const char32_t c : key) {
            split += characterCost(c);
        }
        return split * 0.95;
    };
    std::vector<std::string> syllables;
    {
        // lo, the particle 咯 that ends a clause, is a syllable no entry spells.
        std::set<std::string> letters = {"lo"};
        for (const auto& [key, choice] : chosen) {
            for (const Syllable& s : choice.reading) {
                letters.insert(s.letters);
            }
        }
        syllables.assign(letters.begin(), letters.end());
    }
    const auto syllableIndex = [&syllables](const std::string& letters) {
        return static_cast<std::uint32_t>(std::lower_bound(syllables.begin(), syllables.end(), letters) -
                                          syllables.begin());
    };

    std::string syllableBytes;
    for (const std::string& s : syllables) {
        std::string padded = s;
        padded.resize(rt::kSyllableBytes, '\0');
        syllableBytes += padded;
    }
    const std::vector<rt::FoldPair> folds = folder.pairs();
    std::string foldBytes;
    for (const rt::FoldPair& pair : folds) {
        put(foldBytes, pair);
    }
    std::string entryBytes, keyBytes, readingBytes;
    std::uint32_t keyCount = 0, readingCount = 0;
    for (const auto& [key, choice] : chosen) {
        rt::Entry entry{};
        entry.key = keyCount;
        entry.reading = readingCount;
        entry.length = static_cast<std::uint8_t>(key.size());
        entry.flags = static_cast<std::uint8_t>((choice.composed ? rt::kComposed : 0) |
                                                (choice.mainland ? rt::kMainland : 0));
        entry.cost = static_cast<std::uint16_t>(std::lround(costOf(key, choice) * 100));
        put(entryBytes, entry);
        for (std::size_t i = 0; i < key.size(); ++i) {
            put(keyBytes, static_cast<std::uint32_t>(key[i]));
            put(readingBytes,
                rt::readingCode(syllableIndex(choice.reading[i].letters), choice.reading[i].tone));
        }
        keyCount += static_cast<std::uint32_t>(key.size());
        readingCount += static_cast<std::uint32_t>(key.size());
    }
    while (readingBytes.size() % 4 != 0) {
        readingBytes.push_back('\0');
    }

    rt::Header header{};
    std::memcpy(header.magic, rt::kMagic, sizeof header.magic);
    std::uint32_t offset = sizeof header;
    header.syllableCount = static_cast<std::uint32_t>(syllables.size());
    header.syllableOffset = offset;
    offset += static_cast<std::uint32_t>(syllableBytes.size());
    header.foldCount = static_cast<std::uint32_t>(folds.size());
    header.foldOffset = offset;
    offset += static_cast<std::uint32_t>(foldBytes.size());
    header.entryCount = static_cast<std::uint32_t>(chosen.size());
    header.entryOffset = offset;
    offset += static_cast<std::uint32_t>(entryBytes.size());
    header.keyOffset = offset;
    offset += static_cast<std::uint32_t>(keyBytes.size());
    header.readingOffset = offset;
    offset += static_cast<std::uint32_t>(readingBytes.size());
    header.totalBytes = offset;

    const std::string body = syllableBytes + foldBytes + entryBytes + keyBytes + readingBytes;
    std::uint64_t digest = 0xcbf29ce484222325ULL;
    for (const char byte : body) {
        digest = (digest ^ static_cast<unsigned char>(byte)) * 0x100000001b3ULL;
    }
    header.digestLow = static_cast<std::uint32_t>(digest);
    header.digestHigh = static_cast<std::uint32_t>(digest >> 32);

    std::string table;
    put(table, header);
    table += body;
    std::ofstream out(argv[OUT], std::ios::binary | std::ios::trunc);
    out.write(table.data(), static_cast<std::streamsize>(table.size()));
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(digest));
    std::ofstream digestHeader(argv[DIGEST], std::ios::trunc);
    digestHeader << "// Written by make_reading_table: changes whenever the reading table does.\n"
                 << "#define VELANOTE_READING_TABLE_DIGEST \"" << hex << "\"\n"
                 << "#define VELANOTE_READING_TABLE_FILE \"" << argv[OUT] << "\"\n";
    if (!out || !digestHeader) {
        std::cerr << "make_reading_table: cannot write " << argv[OUT] << "\n";
        return 1;
    }
    std::cout << "reading table: " << chosen.size() << " entries, " << syllables.size() << " syllables, "
              << folds.size() << " folded characters, " << table.size() << " bytes\n";
    return 0;
}
