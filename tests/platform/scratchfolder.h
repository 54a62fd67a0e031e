#pragma once
// A temporary folder for one platform test, with byte-level helpers.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

namespace velanote::scratch {

class ScratchFolder {
public:
    QString path() const { return dir_.path(); }
    QString path(const QString& name) const { return dir_.filePath(name); }
    bool write(const QString& name, const QByteArray& data) const {
        QDir().mkpath(QFileInfo(path(name)).absolutePath());
        QFile f(path(name));
        return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
    }
    QByteArray read(const QString& name) const {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private:
    QTemporaryDir dir_;
};

} // namespace velanote::scratch
