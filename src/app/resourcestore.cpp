#include "app/resourcestore.h"

#include "platform/atomicfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <mutex>

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
constexpr int JingleCount = 10;

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
// folder), everyone else may read it.
void setNormalAttributes(const QString& path) {
    QFileDevice::Permissions normal = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                      QFileDevice::ReadUser | QFileDevice::WriteUser |
                                      QFileDevice::ReadGroup | QFileDevice::ReadOther;
    if (QFileInfo(path).isDir()) {
        normal |=
            QFileDevice::ExeOwner | QFileDevice::ExeUser | QFileDevice::ExeGroup | QFileDevice::ExeOther;
    }
    QFile::setPermissions(path, normal);
}

} // namespace

void initResources() {
    static std::once_flag once;
    std::call_once(once, [] { registerEmbeddedFiles(); });
}

QByteArray loadResource(int id) {
    initResources();
    QFile file(QStringLiteral(":/res/%1").arg(id));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

bool ExtractResource(const ProgramFolder& folder, int id, const QString& relative) {
    const QByteArray data = loadResource(id);
    if (data.isEmpty()) {
        return false;
    }
    return writeFileAtomically(folder.file(relative), data);
}

void prepareProgramFolder(const ProgramFolder& folder) {
    const QString sc = folder.file(QStringLiteral("\\sc"));
    const QString yx = folder.file(QStringLiteral("\\yx"));
    if (!isOrdinaryFile(sc) || !isOrdinaryFile(yx)) {
        QDir().mkdir(sc);
        QDir().mkdir(yx);
        setNormalAttributes(sc);
    }
    for (int n = 1; n <= JingleCount; ++n) {
        ExtractResource(folder, FirstJingle - 1 + n, QStringLiteral("\\sc\\%1.mp3").arg(n));
    }
    for (const SupportFile& file : SupportFiles) {
        ExtractResource(folder, file.id, QString::fromUtf16(file.relative));
    }
}

} // namespace velanote
