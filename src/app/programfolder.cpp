#include "app/programfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace velanote {

namespace {
QString withoutTrailingSeparator(QString path) {
    while (path.size() > 1 && (path.endsWith(QLatin1Char('/')) || path.endsWith(QLatin1Char('\\')))) {
        path.chop(1);
    }
    return path;
}
} // namespace

ProgramFolder::ProgramFolder(QString path) : path_(withoutTrailingSeparator(std::move(path))) {}

ProgramFolder ProgramFolder::locate() {
    const QString home = qEnvironmentVariable("VELANOTE_HOME");
    if (!home.isEmpty()) {
        QDir().mkpath(home);
        return ProgramFolder(QFileInfo(home).absoluteFilePath());
    }
    const QString exeDir = QCoreApplication::applicationDirPath();
    if (!exeDir.isEmpty() && QFileInfo(exeDir).isWritable() && !isInstallFolder(exeDir)) {
        return ProgramFolder(exeDir);
    }
    QString data = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    if (data.isEmpty()) {
        data = QDir::homePath() + QLatin1String("/.local/share/velanote");
    }
    QDir().mkpath(data);
    return ProgramFolder(data);
}

bool ProgramFolder::isInstallFolder(const QString& path) {
    const QString clean = QDir::cleanPath(path);
    const QString name = QFileInfo(clean).fileName();
    // bin and sbin hold programs; lib/velanote holds velanote's private ones.
    const QString parent = QFileInfo(QFileInfo(clean).path()).fileName();
    if (name == QLatin1String("bin") || name == QLatin1String("sbin") ||
        (name == QLatin1String("velanote") &&
         (parent == QLatin1String("lib") || parent == QLatin1String("lib64") ||
          parent == QLatin1String("libexec")))) {
        return true;
    }
    const QLatin1String usr("/usr");
    return clean.startsWith(usr) && (clean.size() == usr.size() || clean.at(usr.size()) == QLatin1Char('/'));
}

QString ProgramFolder::file(const QString& relative) const {
    QString rel = relative;
    rel.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!rel.startsWith(QLatin1Char('/'))) {
        rel.prepend(QLatin1Char('/'));
    }
    return path_ + rel;
}

} // namespace velanote
