#include "joiner/audiojoiner.h"
#include "platform/samefile.h"
#include "support/tempfolder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace velanote;
using Verdict = AudioJoiner::Verdict;

namespace {
QByteArray bytes(int n, char fill) {
    return QByteArray(n, fill);
}
} // namespace

TEST(AudioJoiner, SizesAreWholeKilobytesAndMissingFilesAreNamed) {
    fakes::TempProgramFolder tmp;
    ASSERT_TRUE(tmp.write("\\a.mp3", bytes(204800, 'a')));
    ASSERT_TRUE(tmp.write("\\b.mp3", bytes(205823, 'b')));
    ASSERT_TRUE(tmp.write("\\c.mp3", bytes(1023, 'c')));
    EXPECT_EQ(AudioJoiner::kilobytes(tmp.path("\\a.mp3")), 200);
    EXPECT_EQ(AudioJoiner::kilobytes(tmp.path("\\b.mp3")), 200);
    EXPECT_EQ(AudioJoiner::kilobytes(tmp.path("\\c.mp3")), 0);
    EXPECT_FALSE(AudioJoiner::kilobytes(tmp.path("\\none.mp3")).has_value());
    EXPECT_FALSE(AudioJoiner::kilobytes(tmp.folder().path()).has_value()); // a folder is no file
    EXPECT_FALSE(AudioJoiner::kilobytes(QString()).has_value());

    EXPECT_EQ(AudioJoiner::sizeLine("(1)大小：", tmp.path("\\a.mp3")), "(1)大小：200KB");
    EXPECT_EQ(AudioJoiner::sizeLine("(2)大小：", QString()), "(2)大小：未载入");
    EXPECT_EQ(AudioJoiner::sizeLine("(2)大小：", tmp.path("\\none.mp3")), "(2)大小：文件不存在");
    EXPECT_EQ(AudioJoiner::estimateLine(tmp.path("\\a.mp3"), tmp.path("\\b.mp3"), "/x/out.mp3"),
              "预计合成后大小：400KB");
    EXPECT_EQ(AudioJoiner::estimateLine(tmp.path("\\a.mp3"), tmp.path("\\none.mp3"), "/x/out.mp3"),
              "预计合成后大小：无法估算");
    EXPECT_EQ(AudioJoiner::estimateLine(tmp.path("\\a.mp3"), tmp.path("\\b.mp3"), QString()),
              "预计合成后大小：未载入");
}

TEST(AudioJoiner, ChecksRunInOrderAndTheFirstFailureWins) {
    fakes::TempProgramFolder tmp;
    ASSERT_TRUE(tmp.write("\\ok.mp3", bytes(205823, 'o')));
    ASSERT_TRUE(tmp.write("\\big.mp3", bytes(205824, 'g')));
    ASSERT_TRUE(tmp.write("\\upper.MP3", bytes(10, 'u')));
    ASSERT_TRUE(tmp.write("\\small.mp3", bytes(10, 's')));
    const QString ok = tmp.path("\\ok.mp3"), big = tmp.path("\\big.mp3"), upper = tmp.path("\\upper.MP3"),
                  small = tmp.path("\\small.mp3"), none = tmp.path("\\none.mp3"), out = tmp.path("\\out.mp3");

    EXPECT_EQ(AudioJoiner::check("", "", ""), Verdict::FirstNotChosen);
    EXPECT_EQ(AudioJoiner::check(ok, "", ""), Verdict::SecondNotChosen);
    EXPECT_EQ(AudioJoiner::check(ok, small, ""), Verdict::OutputNotChosen);
    EXPECT_EQ(AudioJoiner::check(ok, small, out), Verdict::Ready);
    // Both files are measured: a large second file fails as a large first one does.
    EXPECT_EQ(AudioJoiner::check(small, big, out), Verdict::TooLarge);
    EXPECT_EQ(AudioJoiner::check(big, small, out), Verdict::TooLarge);
    // The size test comes before the format test.
    EXPECT_EQ(AudioJoiner::check(big, upper, out), Verdict::TooLarge);
    EXPECT_EQ(AudioJoiner::check(small, upper, out), Verdict::FormatDiffers);
    EXPECT_EQ(AudioJoiner::check(ok, none, out), Verdict::InputNotFound);
    EXPECT_EQ(AudioJoiner::check(none, small, out), Verdict::InputNotFound);
    EXPECT_EQ(AudioJoiner::check(ok, small, small), Verdict::OutputIsInput);
    EXPECT_EQ(AudioJoiner::check(ok, small, ok), Verdict::OutputIsInput);

    EXPECT_EQ(AudioJoiner::statusText(Verdict::FirstNotChosen), "请选择您要合成的音频一(前半部分)");
    EXPECT_EQ(AudioJoiner::statusText(Verdict::SecondNotChosen), "请选择您要合成的音频一(后半部分)");
    EXPECT_EQ(AudioJoiner::statusText(Verdict::OutputNotChosen), "请选择您要保存的音频路径...");
    EXPECT_EQ(AudioJoiner::statusText(Verdict::TooLarge), "请选择200K以下的音频文件进行整合...");
    EXPECT_EQ(AudioJoiner::statusText(Verdict::FormatDiffers), "音频格式不同,无法进行整合...");
    EXPECT_EQ(AudioJoiner::statusText(Verdict::OutputIsInput), "保存路径不能与音频文件相同!请重新选择..");
    EXPECT_EQ(AudioJoiner::statusText(Verdict::InputNotFound), "音频文件合成失败!请检查文件路径..");
}

TEST(AudioJoiner, SamePathSeesThroughSpellingsLinksAndMissingFiles) {
    fakes::TempProgramFolder tmp;
    ASSERT_TRUE(tmp.write("\\d\\a.mp3", "A"));
    const QString a = tmp.path("\\d\\a.mp3");
    const QString root = tmp.folder().path();
    EXPECT_TRUE(isSameFile(a, root + "/d/./a.mp3"));
    EXPECT_TRUE(isSameFile(a, root + "/d/../d/a.mp3"));
    ASSERT_TRUE(QFile::link(root + "/d", root + "/alias"));
    EXPECT_TRUE(isSameFile(a, root + "/alias/a.mp3"));
    ASSERT_TRUE(QFile::link(a, root + "/link.mp3"));
    EXPECT_TRUE(isSameFile(a, root + "/link.mp3"));
    // Relative spelling of the same file.
    const QString saved = QDir::currentPath();
    QDir::setCurrent(root);
    EXPECT_TRUE(isSameFile(a, "d/a.mp3"));
    QDir::setCurrent(saved);

    EXPECT_FALSE(isSameFile(a, root + "/d/A.mp3"));
    EXPECT_FALSE(isSameFile(a, root + "/d/b.mp3"));
    // Neither exists: compared as resolved paths.
    EXPECT_TRUE(isSameFile(root + "/alias/new.mp3", root + "/d/new.mp3"));
    EXPECT_FALSE(isSameFile(root + "/d/new.mp3", root + "/d/new2.mp3"));
    EXPECT_FALSE(isSameFile(QString(), QString()));
}

TEST(AudioJoiner, JoinWritesBothInputsWholeOrNothing) {
    fakes::TempProgramFolder tmp;
    QByteArray first(150000, '\0'), second(90001, '\0');
    for (int i = 0; i < first.size(); ++i) {
        first[i] = char(i * 7);
    }
    for (int i = 0; i < second.size(); ++i) {
        second[i] = char(i * 13 + 1);
    }
    ASSERT_TRUE(tmp.write("\\1.mp3", first));
    ASSERT_TRUE(tmp.write("\\2.mp3", second));
    // A longer old file at the output leaves no stale tail.
    ASSERT_TRUE(tmp.write("\\out.mp3", QByteArray(400000, 'x')));
    ASSERT_TRUE(AudioJoiner::join(tmp.path("\\1.mp3"), tmp.path("\\2.mp3"), tmp.path("\\out.mp3")));
    EXPECT_EQ(tmp.read("\\out.mp3"), first + second);

    // A missing input or an unwritable output changes nothing.
    EXPECT_FALSE(AudioJoiner::join(tmp.path("\\gone.mp3"), tmp.path("\\2.mp3"), tmp.path("\\out.mp3")));
    EXPECT_EQ(tmp.read("\\out.mp3"), first + second);
    EXPECT_FALSE(
        AudioJoiner::join(tmp.path("\\1.mp3"), tmp.path("\\2.mp3"), tmp.path("\\no\\such\\out.mp3")));
    EXPECT_FALSE(QFile::exists(tmp.path("\\no\\such\\out.mp3")));

    // An input beyond the 200 KB rule, a pipe with no writer and an endless device are not read.
    ASSERT_TRUE(tmp.write("\\big.mp3", QByteArray(qsizetype{201} * 1024, 'b')));
    ASSERT_EQ(::mkfifo(QFile::encodeName(tmp.path("\\fifo.mp3")).constData(), 0600), 0);
    for (const QString& input :
         {tmp.path("\\big.mp3"), tmp.path("\\fifo.mp3"), QStringLiteral("/dev/zero")}) {
        EXPECT_FALSE(AudioJoiner::join(tmp.path("\\1.mp3"), input, tmp.path("\\out.mp3")));
        EXPECT_NE(AudioJoiner::check(tmp.path("\\1.mp3"), input, tmp.path("\\new.mp3")),
                  AudioJoiner::Verdict::Ready);
    }
    EXPECT_EQ(tmp.read("\\out.mp3"), first + second);
    ASSERT_TRUE(tmp.write("\\edge.mp3", QByteArray(201 * 1024 - 1, 'e'))); // still 200 KB
    EXPECT_TRUE(AudioJoiner::join(tmp.path("\\1.mp3"), tmp.path("\\edge.mp3"), tmp.path("\\out.mp3")));
}
