#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velanote {

// The context model that picks the reading of a character with several (长 zhang3 or chang2) from
// its neighbours: a linear model over features of the characters and words around it, trained on
// labelled sentences by tools/make_polyphone_model. Read in place from its compiled bytes (the
// model built into the program, or one made in memory); immutable.
class PolyphoneModel {
public:
    // What stands past the edge of a run of Chinese, by kind: '^' nothing, '.' where a sentence
    // ends, ',' a clause, '(' and ')' brackets and quotes, '0' digits, 'a' Latin letters, '-' a
    // name's dot, ' ' a blank, '?' anything else.
    static char32_t edgeKind(char32_t c);

    // What the reader knows of a character before the model is asked: the run of Chinese it sits
    // in, the word of the segmentation that holds it, the words beside it, and the reading the
    // lexicon gives it there.
    struct Context {
        std::u32string_view run;
        std::size_t at = 0;
        std::size_t wordStart = 0, wordLength = 1;
        bool settled = false;       // the word's reading is one the mainland standard list gives
        std::size_t textLength = 0; // characters of the whole text the run is part of
        std::u32string_view previousWord, nextWord;
        std::string_view lexiconReading; // "zhang3"
        char32_t before = 0, after = 0;  // what stands just outside the run (0: the text's edge)
    };
    // A character's features and the lexicon's reading of it, as the trainer sees them.
    struct Observation {
        std::vector<std::uint64_t> features;
        std::string lexiconReading;
        bool inWord = false;
        bool settled = false;
    };
    // The weights all characters share, given to the lexicon's reading: where the character stands
    // alone, in a word, in a settled word.
    static constexpr unsigned kSharedKinds = 3;
    static unsigned sharedKind(const Observation& o) { return o.settled ? 2 : o.inWord ? 1 : 0; }
    static std::uint64_t sharedKey(unsigned kind);

    // Hashed features of a character in context; the trainer and the model share them. The first
    // is the character's bias, the last the lexicon's reading.
    static void features(const Context& context, std::vector<std::uint64_t>& out);
    static std::uint64_t featureKey(char32_t c, unsigned kind, std::u32string_view text,
                                    std::string_view extra = {});

    // The model built into the program; empty if damaged. Nothing is read before the first call.
    static const PolyphoneModel& builtIn();

    // Views `bytes` (which must outlive the model); empty when they are not a model.
    explicit PolyphoneModel(std::string_view bytes);
    bool empty() const { return entryCount_ == 0; }

    // The reading the model gives the character ("chang2"), or empty when it knows the character
    // not at all or the lexicon's reading is none the model knows for it.
    std::string_view choose(const Context& context) const;

    std::string digest() const;

    // One weight of a model to compile: a feature, a reading, the weight.
    struct Entry {
        std::uint64_t feature;
        std::string reading;
        float weight;
    };
    // The bytes of a model holding `entries`.
    static std::string compile(std::vector<Entry> entries);

private:
    struct Weight;
    const Weight* find(std::uint64_t key, std::size_t& count) const;
    std::string_view syllable(std::uint16_t index) const;

    std::string_view bytes_;
    const char* syllables_ = nullptr;
    std::uint32_t syllableCount_ = 0;
    const std::uint64_t* keys_ = nullptr;
    const Weight* weights_ = nullptr;
    std::uint32_t entryCount_ = 0;
};

} // namespace velanote
