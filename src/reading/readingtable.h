#pragma once
#include "reading/readingtableformat.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velanote {

// The compiled lexicon of Mandarin readings, read in place: the table built into the program
// (from Rime's Terra Pinyin lexicon and its word frequencies) or any bytes of the same layout.
// Nothing is parsed or copied; a lookup touches only the pages it needs.
class ReadingTable {
public:
    // One word of the table that a text starts with.
    struct Match {
        unsigned length = 0;                     // characters
        std::uint16_t cost = 0;                  // −ln(frequency) × 100
        const std::uint16_t* readings = nullptr; // one syllable code per character
        bool composed = false; // a word to keep together whose characters are read one by one
        bool mainland = false; // read as a mainland standard list reads it
    };

    // The built-in table; checked on first use. Empty (no entries) if it is damaged.
    static const ReadingTable& builtIn();

    // Views `bytes` (which must outlive the table); empty when they are not a table. Every entry is
    // checked unless the bytes are `trusted` (the table built with the program), whose pages are
    // then touched only as lookups need them.
    explicit ReadingTable(std::string_view bytes, bool trusted = false);

    bool empty() const { return header_ == nullptr; }

    // The character a text character is looked up as: simplified for traditional ones.
    char32_t fold(char32_t c) const;
    // Every word of the table that `folded` begins with, shortest first.
    void prefixes(std::u32string_view folded, std::vector<Match>& out) const;

    // "hang2" for a syllable code; empty for a code the table does not have.
    std::string spell(std::uint16_t code) const;
    // The code of a toneless spelling and a tone 1–5 ("hang", 2); nothing if the table lacks the syllable.
    std::optional<std::uint16_t> code(std::string_view letters, unsigned tone) const;
    // The code of a spelling with its tone ("hang2"); nothing if it is none the table has.
    std::optional<std::uint16_t> code(std::string_view spelled) const;

    // Changes whenever the table's contents do.
    std::string digest() const;
    std::size_t bytes() const;

private:
    const readingtable::Entry& entry(std::uint32_t i) const { return entries_[i]; }
    std::string_view syllable(std::uint32_t index) const;

    const readingtable::Header* header_ = nullptr;
    const char* base_ = nullptr;
    const readingtable::FoldPair* folds_ = nullptr;
    const readingtable::Entry* entries_ = nullptr;
    const std::uint32_t* keys_ = nullptr;
    const std::uint16_t* readings_ = nullptr;
};

} // namespace velanote
