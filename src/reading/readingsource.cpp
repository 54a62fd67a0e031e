#include "reading/readingsource.h"

#include "reading/readingtable.h"

#include <QFile>
#include <QFileInfo>

namespace velanote {

namespace {
// A lexicon larger than this is not a hand-written list; it is refused rather than read.
constexpr qint64 kMaxLexiconBytes = 8LL * 1024 * 1024;
} // namespace

ReadingSource::ReadingSource(QString lexiconPath, Report report)
    : path_(std::move(lexiconPath)), report_(std::move(report)) {}

QString ReadingSource::fileName() {
    return QStringLiteral("读音词典.txt");
}

ReadingSource::Stamp ReadingSource::stamp() const {
    Stamp s;
    if (path_.isEmpty()) {
        return s;
    }
    const QFileInfo info(path_);
    s.exists = info.isFile();
    if (s.exists) {
        s.size = info.size();
        s.modified = info.lastModified();
    }
    return s;
}

std::shared_ptr<const MandarinReader> ReadingSource::current() {
    const Stamp now = stamp();
    std::lock_guard lock(mutex_);
    if (loaded_ && now == loadedStamp_) {
        return reader_;
    }
    loaded_ = true;
    loadedStamp_ = now;
    if (!now.exists) {
        reader_ = MandarinReader::builtIn();
        return reader_;
    }
    const std::string name = path_.toStdString();
    const auto tell = [this](const std::string& line) {
        if (report_) {
            report_(line);
        }
    };
    QFile file(path_);
    if (now.size > kMaxLexiconBytes) {
        tell(name + ": 文件超过 8 MB, 未读取");
        reader_ = MandarinReader::builtIn();
        return reader_;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        tell(name + ": 无法读取 (" + file.errorString().toStdString() + ")");
        reader_ = MandarinReader::builtIn();
        return reader_;
    }
    const QByteArray bytes = file.readAll();
    const UserLexicon lexicon = UserLexicon::parse(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), ReadingTable::builtIn());
    for (const UserLexicon::Problem& p : lexicon.problems) {
        tell(name + ":" + std::to_string(p.line) + ": 已跳过: " + p.reason);
    }
    reader_ = std::make_shared<const MandarinReader>(ReadingTable::builtIn(), lexicon);
    return reader_;
}

} // namespace velanote
