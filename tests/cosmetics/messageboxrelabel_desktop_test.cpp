#include "cosmetics/messageboxrelabel.h"
#include "platform/platform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

using namespace velanote;

namespace {

const QString Hooked = QStringLiteral("Vela系列软件");
const QString Yes = QStringLiteral("是(&Y)");
const QString No = QStringLiteral("否(&N)");
const QString NewYes = QStringLiteral("重新设置音频");
const QString NewNo = QStringLiteral("使用原有音频");

// What the user saw on the program's real message box and what it answered.
struct Shown {
    QStringList captions;
    MessageBoxAnswer answer = MessageBoxAnswer::Ok;
};

// Shows a box through the real desktop platform and, once it is on screen, notes its button
// captions and clicks the button whose caption is `press`.
class DesktopBoxRelabelling : public ::testing::Test {
protected:
    void SetUp() override { MessageBoxRelabel::targetTitle = Hooked; }
    void TearDown() override { MessageBoxRelabel::remove(); }

    Shown ask(MessageBoxStyle style, const QString& title, const QString& press) {
        Shown shown;
        QObject guard;
        QTimer::singleShot(5000, &guard, [] { // never hang the suite
            if (QWidget* modal = QApplication::activeModalWidget()) {
                modal->close();
            }
        });
        QTimer::singleShot(0, &guard, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                return;
            }
            QAbstractButton* target = nullptr;
            for (QAbstractButton* button : box->buttons()) {
                shown.captions.append(button->text());
                if (button->text() == press) {
                    target = button;
                }
            }
            if (target != nullptr) {
                target->click();
            } else {
                box->reject();
            }
        });
        shown.answer = platform->messageBox().show(
            QStringLiteral("程序检测:您已设置过前缀音频,现在该如何进行操作?"), style, title);
        shown.captions.sort();
        return shown;
    }

    static QStringList sorted(QStringList list) {
        list.sort();
        return list;
    }

    std::unique_ptr<Platform> platform = createDesktopPlatform();
};

} // namespace

TEST_F(DesktopBoxRelabelling, RelabelsTheHookedQuestionAndKeepsItsAnswers) {
    MessageBoxRelabel::install();

    Shown shown = ask(MessageBoxStyle::YesNoInformation, Hooked, NewNo);
    EXPECT_EQ(shown.captions, sorted({NewYes, NewNo}));
    EXPECT_EQ(shown.answer, MessageBoxAnswer::No);

    shown = ask(MessageBoxStyle::YesNoInformation, Hooked, NewYes);
    EXPECT_EQ(shown.captions, sorted({NewYes, NewNo}));
    EXPECT_EQ(shown.answer, MessageBoxAnswer::Yes);

    // A third button keeps its caption and its answer.
    shown = ask(MessageBoxStyle::YesNoCancelInformation, Hooked, QStringLiteral("取消"));
    EXPECT_EQ(shown.captions, sorted({NewYes, NewNo, QStringLiteral("取消")}));
    EXPECT_EQ(shown.answer, MessageBoxAnswer::Cancel);
    shown = ask(MessageBoxStyle::OkInformation, Hooked, QStringLiteral("确定"));
    EXPECT_EQ(shown.captions, QStringList{QStringLiteral("确定")});
    EXPECT_EQ(shown.answer, MessageBoxAnswer::Ok);

    // A box with another title keeps the system captions.
    shown = ask(MessageBoxStyle::YesNoInformation, QStringLiteral("Tomo阿朔提示"), No);
    EXPECT_EQ(shown.captions, sorted({Yes, No}));
    EXPECT_EQ(shown.answer, MessageBoxAnswer::No);
}

TEST_F(DesktopBoxRelabelling, NothingIsRelabelledOnceTheHookIsRemoved) {
    MessageBoxRelabel::install();
    MessageBoxRelabel::install();
    MessageBoxRelabel::remove();
    Shown shown = ask(MessageBoxStyle::YesNoInformation, Hooked, No);
    EXPECT_EQ(shown.captions, sorted({Yes, No}));
    EXPECT_EQ(shown.answer, MessageBoxAnswer::No);

    // Installed again for one question and removed after it, as the prefix switch does.
    MessageBoxRelabel::install();
    EXPECT_EQ(ask(MessageBoxStyle::YesNoInformation, Hooked, NewYes).answer, MessageBoxAnswer::Yes);
    MessageBoxRelabel::remove();
    shown = ask(MessageBoxStyle::YesNoCancelInformation, Hooked, Yes);
    EXPECT_EQ(shown.captions, sorted({Yes, No, QStringLiteral("取消")}));
    EXPECT_EQ(shown.answer, MessageBoxAnswer::Yes);
}
