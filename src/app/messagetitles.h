#pragma once
#include <QString>

namespace velanote {

// The titles of the program's message boxes, each written once.
namespace MessageTitles {

// Questions and reports of the main window, the prefix switch, the update check and generation.
inline QString program() {
    return QStringLiteral("Vela系列软件");
}
// Notices of the prefix, joiner and phrase windows.
inline QString notice() {
    return QStringLiteral("Tomo阿朔提示");
}
// The joiner's questions about clearing a chosen file.
inline QString author() {
    return QStringLiteral("Tomo阿朔");
}

} // namespace MessageTitles

} // namespace velanote
