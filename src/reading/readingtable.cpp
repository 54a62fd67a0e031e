#include "reading/readingtable.h"

#include "reading/embeddedfile.h"
#include "reading/readingtabledigest.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

// The table itself; the digest header above changes with it.
VELANOTE_EMBED_FILE(velanote_reading_table, VELANOTE_READING_TABLE_FILE);

namespace velanote {

namespace rt = readingtable;

const ReadingTable& ReadingTable::builtIn() {
    static const ReadingTable table(
        std::string_view(velanote_reading_table_begin,
                         static_cast<std::size_t>(velanote_reading_table_end - velanote_reading_table_begin)),
        true);
    return table;
}

ReadingTable::ReadingTable(std::string_view bytes, bool trusted) {
    if (bytes.size() < sizeof(rt::Header)) {
        return;
    }
    const auto* header = reinterpret_cast<const rt::Header*>(bytes.data());
    const auto fits = [&bytes](std::uint32_t offset, std::uint64_t count, std::size_t size) {
        return offset % 4 == 0 && offset <= bytes.size() && count * size <= bytes.size() - offset;
    };
    if (std::memcmp(header->magic, rt::kMagic, sizeof header->magic) != 0 ||
        header->totalBytes != bytes.size() ||
        !fits(header->syllableOffset, header->syllableCount, rt::kSyllableBytes) ||
        !fits(header->foldOffset, header->foldCount, sizeof(rt::FoldPair)) ||
        !fits(header->entryOffset, header->entryCount, sizeof(rt::Entry))) {
        return;
    }
    base_ = bytes.data();
    folds_ = reinterpret_cast<const rt::FoldPair*>(base_ + header->foldOffset);
    entries_ = reinterpret_cast<const rt::Entry*>(base_ + header->entryOffset);
    keys_ = reinterpret_cast<const std::uint32_t*>(base_ + header->keyOffset);
    readings_ = reinterpret_cast<const std::uint16_t*>(base_ + header->readingOffset);
    // Every entry must point inside the key and reading sections.
    const std::uint64_t keyCount =
        (header->readingOffset - std::min(header->readingOffset, header->keyOffset)) / 4;
    const std::uint64_t readingCount =
        (bytes.size() - std::min<std::size_t>(bytes.size(), header->readingOffset)) / 2;
    for (std::uint32_t i = 0; i < header->entryCount && !trusted; ++i) {
        const rt::Entry& e = entries_[i];
        if (e.length == 0 || e.length > rt::kMaxWordLength || e.key + std::uint64_t{e.length} > keyCount ||
            e.reading + std::uint64_t{e.length} > readingCount) {
            return;
        }
    }
    header_ = header;
}

char32_t ReadingTable::fold(char32_t c) const {
    if (header_ == nullptr) {
        return c;
    }
    const rt::FoldPair* end = folds_ + header_->foldCount;
    const rt::FoldPair* it = std::lower_bound(
        folds_, end, c, [](const rt::FoldPair& p, char32_t value) { return p.from < value; });
    return it != end && it->from == c ? static_cast<char32_t>(it->to) : c;
}

void ReadingTable::prefixes(std::u32string_view folded, std::vector<Match>& out) const {
    out.clear();
    if (header_ == nullptr) {
        return;
    }
    // Entries are sorted by key, so those sharing the first n characters with the text form one
    // range, in which an entry of exactly n characters comes first.
    std::uint32_t first = 0;
    std::uint32_t last = header_->entryCount;
    const std::size_t longest = std::min<std::size_t>(folded.size(), rt::kMaxWordLength);
    for (std::size_t n = 0; n < longest && first < last; ++n) {
        const std::uint32_t c = folded[n];
        // Within the range, entries of length n have no character at n; they sort before all others.
        const auto charAt = [this, n](std::uint32_t i) -> std::int64_t {
            const rt::Entry& e = entries_[i];
            return e.length > n ? std::int64_t{keys_[e.key + n]} : -1;
        };
        std::uint32_t lo = first, hi = last;
        while (lo < hi) {
            const std::uint32_t mid = lo + (hi - lo) / 2;
            charAt(mid) < c ? lo = mid + 1 : hi = mid;
        }
        first = lo;
        hi = last;
        while (lo < hi) {
            const std::uint32_t mid = lo + (hi - lo) / 2;
            charAt(mid) <= c ? lo = mid + 1 : hi = mid;
        }
        last = lo;
        if (first < last && entries_[first].length == n + 1) {
            const rt::Entry& e = entries_[first];
            out.push_back(Match{e.length, e.cost, readings_ + e.reading, (e.flags & rt::kComposed) != 0,
                                (e.flags & rt::kMainland) != 0});
        }
    }
}

std::string_view ReadingTable::syllable(std::uint32_t index) const {
    const char* spelling = base_ + header_->syllableOffset + std::size_t{index} * rt::kSyllableBytes;
    return std::string_view(spelling, strnlen(spelling, rt::kSyllableBytes));
}

std::string ReadingTable::spell(std::uint16_t code) const {
    const unsigned tone = code % 8;
    if (header_ == nullptr || code / 8u >= header_->syllableCount || tone < 1 || tone > 5) {
        return {};
    }
    std::string out(syllable(code / 8u));
    out.push_back(static_cast<char>('0' + tone));
    return out;
}

std::optional<std::uint16_t> ReadingTable::code(std::string_view spelled) const {
    if (spelled.size() < 2 || spelled.back() < '1' || spelled.back() > '5') {
        return std::nullopt;
    }
    return code(spelled.substr(0, spelled.size() - 1), static_cast<unsigned>(spelled.back() - '0'));
}

std::optional<std::uint16_t> ReadingTable::code(std::string_view letters, unsigned tone) const {
    if (header_ == nullptr || tone < 1 || tone > 5) {
        return std::nullopt;
    }
    std::uint32_t lo = 0, hi = header_->syllableCount;
    while (lo < hi) {
        const std::uint32_t mid = lo + (hi - lo) / 2;
        syllable(mid) < letters ? lo = mid + 1 : hi = mid;
    }
    if (lo < header_->syllableCount && syllable(lo) == letters) {
        return rt::readingCode(lo, tone);
    }
    return std::nullopt;
}

std::string ReadingTable::digest() const {
    if (header_ == nullptr) {
        return "none";
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%08x%08x", header_->digestHigh, header_->digestLow);
    return hex;
}

std::size_t ReadingTable::bytes() const {
    return header_ == nullptr ? 0 : header_->totalBytes;
}

} // namespace velanote
