#include "platform/samefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <filesystem>
#include <system_error>

namespace velanote {

namespace {

// The absolute path with its existing folders resolved, for paths whose file may not exist yet.
QString resolvedPath(const QString& path) {
    const QFileInfo info(path);
    if (info.exists()) {
        return info.canonicalFilePath();
    }
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? QDir::cleanPath(info.absoluteFilePath())
                            : QDir::cleanPath(folder + QLatin1Char('/') + info.fileName());
}

} // namespace

bool isSameFile(const QString& a, const QString& b) {
    if (a.isEmpty() || b.isEmpty()) {
        return false;
    }
    std::error_code error;
    const bool equivalent = std::filesystem::equivalent(QFile::encodeName(a).toStdString(),
                                                        QFile::encodeName(b).toStdString(), error);
    if (!error) {
        return equivalent;
    }
    return resolvedPath(a) == resolvedPath(b);
}

} // namespace velanote
