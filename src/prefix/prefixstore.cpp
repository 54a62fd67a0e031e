#include "prefix/prefixstore.h"

#include "app/inifile.h"
#include "app/messageaudio.h"
#include "app/resourcestore.h"
#include "platform/atomicfile.h"

#include <QDir>
#include <QFile>
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
    if (!isOrdinaryFile(source) || readRegularFile(source, MaxCustomBytes, data) != ReadOutcome::Read ||
        !MessageAudio::hasMessageFormat(data)) {
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
    // The prefix file first, then the record of the choice. When the record cannot be written, the
    // previous prefix is put back, so that a failed save leaves both as they were.
    const QFileInfo before(target);
    const QString previousLink = before.isSymLink() ? before.symLinkTarget() : QString();
    QByteArray previous;
    const bool hadFile = previousLink.isEmpty() && readWholeFile(target, previous);
    if (!writeFileAtomically(target, data, ExistingEntry::ReplaceLink)) {
        return false;
    }
    if (writeSetting(kSection, kKey, choice, settingsPath())) {
        return true;
    }
    if (hadFile) {
        writeFileAtomically(target, previous, ExistingEntry::ReplaceLink);
    } else {
        QFile::remove(target);
        if (!previousLink.isEmpty()) {
            QFile::link(previousLink, target);
        }
    }
    return false;
}

} // namespace velanote
