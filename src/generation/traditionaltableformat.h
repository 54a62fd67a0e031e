#pragma once
#include <cstdint>

// The layout of the simplified-to-traditional table that tools/make_traditional_table.cpp writes
// and TraditionalTable reads: a Header, `count` Entry records sorted by key bytes, then `textSize`
// bytes of UTF-8 text that the records point into.
namespace velanote::traditionaltable {

struct Header {
    char magic[8] = {'V', 'N', 'S', '2', 'T', '0', '0', '1'};
    std::uint32_t count = 0;
    std::uint32_t longestKey = 0; // bytes
    std::uint32_t textSize = 0;
    std::uint32_t reserved = 0;
};

struct Entry {
    std::uint32_t keyOffset;
    std::uint32_t valueOffset;
    std::uint16_t keyLength;
    std::uint16_t valueLength;
};

} // namespace velanote::traditionaltable
