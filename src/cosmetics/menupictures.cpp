#include "cosmetics/menupictures.h"

#include <QAction>
#include <QIcon>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace velanote {

namespace {

// The action at `itemPosition` of the top-level menu `topLevelIndex`, or null when there is none
// or it cannot carry a picture.
QAction* menuItemAt(QMainWindow* window, int topLevelIndex, int itemPosition) {
    // menuWidget(), unlike menuBar(), does not create a menu bar where there is none.
    auto* bar = window != nullptr ? qobject_cast<QMenuBar*>(window->menuWidget()) : nullptr;
    if (bar == nullptr) {
        return nullptr;
    }
    const QList<QAction*> topLevel = bar->actions();
    if (topLevelIndex < 0 || topLevelIndex >= topLevel.size() || topLevel[topLevelIndex]->menu() == nullptr) {
        return nullptr;
    }
    const QList<QAction*> items = topLevel[topLevelIndex]->menu()->actions();
    if (itemPosition < 0 || itemPosition >= items.size()) {
        return nullptr;
    }
    QAction* item = items[itemPosition];
    if (item->isSeparator() || item->menu() != nullptr) {
        return nullptr;
    }
    return item;
}

} // namespace

QPixmap MenuPictures::makeBitmap(const QPixmap& picture) {
    if (picture.isNull() || picture.width() < BitmapSize || picture.height() < BitmapSize) {
        return {};
    }
    QPixmap bitmap = picture.copy(0, 0, BitmapSize, BitmapSize);
    bitmap.setDevicePixelRatio(1.0);
    return bitmap;
}

bool MenuPictures::setItemPicture(QMainWindow* window, const QPixmap& picture, int topLevelIndex,
                                  int itemPosition) {
    QAction* item = menuItemAt(window, topLevelIndex, itemPosition);
    const QPixmap bitmap = makeBitmap(picture);
    if (item == nullptr || bitmap.isNull()) {
        return false;
    }

    // QIcon falls back to the other state's pixmap when one is missing, so the unchecked state
    // gets a clear pixmap of its own; a null icon would bring the style's check box back.
    QPixmap clear(bitmap.size());
    clear.fill(Qt::transparent);
    QIcon icon;
    icon.addPixmap(bitmap, QIcon::Normal, QIcon::On);
    icon.addPixmap(clear, QIcon::Normal, QIcon::Off);
    item->setCheckable(true);
    item->setIcon(icon);

    // A classic menu item keeps its check mark when chosen; undo the flip a checkable QAction
    // makes on every trigger, so the picture stays where the program put it.
    if (!item->property("velanote.keepsCheckState").toBool()) {
        item->setProperty("velanote.keepsCheckState", true);
        QObject::connect(item, &QAction::triggered, item,
                         [item](bool checked) { item->setChecked(!checked); });
    }
    return true;
}

} // namespace velanote
