#include "platform/desktopclipboard.h"
#include "platform/desktopshell.h"
#include "platform/platform.h"
#include "privatebus.h"
#include "scratchfolder.h"

#include <QApplication>
#include <QDesktopServices>
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

// Stands in for the desktop: records the addresses handed to the browser or file manager.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public Q_SLOTS:
    void open(const QUrl& url) { opened.append(url); }
};

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
    UrlRecorder desktop;
    for (const char* scheme : {"http", "https", "file"}) {
        QDesktopServices::setUrlHandler(scheme, &desktop, "open");
    }
    scratch::ScratchFolder folder;
    ASSERT_TRUE(folder.write("音信 1.mp3", "x"));

    DesktopShell offline(QDBusConnection(QStringLiteral("no-bus")));
    offline.openAddress(" www.example.com/bbs");
    offline.openAddress("https://blog.example/");
    offline.showFileInManager(folder.path("音信 1.mp3")); // no bus: the folder is opened
    EXPECT_EQ(desktop.opened, (QList<QUrl>{QUrl("http://www.example.com/bbs"), QUrl("https://blog.example/"),
                                           QUrl::fromLocalFile(folder.path())}));

    scratch::PrivateBus bus;
    ASSERT_TRUE(bus.running());
    desktop.opened.clear();
    DesktopShell noFileManager(bus.connect("shell-test-client"));
    noFileManager.showFileInManager(folder.path("音信 1.mp3")); // nobody answers: the folder is opened
    EXPECT_TRUE(QTest::qWaitFor([&] { return !desktop.opened.isEmpty(); }, 5000));
    EXPECT_EQ(desktop.opened, QList<QUrl>{QUrl::fromLocalFile(folder.path())});

    FakeFileManager manager;
    QDBusConnection serviceSide = bus.connect("shell-test-service");
    ASSERT_TRUE(serviceSide.registerObject("/org/freedesktop/FileManager1", &manager,
                                           QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(serviceSide.registerService("org.freedesktop.FileManager1"));
    desktop.opened.clear();
    noFileManager.showFileInManager(folder.path("音信 1.mp3"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !manager.shownUris.isEmpty(); }, 5000));
    EXPECT_EQ(manager.shownUris,
              QStringList{QUrl::fromLocalFile(folder.path("音信 1.mp3")).toString(QUrl::FullyEncoded)});
    EXPECT_EQ(manager.startupIds, QStringList{QString()});
    QTest::qWait(50);
    EXPECT_TRUE(desktop.opened.isEmpty());

    for (const char* scheme : {"http", "https", "file"}) {
        QDesktopServices::unsetUrlHandler(scheme);
    }
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
