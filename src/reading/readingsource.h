#pragma once
#include "reading/mandarinreader.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace velanote {

// The reader of one speech service: the built-in lexicon plus, when a path is given, the user's
// lexicon file (`读音词典.txt`), read again whenever it changes, so that an edit is heard on the
// next request. Lines that cannot be used are reported, with their numbers, once per change.
class ReadingSource {
public:
    using Report = std::function<void(const std::string& line)>;

    // The file need not exist; without it (or with an empty path) the built-in lexicon reads alone.
    explicit ReadingSource(QString lexiconPath = {}, Report report = {});

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
    std::mutex mutex_;
    bool loaded_ = false;
    Stamp loadedStamp_;
    std::shared_ptr<const MandarinReader> reader_;
};

} // namespace velanote
