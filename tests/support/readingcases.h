#pragma once
#include <QString>

#include <string>
#include <vector>

namespace velanote::testing {

// One hand-checked reading of tests/reading/readings.tsv.
struct ReadingCase {
    std::string group;
    QString text;
    std::string reading;
};

// The cases in file order; empty if the file cannot be read.
std::vector<ReadingCase> readingCases();

} // namespace velanote::testing
