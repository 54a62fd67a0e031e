#include "joiner/joinerwindow.h"

#include "app/endpoints.h"
#include "support/child.h"
#include "support/fakeplatform.h"
#include "support/tempfolder.h"
#include "widgets/playerstrip.h"
#include "widgets/statusbar.h"
#include "widgets/twips.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace velanote;
using velanote::testing::child;

namespace {

// Counts the moves a widget makes.
class MoveCounter : public QObject {
public:
    explicit MoveCounter(QWidget* w) { w->installEventFilter(this); }
    int moves = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Move) {
            ++moves;
        }
        return false;
    }
};

class JoinerWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = new JoinerWindow(ctx, &mainWindow);
        QObject::connect(form, &JoinerWindow::closed, &mainWindow, &QWidget::show);
        guard = form;
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
    }
    void TearDown() override { delete guard.data(); }

    QPushButton* button(const char* name) const { return child<QPushButton>(form, name); }
    QLabel* label(const char* name) const { return child<QLabel>(form, name); }
    QString status() const { return child<StatusBar>(form, "statusLine")->panelText(2); }
    void pick(QPushButton* button, const QString& path) {
        platform.dialogs.chooseNext(path);
        button->click();
    }
    // Chooses both inputs and the output through the pickers.
    void chooseAll(const QString& a, const QString& b, const QString& out) {
        pick(button("firstBrowseButton"), a);
        pick(button("secondBrowseButton"), b);
        pick(button("outputBrowseButton"), out);
    }

    fakes::FakePlatform platform;
    fakes::TempProgramFolder tmp;
    AppContext ctx{platform, tmp.folder(), Endpoints::forLocalService(0)};
    QWidget mainWindow;
    JoinerWindow* form = nullptr;
    QPointer<JoinerWindow> guard;
};

} // namespace

TEST_F(JoinerWindowTest, StartsEmptyWithTheDesignTimeTextsAndDialogs) {
    EXPECT_EQ(form->windowTitle(), "Vela.系列软件の声笺V6.0【星河】-音频整合工具");
    EXPECT_EQ(
        label("explanationLabel")->text(),
        "本工具主要是将两段音频分先后顺序整合合并为单一音频,并非混合,混合技术阿朔正在研发中，请大家耐心等待，"
        "谢谢，另外由于技术方面的限制，所以本工具只能整合本程序所生成的简短音频,大文件则将会整合失败!请注意!"
        "\n\nPS:整合前,请您检查两端音频的比特率与采样率是否一致,一致才可成功整合");
    EXPECT_EQ(child<StatusBar>(form, "statusLine")->panelCount(), 2);
    EXPECT_EQ(child<StatusBar>(form, "statusLine")->panelText(1), "运行状态：");
    EXPECT_EQ(status(), "请进行程序操作...");
    EXPECT_EQ(child<QProgressBar>(form, "progressBar")->minimum(), 0);
    EXPECT_EQ(child<QProgressBar>(form, "progressBar")->maximum(), 1000);
    EXPECT_EQ(child<QProgressBar>(form, "progressBar")->value(), 0);
    for (QPushButton* b :
         {button("firstBrowseButton"), button("secondBrowseButton"), button("outputBrowseButton")}) {
        EXPECT_EQ(b->text(), "浏览");
    }
    EXPECT_FALSE(button("outputBrowseButton")->isEnabled());
    EXPECT_TRUE(button("joinButton")->isEnabled());
    EXPECT_FALSE(button("findOutputButton")->isVisible());
    EXPECT_FALSE(child<QLineEdit>(form, "firstPathEdit")->isEnabled());
    EXPECT_EQ(label("firstSizeLabel")->text(), "(1)大小：未载入");
    EXPECT_EQ(label("secondSizeLabel")->text(), "(2)大小：未载入");
    EXPECT_EQ(label("estimateLabel")->text(), "预计合成后大小：未载入");
    EXPECT_EQ(platform.players.size(), 1);
    EXPECT_TRUE(form->outputFilePath().isEmpty());

    // The three dialogs with their titles, filters and calls.
    pick(button("firstBrowseButton"), "/x/1.mp3");
    pick(button("secondBrowseButton"), "/x/2.mp3");
    pick(button("outputBrowseButton"), "/x/3.mp3");
    ASSERT_EQ(platform.dialogs.calls.size(), 3);
    const QString filter = "MP3音频文件|*.mp3|WMA音频文件|*.wma|AVI音频文件|*.avi";
    EXPECT_EQ(platform.dialogs.calls[0].title, "请选择要合并的音频文件一(前半部分)");
    EXPECT_EQ(platform.dialogs.calls[1].title, "请选择要合并的音频文件二(后半部分)");
    EXPECT_EQ(platform.dialogs.calls[2].title, "请选择您要保存合成音频的路径");
    for (const auto& call : platform.dialogs.calls) {
        EXPECT_EQ(call.filter, filter);
    }
    EXPECT_FALSE(platform.dialogs.calls[0].save);
    EXPECT_FALSE(platform.dialogs.calls[1].save);
    EXPECT_TRUE(platform.dialogs.calls[2].save);
}

TEST_F(JoinerWindowTest, MissingPathsAreReportedInOrderAndTheRightButtonShakesBackIntoPlace) {
    ASSERT_TRUE(tmp.write("\\a.mp3", "AAAA"));
    ASSERT_TRUE(tmp.write("\\b.mp3", "BB"));
    const QPoint start1 = positionTwips(button("firstBrowseButton")),
                 pixels1 = button("firstBrowseButton")->pos();
    const QPoint start2 = positionTwips(button("secondBrowseButton")),
                 start4 = positionTwips(button("outputBrowseButton"));
    MoveCounter moves1(button("firstBrowseButton")), moves2(button("secondBrowseButton")),
        moves4(button("outputBrowseButton"));

    button("joinButton")->click();
    EXPECT_EQ(status(), "请选择您要合成的音频一(前半部分)");
    EXPECT_GE(moves1.moves, 600); // every move of every pass reached the screen
    EXPECT_EQ(moves2.moves, 0);
    EXPECT_EQ(positionTwips(button("firstBrowseButton")), start1);
    EXPECT_EQ(button("firstBrowseButton")->pos(), pixels1);

    pick(button("firstBrowseButton"), tmp.path("\\a.mp3"));
    button("joinButton")->click();
    EXPECT_EQ(status(), "请选择您要合成的音频一(后半部分)");
    EXPECT_GE(moves2.moves, 600);
    EXPECT_EQ(positionTwips(button("secondBrowseButton")), start2);

    pick(button("secondBrowseButton"), tmp.path("\\b.mp3"));
    button("joinButton")->click();
    EXPECT_EQ(status(), "请选择您要保存的音频路径...");
    EXPECT_GE(moves4.moves, 600);
    EXPECT_EQ(positionTwips(button("outputBrowseButton")), start4);
    EXPECT_TRUE(platform.boxes.shown.isEmpty());
    EXPECT_EQ(child<QProgressBar>(form, "progressBar")->value(), 0);

    // The request for a path follows the paths: file one cleared, it asks for file one again; once
    // all three are there, it goes.
    platform.boxes.answerNext(MessageBoxAnswer::Yes);
    button("firstBrowseButton")->click();
    EXPECT_EQ(status(), "请选择您要合成的音频一(前半部分)");
    pick(button("firstBrowseButton"), tmp.path("\\a.mp3"));
    EXPECT_EQ(status(), "请选择您要保存的音频路径...");
    pick(button("outputBrowseButton"), tmp.path("\\out.mp3"));
    EXPECT_EQ(status(), "请进行程序操作...");
}

TEST_F(JoinerWindowTest, SizeTestMeasuresBothFilesInWholeKilobytes) {
    ASSERT_TRUE(tmp.write("\\limit.mp3", QByteArray(205823, 'l')));
    ASSERT_TRUE(tmp.write("\\over.mp3", QByteArray(205824, 'o')));
    ASSERT_TRUE(tmp.write("\\exact.mp3", QByteArray(204800, 'e')));
    const QString out = tmp.path("\\out.mp3");

    chooseAll(tmp.path("\\exact.mp3"), tmp.path("\\over.mp3"), out);
    EXPECT_EQ(label("firstSizeLabel")->text(), "(1)大小：200KB");
    EXPECT_EQ(label("secondSizeLabel")->text(), "(2)大小：201KB");
    EXPECT_EQ(label("estimateLabel")->text(), "预计合成后大小：401KB");
    button("joinButton")->click();
    EXPECT_EQ(status(), "请选择200K以下的音频文件进行整合...");
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_EQ(child<QLineEdit>(form, "firstPathEdit")->text(), tmp.path("\\exact.mp3")); // nothing changed
    EXPECT_TRUE(platform.boxes.shown.isEmpty());

    // Replace file two by the 205,823-byte file: the join goes ahead.
    platform.boxes.answerNext(MessageBoxAnswer::Yes);
    button("secondBrowseButton")->click();
    pick(button("secondBrowseButton"), tmp.path("\\limit.mp3"));
    EXPECT_EQ(label("secondSizeLabel")->text(), "(2)大小：200KB");
    pick(button("outputBrowseButton"), out);
    button("joinButton")->click();
    EXPECT_EQ(status(), "音频文件已合成成功!");
    EXPECT_EQ(QFile(out).size(), 204800 + 205823);
}

TEST_F(JoinerWindowTest, EndingsMustMatchExactlyIncludingCase) {
    ASSERT_TRUE(tmp.write("\\a.mp3", "AAA"));
    ASSERT_TRUE(tmp.write("\\b.MP3", "BBB"));
    const QString out = tmp.path("\\out.mp3");
    chooseAll(tmp.path("\\a.mp3"), tmp.path("\\b.MP3"), out);
    button("joinButton")->click();
    EXPECT_EQ(status(), "音频格式不同,无法进行整合...");
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_EQ(child<QProgressBar>(form, "progressBar")->value(), 0);
    EXPECT_TRUE(platform.boxes.shown.isEmpty());
}

TEST_F(JoinerWindowTest, OutputPickerFollowsBothInputsAndTheQuestionsClearPaths) {
    ASSERT_TRUE(tmp.write("\\a.mp3", QByteArray(qsizetype{3} * 1024 + 5, 'a')));
    ASSERT_TRUE(tmp.write("\\b.mp3", QByteArray(qsizetype{2} * 1024, 'b')));
    platform.dialogs.cancelNext();
    button("firstBrowseButton")->click(); // cancelled: nothing changes
    EXPECT_EQ(button("firstBrowseButton")->text(), "浏览");
    EXPECT_TRUE(child<QLineEdit>(form, "firstPathEdit")->text().isEmpty());

    pick(button("firstBrowseButton"), tmp.path("\\a.mp3"));
    EXPECT_EQ(button("firstBrowseButton")->text(), "已选择");
    EXPECT_EQ(label("firstSizeLabel")->text(), "(1)大小：3KB");
    EXPECT_FALSE(button("outputBrowseButton")->isEnabled());
    pick(button("secondBrowseButton"), tmp.path("\\b.mp3"));
    EXPECT_TRUE(button("outputBrowseButton")->isEnabled());
    EXPECT_EQ(button("outputBrowseButton")->text(), "浏览");
    pick(button("outputBrowseButton"), tmp.path("\\out.mp3"));
    EXPECT_EQ(button("outputBrowseButton")->text(), "已选择");
    EXPECT_EQ(label("estimateLabel")->text(), "预计合成后大小：5KB");

    // A press on "已选择" asks; No keeps everything, and no dialog opens.
    const qsizetype dialogCalls = platform.dialogs.calls.size();
    platform.boxes.answerNext(MessageBoxAnswer::No);
    button("secondBrowseButton")->click();
    ASSERT_EQ(platform.boxes.shown.size(), 1);
    EXPECT_EQ(platform.boxes.shown[0].prompt, "您已选择音频,是否要更换?");
    EXPECT_EQ(platform.boxes.shown[0].style, MessageBoxStyle::YesNoInformation);
    EXPECT_EQ(platform.boxes.shown[0].title, "Tomo阿朔");
    EXPECT_EQ(child<QLineEdit>(form, "secondPathEdit")->text(), tmp.path("\\b.mp3"));
    EXPECT_TRUE(button("outputBrowseButton")->isEnabled());

    // Yes clears file two and takes the output picker back with its path.
    platform.boxes.answerNext(MessageBoxAnswer::Yes);
    button("secondBrowseButton")->click();
    EXPECT_EQ(platform.dialogs.calls.size(), dialogCalls);
    EXPECT_TRUE(child<QLineEdit>(form, "secondPathEdit")->text().isEmpty());
    EXPECT_EQ(button("secondBrowseButton")->text(), "浏览");
    EXPECT_EQ(label("secondSizeLabel")->text(), "(2)大小：未载入");
    EXPECT_FALSE(button("outputBrowseButton")->isEnabled());
    EXPECT_EQ(button("outputBrowseButton")->text(), "浏览");
    EXPECT_EQ(label("estimateLabel")->text(), "预计合成后大小：未载入");
    EXPECT_TRUE(child<QLineEdit>(form, "outputPathEdit")->text().isEmpty());

    // Choosing file two again enables it; clearing the output asks its own question.
    pick(button("secondBrowseButton"), tmp.path("\\b.mp3"));
    EXPECT_TRUE(button("outputBrowseButton")->isEnabled());
    pick(button("outputBrowseButton"), tmp.path("\\out2.mp3"));
    EXPECT_EQ(button("outputBrowseButton")->text(), "已选择");
    platform.boxes.answerNext(MessageBoxAnswer::Yes);
    button("outputBrowseButton")->click();
    EXPECT_EQ(platform.boxes.shown.last().prompt, "您已选择保存路径,是否要更换?");
    EXPECT_EQ(platform.boxes.shown.last().title, "Tomo阿朔");
    EXPECT_TRUE(child<QLineEdit>(form, "outputPathEdit")->text().isEmpty());
    EXPECT_EQ(button("outputBrowseButton")->text(), "浏览");
    EXPECT_EQ(label("estimateLabel")->text(), "预计合成后大小：未载入");
    EXPECT_EQ(platform.boxes.unexpected, 0);
}

TEST_F(JoinerWindowTest, JoinWritesBothFilesInOrderAndResetsTheTool) {
    QByteArray first(120000, '\0'), second(70001, '\0');
    for (int i = 0; i < first.size(); ++i) {
        first[i] = char(i % 251);
    }
    for (int i = 0; i < second.size(); ++i) {
        second[i] = char(255 - i % 241);
    }
    // Blanks and Chinese in the paths are no problem for an in-process join.
    ASSERT_TRUE(tmp.write("\\音 频\\第 一.mp3", first));
    ASSERT_TRUE(tmp.write("\\音 频\\第 二.mp3", second));
    const QString out = tmp.path("\\音 频\\合 成.mp3");
    chooseAll(tmp.path("\\音 频\\第 一.mp3"), tmp.path("\\音 频\\第 二.mp3"), out);

    QList<int> progress;
    QObject::connect(child<QProgressBar>(form, "progressBar"), &QProgressBar::valueChanged,
                     [&](int v) { progress.append(v); });
    bool fileWhenAsked = false;
    QString statusWhenAsked;
    bool locatorWhenAsked = false;
    platform.boxes.onShow = [&](const fakes::ShownBox&) {
        fileWhenAsked = QFile(out).size() == first.size() + second.size();
        statusWhenAsked = status();
        locatorWhenAsked = button("findOutputButton")->isVisible();
    };
    platform.boxes.answerNext(MessageBoxAnswer::Yes);
    button("joinButton")->click();

    EXPECT_EQ(tmp.read("\\音 频\\合 成.mp3"), first + second);
    ASSERT_EQ(progress.size(), 1000);
    EXPECT_EQ(progress.first(), 1);
    EXPECT_EQ(progress.last(), 1000);
    ASSERT_EQ(platform.boxes.shown.size(), 1);
    EXPECT_EQ(platform.boxes.shown[0].prompt, "音频文件已合成成功!是否试听?");
    EXPECT_EQ(platform.boxes.shown[0].style, MessageBoxStyle::YesNoInformation);
    EXPECT_EQ(platform.boxes.shown[0].title, "Tomo阿朔提示");
    EXPECT_TRUE(fileWhenAsked);
    EXPECT_EQ(statusWhenAsked, "音频文件已合成成功!");
    EXPECT_TRUE(locatorWhenAsked);

    EXPECT_EQ(form->outputFilePath(), out);
    EXPECT_EQ(platform.players[0]->URL(), out);
    // The preview shows on the window's player strip, below the explanation, and stops there.
    ASSERT_NE(child<PlayerStrip>(form, "playerStrip"), nullptr);
    EXPECT_TRUE(child<PlayerStrip>(form, "playerStrip")->isVisible());
    EXPECT_TRUE(child<PlayerStrip>(form, "playerStrip")->isPolling());
    EXPECT_EQ(child<PlayerStrip>(form, "playerStrip")->nameLabel()->text(), "合 成.mp3");
    EXPECT_GT(child<PlayerStrip>(form, "playerStrip")->y(), child<QFrame>(form, "bottomLine")->y());
    EXPECT_LT(child<PlayerStrip>(form, "playerStrip")->geometry().bottom(),
              child<StatusBar>(form, "statusLine")->y());
    child<PlayerStrip>(form, "playerStrip")->stopButton()->click();
    EXPECT_EQ(platform.players[0]->URL(), out);
    EXPECT_FALSE(child<PlayerStrip>(form, "playerStrip")->isPolling());
    EXPECT_TRUE(child<QLineEdit>(form, "firstPathEdit")->text().isEmpty());
    EXPECT_TRUE(child<QLineEdit>(form, "secondPathEdit")->text().isEmpty());
    EXPECT_TRUE(child<QLineEdit>(form, "outputPathEdit")->text().isEmpty());
    for (QPushButton* b :
         {button("firstBrowseButton"), button("secondBrowseButton"), button("outputBrowseButton")}) {
        EXPECT_EQ(b->text(), "浏览");
    }
    EXPECT_FALSE(button("outputBrowseButton")->isEnabled());
    EXPECT_TRUE(button("joinButton")->isEnabled());
    EXPECT_EQ(label("firstSizeLabel")->text(), "(1)大小：未载入");
    EXPECT_EQ(label("secondSizeLabel")->text(), "(2)大小：未载入");
    EXPECT_EQ(label("estimateLabel")->text(), "预计合成后大小：未载入");
    ASSERT_TRUE(button("findOutputButton")->isVisible());
    EXPECT_EQ(positionTwips(button("findOutputButton")).y(),
              positionTwips(child<StatusBar>(form, "statusLine")).y() + 100);
    // Drawn over the status bar, inside the window.
    EXPECT_TRUE(
        child<StatusBar>(form, "statusLine")->geometry().intersects(button("findOutputButton")->geometry()));
    EXPECT_TRUE(form->rect().contains(button("findOutputButton")->geometry()));

    // The locator shows the file, or warns once it is gone.
    button("findOutputButton")->click();
    EXPECT_EQ(platform.shellFake.shownFiles, QStringList{out});
    ASSERT_TRUE(QFile::remove(out));
    button("findOutputButton")->click();
    EXPECT_EQ(platform.shellFake.shownFiles.size(), 1);
    EXPECT_EQ(platform.boxes.shown.last().prompt, "未找到合成音信文件!可能已被删除!请您检查!");
    EXPECT_EQ(platform.boxes.shown.last().style, MessageBoxStyle::OkExclamation);
    EXPECT_EQ(platform.boxes.shown.last().title, "Tomo阿朔提示");
}

TEST_F(JoinerWindowTest, NoToThePreviewPlaysNothing) {
    ASSERT_TRUE(tmp.write("\\a.mp3", "front"));
    ASSERT_TRUE(tmp.write("\\b.mp3", "back"));
    chooseAll(tmp.path("\\a.mp3"), tmp.path("\\b.mp3"), tmp.path("\\out.mp3"));
    platform.boxes.answerNext(MessageBoxAnswer::No);
    button("joinButton")->click();
    EXPECT_EQ(tmp.read("\\out.mp3"), "frontback");
    EXPECT_TRUE(platform.players[0]->urlHistory.isEmpty());
}

TEST_F(JoinerWindowTest, OutputEqualToAnInputIsRefused) {
    ASSERT_TRUE(tmp.write("\\a.mp3", "front"));
    ASSERT_TRUE(tmp.write("\\b.mp3", "back"));
    chooseAll(tmp.path("\\a.mp3"), tmp.path("\\b.mp3"), tmp.folder().path() + "/./b.mp3");
    button("joinButton")->click();
    EXPECT_EQ(status(), "保存路径不能与音频文件相同!请重新选择..");
    EXPECT_EQ(tmp.read("\\a.mp3"), "front");
    EXPECT_EQ(tmp.read("\\b.mp3"), "back");
    EXPECT_TRUE(platform.boxes.shown.isEmpty());
    EXPECT_FALSE(button("findOutputButton")->isVisible());
    EXPECT_EQ(button("joinButton")->isEnabled(), true);
    EXPECT_EQ(child<QLineEdit>(form, "outputPathEdit")->text(), tmp.folder().path() + "/./b.mp3");
}

TEST_F(JoinerWindowTest, MissingInputOrFailedWriteReportsFailureAndKeepsThePaths) {
    ASSERT_TRUE(tmp.write("\\a.mp3", "front"));
    ASSERT_TRUE(tmp.write("\\b.mp3", "back"));
    ASSERT_TRUE(tmp.write("\\plain.txt", "not a folder"));
    // A first join makes the locator visible; failures later must leave it as it is.
    platform.boxes.answerNext(MessageBoxAnswer::No);
    chooseAll(tmp.path("\\a.mp3"), tmp.path("\\b.mp3"), tmp.path("\\first.mp3"));
    button("joinButton")->click();
    ASSERT_TRUE(button("findOutputButton")->isVisible());
    qsizetype boxes = 0;
    auto join = [&] {
        boxes = platform.boxes.shown.size();
        button("joinButton")->click();
    };
    auto expectFailureKept = [&](const QString& a, const QString& b, const QString& out) {
        EXPECT_EQ(status(), "音频文件合成失败!请检查文件路径..");
        EXPECT_EQ(platform.boxes.shown.size(), boxes);
        EXPECT_TRUE(button("findOutputButton")->isVisible());
        EXPECT_EQ(form->outputFilePath(), tmp.path("\\first.mp3"));
        EXPECT_TRUE(button("joinButton")->isEnabled());
        EXPECT_EQ(child<QLineEdit>(form, "firstPathEdit")->text(), a);
        EXPECT_EQ(child<QLineEdit>(form, "secondPathEdit")->text(), b);
        EXPECT_EQ(child<QLineEdit>(form, "outputPathEdit")->text(), out);
        EXPECT_EQ(button("firstBrowseButton")->text(), "已选择");
        EXPECT_FALSE(QFile::exists(out));
    };

    // An input deleted after it was chosen.
    chooseAll(tmp.path("\\a.mp3"), tmp.path("\\b.mp3"), tmp.path("\\second.mp3"));
    ASSERT_TRUE(QFile::remove(tmp.path("\\b.mp3")));
    join();
    expectFailureKept(tmp.path("\\a.mp3"), tmp.path("\\b.mp3"), tmp.path("\\second.mp3"));
    // The size lines say so when the path is chosen again; never a crash, never a join.
    platform.boxes.answerNext(MessageBoxAnswer::Yes);
    button("secondBrowseButton")->click();
    pick(button("secondBrowseButton"), tmp.path("\\b.mp3"));
    EXPECT_EQ(label("secondSizeLabel")->text(), "(2)大小：文件不存在");
    pick(button("outputBrowseButton"), tmp.path("\\third.mp3"));
    EXPECT_EQ(label("estimateLabel")->text(), "预计合成后大小：无法估算");
    ASSERT_TRUE(tmp.write("\\b.mp3", "back"));

    // The output's folder does not exist.
    platform.boxes.answerNext(MessageBoxAnswer::Yes);
    button("outputBrowseButton")->click();
    pick(button("outputBrowseButton"), tmp.path("\\missing\\out.mp3"));
    join();
    expectFailureKept(tmp.path("\\a.mp3"), tmp.path("\\b.mp3"), tmp.path("\\missing\\out.mp3"));
    EXPECT_EQ(child<QProgressBar>(form, "progressBar")->value(), 0);

    // The output's "folder" is an ordinary file (even root cannot write there).
    platform.boxes.answerNext(MessageBoxAnswer::Yes);
    button("outputBrowseButton")->click();
    pick(button("outputBrowseButton"), tmp.path("\\plain.txt\\out.mp3"));
    join();
    expectFailureKept(tmp.path("\\a.mp3"), tmp.path("\\b.mp3"), tmp.path("\\plain.txt\\out.mp3"));
    EXPECT_EQ(tmp.read("\\plain.txt"), "not a folder");
}

TEST_F(JoinerWindowTest, ClosingShowsTheMainWindowAndReleasesTheTool) {
    mainWindow.hide();
    form->close();
    EXPECT_TRUE(mainWindow.isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull());
}

TEST_F(JoinerWindowTest, LocatorFitsOnTheStatusBarUnderTheSkinsButtonHeight) {
    // The skin gives every button a minimum height; the locator still ends inside the window.
    const QString previous = qApp->styleSheet();
    qApp->setStyleSheet("QPushButton { min-height: 18px; padding: 4px 12px; border: 1px solid gray; }");
    ASSERT_TRUE(tmp.write("\\a.mp3", "front"));
    ASSERT_TRUE(tmp.write("\\b.mp3", "back"));
    chooseAll(tmp.path("\\a.mp3"), tmp.path("\\b.mp3"), tmp.path("\\out.mp3"));
    platform.boxes.answerNext(MessageBoxAnswer::No);
    button("joinButton")->click();
    ASSERT_TRUE(button("findOutputButton")->isVisible());
    const QRect locator = button("findOutputButton")->geometry();
    qApp->setStyleSheet(previous);
    EXPECT_EQ(positionTwips(button("findOutputButton")).y(),
              positionTwips(child<StatusBar>(form, "statusLine")).y() + 100);
    EXPECT_LE(locator.bottom(), child<StatusBar>(form, "statusLine")->geometry().bottom());
    EXPECT_TRUE(form->rect().contains(locator));
}

TEST_F(JoinerWindowTest, ChoosingTheSameOutputAgainMarksThePickerChosen) {
    ASSERT_TRUE(tmp.write("\\a.mp3", QByteArray(2048, 'a')));
    ASSERT_TRUE(tmp.write("\\b.mp3", QByteArray(1024, 'b')));
    const QString out = tmp.path("\\out.mp3");
    chooseAll(tmp.path("\\a.mp3"), tmp.path("\\b.mp3"), out);
    // Clearing file two takes the output picker back with its path.
    platform.boxes.answerNext(MessageBoxAnswer::Yes);
    button("secondBrowseButton")->click();
    ASSERT_EQ(button("outputBrowseButton")->text(), "浏览");
    ASSERT_TRUE(child<QLineEdit>(form, "outputPathEdit")->text().isEmpty());
    pick(button("secondBrowseButton"), tmp.path("\\b.mp3"));
    pick(button("outputBrowseButton"), out);
    EXPECT_EQ(button("outputBrowseButton")->text(), "已选择");
    EXPECT_EQ(label("estimateLabel")->text(), "预计合成后大小：3KB");
}
