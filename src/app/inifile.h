#pragma once
#include <QString>

namespace velanote {

// Private-profile (INI) reading and writing with the desktop's rules: names compared without
// regard to case, the first match wins, values replaced in place with every other line kept,
// file and section created on the first write. Text is stored in GBK.

// The value of `key` in `section`, or `defaultValue` when the file, section or key is missing.
// Never creates the file. Values longer than 254 bytes in GBK are cut to 254 bytes.
QString GetFromINI(const QString& section, const QString& key, const QString& defaultValue,
                   const QString& file);

// Writes one value through a temporary file and rename; returns whether it was written.
bool WriteToINI(const QString& section, const QString& key, const QString& value, const QString& file);

} // namespace velanote
