#include "support/tempfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace velanote::fakes {

bool TempProgramFolder::write(const QString& relative, const QByteArray& data) const {
    const QString p = path(relative);
    QDir().mkpath(QFileInfo(p).absolutePath());
    QFile f(p);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
}

QByteArray TempProgramFolder::read(const QString& relative) const {
    QFile f(path(relative));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace velanote::fakes
