#include "app/resourcestore.h"
#include "support/filesizelimit.h"
#include "support/speechmp3.h"
#include "support/tempfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QRegularExpression>
#include <QStringDecoder>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <tuple>
#include <vector>

using namespace velanote;

namespace {

QString jinglePath(int n) {
    return QStringLiteral("\\sc\\%1.mp3").arg(n);
}

const QString ReadmeName = QStringLiteral("\\说明.txt");

struct Mp3Header {
    bool valid = false;
    int version = 0; // 0 = MPEG-2.5, 2 = MPEG-2, 3 = MPEG-1
    int layer = 0;   // 1 = Layer III
    int bitrateKbps = 0;
    int sampleRate = 0;
    bool mono = false;
    int frameLength = 0;
};

Mp3Header parseHeader(const QByteArray& data, qsizetype at) {
    Mp3Header h;
    if (at + 4 > data.size()) {
        return h;
    }
    const auto b = [&](int i) { return static_cast<unsigned char>(data[at + i]); };
    if (b(0) != 0xFF || (b(1) & 0xE0) != 0xE0) {
        return h;
    }
    h.version = (b(1) >> 3) & 3;
    h.layer = (b(1) >> 1) & 3;
    const int bitrateIndex = b(2) >> 4;
    const int rateIndex = (b(2) >> 2) & 3;
    const int padding = (b(2) >> 1) & 1;
    h.mono = (b(3) >> 6) == 3;
    static const int lowBitrates[] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0};
    static const int rates25[] = {11025, 12000, 8000, 0};
    if (h.version != 0 || h.layer != 1) {
        return h; // only MPEG-2.5 Layer III is measured here
    }
    h.bitrateKbps = lowBitrates[bitrateIndex];
    h.sampleRate = rates25[rateIndex];
    if (h.bitrateKbps == 0 || h.sampleRate == 0) {
        return h;
    }
    h.frameLength = 72000 * h.bitrateKbps / h.sampleRate + padding;
    h.valid = true;
    return h;
}

int id3v2Size(const QByteArray& data) {
    const auto b = [&](int i) { return static_cast<unsigned char>(data[i]) & 0x7F; };
    return (b(6) << 21) | (b(7) << 14) | (b(8) << 7) | b(9);
}

} // namespace

TEST(ResourceStore, FirstStartWritesEveryCarriedFileByteForByte) {
    fakes::TempProgramFolder home;
    prepareProgramFolder(home.folder());

    EXPECT_TRUE(QFileInfo(home.path("\\sc")).isDir());
    EXPECT_TRUE(QFileInfo(home.path("\\yx")).isDir());
    EXPECT_TRUE(QDir(home.path("\\yx")).isEmpty()); // the chosen prefix is not made here
    for (int n = 1; n <= 10; ++n) {
        const QByteArray resource = loadResource(111 + n);
        ASSERT_FALSE(resource.isEmpty()) << n;
        EXPECT_EQ(home.read(jinglePath(n)), resource) << "jingle " << n;
    }
    EXPECT_EQ(home.read("\\skinh.she"), loadResource(111));
    EXPECT_EQ(home.read(ReadmeName), loadResource(128));

    // Exactly these entries: no Windows components, no temporary files left behind.
    QStringList top =
        QDir(home.folder().path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    top.sort();
    QStringList expected{"sc", "skinh.she", "yx", QStringLiteral("说明.txt")};
    expected.sort();
    EXPECT_EQ(top, expected);
    EXPECT_EQ(
        QDir(home.path("\\sc")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 10);

    EXPECT_TRUE(loadResource(122).isEmpty());
    EXPECT_FALSE(extractResource(home.folder(), 122, "\\SkinH_VB6.dll"));
    EXPECT_FALSE(QFileInfo::exists(home.path("\\SkinH_VB6.dll")));
}

TEST(ResourceStore, EveryStartRewritesAllFilesAndRestoresTheFolder) {
    fakes::TempProgramFolder home;
    prepareProgramFolder(home.folder());

    // The user replaced a jingle by a longer file, damaged the others and the support files.
    const QByteArray longer = QByteArray(200000, 'x');
    ASSERT_TRUE(home.write(jinglePath(3), longer));
    ASSERT_TRUE(home.write(jinglePath(10), "short"));
    ASSERT_TRUE(home.write("\\skinh.she", "not a skin"));
    ASSERT_TRUE(home.write(ReadmeName, QByteArray(9000, 'r')));
    ASSERT_TRUE(home.write("\\yx\\qz.mp3", "chosen prefix"));
    ASSERT_TRUE(QFile::setPermissions(home.path("\\sc"), QFileDevice::ReadOwner | QFileDevice::ExeOwner));

    prepareProgramFolder(home.folder());

    EXPECT_TRUE(QFileInfo(home.path("\\sc")).permissions().testFlag(QFileDevice::WriteOwner));
    for (int n = 1; n <= 10; ++n) {
        EXPECT_EQ(home.read(jinglePath(n)), loadResource(111 + n)) << "jingle " << n;
    }
    EXPECT_LT(QFileInfo(home.path(jinglePath(3))).size(), longer.size()); // no stale tail
    EXPECT_EQ(home.read("\\skinh.she"), loadResource(111));
    EXPECT_EQ(home.read(ReadmeName), loadResource(128));
    EXPECT_EQ(home.read("\\yx\\qz.mp3"), "chosen prefix");
}

TEST(ResourceStore, OrdinaryFilesNamedScAndYxSkipTheFolderStep) {
    fakes::TempProgramFolder home;
    ASSERT_TRUE(home.write("\\sc", "file sc"));
    ASSERT_TRUE(home.write("\\yx", "file yx"));
    ASSERT_TRUE(QFile::setPermissions(home.path("\\sc"), QFileDevice::ReadOwner));

    prepareProgramFolder(home.folder());

    // Skipped: nothing became a folder and the attributes of "sc" were left alone.
    EXPECT_TRUE(QFileInfo(home.path("\\sc")).isFile());
    EXPECT_TRUE(QFileInfo(home.path("\\yx")).isFile());
    EXPECT_EQ(QFileInfo(home.path("\\sc")).permissions() & 0x7000, QFileDevice::ReadOwner);
    EXPECT_EQ(home.read("\\sc"), "file sc");
    EXPECT_EQ(home.read("\\yx"), "file yx");
    // The jingle writes fail silently; the support files are still written.
    EXPECT_FALSE(extractResource(home.folder(), 112, jinglePath(1)));
    EXPECT_EQ(home.read("\\skinh.she"), loadResource(111));
    EXPECT_EQ(home.read(ReadmeName), loadResource(128));

    // With only one of them an ordinary file the step runs: the missing folder is created and
    // "sc" gets normal attributes, though it stays a file.
    fakes::TempProgramFolder other;
    ASSERT_TRUE(other.write("\\sc", "file sc"));
    ASSERT_TRUE(QFile::setPermissions(other.path("\\sc"), QFileDevice::ReadOwner));
    prepareProgramFolder(other.folder());
    EXPECT_TRUE(QFileInfo(other.path("\\yx")).isDir());
    EXPECT_TRUE(QFileInfo(other.path("\\sc")).isFile());
    EXPECT_TRUE(QFileInfo(other.path("\\sc")).permissions().testFlag(QFileDevice::WriteOwner));
    EXPECT_EQ(other.read(ReadmeName), loadResource(128));
}

TEST(ResourceStore, AFailedWriteLeavesTheOldFileWhole) {
    fakes::TempProgramFolder home;
    prepareProgramFolder(home.folder());
    const QByteArray old = QByteArray("an older jingle ").repeated(40);
    for (int n = 1; n <= 10; ++n) {
        ASSERT_TRUE(home.write(jinglePath(n), old));
    }
    ASSERT_TRUE(home.write("\\skinh.she", "old skin"));

    bool firstResult = true;
    {
        // Every jingle is larger than this, the skin file smaller.
        const fakes::FileSizeLimit limit(4096);
        ASSERT_TRUE(limit.active());
        ASSERT_GT(loadResource(112).size(), 4096);
        ASSERT_LT(loadResource(111).size(), 4096);
        firstResult = extractResource(home.folder(), 112, jinglePath(1));
        prepareProgramFolder(home.folder());
    }
    EXPECT_FALSE(firstResult);
    for (int n = 1; n <= 10; ++n) {
        EXPECT_EQ(home.read(jinglePath(n)), old) << "jingle " << n;
    }
    EXPECT_EQ(home.read("\\skinh.she"), loadResource(111)); // the next step still ran
    EXPECT_EQ(
        QDir(home.path("\\sc")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 10);
}

TEST(ResourceStore, AnIntactFolderIsOnlyCompared) {
    fakes::TempProgramFolder home;
    prepareProgramFolder(home.folder());
    QStringList names{"\\sc", "\\yx", "\\skinh.she", ReadmeName};
    for (int n = 1; n <= 10; ++n) {
        names.append(jinglePath(n));
    }
    // A replaced file gets a new inode and a changed folder a new change time.
    const auto identity = [&home](const QString& name) {
        struct stat st {};
        ::lstat(QFile::encodeName(home.path(name)).constData(), &st);
        return std::tuple(st.st_ino, st.st_ctim.tv_sec, st.st_ctim.tv_nsec, st.st_mode);
    };
    std::vector<decltype(identity(QString()))> before;
    for (const QString& name : names) {
        before.push_back(identity(name));
    }
    prepareProgramFolder(home.folder());
    EXPECT_TRUE(restoreJingles(home.folder()));
    for (qsizetype i = 0; i < names.size(); ++i) {
        EXPECT_EQ(identity(names[i]), before[size_t(i)]) << names[i].toStdString();
    }
}

TEST(ResourceStore, PlantedLinksAreReplacedAndWhatTheyPointAtIsLeftAlone) {
    fakes::TempProgramFolder home;
    fakes::TempProgramFolder elsewhere;
    ASSERT_TRUE(elsewhere.write("\\victim.txt", "victim"));
    ASSERT_TRUE(elsewhere.write("\\folder\\keep.txt", "keep"));
    ASSERT_TRUE(QDir().mkpath(home.path("\\sc")));
    ASSERT_TRUE(QFile::link(elsewhere.path("\\victim.txt"), home.path(jinglePath(1))));
    ASSERT_TRUE(QFile::link(elsewhere.path("\\victim.txt"), home.path("\\skinh.she")));
    ASSERT_TRUE(QFile::link(elsewhere.path("\\folder"), home.path("\\yx")));

    prepareProgramFolder(home.folder());

    EXPECT_EQ(elsewhere.read("\\victim.txt"), QByteArray("victim"));
    EXPECT_EQ(
        QDir(elsewhere.path("\\folder")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        QStringList{"keep.txt"});
    for (const QString& name : {jinglePath(1), QStringLiteral("\\skinh.she"), QStringLiteral("\\yx")}) {
        EXPECT_FALSE(QFileInfo(home.path(name)).isSymLink()) << name.toStdString();
    }
    EXPECT_TRUE(QFileInfo(home.path("\\yx")).isDir());
    EXPECT_EQ(home.read(jinglePath(1)), loadResource(112));
    EXPECT_EQ(home.read("\\skinh.she"), loadResource(111));
}

TEST(ResourceStore, AJingleThatCannotBeRestoredIsTakenFromTheProgram) {
    fakes::TempProgramFolder home;
    prepareProgramFolder(home.folder());
    const QByteArray fragment = loadResource(116).left(100);
    ASSERT_TRUE(home.write(jinglePath(5), fragment));
    {
        const fakes::FileSizeLimit full(4096); // the folder is full
        ASSERT_TRUE(full.active());
        prepareProgramFolder(home.folder());
        const Jingle five = builtInJingle(home.folder(), 5);
        EXPECT_TRUE(five.damaged);
        EXPECT_EQ(five.bytes, loadResource(116));
        EXPECT_EQ(five.path, home.path(jinglePath(5)));
        EXPECT_FALSE(builtInJingle(home.folder(), 4).damaged); // intact: nothing to write
    }
    EXPECT_EQ(home.read(jinglePath(5)), fragment);

    const Jingle restored = builtInJingle(home.folder(), 5);
    EXPECT_FALSE(restored.damaged);
    EXPECT_EQ(restored.bytes, loadResource(116));
    EXPECT_EQ(home.read(jinglePath(5)), loadResource(116));
    EXPECT_TRUE(builtInJingle(home.folder(), 11).damaged); // no such jingle
    EXPECT_FALSE(QFileInfo::exists(home.path(jinglePath(11))));
}

TEST(ResourceStore, JinglesAreShortMpeg25Layer3MonoFilesWithAnId3v24Tag) {
    QList<QByteArray> seen;
    for (int id = 112; id <= 121; ++id) {
        SCOPED_TRACE(id);
        const QByteArray data = loadResource(id);
        ASSERT_GT(data.size(), 10);
        EXPECT_LT(data.size(), 60 * 1024);
        EXPECT_FALSE(seen.contains(data)); // ten different pieces
        seen.append(data);

        ASSERT_TRUE(data.startsWith("ID3"));
        EXPECT_EQ(data[3], 4); // ID3v2.4
        qsizetype at = 10 + id3v2Size(data);
        ASSERT_LT(at, data.size());

        const Mp3Header first = parseHeader(data, at);
        ASSERT_TRUE(first.valid);
        EXPECT_EQ(first.version, 0);
        EXPECT_EQ(first.layer, 1);
        EXPECT_EQ(first.bitrateKbps, 16);
        EXPECT_EQ(first.sampleRate, 11025);
        EXPECT_TRUE(first.mono);
        const QByteArray firstFrame = data.mid(at, first.frameLength);
        EXPECT_FALSE(firstFrame.contains("Xing"));
        EXPECT_FALSE(firstFrame.contains("Info"));

        int frames = 0;
        bool uniform = true;
        while (at < data.size()) {
            const Mp3Header h = parseHeader(data, at);
            if (!h.valid || h.bitrateKbps != 16 || h.sampleRate != 11025 || !h.mono) {
                uniform = false;
                break;
            }
            at += h.frameLength;
            ++frames;
        }
        EXPECT_TRUE(uniform);
        EXPECT_EQ(at, data.size()); // the frames fill the file exactly
        const double seconds = frames * 576.0 / 11025.0;
        EXPECT_GE(seconds, 2.0);
        EXPECT_LE(seconds, 6.0);
    }
}

TEST(ResourceStore, EveryJingleFollowedByASpeechFileDecodesToTheSumOfBoth) {
    const QByteArray speech = fakes::speechLikeMp3(1.5);
    const qint64 speechSamples = fakes::samplesDecodedByMpg123(speech);
    ASSERT_GT(speechSamples, 11025) << "mpg123 could not decode the speech file";
    for (int id = 112; id <= 121; ++id) {
        SCOPED_TRACE(id);
        const QByteArray jingle = loadResource(id);
        const qint64 jingleSamples = fakes::samplesDecodedByMpg123(jingle);
        EXPECT_GE(jingleSamples, 2 * 11025);
        EXPECT_EQ(fakes::samplesDecodedByMpg123(jingle + speech), jingleSamples + speechSamples);
    }
}

TEST(ResourceStore, SkinAndReadmeHaveTheirFormats) {
    const QByteArray skin = loadResource(111);
    ASSERT_TRUE(skin.startsWith(".SHE"));
    const QByteArray sheet = qUncompress(skin.mid(4));
    ASSERT_FALSE(sheet.isEmpty());
    const QString css = QString::fromUtf8(sheet);
    EXPECT_FALSE(css.contains(QChar::ReplacementCharacter));
    EXPECT_TRUE(css.contains("QPushButton"));
    EXPECT_TRUE(css.contains("\"Noto Sans CJK SC\""));
    EXPECT_EQ(css.count('{'), css.count('}'));
    // Every picture the style sheet names is carried.
    const QRegularExpression url(QStringLiteral("url\\((:/[^)]+)\\)"));
    int urls = 0;
    for (const QRegularExpressionMatch& m : url.globalMatch(css)) {
        EXPECT_TRUE(QFile::exists(m.captured(1))) << m.captured(1).toStdString();
        ++urls;
    }
    EXPECT_GT(urls, 0);

    const QByteArray readme = loadResource(128);
    QStringDecoder gbk("GBK");
    ASSERT_TRUE(gbk.isValid());
    const QString text = gbk(readme);
    EXPECT_FALSE(text.contains(QChar::ReplacementCharacter));
    EXPECT_TRUE(text.contains(QStringLiteral("Vela系列软件の声笺 V6.0")));
    EXPECT_TRUE(text.contains(QStringLiteral("版本历史")));
    // Really GBK: read as UTF-8 it does not decode.
    EXPECT_TRUE(QString::fromUtf8(readme).contains(QChar::ReplacementCharacter));
}

TEST(ResourceStore, PicturesHaveTheirSizesAndFormats) {
    struct Expected {
        const char* name;
        int width;
        int height;
        const char* format;
    };
    const Expected pictures[] = {
        {"splash.jpg", 600, 395, "jpeg"}, {"banner.gif", 640, 207, "gif"}, {"strip.gif", 21, 184, "gif"},
        {"update.gif", 16, 16, "gif"},    {"save.gif", 16, 16, "gif"},     {"copy.gif", 16, 16, "gif"},
        {"exit.gif", 16, 16, "gif"},      {"water.jpg", 640, 106, "jpeg"}, {"hint.png", 20, 20, "png"},
        {"velanote.png", 64, 64, "png"},  {"check.png", 12, 12, "png"},    {"down.png", 10, 10, "png"},
    };
    for (const Expected& p : pictures) {
        SCOPED_TRACE(p.name);
        QImageReader reader(QStringLiteral(":/images/") + p.name);
        EXPECT_EQ(reader.format(), QByteArray(p.format));
        const QImage image = reader.read();
        ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
        EXPECT_EQ(image.size(), QSize(p.width, p.height));
    }
    QImageReader strip(QStringLiteral(":/images/strip.gif"));
    EXPECT_GE(strip.imageCount(), 4); // animated

    // The menu icons are drawn inside their top-left 13 x 13 pixels.
    for (const char* icon : {"update.gif", "save.gif", "copy.gif", "exit.gif"}) {
        const QImage image(QStringLiteral(":/images/") + icon);
        int inside = 0;
        int outside = 0;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const bool opaque = qAlpha(image.pixel(x, y)) > 0;
                (x < 13 && y < 13 ? inside : outside) += opaque ? 1 : 0;
            }
        }
        EXPECT_GT(inside, 40) << icon;
        EXPECT_EQ(outside, 0) << icon;
    }
}
