#include "platform/desktopclipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace velanote {

QString DesktopClipboard::text() const {
    return QGuiApplication::clipboard()->text();
}

void DesktopClipboard::setText(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
}

void DesktopClipboard::clear() {
    QGuiApplication::clipboard()->clear();
}

} // namespace velanote
