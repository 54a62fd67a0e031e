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

    // Copies `source` over the prefix file (through a temporary file, so a failure keeps the
    // previous prefix) and then records `choice`. False when the copy or the record failed; a
    // failed copy records nothing.
    bool store(const QString& source, const QString& choice) const;

private:
    ProgramFolder folder_;
};

} // namespace velanote
