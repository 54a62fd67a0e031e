#pragma once
#include <QString>

namespace velanote {

// Results of attachSkin.
namespace SkinResult {
constexpr int Ok = 0;
constexpr int FileMissing = 1;    // no file at the path
constexpr int FileUnreadable = 2; // a file that cannot be read, or too large to be a skin
constexpr int NotASkin = 3;       // a file of another kind (no skin file magic)
constexpr int Damaged = 4;        // a skin file cut short or otherwise damaged
constexpr int NoApplication = 5;  // no QApplication to apply a style sheet to
} // namespace SkinResult

// Gives the whole application the look of a skin file (layout in skinfile.h): reads the file at
// `path`, decodes its style sheet and sets it as the application's style sheet. The path is taken
// as the main window builds it, the program folder followed by "/skinh.she"; backslashes in it are
// read as separators too. Our skin files carry no password, so `password` is accepted and ignored.
// Returns a SkinResult code. On any failure nothing changes; a later successful call replaces the
// sheet of an earlier one.
int attachSkin(const QString& path, const QString& password);

} // namespace velanote
