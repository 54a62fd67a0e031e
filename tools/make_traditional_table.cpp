// Compiles OpenCC's simplified-to-traditional dictionaries (STPhrases and STCharacters, the ones its
// s2t conversion uses) into one sorted table that velanote carries in its binary, so that the
// program converts without loading them when it runs.
//
// usage: make_traditional_table PHRASES.ocd2 CHARACTERS.ocd2 OUT.bin OUT-digest.h
//
// The table (native byte order) is a TraditionalTableHeader, `count` TraditionalTableEntry records
// sorted by key bytes, then the text of keys and values. Where both dictionaries hold a key, the
// phrase's value is kept, as OpenCC's dictionary group prefers the first dictionary.
#include "generation/traditionaltableformat.h"

#include <opencc/Lexicon.hpp>
#include <opencc/MarisaDict.hpp>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <string>

namespace {

// Adds every entry of the dictionary at `path` that `table` does not hold yet.
bool addDictionary(const char* path, std::map<std::string, std::string>& table) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return false;
    }
    const opencc::MarisaDictPtr dict = opencc::MarisaDict::NewFromFile(file);
    std::fclose(file);
    for (const auto& entry : *dict->GetLexicon()) {
        table.emplace(entry->Key(), entry->GetDefault());
    }
    return true;
}

template <typename T> void put(std::string& out, const T& value) {
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::cerr << "usage: make_traditional_table PHRASES.ocd2 CHARACTERS.ocd2 OUT.bin OUT-digest.h\n";
        return 2;
    }
    std::map<std::string, std::string> table;
    for (const char* path : {argv[1], argv[2]}) {
        if (!addDictionary(path, table)) {
            std::cerr << "make_traditional_table: cannot read " << path << "\n";
            return 1;
        }
    }

    namespace tt = velanote::traditionaltable;
    tt::Header header{};
    header.count = static_cast<std::uint32_t>(table.size());
    std::string entries;
    std::string text;
    for (const auto& [key, value] : table) {
        tt::Entry entry{};
        entry.keyOffset = static_cast<std::uint32_t>(text.size());
        entry.keyLength = static_cast<std::uint16_t>(key.size());
        text += key;
        entry.valueOffset = static_cast<std::uint32_t>(text.size());
        entry.valueLength = static_cast<std::uint16_t>(value.size());
        text += value;
        header.longestKey = std::max<std::uint32_t>(header.longestKey, entry.keyLength);
        put(entries, entry);
    }
    header.textSize = static_cast<std::uint32_t>(text.size());
    // FNV-1a over the entries and their text: names this table in the digest header.
    std::uint64_t digest = 1469598103934665603ull;
    for (const std::string* part : {&entries, &text}) {
        for (const unsigned char c : *part) {
            digest = (digest ^ c) * 1099511628211ull;
        }
    }

    std::string out;
    put(out, header);
    out += entries;
    out += text;
    std::ofstream file(argv[3], std::ios::binary | std::ios::trunc);
    file.write(out.data(), static_cast<std::streamsize>(out.size()));
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(digest));
    std::ofstream digestHeader(argv[4], std::ios::trunc);
    digestHeader << "// Written by make_traditional_table: changes whenever the table does.\n"
                 << "#define VELANOTE_TRADITIONAL_TABLE_DIGEST \"" << hex << "\"\n"
                 << "#define VELANOTE_TRADITIONAL_TABLE_FILE \"" << argv[3] << "\"\n";
    if (!file || !digestHeader) {
        std::cerr << "make_traditional_table: cannot write " << argv[3] << "\n";
        return 1;
    }
    std::cout << "traditional table: " << table.size() << " entries, " << out.size() << " bytes\n";
    return 0;
}
