#include "cosmetics/menupictures.h"

#include <QAction>
#include <QImage>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <gtest/gtest.h>

using velanote::MenuPictures;

namespace {

// A 16 x 16 picture whose every pixel is different.
QPixmap numberedPicture(int width = 16, int height = 16) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, qRgb(x * 15, y * 15, (x * 7 + y * 3) & 0xFF));
        }
    }
    return QPixmap::fromImage(image);
}

// The main window's first menu: items, separators, items, and a second menu with a sub-menu.
struct MenuWindow {
    QMainWindow window;
    QList<QAction*> items;
    QAction* subMenu;

    MenuWindow() {
        QMenu* menu = window.menuBar()->addMenu(QStringLiteral("【程序菜单】"));
        items.append(menu->addAction(QStringLiteral("检测程序更新")));
        items.append(menu->addSeparator());
        items.append(menu->addAction(QStringLiteral("保存音信文件")));
        items.append(menu->addSeparator());
        items.append(menu->addAction(QStringLiteral("复制音信地址")));
        items.append(menu->addSeparator());
        items.append(menu->addAction(QStringLiteral("退出音信程序")));
        QMenu* second = window.menuBar()->addMenu(QStringLiteral("【其他】"));
        subMenu = second->addMenu(QStringLiteral("子菜单"))->menuAction();
        window.menuBar()->addAction(QStringLiteral("无菜单"));
    }
};

QImage onPicture(const QAction* action, QIcon::State state) {
    return action->icon()
        .pixmap(QSize(13, 13), 1.0, QIcon::Normal, state)
        .toImage()
        .convertToFormat(QImage::Format_ARGB32);
}

} // namespace

TEST(ModMenu, MakeMenuBitmapCopiesTheTopLeftThirteenPixelsSquare) {
    const QPixmap picture = numberedPicture();
    const QImage bitmap = MenuPictures::makeBitmap(picture).toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(bitmap.size(), QSize(13, 13));
    const QImage source = picture.toImage().convertToFormat(QImage::Format_RGB32);
    int different = 0;
    for (int y = 0; y < 13; ++y) {
        for (int x = 0; x < 13; ++x) {
            different += bitmap.pixel(x, y) != source.pixel(x, y);
        }
    }
    EXPECT_EQ(different, 0);
    EXPECT_EQ(bitmap.pixel(12, 12), qRgb(180, 180, (12 * 7 + 12 * 3) & 0xFF));

    EXPECT_EQ(MenuPictures::makeBitmap(numberedPicture(13, 13)).size(), QSize(13, 13));
    EXPECT_TRUE(MenuPictures::makeBitmap(QPixmap()).isNull());
    EXPECT_TRUE(MenuPictures::makeBitmap(numberedPicture(12, 20)).isNull());
    EXPECT_TRUE(MenuPictures::makeBitmap(numberedPicture(20, 12)).isNull());
}

TEST(ModMenu, SetMenuBitmapShowsThePictureOnlyForTheCheckedState) {
    MenuWindow w;
    const QPixmap picture = numberedPicture();
    for (int position : {0, 2, 4, 6}) {
        EXPECT_TRUE(MenuPictures::setItemPicture(&w.window, picture, 0, position)) << position;
    }
    const QImage expected =
        MenuPictures::makeBitmap(picture).toImage().convertToFormat(QImage::Format_ARGB32);
    for (int position : {0, 2, 4, 6}) {
        const QAction* item = w.items[position];
        EXPECT_TRUE(item->isCheckable());
        EXPECT_EQ(onPicture(item, QIcon::On), expected) << position;
        const QImage off = onPicture(item, QIcon::Off);
        bool clear = true;
        for (int y = 0; y < off.height(); ++y) {
            for (int x = 0; x < off.width(); ++x) {
                clear = clear && qAlpha(off.pixel(x, y)) == 0;
            }
        }
        EXPECT_TRUE(clear) << "nothing is shown beside an unchecked item";
    }
    for (int separator : {1, 3, 5}) {
        EXPECT_TRUE(w.items[separator]->icon().isNull());
    }
}

TEST(ModMenu, FailingCallsLeaveTheItemWithoutAPicture) {
    MenuWindow w;
    const QPixmap picture = numberedPicture();
    EXPECT_FALSE(MenuPictures::setItemPicture(&w.window, picture, 0, 1)); // separator
    EXPECT_FALSE(MenuPictures::setItemPicture(&w.window, picture, 0, 7));
    EXPECT_FALSE(MenuPictures::setItemPicture(&w.window, picture, 0, -1));
    EXPECT_FALSE(MenuPictures::setItemPicture(&w.window, picture, 1, 0)); // opens a sub-menu
    EXPECT_FALSE(MenuPictures::setItemPicture(&w.window, picture, 2, 0)); // a bar item without a menu
    EXPECT_FALSE(MenuPictures::setItemPicture(&w.window, picture, 3, 0));
    EXPECT_FALSE(MenuPictures::setItemPicture(&w.window, picture, -1, 0));
    EXPECT_FALSE(MenuPictures::setItemPicture(&w.window, QPixmap(), 0, 0));
    EXPECT_FALSE(MenuPictures::setItemPicture(&w.window, numberedPicture(8, 8), 0, 2));
    EXPECT_FALSE(MenuPictures::setItemPicture(nullptr, picture, 0, 0));
    for (QAction* item : w.items) {
        EXPECT_TRUE(item->icon().isNull());
        EXPECT_FALSE(item->isCheckable());
    }
    EXPECT_TRUE(w.subMenu->icon().isNull());

    QMainWindow bare;
    EXPECT_FALSE(MenuPictures::setItemPicture(&bare, picture, 0, 0));
    EXPECT_EQ(bare.menuWidget(), nullptr) << "no menu bar is created";
}

TEST(ModMenu, ChoosingAnItemRunsItsCommandAndKeepsItsCheckedState) {
    MenuWindow w;
    QAction* item = w.items[0];
    ASSERT_TRUE(MenuPictures::setItemPicture(&w.window, numberedPicture(), 0, 0));
    ASSERT_TRUE(MenuPictures::setItemPicture(&w.window, numberedPicture(), 0,
                                             0)); // a second call changes nothing more
    item->setChecked(true);
    QSignalSpy triggered(item, &QAction::triggered);
    item->trigger();
    item->trigger();
    EXPECT_EQ(triggered.count(), 2);
    EXPECT_TRUE(item->isChecked());

    item->setChecked(false);
    item->trigger();
    EXPECT_FALSE(item->isChecked());
}
