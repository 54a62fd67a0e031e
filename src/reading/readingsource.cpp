#include "reading/readingsource.h"

#include "reading/readingtable.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace velanote {

namespace {
// A lexicon larger than this is not a hand-written list; it is refused rather than read.
constexpr qint64 kMaxLexiconBytes = 8LL * 1024 * 1024;
} // namespace

ReadingSource::ReadingSource(QString lexiconPath, Report report, std::chrono::steady_clock::duration recheck)
    : path_(std::move(lexiconPath)), report_(std::move(report)), recheck_(recheck) {}

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
    const auto time = std::chrono::steady_clock::now();
    std::lock_guard lock(mutex_);
    if (loaded_ && now == loadedStamp_ && time < nextCheck_) {
        return reader_;
    }
    loadedStamp_ = now;
    nextCheck_ = time + recheck_;

    const std::string name = path_.toStdString();
    std::string content; // what the reader is made from: the file's digest, or why it is not read
    std::string problem;
    QByteArray bytes;
    bool read = false;
    if (!now.exists) {
        content = "none";
    } else if (now.size > kMaxLexiconBytes) {
        content = "too large";
        problem = name + ": 文件超过 8 MB, 未读取";
    } else {
        QFile file(path_);
        if (!file.open(QIODevice::ReadOnly)) {
            content = "unreadable";
            problem = name + ": 无法读取 (" + file.errorString().toStdString() + ")";
        } else {
            bytes = file.read(kMaxLexiconBytes);
            read = true;
            content = QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex().toStdString();
        }
    }
    if (loaded_ && content == loadedContent_) {
        return reader_;
    }
    loaded_ = true;
    loadedContent_ = content;
    const auto tell = [this](const std::string& line) {
        if (report_) {
            report_(line);
        }
    };
    if (!problem.empty()) {
        tell(problem);
    }
    if (!read) {
        reader_ = MandarinReader::builtIn();
        return reader_;
    }
    const UserLexicon lexicon = UserLexicon::parse(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), ReadingTable::builtIn());
    const std::size_t shown = std::min(lexicon.problems.size(), reportedProblems);
    for (std::size_t i = 0; i < shown; ++i) {
        const UserLexicon::Problem& p = lexicon.problems[i];
        tell(name + ":" + std::to_string(p.line) + ": 已跳过: " + p.reason);
    }
    if (lexicon.problems.size() > shown) {
        tell(name + ": 另有 " + std::to_string(lexicon.problems.size() - shown) + " 行已跳过");
    }
    reader_ = std::make_shared<const MandarinReader>(ReadingTable::builtIn(), lexicon);
    return reader_;
}

} // namespace velanote
