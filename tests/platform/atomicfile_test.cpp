#include "platform/atomicfile.h"
#include "scratchfolder.h"
#include "support/filesizelimit.h"

#include <QDir>
#include <QFileInfo>

#include <QDateTime>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>

using namespace velanote;

namespace {

QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

} // namespace

TEST(AtomicFile, AWriteThatFailsPartWayLeavesTheOldFileWholeAndNoLeftovers) {
    scratch::ScratchFolder home;
    const QByteArray old(3000, 'o');
    ASSERT_TRUE(home.write("target.bin", old));

    const QByteArray bigger(qsizetype{64} * 1024, 'n');
    {
        fakes::FileSizeLimit limit(rlim_t{8} * 1024);
        ASSERT_TRUE(limit.active());
        EXPECT_FALSE(writeFileAtomically(home.path("target.bin"), bigger));
    }
    EXPECT_EQ(home.read("target.bin"), old);
    EXPECT_EQ(entriesOf(home.path()), QStringList{"target.bin"});

    // Data small enough to wait in a write buffer: the failure shows before the rename, not after.
    {
        fakes::FileSizeLimit limit(1024);
        ASSERT_TRUE(limit.active());
        EXPECT_FALSE(writeFileAtomically(home.path("target.bin"), QByteArray(4000, 's')));
    }
    EXPECT_EQ(home.read("target.bin"), old);
    EXPECT_EQ(entriesOf(home.path()), QStringList{"target.bin"});

    // The failure says why, in the system's words.
    {
        fakes::FileSizeLimit limit(1024);
        EXPECT_FALSE(writeFileAtomically(home.path("target.bin"), QByteArray(4000, 's')));
        EXPECT_EQ(writeFailureReason(), QString::fromLocal8Bit(std::strerror(EFBIG)));
    }

    // Within the limit the same helper replaces the file.
    EXPECT_TRUE(writeFileAtomically(home.path("target.bin"), QByteArray("new")));
    EXPECT_TRUE(writeFailureReason().isEmpty());
    EXPECT_EQ(home.read("target.bin"), QByteArray("new"));
}

TEST(AtomicFile, AStopSignalDuringAWriteRemovesItsTemporaryFile) {
    scratch::ScratchFolder home;
    ASSERT_TRUE(home.write("target.bin", "old"));
    const int watch = inotify_init1(IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(inotify_add_watch(watch, QFile::encodeName(home.path()).constData(), IN_CREATE), 0);
    const QString target = home.path("target.bin");
    const pid_t child = fork();
    if (child == 0) {
        // Long enough to be caught between the first write and the rename.
        writeFileAtomically(target, QByteArray(qsizetype{64} * 1024 * 1024, 'x'));
        _exit(0);
    }
    ASSERT_GT(child, 0);
    pollfd created{watch, POLLIN, 0};
    const bool seen = poll(&created, 1, 10000) == 1;
    kill(child, SIGTERM);
    int status = 0;
    waitpid(child, &status, 0);
    close(watch);
    ASSERT_TRUE(seen);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << "the signal still ends the program";
    EXPECT_EQ(entriesOf(home.path()), QStringList{"target.bin"});
    EXPECT_EQ(home.read("target.bin"), QByteArray("old"));
}

TEST(AtomicFile, TemporaryFilesOverAnHourOldAreRemoved) {
    scratch::ScratchFolder home;
    const auto leave = [&home](const QString& name, int ageSeconds) {
        ASSERT_TRUE(home.write(name, "left over"));
        QFile file(home.path(name));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds),
                                     QFileDevice::FileModificationTime));
    };
    leave(".target.bin.tmp-3k9x", 7200);
    leave(".target.bin.tmp-fresh1", 60);
    leave(".other.mp3.tmp-7a", 7200);
    leave(".other.mp3.tmp-NOTOURS", 7200);
    leave("sub/.velanote.ini.tmp-q1", 7200);
    leave("sub/deeper/.a.tmp-1", 7200);
    // A write sweeps what earlier writes of the same file left.
    EXPECT_TRUE(writeFileAtomically(home.path("target.bin"), "new"));
    EXPECT_EQ(entriesOf(home.path()), (QStringList{".other.mp3.tmp-7a", ".other.mp3.tmp-NOTOURS",
                                                   ".target.bin.tmp-fresh1", "sub", "target.bin"}));
    // At start, the folder and its subfolders are swept.
    EXPECT_EQ(removeStaleTemporaryFiles(home.path()), 2);
    EXPECT_EQ(entriesOf(home.path()),
              (QStringList{".other.mp3.tmp-NOTOURS", ".target.bin.tmp-fresh1", "sub", "target.bin"}));
    EXPECT_EQ(entriesOf(home.path("sub")), QStringList{"deeper"});
    EXPECT_EQ(entriesOf(home.path("sub/deeper")), QStringList{".a.tmp-1"});
}

TEST(AtomicFile, TargetsThatCannotBeWrittenAreRefused) {
    scratch::ScratchFolder home;
    ASSERT_TRUE(home.write("folder/inside.txt", "keep"));
    EXPECT_FALSE(writeFileAtomically(home.path("folder"), "data")); // a folder stands at the path
    EXPECT_EQ(home.read("folder/inside.txt"), QByteArray("keep"));
    EXPECT_FALSE(writeFileAtomically(home.path("missing/file.txt"), "data"));
    EXPECT_FALSE(QFileInfo::exists(home.path("missing")));
    EXPECT_FALSE(writeFileAtomically("/proc/version", "data"));

    QByteArray read;
    EXPECT_FALSE(readWholeFile(home.path("absent.txt"), read));
    EXPECT_TRUE(writeFileAtomically(home.path("empty.txt"), QByteArray()));
    EXPECT_TRUE(readWholeFile(home.path("empty.txt"), read));
    EXPECT_TRUE(read.isEmpty());
}

TEST(AtomicFile, ConcatenationJoinsBytesAndWritesNothingWhenAnInputIsMissing) {
    scratch::ScratchFolder home;
    const QByteArray first("\xFF\xE3\x20\xC4"
                           "first\0part",
                           14);
    const QByteArray second("second", 6);
    ASSERT_TRUE(home.write("a.mp3", first));
    ASSERT_TRUE(home.write("b.mp3", second));

    EXPECT_EQ(concatenateFiles(home.path("a.mp3"), home.path("b.mp3"), home.path("out.mp3")),
              JoinOutcome::Joined);
    EXPECT_EQ(home.read("out.mp3"), first + second);

    // The output may be one of the inputs.
    EXPECT_EQ(concatenateFiles(home.path("a.mp3"), home.path("b.mp3"), home.path("a.mp3")),
              JoinOutcome::Joined);
    EXPECT_EQ(home.read("a.mp3"), first + second);

    ASSERT_TRUE(home.write("old.mp3", "old"));
    EXPECT_EQ(concatenateFiles(home.path("none.mp3"), home.path("b.mp3"), home.path("old.mp3")),
              JoinOutcome::FirstUnreadable);
    EXPECT_EQ(concatenateFiles(home.path("b.mp3"), home.path("none.mp3"), home.path("new.mp3")),
              JoinOutcome::SecondUnreadable);
    EXPECT_EQ(home.read("old.mp3"), QByteArray("old"));
    EXPECT_FALSE(QFileInfo::exists(home.path("new.mp3")));
    EXPECT_EQ(concatenateFiles(home.path("b.mp3"), home.path("b.mp3"), home.path("no/such/out.mp3")),
              JoinOutcome::WriteFailed);
}

namespace {

ino_t inodeOf(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

} // namespace

TEST(AtomicFile, LinksDevicesPipesAndFoldersAreNeverWrittenThrough) {
    scratch::ScratchFolder home;
    ASSERT_TRUE(home.write("victim.txt", "victim"));
    ASSERT_TRUE(QFile::link(home.path("victim.txt"), home.path("link")));
    ASSERT_TRUE(QFile::link(home.path("nowhere.txt"), home.path("dangling")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(home.path("fifo")).constData(), 0600), 0);
    // A copy of /dev/null's node (the program runs as root here, as the attack did).
    ASSERT_EQ(::mknod(QFile::encodeName(home.path("null")).constData(), S_IFCHR | 0666, makedev(1, 3)), 0);
    ASSERT_TRUE(QDir(home.path()).mkdir("folder"));
    const QStringList entriesBefore = entriesOf(home.path());

    for (const char* name : {"link", "dangling", "fifo", "null", "folder"}) {
        SCOPED_TRACE(name);
        const QString path = home.path(QString::fromLatin1(name));
        const QFileInfo before(path);
        EXPECT_FALSE(isReplaceableFilePath(path));
        EXPECT_FALSE(writeFileAtomically(path, "new"));
        EXPECT_FALSE(ensureFileHolds(path, "new"));
        EXPECT_EQ(QFileInfo(path).isSymLink(), before.isSymLink());
        EXPECT_EQ(QFileInfo(path).isFile(), before.isFile());
    }
    EXPECT_EQ(home.read("victim.txt"), QByteArray("victim"));
    EXPECT_FALSE(QFileInfo::exists(home.path("nowhere.txt")));
    EXPECT_EQ(entriesOf(home.path()), entriesBefore);
    EXPECT_TRUE(isReplaceableFilePath(home.path("victim.txt")));
    EXPECT_TRUE(isReplaceableFilePath(home.path("new.txt")));
    EXPECT_FALSE(isReplaceableFilePath(home.path("no/such/new.txt")));

    // Restoring the folder's own layout replaces the link itself; what it pointed at stays.
    EXPECT_TRUE(ensureFileHolds(home.path("link"), "restored", ExistingEntry::ReplaceLink));
    EXPECT_FALSE(QFileInfo(home.path("link")).isSymLink());
    EXPECT_EQ(home.read("link"), QByteArray("restored"));
    EXPECT_EQ(home.read("victim.txt"), QByteArray("victim"));
    EXPECT_FALSE(writeFileAtomically(home.path("fifo"), "new", ExistingEntry::ReplaceLink));
}

TEST(AtomicFile, ComparingFirstLeavesAnIdenticalFileAloneAndReplacingKeepsItsMode) {
    scratch::ScratchFolder home;
    ASSERT_TRUE(home.write("same.bin", "same bytes"));
    ASSERT_TRUE(
        QFile::setPermissions(home.path("same.bin"), QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    const ino_t original = inodeOf(home.path("same.bin"));

    EXPECT_TRUE(ensureFileHolds(home.path("same.bin"), "same bytes"));
    EXPECT_EQ(inodeOf(home.path("same.bin")), original); // untouched, not rewritten

    for (const QByteArray& other : {QByteArray("same bytez"), QByteArray("same"), QByteArray()}) {
        const ino_t before = inodeOf(home.path("same.bin"));
        EXPECT_TRUE(ensureFileHolds(home.path("same.bin"), other));
        EXPECT_EQ(home.read("same.bin"), other);
        EXPECT_NE(inodeOf(home.path("same.bin")), before);
    }
    EXPECT_EQ(QFileInfo(home.path("same.bin")).permissions() &
                  0x7077, // the file's own bits, not the caller's
              QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(entriesOf(home.path()), QStringList{"same.bin"});
}

TEST(AtomicFile, ReadingByNameTakesOnlyRegularFilesWithinTheLimitAndNeverWaits) {
    scratch::ScratchFolder home;
    ASSERT_TRUE(home.write("ten.bin", "0123456789"));
    ASSERT_TRUE(QFile::link(home.path("ten.bin"), home.path("link.bin")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(home.path("fifo")).constData(), 0600),
              0); // no writer: open must not wait

    struct Case {
        QString path;
        qint64 limit;
        ReadOutcome outcome;
    };
    const Case cases[] = {
        {home.path("ten.bin"), 10, ReadOutcome::Read},
        {home.path("link.bin"), 10, ReadOutcome::Read},
        {home.path("ten.bin"), 9, ReadOutcome::TooLarge},
        {home.path("fifo"), 1024, ReadOutcome::NotARegularFile},
        {QStringLiteral("/dev/zero"), 1024, ReadOutcome::NotARegularFile}, // endless
        {home.path(), 1024, ReadOutcome::NotARegularFile},
        {home.path("absent.bin"), 1024, ReadOutcome::Failed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        QByteArray out("stale");
        EXPECT_EQ(readRegularFile(c.path, c.limit, out), c.outcome);
        EXPECT_EQ(out, c.outcome == ReadOutcome::Read ? QByteArray("0123456789") : QByteArray());
    }
}

TEST(AtomicFile, StandardOutputReceivesEveryByte) {
    // Standard output pointed at a pipe for the length of the write.
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    std::fflush(stdout);
    const int saved = ::dup(STDOUT_FILENO);
    ::dup2(pipeEnds[1], STDOUT_FILENO);
    ::close(pipeEnds[1]);
    const QByteArray data = QByteArray("\xFF\xE3\x20\xC4", 4) + QByteArray(30000, 'm');
    QByteArray received;
    std::thread reader([&] {
        char chunk[4096];
        ssize_t n = 0;
        while ((n = ::read(pipeEnds[0], chunk, sizeof chunk)) > 0) {
            received.append(chunk, n);
        }
    });
    const bool written = writeToStandardOutput(data);
    ::dup2(saved, STDOUT_FILENO);
    ::close(saved);
    reader.join();
    ::close(pipeEnds[0]);
    EXPECT_TRUE(written);
    EXPECT_EQ(received, data);
}
