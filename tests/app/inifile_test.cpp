#include "app/inifile.h"
#include "support/tempfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <utility>

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
    EXPECT_EQ(readSetting("Information", "qzyp", "0", ini), "0");
    EXPECT_FALSE(QFileInfo::exists(ini));

    ASSERT_TRUE(home.write("\\velanote.ini", "[Other]\r\nqzyp=Dream\r\n[Information]\r\nkey=1\r\n"));
    EXPECT_EQ(readSetting("Information", "qzyp", "0", ini), "0");         // key only in another section
    EXPECT_EQ(readSetting("Missing", "key", "0", ini), "0");              // no such section
    EXPECT_EQ(readSetting("Information", "qzyp", "none  ", ini), "none"); // trailing blanks of the default go
    EXPECT_EQ(readSetting("Information", "key", "0", ini), "1");

    // A line with the key's name but no '=' holds no value, and being first it hides a later one.
    ASSERT_TRUE(home.write("\\velanote.ini", "[Information]\r\nqzyp\r\nqzyp=Dream\r\n"));
    EXPECT_EQ(readSetting("Information", "qzyp", "0", ini), "0");
    EXPECT_TRUE(writeSetting("Information", "qzyp", "Dream", ini));
    EXPECT_EQ(home.read("\\velanote.ini"), QByteArray("[Information]\r\nqzyp=Dream\r\nqzyp=Dream\r\n"));
    EXPECT_EQ(readSetting("Information", "qzyp", "0", ini), "Dream");
}

TEST(IniFile, FirstWriteCreatesFileSectionAndKeyAndLaterWritesReplaceTheValue) {
    fakes::TempProgramFolder home;
    const QString ini = home.path("\\velanote.ini");
    EXPECT_TRUE(writeSetting("Information", "qzyp", "Dream", ini));
    EXPECT_EQ(home.read("\\velanote.ini"), QByteArray("[Information]\r\nqzyp=Dream\r\n"));
    EXPECT_EQ(readSetting("Information", "qzyp", "0", ini), "Dream");

    EXPECT_TRUE(writeSetting("Information", "qzyp", "1", ini));
    EXPECT_EQ(home.read("\\velanote.ini"), QByteArray("[Information]\r\nqzyp=1\r\n"));
    EXPECT_EQ(readSetting("Information", "qzyp", "0", ini), "1");

    // A hand-edited "0" reads like a missing key.
    EXPECT_TRUE(writeSetting("Information", "qzyp", "0", ini));
    EXPECT_EQ(readSetting("Information", "qzyp", "0", ini), "0");
}

TEST(IniFile, NamesIgnoreCaseAndTheFirstMatchWins) {
    fakes::TempProgramFolder home;
    const QString ini = home.path("\\velanote.ini");
    const QByteArray original =
        "[information]\r\nQZYP=first\r\nqzyp=second\r\n[INFORMATION]\r\nqzyp=third\r\n";
    ASSERT_TRUE(home.write("\\velanote.ini", original));
    EXPECT_EQ(readSetting("Information", "qzyp", "0", ini), "first");
    EXPECT_EQ(readSetting("INFORMATION", "QzYp", "0", ini), "first");

    EXPECT_TRUE(writeSetting("Information", "qzyp", "new", ini));
    EXPECT_EQ(home.read("\\velanote.ini"),
              QByteArray("[information]\r\nQZYP=new\r\nqzyp=second\r\n[INFORMATION]\r\nqzyp=third\r\n"));

    // A key that only the second section of the name holds is not found, and is added to the first.
    EXPECT_EQ(readSetting("information", "other", "0", ini), "0");
    ASSERT_TRUE(home.write("\\velanote.ini", "[a]\nx=1\n[A]\ny=2\n"));
    EXPECT_EQ(readSetting("a", "y", "0", ini), "0");
    EXPECT_TRUE(writeSetting("A", "y", "3", ini));
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
    EXPECT_EQ(readSetting(" Information ", " qzyp ", "0", ini),
              "Dream"); // blanks and quotes around values go
    EXPECT_EQ(readSetting("Information", "tail", "0", ini), "kept");
    EXPECT_EQ(readSetting("Information", "; the prefix", "0", ini), "0"); // comments are not keys

    EXPECT_TRUE(writeSetting("Information", "qzyp", "1", ini));
    QByteArray expected = before;
    expected.replace("  qzyp =   \"Dream\"   \n", "  qzyp =   1\n");
    EXPECT_EQ(home.read("\\velanote.ini"), expected);

    // A new key goes after the last line of its section, before the blank line that ends it.
    EXPECT_TRUE(writeSetting("information", "added", "x", ini));
    expected.replace("tail = kept  \n", "tail = kept  \nadded=x\n");
    EXPECT_EQ(home.read("\\velanote.ini"), expected);

    // A new section goes at the end, after the missing final line break is supplied.
    EXPECT_TRUE(writeSetting("New", "k", "v", ini));
    EXPECT_EQ(home.read("\\velanote.ini"), expected + "\n[New]\nk=v\n");
    EXPECT_EQ(readSetting("Last", "z", "0", ini), "9");
}

TEST(IniFile, ChineseValuesAreStoredInGbkAndReadBackExactly) {
    fakes::TempProgramFolder home;
    const QString ini = home.path("\\velanote.ini");
    const QString name = QStringLiteral("抒情旋律");
    EXPECT_TRUE(writeSetting("Information", "qzyp", name, ini));
    const QByteArray expectedValue("\xCA\xE3\xC7\xE9\xD0\xFD\xC2\xC9", 8);
    EXPECT_EQ(home.read("\\velanote.ini"), "[Information]\r\nqzyp=" + expectedValue + "\r\n");
    const QString back = readSetting("Information", "qzyp", "0", ini);
    EXPECT_EQ(back, name);
    EXPECT_EQ(back.size(), 4);

    // A file written elsewhere in GBK, with Chinese names and a second byte that equals ']'.
    const QString section = QStringLiteral("设置"); // 设 is C9 E8, 置 is D6 C3
    const QString tricky = QStringLiteral("乚");    // 81 5D: its second byte is ']'
    ASSERT_EQ(gbk(tricky), QByteArray("\x81\x5D", 2));
    ASSERT_TRUE(home.write("\\velanote.ini", "[" + gbk(section + tricky) + "]\r\n" +
                                                 gbk(QStringLiteral("前缀")) + "=" +
                                                 gbk(QStringLiteral("我想我是疯了")) + "\r\n"));
    EXPECT_EQ(readSetting(section + tricky, QStringLiteral("前缀"), "0", ini),
              QStringLiteral("我想我是疯了"));
    EXPECT_TRUE(writeSetting(section + tricky, QStringLiteral("前缀"), QStringLiteral("JYJ-找到了"), ini));
    EXPECT_EQ(readSetting(section + tricky, QStringLiteral("前缀"), "0", ini), QStringLiteral("JYJ-找到了"));
}

TEST(IniFile, LongValuesAreCutTo254BytesWithoutSplittingACharacter) {
    fakes::TempProgramFolder home;
    const QString ini = home.path("\\velanote.ini");
    EXPECT_TRUE(writeSetting("Information", "qzyp", QString(300, 'a'), ini));
    EXPECT_EQ(home.read("\\velanote.ini").size(),
              qsizetype(QByteArray("[Information]\r\nqzyp=\r\n").size() + 300));
    EXPECT_EQ(readSetting("Information", "qzyp", "0", ini), QString(254, 'a'));

    // "a" then 150 two-byte characters: 126 of them fit beside the "a", the 127th would straddle the limit.
    const QString chinese = "a" + QString(150, QChar(0x97F3)); // 音
    EXPECT_TRUE(writeSetting("Information", "qzyp", chinese, ini));
    EXPECT_EQ(readSetting("Information", "qzyp", "0", ini), chinese.left(127));
    EXPECT_EQ(readSetting("Information", "none", QString(260, 'd'), ini), QString(254, 'd'));
}

TEST(IniFile, AWriteThatCannotHappenChangesNothing) {
    fakes::TempProgramFolder home;
    // A folder where the file should be, and a file inside a folder that does not exist.
    const QString folder = home.path("\\velanote.ini");
    ASSERT_TRUE(home.write("\\velanote.ini\\inside.txt", "keep"));
    EXPECT_FALSE(writeSetting("Information", "qzyp", "Dream", folder));
    EXPECT_EQ(home.read("\\velanote.ini\\inside.txt"), QByteArray("keep"));
    EXPECT_EQ(readSetting("Information", "qzyp", "0", folder), "0");
    EXPECT_FALSE(writeSetting("Information", "qzyp", "Dream", home.path("\\missing\\velanote.ini")));
    EXPECT_FALSE(QFileInfo::exists(home.path("\\missing")));

    // A value with a line break cannot add lines of its own.
    const QString ini = home.path("\\other.ini");
    EXPECT_TRUE(writeSetting("Information", "qzyp", "one\r\n[Evil]\r\nx=1", ini));
    EXPECT_EQ(home.read("\\other.ini"), QByteArray("[Information]\r\nqzyp=one\r\n"));
}

TEST(IniFile, ALoneCarriageReturnEndsALine) {
    fakes::TempProgramFolder home;
    const QString ini = home.path("\\velanote.ini");
    ASSERT_TRUE(home.write("\\velanote.ini", "[Setup]\r\nA=1\r"));
    EXPECT_EQ(readSetting("Setup", "A", "0", ini), "1");
    EXPECT_TRUE(writeSetting("Setup", "B", "2", ini));
    EXPECT_EQ(readSetting("Setup", "A", "0", ini), "1");
    EXPECT_EQ(readSetting("Setup", "B", "0", ini), "2");
    EXPECT_EQ(home.read("\\velanote.ini"), QByteArray("[Setup]\r\nA=1\rB=2\r\n"));

    // A file that only breaks with CR gets CR line breaks from a write.
    ASSERT_TRUE(home.write("\\velanote.ini", "[Setup]\rA=1"));
    EXPECT_TRUE(writeSetting("Other", "C", "3", ini));
    EXPECT_EQ(home.read("\\velanote.ini"), QByteArray("[Setup]\rA=1\r[Other]\rC=3\r"));
}

TEST(IniFile, NamesThatWouldWriteLinesOrKeysOfTheirOwnAreRefused) {
    fakes::TempProgramFolder home;
    const QString ini = home.path("\\velanote.ini");
    const QByteArray original("[Information]\r\nqzyp=Dream\r\n");
    ASSERT_TRUE(home.write("\\velanote.ini", original));
    const QString nul(QChar(0));
    const std::pair<QString, QString> refused[] = {
        {"Infor\r\nmation", "qzyp"},
        {"Information\r", "qzyp"},
        {"Evil]\r\n[Information", "qzyp"},
        {"Info]", "qzyp"},
        {"Info" + nul, "qzyp"},
        {"Information", "q=zyp"},
        {"Information", "qzyp\nx"},
        {"Information", "qz\ryp"},
        {"Information", "qzyp" + nul},
        {"Information", "[qzyp"},
        {"Information", ";qzyp"},
        {"Information", QStringLiteral("😀")},
        {QStringLiteral("😀"), "qzyp"},
        {" ", "qzyp"},
        {"Information", ""},
    };
    for (const auto& [section, key] : refused) {
        SCOPED_TRACE((section + '|' + key).toUtf8().toPercentEncoding().toStdString());
        EXPECT_FALSE(writeSetting(section, key, "1", ini));
        EXPECT_EQ(home.read("\\velanote.ini"), original);
        EXPECT_EQ(readSetting(section, key, "none", ini), "none");
    }
}

// Random files of every kind of line, random writes: the written value reads back, every other
// name reads as before, and a refused write leaves every byte.
TEST(IniFile, RandomFilesAndWritesKeepEveryOtherValue) {
    QTemporaryDir memory(QFileInfo(QStringLiteral("/dev/shm")).isDir()
                             ? QStringLiteral("/dev/shm/velanote-ini-XXXXXX")
                             : QDir::tempPath() + QStringLiteral("/velanote-ini-XXXXXX"));
    ASSERT_TRUE(memory.isValid());
    const QString ini = memory.filePath("test.ini");
    const QStringList sections = {"S", "s", "T", QStringLiteral("节")};
    const QStringList keys = {"A", "a", "B", QStringLiteral("键"), "C"};
    const QList<QByteArray> pieces = {"[S]",
                                      "[ s ]",
                                      "[T]",
                                      gbk(QStringLiteral("[节]")),
                                      "[S",
                                      "A=1",
                                      " a = \"2\" ",
                                      "B",
                                      "B=x=y",
                                      ";A=c",
                                      gbk(QStringLiteral("键=值")),
                                      "C =",
                                      "=v",
                                      "",
                                      "  ",
                                      "\x81",
                                      QByteArray("\x81]", 2),
                                      "[]",
                                      "A"};
    const QList<QByteArray> breaks = {"\r\n", "\n", "\r", ""};
    const QString valueChars = QStringLiteral("ab1 =[];\"'值é");
    const QStringList badSections = {"S\r", "S\nT", "S]", QStringLiteral("S") + QChar(0)};
    const QStringList badKeys = {"A=", "A\r", "\nA", "[A", ";A", QStringLiteral("A") + QChar(0)};

    std::mt19937 random(14);
    const auto pick = [&random](const auto& list) { return list[random() % list.size()]; };
    for (int round = 0; round < 3000; ++round) {
        QByteArray file;
        for (int line = int(random() % 8); line > 0; --line) {
            file += pick(pieces) + pick(breaks);
        }
        QFile::remove(ini);
        if (random() % 10 != 0) {
            QFile out(ini);
            ASSERT_TRUE(out.open(QIODevice::WriteOnly) && out.write(file) == file.size());
        }
        QString value;
        if (random() % 8 != 0) {
            value = "v";
            for (int i = int(random() % 10); i > 0; --i) {
                value += valueChars[qsizetype(random() % std::uint64_t(valueChars.size()))];
            }
            value += "w";
        }
        QString section = pick(sections);
        QString key = pick(keys);
        const bool refused = random() % 5 == 0;
        if (refused) {
            if (random() % 2 != 0) {
                section = pick(badSections);
            } else {
                key = pick(badKeys);
            }
        }
        SCOPED_TRACE(testing::Message() << "round " << round << ": " << file.toPercentEncoding().constData()
                                        << " <- [" << section.toStdString() << "] " << key.toStdString());

        QHash<QString, QString> before;
        for (const QString& s : sections) {
            for (const QString& k : keys) {
                before[s + '|' + k] = readSetting(s, k, "<none>", ini);
            }
        }
        const bool existed = QFileInfo::exists(ini);
        ASSERT_EQ(writeSetting(section, key, value, ini), !refused);
        if (refused) {
            ASSERT_EQ(QFileInfo::exists(ini), existed);
            QFile in(ini);
            ASSERT_TRUE(!existed || (in.open(QIODevice::ReadOnly) && in.readAll() == file));
            continue;
        }
        ASSERT_EQ(readSetting(section, key, "<none>", ini), value);
        for (const QString& s : sections) {
            for (const QString& k : keys) {
                const bool written =
                    s.compare(section, Qt::CaseInsensitive) == 0 && k.compare(key, Qt::CaseInsensitive) == 0;
                if (!written) {
                    ASSERT_EQ(readSetting(s, k, "<none>", ini), before[s + '|' + k])
                        << s.toStdString() << '|' << k.toStdString();
                }
            }
        }
    }
}
