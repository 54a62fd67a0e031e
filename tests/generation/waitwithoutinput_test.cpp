#include "generation/waitwithoutinput.h"

#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

using namespace velanote;

TEST(WaitWithoutInput, KeysClicksAndShortcutsDuringTheWaitAreDroppedNotDeliveredLater) {
    QWidget window;
    auto* edit = new QLineEdit(&window);
    auto* box = new QPushButton(QStringLiteral("switch"), &window);
    box->setCheckable(true);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(edit);
    layout->addWidget(box);
    int f4 = 0;
    QShortcut shortcut(QKeySequence(Qt::Key_F4), &window);
    QObject::connect(&shortcut, &QShortcut::activated, [&f4] { ++f4; });
    window.show();
    edit->setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    QTimer::singleShot(20, [&] {
        QTest::keyClicks(edit, QStringLiteral("typed"));
        QTest::keyClick(&window, Qt::Key_F4);
        QTest::mouseClick(box, Qt::LeftButton);
        QCoreApplication::postEvent(
            edit, new QKeyEvent(QEvent::KeyPress, Qt::Key_Z, Qt::NoModifier, QStringLiteral("z")));
    });
    bool painted = false;
    QTimer::singleShot(40, [&painted] { painted = true; });
    const int result = waitWithoutInput([] {
        QThread::msleep(250);
        return 7;
    });
    QCoreApplication::processEvents();

    EXPECT_EQ(result, 7);
    EXPECT_TRUE(painted); // timers run during the wait
    EXPECT_EQ(edit->text(), QString());
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(f4, 0);

    // Afterwards input counts again.
    QTest::keyClicks(edit, QStringLiteral("after"));
    QTest::keyClick(&window, Qt::Key_F4);
    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_EQ(edit->text(), QStringLiteral("after"));
    EXPECT_EQ(f4, 1);
    EXPECT_TRUE(box->isChecked());
}
