#include "phrases/phrasewindow.h"

#include "app/endpoints.h"
#include "app/resourcestore.h"
#include "phrases/phrasetable.h"
#include "support/child.h"
#include "support/fakeplatform.h"
#include "support/tempfolder.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

using namespace velanote;
using velanote::testing::child;

namespace {

class PhraseWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        installMarkFont(); // as the program does before its first window
        form = PhraseWindow::showSingle(slot, ctx, nullptr);
        QObject::connect(form, &PhraseWindow::phraseChosen,
                         [this](const QString& phrase) { chosen = phrase; });
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
    }
    void TearDown() override { delete slot.data(); }

    void choose(const QString& category) { combo()->setCurrentIndex(combo()->findText(category)); }
    void doubleClickRow(int row) {
        QListWidgetItem* item = list()->item(row);
        ASSERT_NE(item, nullptr);
        const QRect r = list()->visualItemRect(item);
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, r.center());
    }
    QListWidget* list() const { return child<QListWidget>(form, "phraseList"); }
    QComboBox* combo() const { return child<QComboBox>(form, "categoryCombo"); }
    // A double click on the list where no phrase is.
    void doubleClickBelowThePhrases() {
        const int n = list()->count();
        const QPoint below = n == 0
                                 ? QPoint(40, 40)
                                 : list()->visualItemRect(list()->item(n - 1)).bottomLeft() + QPoint(20, 20);
        QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, below);
    }
    QStringList listed() const {
        QStringList items;
        for (int i = 0; i < list()->count(); ++i) {
            items.append(list()->item(i)->text());
        }
        return items;
    }

    fakes::FakePlatform platform;
    fakes::TempProgramFolder tmp;
    AppContext ctx{platform, tmp.folder(), Endpoints::forLocalService(0)};
    QString chosen; // the last phrase the window emitted
    QPointer<PhraseWindow> slot;
    PhraseWindow* form = nullptr;
};

} // namespace

TEST_F(PhraseWindowTest, OpensWithCategoriesButNoChoiceAndTheHintShown) {
    EXPECT_EQ(form->windowTitle(), "Vela系列软件の声笺V6.0【星河】 - 快捷祝福语填写");
    EXPECT_EQ(child<QGroupBox>(form, "phraseFrame")->title(),
              "不知道说什么?快捷祝福语选择:请您选择分类:" + QString(16, ' ') + "双击列表可自动写入祝福语中");
    EXPECT_FALSE(combo()->isEditable());
    ASSERT_EQ(combo()->count(), 5);
    EXPECT_EQ(combo()->itemText(0), "友情类");
    EXPECT_EQ(combo()->itemText(4), "搞笑类");
    EXPECT_EQ(combo()->currentIndex(), -1);
    EXPECT_TRUE(combo()->currentText().isEmpty());
    EXPECT_EQ(list()->count(), 0);
    EXPECT_FALSE(list()->isSortingEnabled());
    EXPECT_NE(list()->viewport()->cursor().shape(), Qt::ArrowCursor);
    EXPECT_TRUE(child<QLabel>(form, "hintLabel")->isVisible());
    EXPECT_TRUE(child<QLabel>(form, "hintPicture")->isVisible());
    EXPECT_FALSE(child<QLabel>(form, "hintPicture")->pixmap().isNull());
    EXPECT_EQ(child<QLabel>(form, "hintLabel")->text(),
              "小提示:如果信息未显示全,点击后鼠标停留片刻即可显示完整信息");
    EXPECT_EQ(child<QPushButton>(form, "searchButton")->text(), "搜索更多");
}

TEST_F(PhraseWindowTest, ChoosingACategoryReplacesTheListInTableOrderAndHidesTheHint) {
    choose("爱情类");
    EXPECT_EQ(listed(), PhraseTable::phrasesOf("爱情类"));
    EXPECT_EQ(list()->count(), 4);
    EXPECT_FALSE(child<QLabel>(form, "hintLabel")->isVisible());
    EXPECT_FALSE(child<QLabel>(form, "hintPicture")->isVisible());
    choose("友情类");
    EXPECT_EQ(list()->count(), 12);
    EXPECT_EQ(listed(), PhraseTable::phrasesOf("友情类"));
    choose("感恩类");
    EXPECT_EQ(list()->count(), 12);
    choose("生日类");
    EXPECT_EQ(list()->count(), 6);
    choose("搞笑类");
    EXPECT_EQ(list()->count(), 6);
    EXPECT_EQ(list()->item(1)->text(), "都说女子无才便是德，那姐早就德高望重了。");

    // A click on a phrase puts the whole phrase into the list's tool tip.
    const QRect r = list()->visualItemRect(list()->item(2));
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_EQ(list()->toolTip(), PhraseTable::phrasesOf("搞笑类")[2]);
    EXPECT_TRUE(platform.boxes.shown.isEmpty());
}

TEST_F(PhraseWindowTest, DoubleClickWritesThePhraseWithItsTrailingCharactersAndAsks) {
    choose("友情类");
    platform.boxes.answerNext(MessageBoxAnswer::No);
    doubleClickRow(0);
    const QString first = PhraseTable::phrasesOf("友情类")[0];
    EXPECT_EQ(chosen, first);
    EXPECT_TRUE(chosen.endsWith(QString::fromUtf16(u"\uE004\uE004 ")));
    ASSERT_EQ(platform.boxes.shown.size(), 1);
    EXPECT_EQ(platform.boxes.shown[0].prompt, "祝福语填写成功!是否关闭本页面?");
    EXPECT_EQ(platform.boxes.shown[0].style, MessageBoxStyle::YesNoInformation);
    EXPECT_EQ(platform.boxes.shown[0].title, "Tomo阿朔提示");

    // No keeps the window and its list; a further double click replaces the text.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(slot.isNull());
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(list()->count(), 12);
    chosen = "typed by the user";
    platform.boxes.answerNext(MessageBoxAnswer::No);
    doubleClickRow(8);
    EXPECT_EQ(chosen, PhraseTable::phrasesOf("友情类")[8]);

    // Yes closes and releases the window.
    platform.boxes.answerNext(MessageBoxAnswer::Yes);
    doubleClickRow(11);
    EXPECT_EQ(chosen, PhraseTable::phrasesOf("友情类")[11]);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(slot.isNull());
    EXPECT_EQ(platform.boxes.unexpected, 0);
}

TEST_F(PhraseWindowTest, DoubleClickWithoutAPhraseWarnsAndChangesNothing) {
    chosen = "kept";
    doubleClickBelowThePhrases();
    choose("生日类");
    list()->setCurrentRow(-1);
    doubleClickBelowThePhrases();
    ASSERT_EQ(platform.boxes.shown.size(), 2);
    for (const auto& box : platform.boxes.shown) {
        EXPECT_EQ(box.prompt, "请先选择分类,在使用双击自动填写功能!");
        EXPECT_EQ(box.style, MessageBoxStyle::OkExclamation);
        EXPECT_EQ(box.title, "Tomo阿朔提示");
    }
    EXPECT_EQ(chosen, "kept");
}

TEST_F(PhraseWindowTest, SearchOpensTheCategoryWithBlessingAppended) {
    child<QPushButton>(form, "searchButton")->click();
    ASSERT_EQ(platform.boxes.shown.size(), 1);
    EXPECT_EQ(platform.boxes.shown[0].prompt, "请先选择分类");
    EXPECT_EQ(platform.boxes.shown[0].style, MessageBoxStyle::OkExclamation);
    EXPECT_EQ(platform.boxes.shown[0].title, "Tomo阿朔提示");
    EXPECT_TRUE(platform.shellFake.openedAddresses.isEmpty());

    choose("搞笑类");
    child<QPushButton>(form, "searchButton")->click();
    ASSERT_EQ(platform.shellFake.openedAddresses.size(), 1);
    EXPECT_EQ(platform.shellFake.openedAddresses[0], ctx.endpoints.searchBase + "/s?wd=搞笑类祝福");
    choose("友情类");
    child<QPushButton>(form, "searchButton")->click();
    EXPECT_EQ(platform.shellFake.openedAddresses.last(), ctx.endpoints.searchBase + "/s?wd=友情类祝福");
}

TEST_F(PhraseWindowTest, ClickingTheHintOrItsIconHidesBoth) {
    QTest::mouseClick(child<QLabel>(form, "hintLabel"), Qt::LeftButton);
    EXPECT_FALSE(child<QLabel>(form, "hintLabel")->isVisible());
    EXPECT_FALSE(child<QLabel>(form, "hintPicture")->isVisible());
    EXPECT_EQ(list()->count(), 0);

    QPointer<PhraseWindow> other;
    PhraseWindow* second = PhraseWindow::showSingle(other, ctx, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(second));
    QTest::mouseClick(child<QLabel>(second, "hintPicture"), Qt::LeftButton);
    EXPECT_FALSE(child<QLabel>(second, "hintLabel")->isVisible());
    EXPECT_FALSE(child<QLabel>(second, "hintPicture")->isVisible());
    delete second;
}

TEST_F(PhraseWindowTest, OneInstanceIsBroughtForwardUnchangedAndANewOneStartsEmpty) {
    choose("生日类");
    list()->setCurrentRow(3);
    form->showMinimized();
    PhraseWindow* again = PhraseWindow::showSingle(slot, ctx, nullptr);
    EXPECT_EQ(again, form);
    EXPECT_FALSE(again->isMinimized());
    EXPECT_EQ(child<QComboBox>(again, "categoryCombo")->currentText(), "生日类");
    EXPECT_EQ(child<QListWidget>(again, "phraseList")->count(), 6);
    EXPECT_EQ(child<QListWidget>(again, "phraseList")->currentRow(), 3);

    form->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(slot.isNull());
    PhraseWindow* fresh = PhraseWindow::showSingle(slot, ctx, nullptr);
    EXPECT_EQ(child<QComboBox>(fresh, "categoryCombo")->currentIndex(), -1);
    EXPECT_EQ(child<QListWidget>(fresh, "phraseList")->count(), 0);
    EXPECT_TRUE(child<QLabel>(fresh, "hintLabel")->isVisible());
}

TEST_F(PhraseWindowTest, DoubleClickOnTheListItselfCountsAsWellAsOnAPhrase) {
    // An empty list: the double click is answered by the warning.
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, QPoint(40, 40));
    ASSERT_EQ(platform.boxes.shown.size(), 1);
    EXPECT_EQ(platform.boxes.shown[0].prompt, "请先选择分类,在使用双击自动填写功能!");
    EXPECT_EQ(platform.boxes.shown[0].style, MessageBoxStyle::OkExclamation);

    // A listed category whose phrases are not clicked yet: a current row alone is no choice.
    choose("爱情类");
    list()->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    const QPoint below = list()->visualItemRect(list()->item(3)).bottomLeft() + QPoint(20, 20);
    ASSERT_FALSE(list()->itemAt(below));
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, below);
    ASSERT_EQ(platform.boxes.shown.size(), 2);
    EXPECT_EQ(platform.boxes.shown[1].prompt, "请先选择分类,在使用双击自动填写功能!");
    EXPECT_TRUE(chosen.isEmpty());

    // With a phrase chosen, a double click below the phrases writes the chosen one.
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                      list()->visualItemRect(list()->item(2)).center());
    platform.boxes.answerNext(MessageBoxAnswer::No);
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, below);
    EXPECT_EQ(chosen, PhraseTable::phrasesOf("爱情类")[2]);
    ASSERT_EQ(platform.boxes.shown.size(), 3);
    EXPECT_EQ(platform.boxes.shown[2].prompt, "祝福语填写成功!是否关闭本页面?");
}

TEST_F(PhraseWindowTest, OpensBesideTheMainWindow) {
    delete slot.data();
    QWidget main;
    main.setGeometry(10, 10, 200, 150);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    PhraseWindow* beside = PhraseWindow::showSingle(slot, ctx, &main);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(beside));
    EXPECT_FALSE(beside->frameGeometry().intersects(main.frameGeometry()));
    EXPECT_GE(beside->x(), main.frameGeometry().right());
    EXPECT_EQ(beside->y(), main.frameGeometry().top());
}

TEST(PhraseWindowPlacement, BesideTheMainWindowWhereItFitsElseWhereItCoversTheLeast) {
    const QSize phrases(560, 320);
    const QRect wide(0, 0, 1920, 1040);
    const QRect narrow(0, 0, 1024, 768);
    // The main window's inputs as they lie on the screen: sender, recipient, relation, message.
    const auto inputsOf = [](const QRect& main) {
        const QPoint client = main.topLeft() + QPoint(3, 47);
        return QList<QRect>{QRect(client + QPoint(26, 170), QSize(270, 26)),
                            QRect(client + QPoint(26, 224), QSize(270, 26)),
                            QRect(client + QPoint(26, 278), QSize(204, 26)),
                            QRect(client + QPoint(324, 152), QSize(280, 154))};
    };
    struct Case {
        QRect main;
        QRect area;
        QPoint expected;
        bool withInputs = false;
    };
    const Case cases[] = {
        {{100, 100, 660, 505}, wide, {760, 100}},  // room on the right
        {{1200, 100, 660, 505}, wide, {640, 100}}, // room on the left only
        {{1200, 900, 660, 505}, wide, {640, 720}}, // kept on the screen
        {{183, 142, 660, 505}, narrow, {0, 0}},    // no room beside: over the top, not the inputs
        {{0, 400, 1024, 368}, narrow, {464, 80}},  // a full-width window: above it
        {{0, 0, 1024, 768}, narrow, {464, 0}},     // nothing free: anywhere inside the screen
        // 1280×800: the place below the inputs covers as little of the window as the place above
        // them, but the message box with it; above wins.
        {{307, 170, 666, 460}, {0, 0, 1280, 800}, {720, 0}, true},
        // No place clear of every input: the message box at least stays in view.
        {{310, 47, 660, 505}, {0, 0, 1280, 600}, {0, 0}, true},
    };
    for (const Case& c : cases) {
        const QList<QRect> inputs = c.withInputs ? inputsOf(c.main) : QList<QRect>();
        const QRect message = c.withInputs ? inputs.last() : QRect();
        const QPoint at = PhraseWindow::placeBeside(c.main, phrases, c.area, inputs, message);
        EXPECT_EQ(at, c.expected) << c.main.x() << "," << c.main.y();
        EXPECT_TRUE(c.area.contains(QRect(at, phrases)));
        EXPECT_FALSE(QRect(at, phrases).intersects(message));
    }
}

namespace {

QImage drawn(const QString& text, const QFont& font) {
    QImage image(48, 48, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(image.rect(), Qt::AlignCenter, text);
    return image;
}

} // namespace

// No installed font has a glyph for the phrases' U+E004: without the program's own font it shows
// as the same empty box as any other unassigned character (U+E005). The list keeps the text as is.
TEST_F(PhraseWindowTest, ThePhrasesMarkIsDrawnInTheListTheToolTipAndTheMessageBox) {
    const QString mark(QChar(0xE004));
    choose(QStringLiteral("友情类"));
    ASSERT_FALSE(listed().isEmpty());
    EXPECT_EQ(listed(), PhraseTable::phrasesOf(QStringLiteral("友情类")));
    EXPECT_TRUE(listed().first().contains(mark));

    QFont messageBoxFont; // as the main window's message box asks for it
    messageBoxFont.setFamilies({QStringLiteral("微软雅黑"), QStringLiteral("Noto Sans CJK SC")});
    messageBoxFont.setPointSize(11);
    for (const QFont& font : {list()->font(), QToolTip::font(), messageBoxFont}) {
        const QImage withMark = drawn(mark, font);
        EXPECT_NE(withMark, drawn(QString(QChar(0xE005)), font)) << font.family().toStdString();
        EXPECT_NE(withMark, drawn(QString(), font));
    }
}
