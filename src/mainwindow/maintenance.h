#pragma once
#include "app/programfolder.h"

#include <QStringList>

namespace velanote {

// The file work behind the main window's maintenance commands.
class Maintenance {
public:
    // The MP3 files directly in the program folder ("*.mp3" in any case; sub-folders are not
    // searched).
    static QStringList generatedMessageFiles(const ProgramFolder& folder);
    // Deletes the given files; failures are skipped. Returns how many were deleted.
    static int deleteFiles(const QStringList& paths);

    // Restores the ten built-in jingles: creates "\sc" and "\yx" when missing, makes "\sc"
    // writable, and rewrites "\sc\1.mp3" .. "\sc\10.mp3" from resources 112..121. Every step runs
    // even when an earlier one failed; returns whether all ten jingles were written.
    static bool restoreJingles(const ProgramFolder& folder);
};

} // namespace velanote
