#pragma once
#include "app/programfolder.h"

#include <QByteArray>
#include <QString>

namespace velanote {

// The files the program carries inside itself, by numeric id (111 skin, 112..121 jingles, 128 readme).
QByteArray loadResource(int id); // empty when there is no such resource

// Writes resource `id` byte for byte to the program folder plus `relative` ("\sc\1.mp3").
// A failed write leaves any previous file whole. Returns whether the file now holds the resource.
bool ExtractResource(const ProgramFolder& folder, int id, const QString& relative);

// The loader's folder work: the folder step (skipped when ordinary files named "sc" or "yx"
// exist), then the ten jingles and the support files rewritten. Failures are silent.
void prepareProgramFolder(const ProgramFolder& folder);

// Makes the embedded resources available; call once before the first use.
void initResources();

} // namespace velanote
