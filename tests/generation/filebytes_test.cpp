#include "generation/filebytes.h"

#include "support/tempfolder.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace velanote;
using velanote::fakes::TempProgramFolder;

TEST(FileBytes, ReadsFromOneBasedPositions) {
    TempProgramFolder dir;
    ASSERT_TRUE(dir.write("\\a.bin", "abcdef"));
    const QString a = dir.path("\\a.bin");
    EXPECT_EQ(ReadFileBytes(a, 1, -1), QByteArray("abcdef"));
    EXPECT_EQ(ReadFileBytes(a, 3, -1), QByteArray("cdef"));
    EXPECT_EQ(ReadFileBytes(a, 2, 3), QByteArray("bcd"));
    EXPECT_EQ(ReadFileBytes(a, 7, -1), QByteArray());
    EXPECT_FALSE(ReadFileBytes(a, 5, 3));
    EXPECT_FALSE(ReadFileBytes(a, 0, -1));
    EXPECT_FALSE(ReadFileBytes(dir.path("\\missing.bin"), 1, -1));
}

TEST(FileBytes, WritesAtPositionsAndAppendsAfterTheLastByte) {
    TempProgramFolder dir;
    const QString p = dir.path("\\w.bin");
    ASSERT_TRUE(dir.write("\\w.bin", "0123456789"));
    EXPECT_TRUE(WriteFileBytes(p, "PQ", -1, true));
    EXPECT_EQ(dir.read("\\w.bin"), QByteArray("PQ"));
    EXPECT_TRUE(WriteFileBytes(p, "xyz", -1, false));
    EXPECT_EQ(dir.read("\\w.bin"), QByteArray("PQxyz"));
    EXPECT_TRUE(WriteFileBytes(p, "AB", 2, false));
    EXPECT_EQ(dir.read("\\w.bin"), QByteArray("PAByz"));
    EXPECT_TRUE(WriteFileBytes(p, "!", 8, false));
    EXPECT_EQ(dir.read("\\w.bin"), QByteArray("PAByz\0\0!", 8));
    EXPECT_TRUE(WriteFileBytes(dir.path("\\new.bin"), "n", -1, false));
    EXPECT_EQ(dir.read("\\new.bin"), QByteArray("n"));
    EXPECT_FALSE(WriteFileBytes(dir.path("\\no\\such\\folder.bin"), "n", -1, true));
}

TEST(PrefixJoin, WritesPrefixThenSpeechOverALongerOldFile) {
    TempProgramFolder dir;
    const QByteArray prefix(3000, 'P');
    const QByteArray speech(5000, 'Q');
    ASSERT_TRUE(dir.write("\\yx\\qz.mp3", prefix));
    ASSERT_TRUE(dir.write("\\speech.mp3", speech));
    ASSERT_TRUE(dir.write("\\joined.mp3", QByteArray(20000, 'O')));
    EXPECT_EQ(
        joinPrefixAndSpeech(dir.path("\\yx\\qz.mp3"), dir.path("\\speech.mp3"), dir.path("\\joined.mp3")),
        PrefixJoinOutcome::Joined);
    EXPECT_EQ(dir.read("\\joined.mp3"), prefix + speech);
    EXPECT_EQ(dir.read("\\yx\\qz.mp3"), prefix);

    // The speech file itself as the joined path: the speech is read before it is replaced.
    EXPECT_EQ(
        joinPrefixAndSpeech(dir.path("\\yx\\qz.mp3"), dir.path("\\speech.mp3"), dir.path("\\speech.mp3")),
        PrefixJoinOutcome::Joined);
    EXPECT_EQ(dir.read("\\speech.mp3"), prefix + speech);
}

TEST(PrefixJoin, RefusesWhatWouldHarmAFile) {
    TempProgramFolder dir;
    ASSERT_TRUE(dir.write("\\speech.mp3", "SPEECH"));
    ASSERT_TRUE(dir.write("\\joined.mp3", "OLD"));
    const QString prefix = dir.path("\\yx\\qz.mp3");
    const QString speech = dir.path("\\speech.mp3");
    const QString joined = dir.path("\\joined.mp3");

    EXPECT_EQ(joinPrefixAndSpeech(prefix, speech, joined), PrefixJoinOutcome::PrefixMissing);
    ASSERT_TRUE(dir.write("\\yx\\qz.mp3", ""));
    EXPECT_EQ(joinPrefixAndSpeech(prefix, speech, joined), PrefixJoinOutcome::PrefixMissing);
    ASSERT_TRUE(dir.write("\\yx\\qz.mp3", "PRE"));
    EXPECT_EQ(joinPrefixAndSpeech(prefix, speech, prefix), PrefixJoinOutcome::SameAsPrefix);
    // The same file named another way is still the prefix.
    EXPECT_EQ(joinPrefixAndSpeech(prefix, speech, dir.path("\\yx\\..\\yx\\qz.mp3")),
              PrefixJoinOutcome::SameAsPrefix);
    EXPECT_EQ(joinPrefixAndSpeech(prefix, dir.path("\\gone.mp3"), joined),
              PrefixJoinOutcome::SpeechUnreadable);
    EXPECT_EQ(joinPrefixAndSpeech(prefix, speech, dir.path("\\no\\such\\out.mp3")),
              PrefixJoinOutcome::WriteFailed);
    EXPECT_EQ(dir.read("\\yx\\qz.mp3"), QByteArray("PRE"));
    EXPECT_EQ(dir.read("\\joined.mp3"), QByteArray("OLD"));
}
