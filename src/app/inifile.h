#pragma once
#include <QString>

namespace velanote {

// Private-profile (INI) reading and writing with the desktop's rules: names compared without
// regard to case, the first match wins, values replaced in place with every other line kept,
// file and section created on the first write. Text is stored in GBK. A line ends at LF, CR LF or
// a lone CR. Section names holding CR, LF, NUL or ']', key names holding CR, LF, NUL or '=' (or
// starting like a section header or a comment), and names GBK cannot hold are refused.

// The value of `key` in `section`, or `defaultValue` when the file, section or key is missing.
// Never creates the file. Values longer than 254 bytes in GBK are cut to 254 bytes.
QString readSetting(const QString& section, const QString& key, const QString& defaultValue,
                    const QString& file);

// Writes one value through the atomic-write helper; returns whether it was written. A refused
// name or a failed write changes nothing.
bool writeSetting(const QString& section, const QString& key, const QString& value, const QString& file);

} // namespace velanote
