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

namespace velanote {

enum class JoinOutcome { Joined, FirstUnreadable, SecondUnreadable, WriteFailed };

// Writes the bytes of `first` followed by the bytes of `second` to `output`. Both inputs are read
// completely before anything is written (so `output` may be one of them), and the output goes
// through writeFileAtomically: on any failure nothing at `output` changes.
JoinOutcome concatenateFiles(const QString& first, const QString& second, const QString& output);

} // namespace velanote
