#include "generation/filebytes.h"

#include "platform/atomicfile.h"
#include "platform/samefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace velanote {

std::optional<QByteArray> ReadFileBytes(const QString& path, qint64 start, qint64 count) {
    if (start < 1 || count < -1) {
        return std::nullopt;
    }
    QByteArray all;
    if (!readWholeFile(path, all)) {
        return std::nullopt;
    }
    const qint64 from = start - 1;
    if (count == -1) {
        return from <= all.size() ? all.mid(from) : QByteArray();
    }
    if (from + count > all.size()) {
        return std::nullopt;
    }
    return all.mid(from, count);
}

bool WriteFileBytes(const QString& path, const QByteArray& block, qint64 position, bool deleteFirst) {
    if (position < 1 && position != -1) {
        return false;
    }
    QByteArray content;
    if (!deleteFirst && QFileInfo::exists(path) && !readWholeFile(path, content)) {
        return false;
    }
    const qint64 at = position == -1 ? content.size() : position - 1;
    if (at > content.size()) {
        content.append(QByteArray(at - content.size(), '\0'));
    }
    content.replace(at, qMin<qint64>(block.size(), content.size() - at), block);
    return writeFileAtomically(path, content);
}

PrefixJoinOutcome joinPrefixAndSpeech(const QString& prefixPath, const QString& speechPath,
                                      const QString& joinedPath) {
    const auto prefix = ReadFileBytes(prefixPath, 1, -1);
    if (!prefix || prefix->isEmpty()) {
        return PrefixJoinOutcome::PrefixMissing;
    }
    if (isSameFile(prefixPath, joinedPath)) {
        return PrefixJoinOutcome::SameAsPrefix;
    }
    const auto speech = ReadFileBytes(speechPath, 1, -1);
    if (!speech) {
        return PrefixJoinOutcome::SpeechUnreadable;
    }
    return writeFileAtomically(joinedPath, *prefix + *speech) ? PrefixJoinOutcome::Joined
                                                              : PrefixJoinOutcome::WriteFailed;
}

} // namespace velanote
