#pragma once
#include <cstdint>

// The layout of the compiled reading table, shared by the program that writes it at build time
// and the code that reads it in place. All numbers are little-endian; every section starts on a
// four-byte boundary; offsets count bytes from the start of the table.
//
//   header
//   syllables  syllableCount × 8 bytes: the toneless spelling ("zhuang", "lv"), zero-padded
//   folds      foldCount × FoldPair, sorted by `from`: a traditional or variant character and the
//              character it is looked up as (發 → 发); characters not listed stand for themselves
//   entries    entryCount × Entry, sorted by key (code point by code point, shorter first)
//   keys       the keys' code points as uint32
//   readings   one uint16 per character of each key: syllable index × 8 + tone (1–5)
namespace velanote::readingtable {

inline constexpr char kMagic[8] = {'V', 'N', 'R', 'E', 'A', 'D', '0', '1'};
inline constexpr std::uint32_t kSyllableBytes = 8;
inline constexpr unsigned kMaxWordLength = 8;

struct Header {
    char magic[8];
    std::uint32_t totalBytes;
    std::uint32_t syllableCount, syllableOffset;
    std::uint32_t foldCount, foldOffset;
    std::uint32_t entryCount, entryOffset;
    std::uint32_t keyOffset, readingOffset;
    std::uint32_t digestLow, digestHigh; // FNV-1a of everything after the header, for clip ids
};

struct FoldPair {
    std::uint32_t from;
    std::uint32_t to;
};

struct Entry {
    std::uint32_t key;     // index of the first code point in keys
    std::uint32_t reading; // index of the first reading in readings
    std::uint16_t cost;    // −ln(word frequency) × 100: what segmentation minimises
    std::uint8_t length;   // characters
    std::uint8_t flags;
};

// An entry for segmentation only: a common word the lexicon lacks, to be read character by character.
inline constexpr std::uint8_t kComposed = 1;
// A word whose reading a mainland standard list gives: the context model leaves it as it is.
inline constexpr std::uint8_t kMainland = 2;

static_assert(sizeof(Header) == 52);
static_assert(sizeof(Entry) == 12);

inline constexpr std::uint16_t readingCode(std::uint32_t syllable, unsigned tone) {
    return static_cast<std::uint16_t>(syllable * 8 + tone);
}

} // namespace velanote::readingtable
