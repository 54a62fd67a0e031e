#include "platform/windowopacity.h"

#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

namespace velanote {

void setWindowOpacityNow(QWidget* window, qreal opacity) {
    window->setWindowOpacity(opacity);
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        return;
    }
    if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        x11 != nullptr && x11->connection() != nullptr) {
        xcb_flush(x11->connection());
    }
}

} // namespace velanote
