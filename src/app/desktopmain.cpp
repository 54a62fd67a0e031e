// velanote-desktop: the desktop program, started by the velanote command when it is given no command.
#include "app/appcontext.h"
#include "app/endpoints.h"
#include "app/programfolder.h"
#include "app/qttranslations.h"
#include "app/resourcestore.h"
#include "app/splashwindow.h"
#include "generation/pinyincommand.h"
#include "mainwindow/mainwindow.h"
#include "platform/atomicfile.h"
#include "platform/platform.h"
#include "service/folderclipstore.h"
#include "service/speechservice.h"
#include "velanote/version.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <string_view>

namespace {

// The embedded service's own loopback port, so that a copied address still leads somewhere after a
// restart; another is taken when something else holds it.
constexpr quint16 PreferredServicePort = 47110;
// What the folder of made clips may hold.
constexpr std::uintmax_t ClipFolderBytes = 64ULL * 1024 * 1024;

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("velanote"));
    QApplication::setApplicationVersion(QString::fromLatin1(velanote::kVersion));
    velanote::initResources();

    // The splash goes on the screen first; what only the later windows need is done while it fades
    // in (it waits for a click before the main window comes).
    const velanote::ProgramFolder folder = velanote::ProgramFolder::locate();
    velanote::removeStaleTemporaryFiles(folder.path());
    std::unique_ptr<velanote::Platform> platform;
    std::optional<velanote::AppContext> ctx;
    std::unique_ptr<velanote::MainWindow> mainWindow;
    const auto showMain = [&ctx, &mainWindow] {
        mainWindow = std::make_unique<velanote::MainWindow>(*ctx);
        mainWindow->show();
    };
    // Started by the velanote command, the splash is a process of its own (velanote-splash) that
    // says on a pipe when the main window is due; started alone, this program shows it.
    bool splashElsewhere = false;
    const int splashPipe = qEnvironmentVariableIntValue("VELANOTE_SPLASH_PIPE", &splashElsewhere);
    // The pipe is this process's alone: a program it starts (the restart) must not watch it.
    qunsetenv("VELANOTE_SPLASH_PIPE");
    std::unique_ptr<QSocketNotifier> splashWatch;
    if (splashElsewhere) {
        // Nor may it keep the pipe open: the splash ends when this process is gone.
        fcntl(splashPipe, F_SETFD, FD_CLOEXEC);
        splashWatch = std::make_unique<QSocketNotifier>(splashPipe, QSocketNotifier::Read);
        QObject::connect(splashWatch.get(), &QSocketNotifier::activated, [&] {
            char word[8] = {};
            const ssize_t got = read(splashPipe, word, sizeof word - 1);
            splashWatch->setEnabled(false);
            close(splashPipe);
            if (got > 0 && std::string_view(word).starts_with("main")) {
                showMain();
            } else {
                // The splash closed without its click: so does the program.
                QCoreApplication::quit();
            }
        });
    } else {
        auto* splash = new velanote::SplashWindow(folder, showMain);
        splash->show();
        QGuiApplication::sync();
    }

    velanote::installQtChineseTranslations(app);
    velanote::installMarkFont();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/velanote.png")));
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Sans SC"),
                      QStringLiteral("Source Han Sans SC"), QStringLiteral("WenQuanYi Micro Hei"),
                      QStringLiteral("Microsoft YaHei")});
    font.setPointSize(9);
    QApplication::setFont(font);

    // The embedded speech service, also the connectivity probe and the site of the version file.
    // Without it the program still runs and reads as off line. The user's lexicon of readings is
    // read on the first request, not here. The clips it makes are kept in the program folder too,
    // so that their addresses outlive the program.
    velanote::FolderClipStore clipFolder(folder.file(QStringLiteral("\\tts")).toStdString(), ClipFolderBytes,
                                         [](const std::filesystem::path& path, const std::string& bytes) {
                                             return velanote::writeFileAtomically(
                                                 QString::fromStdString(path.string()),
                                                 QByteArray::fromStdString(bytes));
                                         });
    velanote::SpeechService::Options serviceOptions;
    serviceOptions.lexiconPath = velanote::userLexiconPath(folder);
    serviceOptions.port = PreferredServicePort;
    serviceOptions.anyPortIfTaken = true;
    serviceOptions.localStore = &clipFolder;
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
