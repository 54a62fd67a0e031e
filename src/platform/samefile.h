#pragma once
#include <QString>

namespace velanote {

// Whether two paths name the same file: the same file on disk (hard and symbolic links count),
// or, where either does not exist yet, the same absolute path once existing folders are resolved.
// False when either path is empty.
bool isSameFile(const QString& a, const QString& b);

} // namespace velanote
