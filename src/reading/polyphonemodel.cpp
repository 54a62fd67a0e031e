#include "reading/polyphonemodel.h"

#include "reading/embeddedfile.h"
#include "reading/polyphonemodeldigest.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>

// The model itself; the digest header above changes with it.
VELANOTE_EMBED_FILE(velanote_polyphone_model, VELANOTE_POLYPHONE_MODEL_FILE);

namespace velanote {

namespace {

// The layout, little-endian: the header; syllableCount spellings of 8 bytes ("zhang3", zero-padded);
// entryCount feature keys (uint64, sorted; a key repeats once per syllable it weighs); entryCount
// weights, each a syllable index and a weight in 1/1024ths.
struct Header {
    char magic[8];
    std::uint32_t syllableCount;
    std::uint32_t entryCount;
    std::uint32_t digestLow, digestHigh;
};
constexpr char kMagic[8] = {'V', 'N', 'P', 'O', 'L', 'Y', '0', '1'};
constexpr std::size_t kSyllableBytes = 8;
// How many characters make a short text, and by how much (in 1/1024ths) the model must prefer
// another reading there to overrule the lexicon's.
constexpr std::size_t kShortText = 6;
constexpr int kShortTextMargin = 3 * 1024;

// Feature kinds; the bias (kind 0) lists the readings the model knows for a character.
enum Kind : unsigned {
    kBias,
    kLeft,
    kRight,
    kLeftTwo,
    kRightTwo,
    kAround,
    kWord,
    kPreviousWord,
    kNextWord,
    kLexicon,
    kLeftThree,
    kRightThree,
    kShared,
    kLeftEdge,
    kRightEdge,
};

} // namespace

char32_t PolyphoneModel::edgeKind(char32_t c) {
    const auto among = [c](std::u32string_view set) { return set.find(c) != std::u32string_view::npos; };
    if (c == 0) {
        return U'^';
    }
    if (among(U"。！？!?")) {
        return U'.';
    }
    if (among(U"，、；：,;:")) {
        return U',';
    }
    if (among(U"（“《「『(\"‘[【")) {
        return U'(';
    }
    if (among(U"）”》」』)’]】")) {
        return U')';
    }
    if (c >= U'0' && c <= U'9') {
        return U'0';
    }
    if ((c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z')) {
        return U'a';
    }
    if (among(U"·•-—")) {
        return U'-';
    }
    return c == U' ' ? U' ' : U'?';
}

struct PolyphoneModel::Weight {
    std::uint16_t syllable;
    std::int16_t weight;
};

std::uint64_t PolyphoneModel::featureKey(char32_t c, unsigned kind, std::u32string_view text,
                                         std::string_view extra) {
    std::uint64_t h = 0xcbf29ce484222325ULL;
    const auto mix = [&h](std::uint32_t value) {
        for (int b = 0; b < 4; ++b) {
            h = (h ^ ((value >> (8 * b)) & 0xffu)) * 0x100000001b3ULL;
        }
    };
    mix(c);
    mix(kind);
    for (const char32_t t : text) {
        mix(t);
    }
    for (const char e : extra) {
        h = (h ^ static_cast<unsigned char>(e)) * 0x100000001b3ULL;
    }
    return h;
}

std::uint64_t PolyphoneModel::sharedKey(unsigned kind) {
    return featureKey(0, kShared, {}, std::string(1, static_cast<char>('0' + kind)));
}

void PolyphoneModel::features(const Context& x, std::vector<std::uint64_t>& out) {
    out.clear();
    const std::u32string_view run = x.run;
    const char32_t c = run[x.at];
    // The characters beside it; 0 marks the edge of the run.
    const auto window = [&run](std::size_t count, std::ptrdiff_t start) {
        std::u32string w;
        for (std::size_t k = 0; k < count; ++k) {
            const std::ptrdiff_t i = start + static_cast<std::ptrdiff_t>(k);
            w.push_back(
                i < 0 || static_cast<std::size_t>(i) >= run.size() ? 0 : run[static_cast<std::size_t>(i)]);
        }
        return w;
    };
    const auto at = static_cast<std::ptrdiff_t>(x.at);
    out.push_back(featureKey(c, kBias, {}));
    out.push_back(featureKey(c, kLeft, window(1, at - 1)));
    out.push_back(featureKey(c, kRight, window(1, at + 1)));
    out.push_back(featureKey(c, kLeftTwo, window(2, at - 2)));
    out.push_back(featureKey(c, kRightTwo, window(2, at + 1)));
    out.push_back(featureKey(c, kLeftThree, window(3, at - 3)));
    out.push_back(featureKey(c, kRightThree, window(3, at + 1)));
    std::u32string around = window(1, at - 1) + window(1, at + 1);
    out.push_back(featureKey(c, kAround, around));
    const char offset[2] = {static_cast<char>('0' + std::min<std::size_t>(x.at - x.wordStart, 9)), 0};
    out.push_back(featureKey(c, kWord, run.substr(x.wordStart, x.wordLength), std::string_view(offset, 1)));
    out.push_back(featureKey(c, kPreviousWord, x.previousWord));
    out.push_back(featureKey(c, kNextWord, x.nextWord));
    // Whether the character begins or ends the run, and what stands past it there.
    const auto edge = [](bool atEdge, char32_t beyond) {
        return std::u32string(1, atEdge ? edgeKind(beyond) : U'+');
    };
    out.push_back(featureKey(c, kLeftEdge, edge(x.at == 0, x.before)));
    out.push_back(featureKey(c, kRightEdge, edge(x.at + 1 == run.size(), x.after)));
    std::string lexicon(x.lexiconReading);
    lexicon += x.wordLength > 1 ? "w" : "a";
    out.push_back(featureKey(c, kLexicon, {}, lexicon));
}

const PolyphoneModel& PolyphoneModel::builtIn() {
    static const PolyphoneModel model(std::string_view(
        velanote_polyphone_model_begin,
        static_cast<std::size_t>(velanote_polyphone_model_end - velanote_polyphone_model_begin)));
    return model;
}

PolyphoneModel::PolyphoneModel(std::string_view bytes) {
    if (bytes.size() < sizeof(Header)) {
        return;
    }
    Header header;
    std::memcpy(&header, bytes.data(), sizeof header);
    const std::uint64_t expected =
        sizeof header + std::uint64_t{header.syllableCount} * kSyllableBytes +
        std::uint64_t{header.entryCount} * (sizeof(std::uint64_t) + sizeof(Weight));
    if (std::memcmp(header.magic, kMagic, sizeof kMagic) != 0 || expected != bytes.size() ||
        reinterpret_cast<std::uintptr_t>(bytes.data()) % alignof(std::uint64_t) != 0) {
        return;
    }
    bytes_ = bytes;
    syllables_ = bytes.data() + sizeof header;
    syllableCount_ = header.syllableCount;
    keys_ = reinterpret_cast<const std::uint64_t*>(syllables_ + std::size_t{syllableCount_} * kSyllableBytes);
    weights_ = reinterpret_cast<const Weight*>(keys_ + header.entryCount);
    for (std::uint32_t i = 0; i < header.entryCount; ++i) {
        if (weights_[i].syllable >= syllableCount_ || (i > 0 && keys_[i] < keys_[i - 1])) {
            return;
        }
    }
    entryCount_ = header.entryCount;
}

const PolyphoneModel::Weight* PolyphoneModel::find(std::uint64_t key, std::size_t& count) const {
    const std::uint64_t* end = keys_ + entryCount_;
    const auto [first, last] = std::equal_range(keys_, end, key);
    count = static_cast<std::size_t>(last - first);
    return weights_ + (first - keys_);
}

std::string_view PolyphoneModel::syllable(std::uint16_t index) const {
    const char* s = syllables_ + std::size_t{index} * kSyllableBytes;
    return std::string_view(s, strnlen(s, kSyllableBytes));
}

std::string_view PolyphoneModel::choose(const Context& context) const {
    if (empty()) {
        return {};
    }
    const char32_t c = context.run[context.at];
    std::size_t count = 0;
    const Weight* bias = find(featureKey(c, kBias, {}), count);
    if (count == 0) {
        return {};
    }
    // The readings the model knows for the character, with the bias of each.
    constexpr std::size_t kMostReadings = 8;
    std::uint16_t candidates[kMostReadings];
    std::int32_t scores[kMostReadings];
    const std::size_t n = std::min(count, kMostReadings);
    bool knowsLexicon = false;
    for (std::size_t k = 0; k < n; ++k) {
        candidates[k] = bias[k].syllable;
        scores[k] = bias[k].weight;
        knowsLexicon = knowsLexicon || syllable(candidates[k]) == context.lexiconReading;
    }
    if (!knowsLexicon && context.wordLength > 1) {
        return {}; // a word of the lexicon reads it as the model never saw: the word knows better
    }
    std::size_t found = 0;
    const Weight* shared = find(sharedKey(context.settled ? 2 : context.wordLength > 1 ? 1 : 0), found);
    for (std::size_t k = 0; k < n && found > 0; ++k) {
        if (syllable(candidates[k]) == context.lexiconReading) {
            scores[k] += shared->weight;
        }
    }
    std::vector<std::uint64_t> keys;
    features(context, keys);
    for (std::size_t f = 1; f < keys.size(); ++f) {
        const Weight* w = find(keys[f], found);
        for (std::size_t j = 0; j < found; ++j) {
            for (std::size_t k = 0; k < n; ++k) {
                if (candidates[k] == w[j].syllable) {
                    scores[k] += w[j].weight;
                }
            }
        }
    }
    const std::size_t best = static_cast<std::size_t>(std::max_element(scores, scores + n) - scores);
    // In a short text (a word, a greeting) there is little context to go by: the lexicon's
    // reading stands unless the model is sure.
    const int margin = context.textLength < kShortText ? kShortTextMargin : 0;
    for (std::size_t k = 0; k < n; ++k) {
        if (syllable(candidates[k]) == context.lexiconReading && scores[best] - scores[k] < margin) {
            return syllable(candidates[k]);
        }
    }
    return syllable(candidates[best]);
}

std::string PolyphoneModel::compile(std::vector<Entry> entries) {
    std::map<std::string, std::uint16_t> index;
    for (const Entry& e : entries) {
        index.emplace(e.reading.substr(0, kSyllableBytes - 1), 0);
    }
    std::string syllables;
    for (auto& [spelling, i] : index) {
        i = static_cast<std::uint16_t>(syllables.size() / kSyllableBytes);
        std::string padded = spelling;
        padded.resize(kSyllableBytes, '\0');
        syllables += padded;
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry& a, const Entry& b) { return a.feature < b.feature; });
    std::string keys, weights;
    for (const Entry& e : entries) {
        keys.append(reinterpret_cast<const char*>(&e.feature), sizeof e.feature);
        const long scaled = std::clamp(std::lround(e.weight * 1024.0f), -32767L, 32767L);
        const Weight w{index.at(e.reading.substr(0, kSyllableBytes - 1)), static_cast<std::int16_t>(scaled)};
        weights.append(reinterpret_cast<const char*>(&w), sizeof w);
    }
    const std::string body = syllables + keys + weights;
    std::uint64_t digest = 0xcbf29ce484222325ULL;
    for (const char byte : body) {
        digest = (digest ^ static_cast<unsigned char>(byte)) * 0x100000001b3ULL;
    }
    Header header{};
    std::memcpy(header.magic, kMagic, sizeof kMagic);
    header.syllableCount = static_cast<std::uint32_t>(index.size());
    header.entryCount = static_cast<std::uint32_t>(entries.size());
    header.digestLow = static_cast<std::uint32_t>(digest);
    header.digestHigh = static_cast<std::uint32_t>(digest >> 32);
    return std::string(reinterpret_cast<const char*>(&header), sizeof header) + body;
}

std::string PolyphoneModel::digest() const {
    if (empty()) {
        return "none";
    }
    Header header;
    std::memcpy(&header, bytes_.data(), sizeof header);
    char hex[17];
    std::snprintf(hex, sizeof hex, "%08x%08x", header.digestHigh, header.digestLow);
    return hex;
}

} // namespace velanote
