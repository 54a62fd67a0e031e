#pragma once
#include "velanote/version.h"

#include <QString>

namespace velanote {

// The title of one of the program's tool windows (joiner, prefix, batch, voice settings): the
// program's name and version, then the window's own part ("【星河】-语音设置").
inline QString toolWindowTitle(const QString& part) {
    return QStringLiteral("Vela.系列软件の声笺") + QLatin1String(kVersionTag) + part;
}

} // namespace velanote
