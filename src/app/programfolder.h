#pragma once
#include <QString>

namespace velanote {

// The folder that holds the program's working files. Paths inside it are written the way the
// program names them, with a leading backslash ("\sc\1.mp3", "\yx\qz.mp3"), or "/skinh.she".
// The names sc (built-in jingles), yx (the prefix), qz.mp3, skinh.she and 说明.txt stay as they are:
// folders that earlier copies of the program filled, and the users who look in them, rely on them.
class ProgramFolder {
public:
    explicit ProgramFolder(QString path);

    // VELANOTE_HOME when set and not empty; else the executable's folder when writable and not an
    // install folder; else the per-user data folder (created when missing).
    static ProgramFolder locate();

    // True for the folders an installed copy runs from: a prefix's bin or sbin (/usr/bin,
    // /usr/local/bin, ~/.local/bin) or anything under /usr. Other programs share them, so they
    // never hold velanote's files, even for a user (root) who may write there.
    static bool isInstallFolder(const QString& path);

    // The folder without a trailing separator.
    const QString& path() const { return path_; }
    // The folder followed by a relative name; backslashes become the platform's separator.
    QString file(const QString& relative) const;

private:
    QString path_;
};

} // namespace velanote
