#pragma once
#include <QByteArray>
#include <QString>

namespace velanote {

// Writes `data` to a temporary file in the target's folder and renames it over `path`, so a
// failed write leaves any previous file whole. Returns whether `path` now holds exactly `data`.
bool writeFileAtomically(const QString& path, const QByteArray& data);

// Reads a whole file into `out`; false when it cannot be opened or read completely.
bool readWholeFile(const QString& path, QByteArray& out);

} // namespace velanote
