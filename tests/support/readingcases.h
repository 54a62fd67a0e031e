#pragma once
#include <QString>

#include <string>
#include <vector>

namespace velanote::testing {

// One hand-checked row of a table under tests/reading/ (readings.tsv, normalizer.tsv).
struct ReadingCase {
    std::string group;
    QString text;
    std::string reading;
};

// The cases of tests/reading/`file` in file order; empty if the file cannot be read.
std::vector<ReadingCase> readingCases(const char* file = "readings.tsv");

} // namespace velanote::testing
