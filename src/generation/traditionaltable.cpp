#include "generation/traditionaltable.h"

#include "generation/traditionaltabledigest.h"
#include "generation/traditionaltableformat.h"
#include "reading/embeddedfile.h"

#include <cstring>

// The table itself; the digest header above changes with it.
VELANOTE_EMBED_FILE(velanote_traditional_table, VELANOTE_TRADITIONAL_TABLE_FILE);

namespace velanote {

namespace tt = traditionaltable;

namespace {

// The length of the UTF-8 sequence that starts with `lead` (1 for a stray byte).
std::size_t sequenceLength(unsigned char lead) {
    if (lead >= 0xF0 && lead < 0xF8) {
        return 4;
    }
    if (lead >= 0xE0) {
        return lead < 0xF0 ? 3 : 1;
    }
    return lead >= 0xC0 ? 2 : 1;
}

tt::Entry entryAt(const char* entries, std::size_t index) {
    tt::Entry entry;
    std::memcpy(&entry, entries + index * sizeof(tt::Entry), sizeof entry);
    return entry;
}

} // namespace

const TraditionalTable& TraditionalTable::builtIn() {
    static const TraditionalTable table(std::string_view(
        velanote_traditional_table_begin,
        static_cast<std::size_t>(velanote_traditional_table_end - velanote_traditional_table_begin)));
    return table;
}

TraditionalTable::TraditionalTable(std::string_view bytes) : bytes_(bytes) {
    tt::Header header;
    if (bytes.size() < sizeof header) {
        return;
    }
    const tt::Header expected;
    std::memcpy(&header, bytes.data(), sizeof header);
    const std::size_t entriesSize = std::size_t(header.count) * sizeof(tt::Entry);
    if (std::memcmp(header.magic, expected.magic, sizeof header.magic) != 0 ||
        bytes.size() - sizeof header < entriesSize ||
        bytes.size() - sizeof header - entriesSize < header.textSize) {
        return;
    }
    entries_ = bytes.data() + sizeof header;
    text_ = entries_ + entriesSize;
    for (std::size_t i = 0; i < header.count; ++i) {
        const tt::Entry e = entryAt(entries_, i);
        if (std::size_t(e.keyOffset) + e.keyLength > header.textSize ||
            std::size_t(e.valueOffset) + e.valueLength > header.textSize) {
            entries_ = text_ = nullptr;
            return;
        }
    }
    count_ = header.count;
    longestKey_ = header.longestKey;
}

const char* TraditionalTable::find(std::string_view key, std::size_t& valueLength) const {
    std::size_t low = 0;
    std::size_t high = count_;
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        const tt::Entry e = entryAt(entries_, middle);
        const int order = std::string_view(text_ + e.keyOffset, e.keyLength).compare(key);
        if (order == 0) {
            valueLength = e.valueLength;
            return text_ + e.valueOffset;
        }
        if (order < 0) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return nullptr;
}

std::string TraditionalTable::convert(std::string_view utf8) const {
    std::string out;
    out.reserve(utf8.size());
    std::size_t at = 0;
    while (at < utf8.size()) {
        // The ends of the characters from here on, up to the longest key.
        std::size_t ends[64];
        std::size_t endCount = 0;
        for (std::size_t end = at; end < utf8.size() && end - at < longestKey_ && endCount < 64;) {
            end = std::min(utf8.size(), end + sequenceLength(static_cast<unsigned char>(utf8[end])));
            ends[endCount++] = end;
        }
        std::size_t taken = 0;
        for (std::size_t i = endCount; i > 0 && taken == 0; --i) {
            std::size_t valueLength = 0;
            if (const char* value = find(utf8.substr(at, ends[i - 1] - at), valueLength)) {
                out.append(value, valueLength);
                taken = ends[i - 1] - at;
            }
        }
        if (taken == 0) {
            taken = std::min(utf8.size(), at + sequenceLength(static_cast<unsigned char>(utf8[at]))) - at;
            out.append(utf8.substr(at, taken));
        }
        at += taken;
    }
    return out;
}

} // namespace velanote
