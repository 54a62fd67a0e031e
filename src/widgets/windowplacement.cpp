#include "widgets/windowplacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace velanote {

void centreOnScreen(QWidget* window, const QWidget* mainWindow) {
    if (const QScreen* screen =
            mainWindow != nullptr ? mainWindow->screen() : QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), window->size());
        frame.moveCenter(screen->availableGeometry().center());
        window->move(frame.topLeft());
    }
}

} // namespace velanote
