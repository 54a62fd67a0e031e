#include "generation/pinyincommand.h"

#include "app/programfolder.h"
#include "reading/readingsource.h"
#include "reading/textnormalizer.h"
#include "synthesis/espeakengine.h"

#include <cstdio>
#include <optional>

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

// The text of a reading command's arguments ("--" first lets a text begin with a dash). Asked for
// help, or given no text, the command shows its usage instead and ends with `exitCode`.
std::optional<QString> commandText(const QStringList& arguments, const char* command, int& exitCode) {
    if (!arguments.isEmpty() &&
        (arguments.front() == QLatin1String("--help") || arguments.front() == QLatin1String("-h"))) {
        std::printf("用法: velanote %s 文字...  (以 - 开头的文字写在 -- 之后)\n", command);
        exitCode = 0;
        return std::nullopt;
    }
    const bool separated = !arguments.isEmpty() && arguments.front() == QLatin1String("--");
    QString text = (separated ? arguments.mid(1) : arguments).join(QLatin1Char(' '));
    if (text.trimmed().isEmpty()) {
        std::fprintf(stderr, "velanote %s: 没有要读的文字\n用法: velanote %s 文字...\n", command, command);
        exitCode = 2;
        return std::nullopt;
    }
    return text;
}

} // namespace

int runPinyinCommand(const QStringList& arguments) {
    int exitCode = 0;
    const std::optional<QString> text = commandText(arguments, "pinyin", exitCode);
    if (!text) {
        return exitCode;
    }
    const QString reading = spokenReading(*text);
    if (reading.isEmpty()) {
        return 3;
    }
    std::printf("%s\n", reading.toUtf8().constData());
    return 0;
}

int runNormalizeCommand(const QStringList& arguments) {
    int exitCode = 0;
    const std::optional<QString> text = commandText(arguments, "normalize", exitCode);
    if (!text) {
        return exitCode;
    }
    const std::u32string words = TextNormalizer::normalize(text->toStdU32String());
    std::printf("%s\n", QString::fromStdU32String(words).toUtf8().constData());
    return 0;
}

} // namespace velanote
