#include "mainwindow/statusbarbutton.h"

#include "widgets/twips.h"

#include <QPushButton>

#include <algorithm>

namespace velanote {

void showOnStatusBar(QPushButton* button, const QWidget* statusBar) {
    button->setVisible(true);
    const int left = positionTwips(button).x();
    movePositionTwips(button, left, positionTwips(statusBar).y() + 5);
    int bottom = statusBar->geometry().bottom();
    if (const QWidget* parent = button->parentWidget()) {
        bottom = std::min(bottom, parent->rect().bottom());
    }
    button->resize(button->width(), std::min(button->height(), bottom - button->y() + 1));
    if (button->geometry().bottom() > bottom) {
        movePositionTwips(button, left, pixelsToTwips(bottom + 1 - button->height()));
    }
}

} // namespace velanote
