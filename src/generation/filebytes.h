#pragma once
#include <QByteArray>
#include <QString>

#include <optional>

namespace velanote {

// Bytes of `path` from the 1-based position `start`: all remaining bytes when `count` is -1,
// else exactly `count` bytes. Nothing when the file cannot be read or holds too few bytes.
std::optional<QByteArray> ReadFileBytes(const QString& path, qint64 start, qint64 count);

// Writes `block` into `path` at the 1-based `position` (-1: just after the last byte), creating
// the file, after deleting an existing one when `deleteFirst` is set. The file is replaced
// through a temporary file, so a failed write leaves the previous file whole.
bool WriteFileBytes(const QString& path, const QByteArray& block, qint64 position, bool deleteFirst);

enum class PrefixJoinOutcome { Joined, PrefixMissing, SameAsPrefix, SpeechUnreadable, WriteFailed };

// Writes the prefix file's bytes followed by the speech file's bytes to `joinedPath`. Both are
// read whole before anything is written, so the joined path may be the speech path; it may not be
// the prefix file itself, and a missing or empty prefix is refused.
PrefixJoinOutcome joinPrefixAndSpeech(const QString& prefixPath, const QString& speechPath,
                                      const QString& joinedPath);

} // namespace velanote
