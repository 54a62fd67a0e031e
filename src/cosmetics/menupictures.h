#pragma once
#include <QPixmap>

class QMainWindow;

namespace velanote {

// Small pictures beside menu items, shown in place of the check mark of a checked item.
class MenuPictures {
public:
    // The edge of a menu picture in pixels.
    static constexpr int BitmapSize = 13;

    // A new 13 x 13 pixmap holding the top-left 13 x 13 pixels of `picture`; a null pixmap when
    // `picture` is null or smaller than 13 x 13.
    static QPixmap makeBitmap(const QPixmap& picture);

    // Puts makeBitmap(picture) on item `itemPosition` (counting separators, in the order of
    // QMenu::actions()) of the menu at `topLevelIndex` of the window's menu bar, for the item's
    // checked state: the action becomes checkable and its icon holds the picture for QIcon::On
    // (and a clear pixmap for QIcon::Off), so the picture stands where the check mark would while
    // the item is checked and nothing is shown while it is not. Whether the item is checked stays the
    // caller's choice; choosing the item runs its command but no longer flips its checked state. Returns
    // false and changes nothing when the window has no menu bar, the index or position is out of range, the
    // item is a separator or opens a sub-menu, or the picture makes no bitmap.
    static bool setItemPicture(QMainWindow* window, const QPixmap& picture, int topLevelIndex,
                               int itemPosition);
};

} // namespace velanote
