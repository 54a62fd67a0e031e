#include "platform/atomicfile.h"
#include "scratchfolder.h"
#include "support/filesizelimit.h"

#include <QDir>
#include <QFileInfo>

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

    const QByteArray bigger(64 * 1024, 'n');
    {
        fakes::FileSizeLimit limit(8 * 1024);
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

    // Within the limit the same helper replaces the file.
    EXPECT_TRUE(writeFileAtomically(home.path("target.bin"), QByteArray("new")));
    EXPECT_EQ(home.read("target.bin"), QByteArray("new"));
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
