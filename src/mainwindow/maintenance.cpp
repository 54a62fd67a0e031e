#include "mainwindow/maintenance.h"

#include "app/resourcestore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace velanote {

QStringList Maintenance::generatedMessageFiles(const ProgramFolder& folder) {
    // "MINE.MP3" is a message as much as "mine.mp3": the ending is matched whatever its case.
    const QDir::Filters filters = QDir::Files | QDir::NoDotAndDotDot;
    QStringList paths;
    const QDir dir(folder.path());
    const QFileInfoList entries = dir.entryInfoList({QStringLiteral("*.mp3")}, filters, QDir::Name);
    for (const QFileInfo& entry : entries) {
        paths.append(entry.absoluteFilePath());
    }
    return paths;
}

int Maintenance::deleteFiles(const QStringList& paths) {
    int deleted = 0;
    for (const QString& path : paths) {
        if (QFile::remove(path)) {
            ++deleted;
        }
    }
    return deleted;
}

bool Maintenance::restoreJingles(const ProgramFolder& folder) {
    return velanote::restoreJingles(folder);
}

} // namespace velanote
