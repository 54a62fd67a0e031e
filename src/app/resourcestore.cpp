#include "app/resourcestore.h"

#include "platform/atomicfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

// Registers resources/velanote.qrc; must live outside any namespace so the registration function
// the resource compiler generates is found when the program is linked statically.
static void registerEmbeddedFiles() {
    Q_INIT_RESOURCE(velanote);
}

namespace velanote {

namespace {

// Where each carried resource goes in the program folder. Resources 122..127 of the original
// program (the Windows skin and water-ripple libraries and four ActiveX control files) are not
// carried: on this platform Qt and our own modules are linked in their place.
constexpr int FirstJingle = 112;

struct SupportFile {
    int id;
    const char16_t* relative;
};
constexpr SupportFile SupportFiles[] = {
    {111, u"\\skinh.she"},
    {128, u"\\说明.txt"},
};

// True when `path` names an ordinary, visible file (not a folder).
bool isOrdinaryFile(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && info.isFile() && !info.isHidden();
}

// Clears every restriction on `path`: the owner may read and write it (and enter it when it is a
// folder), everyone else may read it. Attributes that are already so are not touched.
void setNormalAttributes(const QString& path) {
    QFileDevice::Permissions normal =
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    if (QFileInfo(path).isDir()) {
        normal |= QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther;
    }
    // The "user" flags describe the caller's own access, not the file's attributes.
    const QFileDevice::Permissions userFlags =
        QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser;
    if ((QFile::permissions(path) & ~userFlags) != normal) {
        QFile::setPermissions(path, normal);
    }
}

// A folder of the program's layout: created when missing; a symbolic link in its place is
// replaced by a real folder, so nothing written there lands elsewhere.
void makeLayoutFolder(const QString& path) {
    const QFileInfo info(path);
    if (info.isSymLink()) {
        QFile::remove(path);
    } else if (info.exists()) {
        return;
    }
    QDir().mkdir(path);
}

QString jingleFile(int number) {
    return QStringLiteral("\\sc\\%1.mp3").arg(number);
}

void makeLayoutFolders(const ProgramFolder& folder) {
    const QString sc = folder.file(QStringLiteral("\\sc"));
    makeLayoutFolder(sc);
    makeLayoutFolder(folder.file(QStringLiteral("\\yx")));
    setNormalAttributes(sc);
}

bool restoreJingleFiles(const ProgramFolder& folder) {
    bool all = true;
    for (int n = 1; n <= JingleCount; ++n) {
        all = extractResource(folder, FirstJingle - 1 + n, jingleFile(n)) && all;
    }
    return all;
}

} // namespace

void initResources() {
    registerEmbeddedFiles();
}

QByteArray loadResource(int id) {
    QFile file(QStringLiteral(":/res/%1").arg(id));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

bool extractResource(const ProgramFolder& folder, int id, const QString& relative) {
    const QByteArray data = loadResource(id);
    if (data.isEmpty()) {
        return false;
    }
    return ensureFileHolds(folder.file(relative), data, ExistingEntry::ReplaceLink);
}

void prepareProgramFolder(const ProgramFolder& folder) {
    const QString sc = folder.file(QStringLiteral("\\sc"));
    const QString yx = folder.file(QStringLiteral("\\yx"));
    if (!isOrdinaryFile(sc) || !isOrdinaryFile(yx)) {
        makeLayoutFolders(folder);
    }
    restoreJingleFiles(folder);
    for (const SupportFile& file : SupportFiles) {
        extractResource(folder, file.id, QString::fromUtf16(file.relative));
    }
}

bool restoreJingles(const ProgramFolder& folder) {
    makeLayoutFolders(folder);
    return restoreJingleFiles(folder);
}

Jingle builtInJingle(const ProgramFolder& folder, int number) {
    Jingle j;
    j.path = folder.file(jingleFile(number));
    j.bytes = loadResource(FirstJingle - 1 + number);
    j.damaged = j.bytes.isEmpty() || !ensureFileHolds(j.path, j.bytes, ExistingEntry::ReplaceLink);
    return j;
}

} // namespace velanote
