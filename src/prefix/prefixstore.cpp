#include "prefix/prefixstore.h"

#include "app/inifile.h"
#include "app/resourcestore.h"
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
    return readSetting(kSection, kKey, QStringLiteral("0"), settingsPath());
}

bool PrefixStore::storeCustom(const QString& source) const {
    QByteArray data;
    if (!isOrdinaryFile(source) || readRegularFile(source, MaxCustomBytes, data) != ReadOutcome::Read) {
        return false;
    }
    return storeBytes(data, QStringLiteral("1"));
}

bool PrefixStore::storeJingle(int number, const QString& name) const {
    const Jingle builtIn = builtInJingle(folder_, number);
    return !builtIn.bytes.isEmpty() && storeBytes(builtIn.bytes, name);
}

bool PrefixStore::storeBytes(const QByteArray& data, const QString& choice) const {
    const QString target = prefixPath();
    if (!QDir().mkpath(QFileInfo(target).absolutePath())) {
        return false;
    }
    if (!writeFileAtomically(target, data)) {
        return false;
    }
    return writeSetting(kSection, kKey, choice, settingsPath());
}

} // namespace velanote
