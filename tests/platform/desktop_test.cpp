#include "platform/desktopclipboard.h"
#include "platform/desktopshell.h"
#include "platform/platform.h"
#include "privatebus.h"
#include "scratchfolder.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QUrl>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

using namespace velanote;

TEST(Clipboard, TextIsSetReadBackAndCleared) {
    DesktopClipboard clipboard;
    clipboard.setText(QStringLiteral(" http://127.0.0.1:8080/mp3/音信.mp3"));
    EXPECT_EQ(clipboard.text(), QStringLiteral(" http://127.0.0.1:8080/mp3/音信.mp3"));
    clipboard.clear();
    EXPECT_EQ(clipboard.text(), QString());
}

// Stands in for the desktop's opener program: records what it is handed in a log and exits with
// `code` (non-zero: nothing could open it).
QString makeOpener(const scratch::ScratchFolder& folder, const QString& name, int code) {
    const QString script = QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$1\" >> '%1'\nexit %2\n")
                               .arg(folder.path("opened.log"))
                               .arg(code);
    folder.write(name, script.toUtf8());
    QFile(folder.path(name)).setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    return folder.path(name);
}

QStringList openedLines(const scratch::ScratchFolder& folder) {
    QStringList lines = QString::fromUtf8(folder.read("opened.log")).split('\n', Qt::SkipEmptyParts);
    lines.sort();
    return lines;
}

// A file manager on the bus that records what it is asked to show.
class FakeFileManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QStringList shownUris;
    QStringList startupIds;
public Q_SLOTS:
    void ShowItems(const QStringList& uris, const QString& startupId) {
        shownUris += uris;
        startupIds.append(startupId);
    }
};

TEST(Shell, AddressesGoToTheBrowserAndFilesToTheFileManagerOrTheirFolder) {
    scratch::ScratchFolder folder;
    ASSERT_TRUE(folder.write("音信 1.mp3", "x"));
    const QString opener = makeOpener(folder, "opener", 0);
    QStringList failures;
    const auto recordFailures = [&failures](const QString& target, const QString& where) {
        failures.append(target + "|" + where);
    };

    DesktopShell offline(QDBusConnection(QStringLiteral("no-bus")), opener);
    offline.setFailureWatcher(recordFailures);
    offline.openAddress(" www.example.com/bbs");
    offline.openAddress("https://blog.example/");
    offline.showFileInManager(folder.path("音信 1.mp3")); // no bus: the folder is opened
    EXPECT_TRUE(QTest::qWaitFor([&] { return openedLines(folder).size() == 3; }, 5000));
    EXPECT_EQ(openedLines(folder),
              (QStringList{QUrl::fromLocalFile(folder.path()).toString(QUrl::FullyEncoded),
                           "http://www.example.com/bbs", "https://blog.example/"}));
    offline.settle(2000);
    EXPECT_TRUE(failures.isEmpty());

    // An opener that finds no program for it, or no opener at all: each is told, with the folder
    // for a file.
    for (const QString& refusing : {makeOpener(folder, "refusing", 3), folder.path("no-such-opener")}) {
        failures.clear();
        DesktopShell bare(QDBusConnection(QStringLiteral("no-bus")), refusing);
        bare.setFailureWatcher(recordFailures);
        bare.openAddress("https://blog.example/");
        bare.showFileInManager(folder.path("音信 1.mp3"));
        bare.settle(2000);
        EXPECT_TRUE(QTest::qWaitFor([&] { return failures.size() == 2; }, 3000)) << refusing.toStdString();
        failures.sort();
        EXPECT_EQ(failures,
                  (QStringList{folder.path("音信 1.mp3") + "|" + folder.path(), "https://blog.example/|"}));
    }

    scratch::PrivateBus bus;
    ASSERT_TRUE(bus.running());
    QFile::remove(folder.path("opened.log"));
    DesktopShell noFileManager(bus.connect("shell-test-client"), opener);
    noFileManager.showFileInManager(folder.path("音信 1.mp3")); // nobody answers: the folder is opened
    EXPECT_TRUE(QTest::qWaitFor([&] { return !openedLines(folder).isEmpty(); }, 5000));
    EXPECT_EQ(openedLines(folder),
              QStringList{QUrl::fromLocalFile(folder.path()).toString(QUrl::FullyEncoded)});

    FakeFileManager manager;
    QDBusConnection serviceSide = bus.connect("shell-test-service");
    ASSERT_TRUE(serviceSide.registerObject("/org/freedesktop/FileManager1", &manager,
                                           QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(serviceSide.registerService("org.freedesktop.FileManager1"));
    QFile::remove(folder.path("opened.log"));
    noFileManager.showFileInManager(folder.path("音信 1.mp3"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !manager.shownUris.isEmpty(); }, 5000));
    EXPECT_EQ(manager.shownUris,
              QStringList{QUrl::fromLocalFile(folder.path("音信 1.mp3")).toString(QUrl::FullyEncoded)});
    EXPECT_EQ(manager.startupIds, QStringList{QString()});
    QTest::qWait(100);
    EXPECT_TRUE(openedLines(folder).isEmpty());
}

TEST(Shell, EndProgramExitsAtOnceAfterFlushing) {

    DesktopShell shell(
        QDBusConnection(QStringLiteral("no-bus"))); // made before the fork: the child only ends
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    std::fflush(nullptr);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(pipeFds[0]);
        ::dup2(pipeFds[1], STDOUT_FILENO);
        std::setvbuf(stdout, nullptr, _IOFBF, 4096);
        std::printf("buffered");
        shell.endProgram();
    }
    ::close(pipeFds[1]);
    char buffer[64] = {};
    const ssize_t n = ::read(pipeFds[0], buffer, sizeof(buffer) - 1);
    ::close(pipeFds[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(QByteArray(buffer, n > 0 ? int(n) : 0), QByteArray("buffered"));
}

TEST(DesktopPlatform, HandsOutWorkingPieces) {
    const auto platform = createDesktopPlatform();
    auto player = platform->createPlayer(nullptr);
    EXPECT_EQ(player->volume(), 50);
    EXPECT_EQ(player->URL(), QString());
    auto tray = platform->createTrayIcon(nullptr);
    EXPECT_FALSE(tray->isVisible());
    platform->clipboard().setText("x");
    EXPECT_EQ(platform->clipboard().text(), "x");
    EXPECT_EQ(platform->http().fetchText(""), QString());
    EXPECT_TRUE(platform->shell().startDetached("/bin/true", {}));
    EXPECT_FALSE(platform->shell().startDetached("/no/such/program", {}));
}

#include "desktop_test.moc"
