// The prefix switch's question on the desktop's own message box, with the relabelling installed:
// what the user sees and what each button answers.
#include "app/inifile.h"
#include "cosmetics/messageboxrelabel.h"
#include "platform/desktopmessagebox.h"
#include "prefix/prefixswitch.h"
#include "prefix/prefixwindow.h"
#include "prefixfixture.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

using namespace velanote;
using velanote::testing::child;

namespace {

const QString kTitle = QStringLiteral("Vela系列软件");
const QString kQuestion = QStringLiteral("程序检测:您已设置过前缀音频,现在该如何进行操作?");

// What one real message box showed and what it answered.
struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList captions; // sorted
    MessageBoxAnswer answer = MessageBoxAnswer::Ok;
};

// The real message box, recording the answer each box returned.
class RecordingMessageBox : public MessageBoxService {
public:
    MessageBoxAnswer show(const QString& prompt, MessageBoxStyle style, const QString& title,
                          QWidget* parent = nullptr) override {
        const MessageBoxAnswer answer = real.show(prompt, style, title, parent);
        answers.append(answer);
        return answer;
    }
    DesktopMessageBox real;
    QList<MessageBoxAnswer> answers;
};

class RealBoxPlatform : public fakes::FakePlatform {
public:
    MessageBoxService& messageBox() override { return recorder; }
    RecordingMessageBox recorder;
};

// Watches for message boxes on screen and clicks the button with the next scripted caption.
// A box the script does not cover is closed with Esc so the suite never hangs.
class BoxClicker : public QObject {
public:
    BoxClicker() {
        timer_.setInterval(10);
        connect(&timer_, &QTimer::timeout, this, &BoxClicker::look);
        timer_.start();
    }
    void clickNext(const QString& caption) { script_.append(caption); }

    QList<SeenBox> seen;
    int unscripted = 0;

private:
    void look() {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (box == nullptr || !box->isVisible() || handled_.contains(box)) {
                continue;
            }
            handled_.append(box);
            SeenBox s{box->windowTitle(), box->text(), box->icon(), {}, MessageBoxAnswer::Ok};
            QPushButton* target = nullptr;
            const QString wanted = script_.isEmpty() ? QString() : script_.takeFirst();
            for (QPushButton* b : box->findChildren<QPushButton*>()) {
                s.captions.append(b->text());
                if (b->text() == wanted) {
                    target = b;
                }
            }
            std::sort(s.captions.begin(), s.captions.end());
            seen.append(s);
            if (target != nullptr) {
                target->click();
            } else {
                ++unscripted;
                box->reject();
            }
        }
    }

    QTimer timer_;
    QStringList script_;
    QList<QPointer<QMessageBox>> handled_;
};

class PrefixQuestionTest : public prefixtest::PrefixFixture {
protected:
    PrefixQuestionTest() : realCtx{real, temp.folder(), Endpoints::forLocalService(0)} {
        prefixSwitch = new PrefixSwitch(realCtx, &mainWindow, &mainWindow);
        wire(*prefixSwitch);
    }
    ~PrefixQuestionTest() override { MessageBoxRelabel::remove(); }

    RealBoxPlatform real;
    AppContext realCtx;
    PrefixSwitch* prefixSwitch = nullptr;
    BoxClicker clicker;
};

TEST_F(PrefixQuestionTest, RealQuestionShowsTheProgramsCaptionsAndKeepsTheAnswerCodes) {
    temp.write("\\yx\\qz.mp3", jingleBytes(2));
    writeSetting("Information", "qzyp", "抒情旋律", ini());
    const QByteArray iniBefore = temp.read("\\velanote.ini");

    clicker.clickNext(QStringLiteral("确定"));
    clicker.clickNext(QStringLiteral("使用原有音频"));
    prefixCheck->setChecked(true);

    ASSERT_EQ(clicker.seen.size(), 2);
    EXPECT_EQ(clicker.seen[0].title, kTitle);
    EXPECT_EQ(clicker.seen[0].text, PrefixSwitch::usageText());
    EXPECT_EQ(clicker.seen[0].captions, QStringList{"确定"});
    EXPECT_EQ(clicker.seen[0].icon, QMessageBox::Information);
    const SeenBox& question = clicker.seen[1];
    EXPECT_EQ(question.title, kTitle);
    EXPECT_EQ(question.text, kQuestion);
    EXPECT_EQ(question.icon, QMessageBox::Information);
    EXPECT_EQ(question.captions, (QStringList{"使用原有音频", "重新设置音频"}));
    EXPECT_EQ(real.recorder.answers, (QList<MessageBoxAnswer>{MessageBoxAnswer::Ok, MessageBoxAnswer::No}));
    EXPECT_FALSE(MessageBoxRelabel::isInstalled());
    EXPECT_EQ(prefixSwitch->settingsWindow(), nullptr);
    EXPECT_TRUE(mainWindow.isVisible());
    EXPECT_TRUE(prefixCheck->isChecked());
    EXPECT_EQ(temp.read("\\yx\\qz.mp3"), jingleBytes(2));
    EXPECT_EQ(temp.read("\\velanote.ini"), iniBefore);

    // Ticking again asks again; "重新设置音频" answers Yes and opens the settings window.
    prefixCheck->setChecked(false);
    clicker.clickNext(QStringLiteral("确定"));
    clicker.clickNext(QStringLiteral("重新设置音频"));
    prefixCheck->setChecked(true);
    ASSERT_EQ(clicker.seen.size(), 4);
    EXPECT_EQ(clicker.seen[3].captions, (QStringList{"使用原有音频", "重新设置音频"}));
    EXPECT_EQ(real.recorder.answers.mid(2),
              (QList<MessageBoxAnswer>{MessageBoxAnswer::Ok, MessageBoxAnswer::Yes}));
    EXPECT_FALSE(MessageBoxRelabel::isInstalled());
    ASSERT_NE(prefixSwitch->settingsWindow(), nullptr);
    EXPECT_EQ(child<QLabel>(prefixSwitch->settingsWindow(), "storedLabel")->text(),
              "程序检测：您已设置过前缀音频为:抒情旋律");
    EXPECT_FALSE(mainWindow.isVisible());
    prefixSwitch->closeSettingsWindow();
    EXPECT_TRUE(mainWindow.isVisible());

    // With the question answered, a Yes/No box of the same title keeps the usual captions.
    clicker.clickNext(QStringLiteral("否(&N)"));
    EXPECT_EQ(real.recorder.show(kQuestion, MessageBoxStyle::YesNoInformation, kTitle, &mainWindow),
              MessageBoxAnswer::No);
    ASSERT_EQ(clicker.seen.size(), 5);
    EXPECT_EQ(clicker.seen[4].captions, (QStringList{"否(&N)", "是(&Y)"}));
    EXPECT_EQ(clicker.unscripted, 0);
}

} // namespace
