#include "cosmetics/messageboxrelabel.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFont>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <functional>

using velanote::MessageBoxRelabel;

namespace {

const QString Hooked = QStringLiteral("Vela系列软件");

QFont largeFont() {
    QFont font = QApplication::font();
    font.setPixelSize(24);
    return font;
}

// A Yes/No question built the way the program's message box builds it, plus a help button.
struct Question {
    QMessageBox box;
    QPushButton* yes;
    QPushButton* no;
    QPushButton* help;

    explicit Question(const QString& title) {
        box.setWindowTitle(title);
        box.setFont(largeFont());              // so the new captions need wider buttons than the old ones
        box.setText(QStringLiteral("是(&Y)")); // a label with a caption's text is not a button
        box.setIcon(QMessageBox::Information);
        yes = box.addButton(QStringLiteral("是(&Y)"), QMessageBox::YesRole);
        no = box.addButton(QStringLiteral("否(&N)"), QMessageBox::NoRole);
        help = box.addButton(QStringLiteral("帮助"), QMessageBox::HelpRole);
        box.setDefaultButton(yes);
        box.setEscapeButton(no);
    }

    // Runs the box modally; `whileShown` looks at it on screen, then `answer` is clicked. Returns
    // the answer code the program's message box derives from the clicked button.
    int ask(const std::function<void(Question&)>& whileShown, QPushButton* answer) {
        QTimer::singleShot(0, &box, [&] {
            whileShown(*this);
            answer->click();
        });
        QTimer::singleShot(5000, &box, [&] { box.done(0); }); // never hang the suite
        box.exec();
        if (box.clickedButton() == yes) {
            return 6;
        }
        return box.clickedButton() == no ? 7 : 0;
    }
};

QStringList captions(const Question& q) {
    return {q.yes->text(), q.no->text(), q.help->text()};
}

class Module1Test : public ::testing::Test {
protected:
    void SetUp() override { MessageBoxRelabel::targetTitle = Hooked; }
    void TearDown() override { MessageBoxRelabel::remove(); }
};

} // namespace

TEST_F(Module1Test, RelabelsOnlyTheYesAndNoButtonsOfTheHookedBoxWhileInstalled) {
    const QStringList original{QStringLiteral("是(&Y)"), QStringLiteral("否(&N)"), QStringLiteral("帮助")};
    const QStringList relabelled{QStringLiteral("重新设置音频"), QStringLiteral("使用原有音频"),
                                 QStringLiteral("帮助")};
    MessageBoxRelabel::install();
    ASSERT_TRUE(MessageBoxRelabel::isInstalled());

    Question hooked(Hooked);
    QStringList seen;
    bool fits = false;
    QString label;
    QString widths;
    const int answer = hooked.ask(
        [&](Question& q) {
            seen = captions(q);
            fits = q.yes->isVisible() && q.yes->width() >= q.yes->sizeHint().width() &&
                   q.no->width() >= q.no->sizeHint().width() &&
                   q.yes->width() > q.yes->fontMetrics().horizontalAdvance(QStringLiteral("重新设置音频"));
            label = q.box.text();
            widths = QStringLiteral("%1 for %2").arg(q.yes->width()).arg(q.yes->sizeHint().width());
        },
        hooked.no);
    EXPECT_EQ(seen, relabelled);
    EXPECT_TRUE(fits) << "the longer captions must fit their buttons " << widths.toStdString();
    EXPECT_EQ(label, QStringLiteral("是(&Y)"));
    EXPECT_EQ(answer, 7) << "使用原有音频 still answers No";
    EXPECT_EQ(hooked.box.buttonRole(hooked.no), QMessageBox::NoRole);

    Question yesAnswer(Hooked);
    EXPECT_EQ(yesAnswer.ask([](Question&) {}, yesAnswer.yes), 6);
    EXPECT_EQ(yesAnswer.yes->text(), QStringLiteral("重新设置音频"));

    Question other(QStringLiteral("Tomo阿朔提示"));
    other.ask([&](Question& q) { seen = captions(q); }, other.yes);
    EXPECT_EQ(seen, original);

    MessageBoxRelabel::remove();
    EXPECT_FALSE(MessageBoxRelabel::isInstalled());
    Question after(Hooked);
    EXPECT_EQ(after.ask([&](Question& q) { seen = captions(q); }, after.no), 7);
    EXPECT_EQ(seen, original);
}

TEST_F(Module1Test, SecondInstallDoesNothingAndOneRemoveSuffices) {
    MessageBoxRelabel::install();
    MessageBoxRelabel::install();
    EXPECT_TRUE(MessageBoxRelabel::isInstalled());
    MessageBoxRelabel::remove();
    EXPECT_FALSE(MessageBoxRelabel::isInstalled());
    MessageBoxRelabel::remove();

    QStringList seen;
    Question box(Hooked);
    box.ask([&](Question& q) { seen = captions(q); }, box.yes);
    EXPECT_EQ(seen.first(), QStringLiteral("是(&Y)"));
}

TEST_F(Module1Test, ComparesTitleAndCaptionsExactly) {
    MessageBoxRelabel::install();
    Question similarTitle(Hooked + QLatin1Char(' '));
    QStringList seen;
    similarTitle.ask([&](Question& q) { seen = captions(q); }, similarTitle.yes);
    EXPECT_EQ(seen.first(), QStringLiteral("是(&Y)"));

    Question nearCaptions(Hooked);
    nearCaptions.yes->setText(QStringLiteral("是(&y)"));
    nearCaptions.no->setText(QStringLiteral("否"));
    nearCaptions.ask([&](Question& q) { seen = captions(q); }, nearCaptions.yes);
    EXPECT_EQ(seen, (QStringList{QStringLiteral("是(&y)"), QStringLiteral("否"), QStringLiteral("帮助")}));
}

TEST_F(Module1Test, RelabelsAnyHookedDialogAndGrowsOneAlreadyOnScreen) {
    // A dialog shown before the hook went in is relabelled when it is next activated.
    QDialog dialog;
    dialog.setWindowTitle(Hooked);
    dialog.setFont(largeFont());
    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* yes = buttons->addButton(QStringLiteral("是(&Y)"), QDialogButtonBox::YesRole);
    QPushButton* no = buttons->addButton(QStringLiteral("否(&N)"), QDialogButtonBox::NoRole);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QStringLiteral("?"), &dialog));
    layout->addWidget(buttons);
    dialog.setFixedSize(dialog.sizeHint());
    dialog.show();
    QApplication::processEvents();
    const int widthBefore = dialog.width();

    MessageBoxRelabel::install();
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&dialog, &activate);
    QApplication::processEvents();

    EXPECT_EQ(yes->text(), QStringLiteral("重新设置音频"));
    EXPECT_EQ(no->text(), QStringLiteral("使用原有音频"));
    EXPECT_GT(dialog.width(), widthBefore);
    EXPECT_GE(yes->width(), yes->sizeHint().width());
    EXPECT_GE(no->width(), no->sizeHint().width());
}
