#pragma once
#include "reading/mandarinreader.h"

#include <QDateTime>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace velanote {

// The reader of one speech service: the built-in lexicon plus, when a path is given, the user's
// lexicon file (`读音词典.txt`), read again whenever it changes, so that an edit is heard on the
// next request. A change shows in the file's size or time, and a replacement that keeps both is
// found by comparing the content's digest every few seconds. Lines that cannot be used are
// reported once per change: the first ones each with its number, the rest as a count.
class ReadingSource {
public:
    using Report = std::function<void(const std::string& line)>;

    static constexpr std::size_t reportedProblems = 20;

    // The file need not exist; without it (or with an empty path) the built-in lexicon reads alone.
    // A file whose size and time look unchanged is read again after `recheck`.
    explicit ReadingSource(QString lexiconPath = {}, Report report = {},
                           std::chrono::steady_clock::duration recheck = std::chrono::seconds(5));

    // The file's name in the program folder.
    static QString fileName();

    std::shared_ptr<const MandarinReader> current();

private:
    struct Stamp {
        bool exists = false;
        qint64 size = -1;
        QDateTime modified;
        bool operator==(const Stamp&) const = default;
    };
    Stamp stamp() const;

    QString path_;
    Report report_;
    std::chrono::steady_clock::duration recheck_;
    std::mutex mutex_;
    bool loaded_ = false;
    Stamp loadedStamp_;
    std::chrono::steady_clock::time_point nextCheck_;
    std::string loadedContent_; // the digest of the file read, or why none was read
    std::shared_ptr<const MandarinReader> reader_;
};

} // namespace velanote
