#include "support/readingcases.h"

#include <QFile>
#include <QTextStream>

namespace velanote::testing {

std::vector<ReadingCase> readingCases(const char* fileName) {
    std::vector<ReadingCase> cases;
    QFile file(QStringLiteral(VELANOTE_TESTS_DIR "/reading/") + QString::fromUtf8(fileName));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return cases;
    }
    QTextStream in(&file);
    std::string group;
    while (!in.atEnd()) {
        const QString line = in.readLine();
        if (line.startsWith(QStringLiteral("## "))) {
            group = line.mid(3).toStdString();
        } else if (!line.startsWith(QLatin1Char('#')) && line.contains(QLatin1Char('\t'))) {
            cases.push_back({group, line.section(QLatin1Char('\t'), 0, 0),
                             line.section(QLatin1Char('\t'), 1).toStdString()});
        }
    }
    return cases;
}

} // namespace velanote::testing
