#pragma once
#include <QByteArray>
#include <QString>

#include <optional>

namespace velanote {

// The skin file layout, kept here and nowhere else:
//   bytes 0..3  the magic ".SHE"
//   bytes 4..7  the length of the style sheet in UTF-8 bytes, big-endian
//   bytes 8..   a zlib stream holding exactly that many bytes of UTF-8 style sheet
// Bytes 4 onward are exactly what qCompress() produces for the sheet's UTF-8 text.
namespace SkinFile {
inline constexpr char Magic[] = ".SHE";
inline constexpr int MagicSize = 4;
inline constexpr int HeaderSize = MagicSize + 4;
// The longest style sheet a skin file may declare; anything longer is taken as damage.
inline constexpr qsizetype MaxSheetBytes = qsizetype{4} * 1024 * 1024;
} // namespace SkinFile

// The bytes of a skin file holding `styleSheet`.
QByteArray encodeSkinFile(const QString& styleSheet);

// Whether `data` begins with the skin file magic (so a refusal means damage, not a foreign file).
bool hasSkinFileMagic(const QByteArray& data);

// The style sheet of a skin file, or nothing when the data is not a whole, sound skin file:
// wrong magic, shorter than the header, a declared length of 0 or above MaxSheetBytes, a zlib
// stream that is damaged, cut short, followed by other bytes or of another length than declared,
// or text that is not valid UTF-8.
std::optional<QString> decodeSkinFile(const QByteArray& data);

} // namespace velanote
