#pragma once
#include <QByteArray>
#include <QString>

namespace velanote {

// What may already stand at the path that a write replaces.
enum class ExistingEntry {
    // Only a regular file (or nothing). A symbolic link, device, pipe or folder is refused, so a
    // write never reaches through a planted link and never replaces a device node.
    RegularFileOnly,
    // As above, but a symbolic link is replaced by the new file (the file it pointed at is left
    // alone). For restoring the program folder's own layout.
    ReplaceLink,
};

// The one way this program writes a file: the data goes to a new temporary file in the target's
// folder (".NAME.tmp-XXXX"), which is synced and then renamed over `path`, and the folder is
// synced. A failed write leaves any previous file whole and no temporary file behind; so does
// SIGINT or SIGTERM during the write, unless the program handles those signals itself. Temporary
// files of the same target over an hour old, left by a process killed outright, are removed. An
// existing file keeps its permission bits. Returns whether `path` now holds exactly `data`; when
// not, writeFailureReason() tells why.
bool writeFileAtomically(const QString& path, const QByteArray& data,
                         ExistingEntry existing = ExistingEntry::RegularFileOnly);

// Like writeFileAtomically, but compares first: when `path` is already a regular file holding
// exactly `data`, nothing is written or synced.
bool ensureFileHolds(const QString& path, const QByteArray& data,
                     ExistingEntry existing = ExistingEntry::RegularFileOnly);

// Whether writeFileAtomically(path, ...) would be attempted at all: the folder exists and nothing
// but a regular file stands at `path`. Lets a long task refuse a hopeless target before it starts.
bool isReplaceableFilePath(const QString& path);

// The system's reason why the last failed write on this thread failed ("No space left on device"),
// or empty when it was refused before reaching the system.
QString writeFailureReason();

// Removes this program's temporary files over an hour old from `folder` and its subfolders;
// returns how many. For the program folder, at start.
int removeStaleTemporaryFiles(const QString& folder);

// Writes all of `data` to the process's standard output; false when any of it could not be written.
bool writeToStandardOutput(const QByteArray& data);

enum class ReadOutcome { Read, NotARegularFile, TooLarge, Failed };

// Reads a whole regular file of at most `maxBytes` bytes into `out`. The file is opened without
// waiting, so a pipe or device named by the user is refused at once instead of blocking or
// streaming for ever. A symbolic link to a regular file is followed.
ReadOutcome readRegularFile(const QString& path, qint64 maxBytes, QByteArray& out);

// The size limit of readWholeFile: far beyond any file this program keeps.
constexpr qint64 WholeFileLimit = qint64(64) * 1024 * 1024;

// readRegularFile with WholeFileLimit; false when it did not read the file.
bool readWholeFile(const QString& path, QByteArray& out);

} // namespace velanote

namespace velanote {

enum class JoinOutcome { Joined, FirstUnreadable, SecondUnreadable, WriteFailed };

// Writes the bytes of `first` followed by the bytes of `second` to `output`. Both inputs (regular
// files of at most `maxInputBytes` each) are read completely before anything is written (so
// `output` may be one of them), and the output goes through writeFileAtomically: on any failure
// nothing at `output` changes.
JoinOutcome concatenateFiles(const QString& first, const QString& second, const QString& output,
                             qint64 maxInputBytes = WholeFileLimit);

} // namespace velanote
