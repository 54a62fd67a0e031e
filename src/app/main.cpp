// velanote-cli: the command-line tools of velanote (serve, speak, pinyin, normalize, help and version),
// started by the velanote command; it loads nothing that only the windows need.
#include "app/endpoints.h"
#include "app/programfolder.h"
#include "app/resourcestore.h"
#include "generation/pinyincommand.h"
#include "generation/speakcommand.h"
#include "service/servearguments.h"
#include "service/speechservice.h"
#include "velanote/version.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

QString helpText() {
    return QStringLiteral("velanote ") + QLatin1String(velanote::kVersionTag) +
           QStringLiteral(
               " — Vela系列软件の声笺: turns a typed greeting into a spoken voice message.\n"
               "\n"
               "usage: velanote                 start the desktop program\n"
               "       velanote serve [options] run the speech service on its own\n"
               "       velanote speak [options] make one voice message, or one per row of a list (--batch)\n"
               "       velanote pinyin TEXT...  show the reading the voice is given for a text\n"
               "       velanote normalize TEXT... show a text as it will be spoken, numbers in words\n"
               "       velanote --help          show this text\n"
               "       velanote --version       show the name and version\n"
               "\n") +
           velanote::ServeArguments::usage().replace(QStringLiteral("usage: "), QStringLiteral("")) +
           QLatin1String("\n") + velanote::SpeakCommand::usage() + QLatin1String("\n") +
           QStringLiteral("\n"
                          "environment:\n"
                          "  VELANOTE_HOME        program folder (jingles, prefix, settings)\n"
                          "  VELANOTE_SPEECH_URL  an external speech service instead of the embedded one\n"
                          "  VELANOTE_UPDATE_URL  address of the version file\n");
}

QStringList argumentsAfter(int argc, char** argv, int first) {
    QStringList list;
    for (int i = first; i < argc; ++i) {
        list.append(QString::fromLocal8Bit(argv[i]));
    }
    return list;
}

} // namespace

int main(int argc, char** argv) {
    velanote::initResources();
    const QString command = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (command == QLatin1String("serve")) {
        QCoreApplication app(argc, argv);
        return velanote::runServeCommand(argumentsAfter(argc, argv, 2));
    }
    if (command == QLatin1String("speak")) {
        QCoreApplication app(argc, argv);
        return velanote::runSpeakCommand(argumentsAfter(argc, argv, 2));
    }
    if (command == QLatin1String("pinyin")) {
        QCoreApplication app(argc, argv);
        return velanote::runPinyinCommand(argumentsAfter(argc, argv, 2));
    }
    if (command == QLatin1String("normalize")) {
        QCoreApplication app(argc, argv);
        return velanote::runNormalizeCommand(argumentsAfter(argc, argv, 2));
    }
    if (command == QLatin1String("--help") || command == QLatin1String("-h") ||
        command == QLatin1String("help")) {
        std::fputs(helpText().toUtf8().constData(), stdout);
        return 0;
    }
    if (command == QLatin1String("--version")) {
        std::printf("velanote %s\n", velanote::kVersion);
        return 0;
    }
    std::fprintf(stderr, "velanote: unknown command \"%s\"\n\n%s", argc > 1 ? argv[1] : "",
                 helpText().toUtf8().constData());
    return 2;
}
