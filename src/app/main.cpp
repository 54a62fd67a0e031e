// velanote: the desktop program, or one of its command-line tools.
#include "app/appcontext.h"
#include "app/endpoints.h"
#include "app/programfolder.h"
#include "app/qttranslations.h"
#include "app/resourcestore.h"
#include "app/splashwindow.h"
#include "app/version.h"
#include "generation/pinyincommand.h"
#include "generation/speakcommand.h"
#include "mainwindow/mainwindow.h"
#include "platform/platform.h"
#include "speech/servearguments.h"
#include "speech/speechservice.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFont>
#include <QIcon>

#include <cstdio>
#include <memory>
#include <optional>

namespace {

QString helpText() {
    return QStringLiteral(
               "velanote V6.0 — Vela系列软件の声笺: turns a typed greeting into a spoken voice message.\n"
               "\n"
               "usage: velanote                 start the desktop program\n"
               "       velanote serve [options] run the speech service on its own\n"
               "       velanote speak [options] make one voice message from the command line\n"
               "       velanote pinyin TEXT...  show the reading the voice is given for a text\n"
               "       velanote --help          show this text\n"
               "       velanote --version       show the name and version\n"
               "\n") +
           velanote::ServeArguments::usage().replace(QStringLiteral("usage: "), QStringLiteral("")) + "\n" +
           velanote::SpeakCommand::usage() + "\n" +
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

int runGui(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("velanote"));
    QApplication::setApplicationVersion(QString::fromLatin1(velanote::kVersion));
    velanote::initResources();

    // The splash goes on the screen first; what only the later windows need is done while it fades
    // in (it waits for a click before the main window comes).
    const velanote::ProgramFolder folder = velanote::ProgramFolder::locate();
    std::unique_ptr<velanote::Platform> platform;
    std::optional<velanote::AppContext> ctx;
    std::unique_ptr<velanote::MainWindow> mainWindow;
    auto* splash = new velanote::SplashWindow(folder, [&ctx, &mainWindow] {
        mainWindow = std::make_unique<velanote::MainWindow>(*ctx);
        mainWindow->show();
    });
    splash->show();
    QGuiApplication::sync();

    velanote::installQtChineseTranslations(app);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/velanote.png")));
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Sans SC"),
                      QStringLiteral("Source Han Sans SC"), QStringLiteral("WenQuanYi Micro Hei"),
                      QStringLiteral("Microsoft YaHei")});
    font.setPointSize(9);
    QApplication::setFont(font);

    // The embedded speech service, also the connectivity probe and the site of the version file.
    // Without it the program still runs and reads as off line. The user's lexicon of readings is
    // read on the first request, not here.
    velanote::SpeechService::Options serviceOptions;
    serviceOptions.lexiconPath = velanote::userLexiconPath(folder);
    velanote::SpeechService service(serviceOptions);
    const quint16 port = service.start() ? service.port() : 0;
    if (port == 0) {
        std::fputs("velanote: the embedded speech service could not start\n", stderr);
    }
    platform = velanote::createDesktopPlatform();
    ctx.emplace(velanote::AppContext{*platform, folder, velanote::Endpoints::forLocalService(port)});

    const int code = QApplication::exec();
    mainWindow.reset();
    service.stop();
    return code;
}

} // namespace

int main(int argc, char** argv) {
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
    if (command == QLatin1String("--help") || command == QLatin1String("-h") ||
        command == QLatin1String("help")) {
        std::fputs(helpText().toUtf8().constData(), stdout);
        return 0;
    }
    if (command == QLatin1String("--version")) {
        std::printf("velanote %s\n", velanote::kVersion);
        return 0;
    }
    if (!command.isEmpty() && !command.startsWith(QLatin1Char('-'))) {
        std::fprintf(stderr, "velanote: unknown command \"%s\"\n\n%s", argv[1],
                     helpText().toUtf8().constData());
        return 2;
    }
    return runGui(argc, argv);
}
