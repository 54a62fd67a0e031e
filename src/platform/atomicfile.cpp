#include "platform/atomicfile.h"

#include <QFile>
#include <QSaveFile>

namespace velanote {

bool writeFileAtomically(const QString& path, const QByteArray& data) {
    QSaveFile file(path);
    // Unbuffered, so a failing write is seen by write() itself and commit() is never reached.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return false;
    }
    qint64 written = 0;
    while (written < data.size()) {
        const qint64 n = file.write(data.constData() + written, data.size() - written);
        if (n <= 0) {
            file.cancelWriting();
            return false;
        }
        written += n;
    }
    return file.commit();
}

bool readWholeFile(const QString& path, QByteArray& out) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const qint64 size = file.size();
    out = file.readAll();
    return file.error() == QFileDevice::NoError && (file.isSequential() || out.size() == size);
}

} // namespace velanote

namespace velanote {

JoinOutcome concatenateFiles(const QString& first, const QString& second, const QString& output) {
    QByteArray a;
    if (!readWholeFile(first, a)) {
        return JoinOutcome::FirstUnreadable;
    }
    QByteArray b;
    if (!readWholeFile(second, b)) {
        return JoinOutcome::SecondUnreadable;
    }
    return writeFileAtomically(output, a + b) ? JoinOutcome::Joined : JoinOutcome::WriteFailed;
}

} // namespace velanote
