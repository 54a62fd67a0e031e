#pragma once
#include "reading/polyphonemodel.h"
#include "reading/userlexicon.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velanote {

class ReadingTable;

// The reading front end: turns the Chinese in a text into tone-numbered pinyin for the voice
// ("银行" → "yin2 hang2"), leaving everything else as it is. It finds the words by their
// frequencies (the segmentation of least cost), takes each word's reading from the user's
// lexicon, then the corrections below, then the built-in table, and applies the tone changes of
// 一 and 不 and the neutral tones that the table leaves to context. Immutable; safe to share.
class MandarinReader {
public:
    // A word whose reading the built-in table gets wrong, and why.
    struct Correction {
        const char* word;
        const char* reading;
        const char* reason;
    };
    static const std::vector<Correction>& corrections();

    // `model` picks the readings of characters with several (none: the lexicon's alone).
    explicit MandarinReader(const ReadingTable& table, const UserLexicon& user = {},
                            const PolyphoneModel* model = &PolyphoneModel::builtIn());

    // The built-in table and corrections without a user lexicon; made on first use.
    static std::shared_ptr<const MandarinReader> builtIn();

    // The text as the voice should get it: each word of Chinese characters replaced by its
    // syllables, separated by blanks; characters the lexicon lacks and all other text unchanged.
    std::string read(std::u32string_view text) const;

    // What the user's lexicon says for a word of Latin letters (pinyin or English words); empty if
    // it has no such word.
    std::string userReading(std::u32string_view latinWord) const;

    // Each character's syllable as the voice gets it ("hang2"); empty for characters passed through.
    std::vector<std::string> syllables(std::u32string_view text) const;

    // What the context model sees of the character at `index`, read without the model; nothing
    // when it is not read as Chinese. For training the model.
    std::optional<PolyphoneModel::Observation> observe(std::u32string_view text, std::size_t index) const;

    // 40 hex digits that change whenever a reading could: table, rules, corrections, user lexicon.
    const std::string& digest() const { return digest_; }

    static bool isIdeograph(char32_t c);

private:
    struct Segment {
        std::size_t start = 0;
        unsigned length = 0;
        std::vector<std::uint16_t> readings; // empty: not in any lexicon, passed through
        bool fromUser = false;
        bool corrected = false; // from the corrections below
        bool composed = false;  // a common word the lexicon lacks: read by the words inside it
        bool mainland = false;  // a word the mainland standard list reads
    };
    struct Layer {
        std::map<std::u32string, std::vector<std::uint16_t>> words;
        unsigned longest = 0;
        void add(std::u32string folded, std::vector<std::uint16_t> readings);
    };

    std::u32string folded(std::u32string_view text) const;
    // The least costly cut into words; `wholeWords` admits the words to be read part by part.
    std::vector<Segment> segment(std::u32string_view folded, bool wholeWords) const;
    // Words to be read part by part are replaced by the words inside them.
    void expand(std::u32string_view folded, std::vector<Segment>& segments) const;
    // What stands around a run of Chinese: the length of the whole text it is part of, and the
    // characters just before and after it (0 at the text's edge).
    struct Surroundings {
        std::size_t textLength = 0;
        char32_t before = 0, after = 0;
    };
    // The model, then the rules, over the words of a run.
    void applyRules(std::u32string_view folded, std::vector<Segment>& segments,
                    const Surroundings& around) const;
    // Each character of a segmented run: its syllable (null: passed through), the word that holds
    // it, and whether it was read alone.
    struct RunView {
        std::u32string_view text;
        std::vector<std::uint16_t*> syllable;
        std::vector<const Segment*> owner;
        std::vector<bool> alone;
        char32_t at(std::size_t i, int offset) const; // 0 past either end
        unsigned nextTone(std::size_t i) const;       // 0: none follows
    };
    // The context model settles the characters with several readings.
    void applyModel(RunView& run, const std::vector<Segment>& segments, const Surroundings& around) const;
    // The tone changes of 一 and 不, and what a character's neighbours make of it.
    void applyCharacterRules(RunView& run) const;
    // The syllable a character read alone takes from its neighbours, if they decide it.
    std::optional<std::uint16_t> aloneReading(const RunView& run, std::size_t i) const;
    // Surnames before a form of address (曾老师) read as surnames.
    void applySurnames(RunView& run) const;
    // The context the model is asked with for the character at `at` of a segmented run.
    PolyphoneModel::Context context(std::u32string_view folded, const std::vector<Segment>& segments,
                                    std::size_t segment, std::size_t at, const Surroundings& around,
                                    std::string& lexiconReading) const;
    // Each character's syllable code (0: passed through).
    std::vector<std::uint16_t> readRun(std::u32string_view run, const Surroundings& around) const;
    // What stands around text[start, end).
    static Surroundings surroundings(std::u32string_view text, std::size_t start, std::size_t end);
    // The start and end of the run of Chinese around `index` of `text`.
    static std::pair<std::size_t, std::size_t> runAround(std::u32string_view text, std::size_t index);

    const ReadingTable& table_;
    const PolyphoneModel* model_;
    Layer corrections_;
    Layer user_;
    std::map<std::u32string, std::string> userLatin_;
    std::string digest_;
};

} // namespace velanote
