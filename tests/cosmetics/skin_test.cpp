#include "cosmetics/skin.h"
#include "cosmetics/skinfile.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <zlib.h>

using namespace velanote;

namespace {

const QString Sheet =
    QStringLiteral("QPushButton { color: #1b8a99; } /* 皮肤 */\nQMenu::item { padding: 4px; }\n");

QByteArray bigEndian(quint32 v) {
    const char bytes[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    return QByteArray(bytes, 4);
}

// A skin file as another tool would write it: magic, length, a plain zlib stream.
QByteArray zlibSkin(const QByteArray& utf8, const QByteArray& magic = ".SHE") {
    QByteArray stream(qsizetype(compressBound(uLong(utf8.size()))), Qt::Uninitialized);
    uLongf size = uLongf(stream.size());
    compress(reinterpret_cast<Bytef*>(stream.data()), &size, reinterpret_cast<const Bytef*>(utf8.constData()),
             uLong(utf8.size()));
    stream.resize(qsizetype(size));
    return magic + bigEndian(quint32(utf8.size())) + stream;
}

class SkinAttach : public ::testing::Test {
protected:
    void TearDown() override { qApp->setStyleSheet(QString()); }
    // Writes the program folder's skin file and returns its path as the main window builds it.
    QString write(const QByteArray& data) {
        QFile file(path());
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(data) == data.size());
        return path();
    }
    QString path() const { return folder.path() + QStringLiteral("/skinh.she"); }
    QTemporaryDir folder;
};

} // namespace

TEST(SkinFile, EncodesTheMagicAndQtCompressedSheetAndReadsOtherWritersToo) {
    const QByteArray file = encodeSkinFile(Sheet);
    const QByteArray utf8 = Sheet.toUtf8();
    EXPECT_TRUE(file.startsWith(".SHE"));
    EXPECT_EQ(file.mid(4, 4), bigEndian(quint32(utf8.size())));
    EXPECT_EQ(qUncompress(file.mid(4)), utf8);
    EXPECT_EQ(decodeSkinFile(file), Sheet);
    EXPECT_EQ(decodeSkinFile(".SHE" + qCompress(utf8)), Sheet);
    EXPECT_EQ(decodeSkinFile(zlibSkin(utf8)), Sheet);
}

TEST(SkinFile, RefusesEverythingButAWholeSoundSkinFile) {
    const QByteArray good = encodeSkinFile(Sheet);
    for (qsizetype cut = 0; cut < good.size(); ++cut) {
        EXPECT_FALSE(decodeSkinFile(good.left(cut))) << "cut at " << cut;
    }
    const QByteArray utf8 = Sheet.toUtf8();
    EXPECT_FALSE(decodeSkinFile(zlibSkin(utf8, ".SHF")));
    EXPECT_FALSE(decodeSkinFile(QByteArray("\x89PNG\r\n\x1a\n") + qCompress(utf8)));
    EXPECT_FALSE(decodeSkinFile(good + "x")) << "bytes after the stream";

    QByteArray damaged = good;
    damaged[damaged.size() / 2] = char(damaged[damaged.size() / 2] ^ 0x5A);
    EXPECT_FALSE(decodeSkinFile(damaged));
    QByteArray wrongLength = good;
    wrongLength.replace(4, 4, bigEndian(quint32(utf8.size() + 1)));
    EXPECT_FALSE(decodeSkinFile(wrongLength));
    wrongLength.replace(4, 4, bigEndian(quint32(utf8.size() - 1)));
    EXPECT_FALSE(decodeSkinFile(wrongLength));
    QByteArray absurd = good;
    absurd.replace(4, 4, bigEndian(0xFFFFFFF0u));
    EXPECT_FALSE(decodeSkinFile(absurd));

    EXPECT_FALSE(decodeSkinFile(zlibSkin("QWidget { color: red; } \xff\xfe")));
    EXPECT_FALSE(decodeSkinFile(encodeSkinFile(QString())));
    EXPECT_FALSE(decodeSkinFile(zlibSkin("  \n ")));
}

TEST(SkinFile, TheShippedSkinDecodesToItsStyleSheet) {
    const QDir resources(QFileInfo(QStringLiteral(__FILE__)).absolutePath() +
                         QStringLiteral("/../../resources/skin"));
    QFile packed(resources.filePath(QStringLiteral("skinh.she")));
    QFile source(resources.filePath(QStringLiteral("skinh.qss")));
    ASSERT_TRUE(packed.open(QIODevice::ReadOnly));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    EXPECT_EQ(decodeSkinFile(packed.readAll()), QString::fromUtf8(source.readAll()));
}

TEST_F(SkinAttach, AppliesTheSheetOnceAndALaterSkinReplacesIt) {
    const QString path = write(encodeSkinFile(Sheet));
    EXPECT_EQ(attachSkin(path, QString()), SkinResult::Ok);
    EXPECT_EQ(qApp->styleSheet(), Sheet);

    const QString second = QStringLiteral("QLabel { color: #123456; }");
    write(encodeSkinFile(second));
    EXPECT_EQ(attachSkin(path, QStringLiteral("ignored")), SkinResult::Ok);
    EXPECT_EQ(qApp->styleSheet(), second);

    // The program folder followed by a backslash name is the same file.
    qApp->setStyleSheet(QString());
    EXPECT_EQ(attachSkin(folder.path() + QStringLiteral("\\skinh.she"), QString()), SkinResult::Ok);
    EXPECT_EQ(qApp->styleSheet(), second);
}

TEST_F(SkinAttach, RefusedFilesChangeNothing) {
    const QString before = QStringLiteral("QWidget { color: #010203; }");
    qApp->setStyleSheet(before);
    const QString path = this->path();
    EXPECT_EQ(attachSkin(path, QString()), SkinResult::FileMissing);
    EXPECT_EQ(attachSkin(QString(), QString()), SkinResult::FileMissing);

    const QByteArray good = encodeSkinFile(Sheet);
    write(good.left(good.size() - 3));
    EXPECT_EQ(attachSkin(path, QString()), SkinResult::Damaged);
    write(".SH");
    EXPECT_EQ(attachSkin(path, QString()), SkinResult::Damaged);
    QByteArray corrupt = good;
    corrupt[10] = char(corrupt[10] ^ 0xFF);
    write(corrupt);
    EXPECT_EQ(attachSkin(path, QString()), SkinResult::Damaged);
    write("[Information]\r\nqzyp=1\r\n");
    EXPECT_EQ(attachSkin(path, QString()), SkinResult::NotASkin);
    write(QByteArray());
    EXPECT_EQ(attachSkin(path, QString()), SkinResult::NotASkin);
    EXPECT_EQ(qApp->styleSheet(), before);

    QFile::remove(path);
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("skinh.she")));
    EXPECT_EQ(attachSkin(path, QString()), SkinResult::FileUnreadable);
    // A pipe with no writer in its place is refused at once, not waited on.
    ASSERT_TRUE(QDir(folder.path()).rmdir(QStringLiteral("skinh.she")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    EXPECT_EQ(attachSkin(path, QString()), SkinResult::FileUnreadable);
    EXPECT_EQ(qApp->styleSheet(), before);
}
