#pragma once
#include "app/programfolder.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace velanote::fakes {

// A fresh program folder for one test, removed afterwards.
class TempProgramFolder {
public:
    TempProgramFolder() : folder_(dir_.path()) {}
    const ProgramFolder& folder() const { return folder_; }
    QString path(const QString& relative) const { return folder_.file(relative); }
    bool write(const QString& relative, const QByteArray& data) const;
    QByteArray read(const QString& relative) const;

private:
    QTemporaryDir dir_;
    ProgramFolder folder_;
};

} // namespace velanote::fakes
