#pragma once
#include "app/programfolder.h"

#include <QByteArray>
#include <QString>

namespace velanote {

// The files the program carries inside itself, by numeric id (111 skin, 112..121 jingles, 128 readme).
QByteArray loadResource(int id); // empty when there is no such resource

// Makes the program folder plus `relative` ("\sc\1.mp3") hold resource `id` byte for byte. A file
// that already does is left untouched (nothing written, nothing synced); a symbolic link there is
// replaced, never written through; anything else but a regular file is left alone. A failed write
// leaves any previous file whole. Returns whether the file now holds the resource.
bool extractResource(const ProgramFolder& folder, int id, const QString& relative);

// The loader's folder work: the folder step (skipped when ordinary files named "sc" or "yx"
// exist), then the ten jingles and the support files restored where they differ. Failures are
// silent. An intact folder costs no writes.
void prepareProgramFolder(const ProgramFolder& folder);

// Creates "\sc" and "\yx" where missing (a symbolic link in their place is replaced by a folder) and
// gives "\sc" normal attributes, then restores the ten jingles. Every step runs even when an earlier
// one failed; returns whether all ten jingles now hold the built-in bytes.
bool restoreJingles(const ProgramFolder& folder);

constexpr int JingleCount = 10;

// Built-in jingle `number` (1..10) as the program uses it.
struct Jingle {
    QString path;         // "\sc\N.mp3" in the program folder
    QByteArray bytes;     // always the built-in bytes
    bool damaged = false; // the folder's copy differs and could not be restored
};
// Restores the folder's copy of jingle `number` where it differs; its bytes are the built-in ones
// either way, so a damaged copy is never used.
Jingle builtInJingle(const ProgramFolder& folder, int number);

// Makes the embedded resources available; call once before the first use.
void initResources();

// Registers the program's own font, which draws U+E004 (the mark some greeting phrases end with,
// which no installed font has), so every window shows it while the text stays unchanged. Call
// after the application object exists.
void installMarkFont();

} // namespace velanote
