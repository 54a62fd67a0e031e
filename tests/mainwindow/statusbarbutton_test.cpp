#include "mainwindow/statusbarbutton.h"

#include "widgets/twips.h"

#include <QPushButton>
#include <QWidget>
#include <gtest/gtest.h>

using namespace velanote;

namespace {

// A window with a status bar and two hidden buttons above it.
struct BarWindow {
    BarWindow() {
        setGeometryTwips(&bar, 0, 6000, 9000, 375);
        setGeometryTwips(&speech, 6000, 4000, 1200, 300);
        setGeometryTwips(&joined, 7300, 4000, 1200, 300);
        speech.hide();
        joined.hide();
        window.resize(640, 480);
        window.show();
    }
    QWidget window;
    QWidget bar{&window};
    QPushButton speech{QStringLiteral("找到音信文件"), &window};
    QPushButton joined{QStringLiteral("找到合成音信"), &window};
};

} // namespace

TEST(StatusBarButton, ShowsJustBelowTheBarsTopInItsOwnColumn) {
    BarWindow w;
    showOnStatusBar(&w.joined, &w.bar);
    EXPECT_TRUE(w.joined.isVisibleTo(&w.window));
    EXPECT_EQ(positionTwips(&w.joined), QPoint(7300, 6005));
}

// A status bar at the window's bottom edge, lower than the buttons, one of which a skin keeps from
// getting lower: each shows wholly inside the window, ending on the bar.
TEST(StatusBarButton, ShowsWhollyInsideTheWindowOnABarAtItsBottomEdge) {
    BarWindow w;
    w.joined.setMinimumHeight(24);
    setGeometryTwips(&w.bar, 0, 6930, 9600, 270); // 18 pixels high, ending at the window's bottom
    showOnStatusBar(&w.speech, &w.bar);
    showOnStatusBar(&w.joined, &w.bar);
    const QRect bar = w.bar.geometry();
    for (QPushButton* button : {&w.speech, &w.joined}) {
        EXPECT_TRUE(w.window.rect().contains(button->geometry())) << button->text().toStdString();
        EXPECT_LE(button->geometry().bottom(), bar.bottom()) << button->text().toStdString();
    }
    EXPECT_EQ(w.speech.geometry().top(), bar.top());
    EXPECT_EQ(w.joined.height(), 24);
}
