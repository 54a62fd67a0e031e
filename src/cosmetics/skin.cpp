#include "cosmetics/skin.h"

#include "cosmetics/skinfile.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>

namespace velanote {

namespace {

// A skin file's compressed form is never larger than this (zlib expands by at most a few bytes per
// 16 KiB, and the sheet is capped in skinfile.h).
constexpr qint64 MaxSkinFileBytes = SkinFile::MaxSheetBytes + qint64{64} * 1024;

} // namespace

int attachSkin(const QString& path, const QString& password) {
    Q_UNUSED(password);
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (app == nullptr) {
        return SkinResult::NoApplication;
    }

    const QString localPath = QString(path).replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QFileInfo info(localPath);
    if (path.isEmpty() || !info.exists()) {
        return SkinResult::FileMissing;
    }
    if (!info.isFile() || info.size() > MaxSkinFileBytes) {
        return SkinResult::FileUnreadable;
    }
    QFile file(localPath);
    if (!file.open(QIODevice::ReadOnly)) {
        return SkinResult::FileUnreadable;
    }
    const QByteArray data = file.read(MaxSkinFileBytes + 1);
    if (file.error() != QFileDevice::NoError || data.size() > MaxSkinFileBytes) {
        return SkinResult::FileUnreadable;
    }

    if (!hasSkinFileMagic(data)) {
        // A file cut inside the magic itself is a damaged skin file, not a foreign one.
        const bool cutSkin = !data.isEmpty() && data.size() < SkinFile::MagicSize &&
                             QByteArrayView(SkinFile::Magic, SkinFile::MagicSize).startsWith(data);
        return cutSkin ? SkinResult::Damaged : SkinResult::NotASkin;
    }
    const std::optional<QString> sheet = decodeSkinFile(data);
    if (!sheet) {
        return SkinResult::Damaged;
    }
    app->setStyleSheet(*sheet);
    return SkinResult::Ok;
}

} // namespace velanote
