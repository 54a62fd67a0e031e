#include "app/inifile.h"
#include "support/tempfolder.h"

#include <QFileInfo>
#include <QStringEncoder>

#include <gtest/gtest.h>

using namespace velanote;

namespace {

QByteArray gbk(const QString& text) {
    QStringEncoder encoder("GBK");
    return encoder.encode(text);
}

} // namespace

TEST(IniFile, MissingFileSectionOrKeyGivesTheDefaultAndReadingNeverCreatesTheFile) {
    fakes::TempProgramFolder home;
    const QString ini = home.path("\\velanote.ini");
    EXPECT_EQ(GetFromINI("Information", "qzyp", "0", ini), "0");
    EXPECT_FALSE(QFileInfo::exists(ini));

    ASSERT_TRUE(home.write("\\velanote.ini", "[Other]\r\nqzyp=Dream\r\n[Information]\r\nkey=1\r\n"));
    EXPECT_EQ(GetFromINI("Information", "qzyp", "0", ini), "0");         // key only in another section
    EXPECT_EQ(GetFromINI("Missing", "key", "0", ini), "0");              // no such section
    EXPECT_EQ(GetFromINI("Information", "qzyp", "none  ", ini), "none"); // trailing blanks of the default go
    EXPECT_EQ(GetFromINI("Information", "key", "0", ini), "1");

    // A line with the key's name but no '=' holds no value, and being first it hides a later one.
    ASSERT_TRUE(home.write("\\velanote.ini", "[Information]\r\nqzyp\r\nqzyp=Dream\r\n"));
    EXPECT_EQ(GetFromINI("Information", "qzyp", "0", ini), "0");
    EXPECT_TRUE(WriteToINI("Information", "qzyp", "Dream", ini));
    EXPECT_EQ(home.read("\\velanote.ini"), QByteArray("[Information]\r\nqzyp=Dream\r\nqzyp=Dream\r\n"));
    EXPECT_EQ(GetFromINI("Information", "qzyp", "0", ini), "Dream");
}

TEST(IniFile, FirstWriteCreatesFileSectionAndKeyAndLaterWritesReplaceTheValue) {
    fakes::TempProgramFolder home;
    const QString ini = home.path("\\velanote.ini");
    EXPECT_TRUE(WriteToINI("Information", "qzyp", "Dream", ini));
    EXPECT_EQ(home.read("\\velanote.ini"), QByteArray("[Information]\r\nqzyp=Dream\r\n"));
    EXPECT_EQ(GetFromINI("Information", "qzyp", "0", ini), "Dream");

    EXPECT_TRUE(WriteToINI("Information", "qzyp", "1", ini));
    EXPECT_EQ(home.read("\\velanote.ini"), QByteArray("[Information]\r\nqzyp=1\r\n"));
    EXPECT_EQ(GetFromINI("Information", "qzyp", "0", ini), "1");

    // A hand-edited "0" reads like a missing key.
    EXPECT_TRUE(WriteToINI("Information", "qzyp", "0", ini));
    EXPECT_EQ(GetFromINI("Information", "qzyp", "0", ini), "0");
}

TEST(IniFile, NamesIgnoreCaseAndTheFirstMatchWins) {
    fakes::TempProgramFolder home;
    const QString ini = home.path("\\velanote.ini");
    const QByteArray original =
        "[information]\r\nQZYP=first\r\nqzyp=second\r\n[INFORMATION]\r\nqzyp=third\r\n";
    ASSERT_TRUE(home.write("\\velanote.ini", original));
    EXPECT_EQ(GetFromINI("Information", "qzyp", "0", ini), "first");
    EXPECT_EQ(GetFromINI("INFORMATION", "QzYp", "0", ini), "first");

    EXPECT_TRUE(WriteToINI("Information", "qzyp", "new", ini));
    EXPECT_EQ(home.read("\\velanote.ini"),
              QByteArray("[information]\r\nQZYP=new\r\nqzyp=second\r\n[INFORMATION]\r\nqzyp=third\r\n"));

    // A key that only the second section of the name holds is not found, and is added to the first.
    EXPECT_EQ(GetFromINI("information", "other", "0", ini), "0");
    ASSERT_TRUE(home.write("\\velanote.ini", "[a]\nx=1\n[A]\ny=2\n"));
    EXPECT_EQ(GetFromINI("a", "y", "0", ini), "0");
    EXPECT_TRUE(WriteToINI("A", "y", "3", ini));
    EXPECT_EQ(home.read("\\velanote.ini"), QByteArray("[a]\nx=1\ny=3\n[A]\ny=2\n"));
}

TEST(IniFile, ReplacingAValueKeepsEveryOtherLineByteForByte) {
    fakes::TempProgramFolder home;
    const QString ini = home.path("\\velanote.ini");
    const QByteArray before = "; written by hand\n"
                              "[Other]\n"
                              "qzyp=elsewhere\n"
                              "\n"
                              "  [ Information ]  \n"
                              "; the prefix\n"
                              "  qzyp =   \"Dream\"   \n"
                              "tail = kept  \n"
                              "\n"
                              "[Last]\n"
                              "z=9";
    ASSERT_TRUE(home.write("\\velanote.ini", before));
    EXPECT_EQ(GetFromINI(" Information ", " qzyp ", "0", ini), "Dream"); // blanks and quotes around values go
    EXPECT_EQ(GetFromINI("Information", "tail", "0", ini), "kept");
    EXPECT_EQ(GetFromINI("Information", "; the prefix", "0", ini), "0"); // comments are not keys

    EXPECT_TRUE(WriteToINI("Information", "qzyp", "1", ini));
    QByteArray expected = before;
    expected.replace("  qzyp =   \"Dream\"   \n", "  qzyp =   1\n");
    EXPECT_EQ(home.read("\\velanote.ini"), expected);

    // A new key goes after the last line of its section, before the blank line that ends it.
    EXPECT_TRUE(WriteToINI("information", "added", "x", ini));
    expected.replace("tail = kept  \n", "tail = kept  \nadded=x\n");
    EXPECT_EQ(home.read("\\velanote.ini"), expected);

    // A new section goes at the end, after the missing final line break is supplied.
    EXPECT_TRUE(WriteToINI("New", "k", "v", ini));
    EXPECT_EQ(home.read("\\velanote.ini"), expected + "\n[New]\nk=v\n");
    EXPECT_EQ(GetFromINI("Last", "z", "0", ini), "9");
}

TEST(IniFile, ChineseValuesAreStoredInGbkAndReadBackExactly) {
    fakes::TempProgramFolder home;
    const QString ini = home.path("\\velanote.ini");
    const QString name = QStringLiteral("抒情旋律");
    EXPECT_TRUE(WriteToINI("Information", "qzyp", name, ini));
    const QByteArray expectedValue("\xCA\xE3\xC7\xE9\xD0\xFD\xC2\xC9", 8);
    EXPECT_EQ(home.read("\\velanote.ini"), "[Information]\r\nqzyp=" + expectedValue + "\r\n");
    const QString back = GetFromINI("Information", "qzyp", "0", ini);
    EXPECT_EQ(back, name);
    EXPECT_EQ(back.size(), 4);

    // A file written elsewhere in GBK, with Chinese names and a second byte that equals ']'.
    const QString section = QStringLiteral("设置"); // 设 is C9 E8, 置 is D6 C3
    const QString tricky = QStringLiteral("乚");    // 81 5D: its second byte is ']'
    ASSERT_EQ(gbk(tricky), QByteArray("\x81\x5D", 2));
    ASSERT_TRUE(home.write("\\velanote.ini", "[" + gbk(section + tricky) + "]\r\n" +
                                                 gbk(QStringLiteral("前缀")) + "=" +
                                                 gbk(QStringLiteral("我想我是疯了")) + "\r\n"));
    EXPECT_EQ(GetFromINI(section + tricky, QStringLiteral("前缀"), "0", ini), QStringLiteral("我想我是疯了"));
    EXPECT_TRUE(WriteToINI(section + tricky, QStringLiteral("前缀"), QStringLiteral("JYJ-找到了"), ini));
    EXPECT_EQ(GetFromINI(section + tricky, QStringLiteral("前缀"), "0", ini), QStringLiteral("JYJ-找到了"));
}

TEST(IniFile, LongValuesAreCutTo254BytesWithoutSplittingACharacter) {
    fakes::TempProgramFolder home;
    const QString ini = home.path("\\velanote.ini");
    EXPECT_TRUE(WriteToINI("Information", "qzyp", QString(300, 'a'), ini));
    EXPECT_EQ(home.read("\\velanote.ini").size(),
              qsizetype(QByteArray("[Information]\r\nqzyp=\r\n").size() + 300));
    EXPECT_EQ(GetFromINI("Information", "qzyp", "0", ini), QString(254, 'a'));

    // "a" then 150 two-byte characters: 126 of them fit beside the "a", the 127th would straddle the limit.
    const QString chinese = "a" + QString(150, QChar(0x97F3)); // 音
    EXPECT_TRUE(WriteToINI("Information", "qzyp", chinese, ini));
    EXPECT_EQ(GetFromINI("Information", "qzyp", "0", ini), chinese.left(127));
    EXPECT_EQ(GetFromINI("Information", "none", QString(260, 'd'), ini), QString(254, 'd'));
}

TEST(IniFile, AWriteThatCannotHappenChangesNothing) {
    fakes::TempProgramFolder home;
    // A folder where the file should be, and a file inside a folder that does not exist.
    const QString folder = home.path("\\velanote.ini");
    ASSERT_TRUE(home.write("\\velanote.ini\\inside.txt", "keep"));
    EXPECT_FALSE(WriteToINI("Information", "qzyp", "Dream", folder));
    EXPECT_EQ(home.read("\\velanote.ini\\inside.txt"), QByteArray("keep"));
    EXPECT_EQ(GetFromINI("Information", "qzyp", "0", folder), "0");
    EXPECT_FALSE(WriteToINI("Information", "qzyp", "Dream", home.path("\\missing\\velanote.ini")));
    EXPECT_FALSE(QFileInfo::exists(home.path("\\missing")));

    // A value with a line break cannot add lines of its own.
    const QString ini = home.path("\\other.ini");
    EXPECT_TRUE(WriteToINI("Information", "qzyp", "one\r\n[Evil]\r\nx=1", ini));
    EXPECT_EQ(home.read("\\other.ini"), QByteArray("[Information]\r\nqzyp=one\r\n"));
}
