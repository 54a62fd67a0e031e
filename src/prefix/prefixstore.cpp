#include "prefix/prefixstore.h"

#include "app/inifile.h"
#include "platform/atomicfile.h"

#include <QDir>
#include <QFileInfo>

namespace velanote {

namespace {
const QString kSection = QStringLiteral("Information");
const QString kKey = QStringLiteral("qzyp");
} // namespace

bool isOrdinaryFile(const QString& path) {
    if (path.isEmpty()) {
        return false;
    }
    const QFileInfo info(path);
    return info.isFile() && !info.isHidden();
}

QString PrefixStore::prefixPath() const {
    return folder_.file(QStringLiteral("\\yx\\qz.mp3"));
}

QString PrefixStore::settingsPath() const {
    return folder_.file(QStringLiteral("\\velanote.ini"));
}

bool PrefixStore::prefixExists() const {
    return isOrdinaryFile(prefixPath());
}

QString PrefixStore::storedChoice() const {
    return GetFromINI(kSection, kKey, QStringLiteral("0"), settingsPath());
}

bool PrefixStore::store(const QString& source, const QString& choice) const {
    QByteArray data;
    if (!isOrdinaryFile(source) || !readWholeFile(source, data)) {
        return false;
    }
    const QString target = prefixPath();
    if (!QDir().mkpath(QFileInfo(target).absolutePath())) {
        return false;
    }
    if (!writeFileAtomically(target, data)) {
        return false;
    }
    return WriteToINI(kSection, kKey, choice, settingsPath());
}

} // namespace velanote
