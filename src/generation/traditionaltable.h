#pragma once
#include <string>
#include <string_view>

namespace velanote {

// OpenCC's simplified-to-traditional conversion (s2t) over the table compiled from its dictionaries
// into the program: ready at once, with nothing to load. Like OpenCC, it takes at each place the
// longest phrase the table holds (a single character when no phrase fits) and keeps characters
// the table does not hold.
class TraditionalTable {
public:
    // The table built into the program.
    static const TraditionalTable& builtIn();

    // Reads a table in the layout of traditionaltableformat.h; an unreadable one converts nothing.
    explicit TraditionalTable(std::string_view bytes);

    std::string convert(std::string_view utf8) const;
    bool isEmpty() const { return count_ == 0; }

private:
    // The value of `key`, or nothing.
    const char* find(std::string_view key, std::size_t& valueLength) const;

    std::string_view bytes_;
    const char* entries_ = nullptr;
    const char* text_ = nullptr;
    std::size_t count_ = 0;
    std::size_t longestKey_ = 0;
};

} // namespace velanote
