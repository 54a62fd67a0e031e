#pragma once
#include "app/programfolder.h"

#include <QString>

namespace velanote {

// Whether `path` names an ordinary file that is not hidden (what the prefix code counts as present).
bool isOrdinaryFile(const QString& path);

// The stored prefix: the file "\yx\qz.mp3" that generation joins in front of the speech, and the
// choice recorded as [Information] qzyp in "\velanote.ini" ("1" for a file of the user's own).
// The section and key keep their names: settings files written by earlier copies rely on them.
class PrefixStore {
public:
    explicit PrefixStore(ProgramFolder folder) : folder_(std::move(folder)) {}

    QString prefixPath() const;
    QString settingsPath() const;
    bool prefixExists() const;
    // The recorded choice, "0" when none is recorded.
    QString storedChoice() const;

    // Largest file of the user's own that is taken as the prefix (under 200 KB).
    static constexpr qint64 MaxCustomBytes = 200 * 1024 - 1;

    // Copies the user's file `source` (a regular file of at most MaxCustomBytes holding MPEG audio
    // of the message's format) over the prefix file and records the choice "1". False when the
    // file is refused or the copy or the record failed; a failed save keeps the previous prefix
    // file and record. A symbolic link standing at the prefix file is replaced, not followed.
    bool storeCustom(const QString& source) const;
    // Stores built-in jingle `number` (1..10) as the prefix and records `name` as the choice. The
    // built-in bytes are used, also when the folder's copy is damaged and cannot be restored.
    bool storeJingle(int number, const QString& name) const;

private:
    bool storeBytes(const QByteArray& data, const QString& choice) const;

    ProgramFolder folder_;
};

} // namespace velanote
