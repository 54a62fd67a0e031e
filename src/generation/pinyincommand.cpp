#include "generation/pinyincommand.h"

#include "app/programfolder.h"
#include "reading/readingsource.h"
#include "reading/textnormalizer.h"
#include "synthesis/espeakengine.h"

#include <cstdio>

namespace velanote {

QString userLexiconPath(const ProgramFolder& folder) {
    return folder.file(QStringLiteral("\\") + ReadingSource::fileName());
}

QString spokenReading(const QString& text) {
    ReadingSource source(userLexiconPath(ProgramFolder::locate()),
                         [](const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); });
    try {
        const std::string reading =
            EspeakEngine::instance().spokenText(text.toStdU32String(), source.current()).get();
        return QString::fromStdString(reading);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "velanote: %s\n", e.what());
        return {};
    }
}

namespace {

// The text of a reading command's arguments; empty (after telling how to use the command) if there is none.
QString commandText(const QStringList& arguments, const char* command) {
    QString text = arguments.join(QLatin1Char(' '));
    if (text.trimmed().isEmpty()) {
        std::fprintf(stderr, "velanote %s: 没有要读的文字\n用法: velanote %s 文字...\n", command, command);
        return {};
    }
    return text;
}

} // namespace

int runPinyinCommand(const QStringList& arguments) {
    const QString text = commandText(arguments, "pinyin");
    if (text.isEmpty()) {
        return 2;
    }
    const QString reading = spokenReading(text);
    if (reading.isEmpty()) {
        return 3;
    }
    std::printf("%s\n", reading.toUtf8().constData());
    return 0;
}

int runNormalizeCommand(const QStringList& arguments) {
    const QString text = commandText(arguments, "normalize");
    if (text.isEmpty()) {
        return 2;
    }
    const std::u32string words = TextNormalizer::normalize(text.toStdU32String());
    std::printf("%s\n", QString::fromStdU32String(words).toUtf8().constData());
    return 0;
}

} // namespace velanote
