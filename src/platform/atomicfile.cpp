#include "platform/atomicfile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace velanote {

namespace {

// Owns one open file descriptor.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now and reports whether the close succeeded (a late write error shows here).
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

bool writeAll(int fd, const char* data, qint64 size) {
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, static_cast<size_t>(size - done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += n;
    }
    return true;
}

// The folder and the last name of a path, as the system spells them.
struct SplitPath {
    QByteArray folder;
    QByteArray name;
};

std::optional<SplitPath> splitPath(const QString& path) {
    if (path.isEmpty() || path.endsWith(QLatin1Char('/'))) {
        return std::nullopt;
    }
    const QFileInfo info(path);
    const QString name = info.fileName();
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) {
        return std::nullopt;
    }
    return SplitPath{QFile::encodeName(info.absolutePath()), QFile::encodeName(name)};
}

Descriptor openFolder(const QByteArray& folder) {
    return Descriptor(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

enum class Entry { Missing, RegularFile, Link, Other, Unknown };

Entry entryAt(int folder, const QByteArray& name, struct stat& st) {
    if (::fstatat(folder, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        return errno == ENOENT ? Entry::Missing : Entry::Unknown;
    }
    if (S_ISREG(st.st_mode)) {
        return Entry::RegularFile;
    }
    return S_ISLNK(st.st_mode) ? Entry::Link : Entry::Other;
}

bool mayReplace(Entry entry, ExistingEntry policy) {
    switch (entry) {
    case Entry::Missing:
    case Entry::RegularFile:
        return true;
    case Entry::Link:
        return policy == ExistingEntry::ReplaceLink;
    case Entry::Other:
    case Entry::Unknown:
        break;
    }
    return false;
}

constexpr const char* temporaryMark = ".tmp-";

// A fresh hidden name beside the target; short enough for any target name.
QByteArray temporaryName(const QByteArray& name) {
    return '.' + name.left(64) + temporaryMark +
           QByteArray::number(QRandomGenerator::global()->generate64(), 36);
}

// The temporary files being written right now, for a stop signal to remove before the process
// ends. Fixed slots and atomics only: the handler may run at any moment, on any thread.
struct PendingTemporary {
    std::atomic<bool> claimed{false};
    std::atomic<bool> ready{false};
    int folder = -1;
    std::array<char, 128> name{};
};
std::array<PendingTemporary, 16> pendingTemporaries;
std::array<struct sigaction, 2> previousActions{};
constexpr std::array<int, 2> stopSignals = {SIGINT, SIGTERM};

extern "C" void removePendingTemporaries(int signal) {
    for (PendingTemporary& pending : pendingTemporaries) {
        if (pending.ready.load(std::memory_order_acquire)) {
            ::unlinkat(pending.folder, pending.name.data(), 0);
        }
    }
    // Then the signal does what it did before: the default ends the process.
    for (std::size_t i = 0; i < stopSignals.size(); ++i) {
        if (stopSignals[i] == signal) {
            ::sigaction(signal, &previousActions[i], nullptr);
        }
    }
    ::raise(signal);
}

// Installs the handler for the stop signals that would end the process as they stand; a program
// that handles them itself (the service) is left to do so.
void watchStopSignals() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (std::size_t i = 0; i < stopSignals.size(); ++i) {
            struct sigaction current {};
            if (::sigaction(stopSignals[i], nullptr, &current) != 0 || current.sa_handler != SIG_DFL ||
                (current.sa_flags & SA_SIGINFO) != 0) {
                continue;
            }
            previousActions[i] = current;
            struct sigaction action {};
            action.sa_handler = removePendingTemporaries;
            sigemptyset(&action.sa_mask);
            action.sa_flags = SA_RESETHAND;
            ::sigaction(stopSignals[i], &action, nullptr);
        }
    });
}

// Registers a temporary file for removal on a stop signal while it lives.
class PendingRemoval {
public:
    PendingRemoval(int folder, const QByteArray& name) {
        watchStopSignals();
        if (name.size() >= static_cast<qsizetype>(std::tuple_size_v<decltype(PendingTemporary::name)>)) {
            return;
        }
        for (PendingTemporary& pending : pendingTemporaries) {
            bool expected = false;
            if (pending.claimed.compare_exchange_strong(expected, true)) {
                pending.folder = folder;
                std::memcpy(pending.name.data(), name.constData(), static_cast<std::size_t>(name.size()) + 1);
                pending.ready.store(true, std::memory_order_release);
                slot_ = &pending;
                return;
            }
        }
    }
    ~PendingRemoval() {
        if (slot_ != nullptr) {
            slot_->ready.store(false, std::memory_order_release);
            slot_->claimed.store(false, std::memory_order_release);
        }
    }
    PendingRemoval(const PendingRemoval&) = delete;
    PendingRemoval& operator=(const PendingRemoval&) = delete;

private:
    PendingTemporary* slot_ = nullptr;
};

// The folder's sync; a file system that cannot sync folders at all is no failure.
bool syncFolder(int folder) {
    return ::fsync(folder) == 0 || errno == EINVAL || errno == ENOTSUP;
}

// Writes `data` into a new temporary file in `folder`, syncs it and renames it to `name`.
bool replaceEntry(int folder, const QByteArray& name, const QByteArray& data,
                  std::optional<mode_t> keepMode) {
    QByteArray temporary;
    int fd = -1;
    // Registered before it is created, so that a stop signal at any moment after finds it.
    std::optional<PendingRemoval> removal;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temporary = temporaryName(name);
        removal.emplace(folder, temporary);
        fd = ::openat(folder, temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                      0666);
        if (fd < 0 && errno != EEXIST) {
            return false;
        }
    }
    Descriptor file(fd);
    if (!file.valid()) {
        return false;
    }
    const bool written = (!keepMode || ::fchmod(file.get(), *keepMode) == 0) &&
                         writeAll(file.get(), data.constData(), data.size()) && ::fsync(file.get()) == 0;
    int failure = written ? 0 : errno;
    const bool closed = file.close();
    if (failure == 0 && !closed) {
        failure = errno;
    }
    if (!written || !closed || ::renameat(folder, temporary.constData(), folder, name.constData()) != 0) {
        if (failure == 0) {
            failure = errno;
        }
        ::unlinkat(folder, temporary.constData(), 0);
        errno = failure;
        return false;
    }
    return syncFolder(folder);
}

// Whether the regular file `name` in `folder` (already measured as `st`) holds exactly `data`.
bool holds(int folder, const QByteArray& name, const struct stat& st, const QByteArray& data) {
    if (st.st_size != data.size()) {
        return false;
    }
    Descriptor file(::openat(folder, name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat opened {};
    if (!file.valid() || ::fstat(file.get(), &opened) != 0 || opened.st_ino != st.st_ino ||
        opened.st_dev != st.st_dev) {
        return false;
    }
    QByteArray buffer(qsizetype{64} * 1024, Qt::Uninitialized);
    qint64 compared = 0;
    for (;;) {
        const ssize_t n = ::read(file.get(), buffer.data(), static_cast<size_t>(buffer.size()));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 || compared + n > data.size()) {
            return false;
        }
        if (n == 0) {
            return compared == data.size();
        }
        if (std::memcmp(buffer.constData(), data.constData() + compared, static_cast<size_t>(n)) != 0) {
            return false;
        }
        compared += n;
    }
}

bool isTemporaryName(const char* name, const QByteArray& target) {
    const QByteArray entry(name);
    const qsizetype mark = entry.lastIndexOf(temporaryMark);
    if (!entry.startsWith('.') || mark <= 1 || mark + 5 >= entry.size() ||
        (!target.isEmpty() && entry.mid(1, mark - 1) != target.left(64))) {
        return false;
    }
    return std::all_of(entry.begin() + mark + 5, entry.end(),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z'); });
}

// Removes from `folder` the temporary files of writes that never finished (of `target` alone
// unless it is empty) last changed before `before`; with depth 1 also from its subfolders.
int sweepTemporaries(int folder, const QByteArray& target, time_t before, int depth) {
    const int listed = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* entries = listed >= 0 ? ::fdopendir(listed) : nullptr;
    if (entries == nullptr) {
        if (listed >= 0) {
            ::close(listed);
        }
        return 0;
    }
    int removed = 0;
    while (const dirent* entry = ::readdir(entries)) {
        struct stat st {};
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0 ||
            ::fstatat(folder, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
            continue;
        }
        if (S_ISDIR(st.st_mode) && depth > 0) {
            const Descriptor sub(
                ::openat(folder, entry->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            if (sub.valid()) {
                removed += sweepTemporaries(sub.get(), target, before, depth - 1);
            }
        } else if (S_ISREG(st.st_mode) && st.st_mtime < before && isTemporaryName(entry->d_name, target) &&
                   ::unlinkat(folder, entry->d_name, 0) == 0) {
            ++removed;
        }
    }
    ::closedir(entries);
    return removed;
}

constexpr time_t staleSeconds = 3600;

thread_local int lastWriteFailure = 0;

// Records the system's reason of a failed write; errno is cleared where each write begins.
bool noteFailure(bool written) {
    lastWriteFailure = written ? 0 : errno;
    return written;
}

bool writeEntry(const QString& path, const QByteArray& data, ExistingEntry policy, bool compareFirst) {
    errno = 0;
    const auto split = splitPath(path);
    if (!split) {
        return false;
    }
    const Descriptor folder = openFolder(split->folder);
    if (!folder.valid()) {
        return false;
    }
    struct stat st {};
    const Entry entry = entryAt(folder.get(), split->name, st);
    if (!mayReplace(entry, policy)) {
        errno = 0; // refused, not failed
        return false;
    }
    if (compareFirst && entry == Entry::RegularFile && holds(folder.get(), split->name, st, data)) {
        return true;
    }
    // What an earlier write of the same file left when its process was killed outright.
    sweepTemporaries(folder.get(), split->name, std::time(nullptr) - staleSeconds, 0);
    std::optional<mode_t> keepMode;
    if (entry == Entry::RegularFile) {
        keepMode = st.st_mode & 07777;
    }
    return replaceEntry(folder.get(), split->name, data, keepMode);
}

} // namespace

bool writeFileAtomically(const QString& path, const QByteArray& data, ExistingEntry existing) {
    return noteFailure(writeEntry(path, data, existing, false));
}

bool ensureFileHolds(const QString& path, const QByteArray& data, ExistingEntry existing) {
    return noteFailure(writeEntry(path, data, existing, true));
}

QString writeFailureReason() {
    return lastWriteFailure == 0 ? QString() : QString::fromLocal8Bit(std::strerror(lastWriteFailure));
}

bool isReplaceableFilePath(const QString& path) {
    const auto split = splitPath(path);
    if (!split) {
        return false;
    }
    const Descriptor folder = openFolder(split->folder);
    struct stat st {};
    return folder.valid() && ::faccessat(AT_FDCWD, split->folder.constData(), W_OK | X_OK, AT_EACCESS) == 0 &&
           mayReplace(entryAt(folder.get(), split->name, st), ExistingEntry::RegularFileOnly);
}

int removeStaleTemporaryFiles(const QString& folder) {
    const Descriptor opened = openFolder(QFile::encodeName(folder));
    return opened.valid() ? sweepTemporaries(opened.get(), {}, std::time(nullptr) - staleSeconds, 1) : 0;
}

bool writeToStandardOutput(const QByteArray& data) {
    std::fflush(stdout);
    return writeAll(STDOUT_FILENO, data.constData(), data.size());
}

ReadOutcome readRegularFile(const QString& path, qint64 maxBytes, QByteArray& out) {
    out.clear();
    if (path.isEmpty()) {
        return ReadOutcome::Failed;
    }
    // Without O_NONBLOCK, opening a pipe that has no writer would wait for one.
    Descriptor file(
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat st {};
    if (!file.valid() || ::fstat(file.get(), &st) != 0) {
        return ReadOutcome::Failed;
    }
    if (!S_ISREG(st.st_mode)) {
        return ReadOutcome::NotARegularFile;
    }
    if (st.st_size > maxBytes) {
        return ReadOutcome::TooLarge;
    }
    QByteArray data;
    data.reserve(st.st_size + 1);
    char chunk[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(file.get(), chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return ReadOutcome::Failed;
        }
        if (n == 0) {
            break;
        }
        if (data.size() + n > maxBytes) {
            return ReadOutcome::TooLarge; // it grew while being read
        }
        data.append(chunk, n);
    }
    out = std::move(data);
    return ReadOutcome::Read;
}

bool readWholeFile(const QString& path, QByteArray& out) {
    return readRegularFile(path, WholeFileLimit, out) == ReadOutcome::Read;
}

JoinOutcome concatenateFiles(const QString& first, const QString& second, const QString& output,
                             qint64 maxInputBytes) {
    QByteArray a;
    if (readRegularFile(first, maxInputBytes, a) != ReadOutcome::Read) {
        return JoinOutcome::FirstUnreadable;
    }
    QByteArray b;
    if (readRegularFile(second, maxInputBytes, b) != ReadOutcome::Read) {
        return JoinOutcome::SecondUnreadable;
    }
    return writeFileAtomically(output, a + b) ? JoinOutcome::Joined : JoinOutcome::WriteFailed;
}

} // namespace velanote
