#include "platform/desktopfiledialogs.h"
#include "platform/desktopmessagebox.h"
#include "scratchfolder.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <gtest/gtest.h>

#include <functional>

using namespace velanote;

namespace {

// Runs `act` on the first modal dialog of type T that appears, from the event loop of its exec().
template <typename T> void whenShown(std::function<void(T*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, act] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible()) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        act(dialog);
        // Should the action leave the dialog open, close it later so the test fails instead of hanging.
        QTimer::singleShot(10000, dialog, [dialog] { dialog->reject(); });
    });
    timer->start();
}

// Types a name into a file dialog as the user would, and presses Enter.
void typeName(QFileDialog* d, const QString& name) {
    d->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(d));
    auto* edit = d->findChild<QLineEdit*>("fileNameEdit");
    edit->setFocus();
    edit->clear();
    QTest::keyClicks(edit, name);
    QTest::keyClick(edit, Qt::Key_Return);
}

QStringList captionsOf(QMessageBox* box) {
    QStringList captions;
    for (QAbstractButton* b : box->buttons()) {
        auto* push = qobject_cast<QPushButton*>(b);
        captions.append(push != nullptr ? push->text() : QStringLiteral("<not a push button>"));
    }
    captions.sort();
    return captions;
}

QPushButton* buttonWithText(QMessageBox* box, const QString& text) {
    for (QPushButton* b : box->findChildren<QPushButton*>()) {
        if (b->text() == text) {
            return b;
        }
    }
    return nullptr;
}

struct Seen {
    QString title;
    QString text;
    QStringList captions;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool modal = false;
};

// Shows a real box, records what it looked like and presses `caption` (or Esc / the close box).
int answerBox(int style, const QString& caption, Seen& seen, QWidget* parent = nullptr) {
    whenShown<QMessageBox>([&seen, caption](QMessageBox* box) {
        seen = {box->windowTitle(), box->text(), captionsOf(box), box->icon(), box->isModal()};
        QPushButton* button = caption == "close" ? nullptr : buttonWithText(box, caption);
        if (caption == "Esc") {
            QTest::keyClick(box, Qt::Key_Escape);
        } else if (button != nullptr) {
            QTest::mouseClick(button, Qt::LeftButton);
        } else {
            box->close(); // "close", or a caption the box does not have
        }
    });
    DesktopMessageBox boxes;
    return static_cast<int>(boxes.show(QStringLiteral("您确定要退出吗?"), static_cast<MessageBoxStyle>(style),
                                       QStringLiteral("Vela系列软件"), parent));
}

} // namespace

TEST(FileFilter, PairsBecomeQtFiltersWithoutRepeatingAPatternTheDescriptionShows) {
    EXPECT_EQ(qtFileFilter("(MP3音频文件)|*.mp3"), "(MP3音频文件) (*.mp3)");
    EXPECT_EQ(qtFileFilter("音频文件(*.mp3)|*.mp3"), "音频文件(*.mp3)");
    EXPECT_EQ(qtFileFilter("(MP3音频文件)|*.MP3"), "(MP3音频文件) (*.MP3)");
    EXPECT_EQ(qtFileFilter("MP3音频文件|*.mp3|WMA音频文件|*.wma|AVI音频文件|*.avi"),
              "MP3音频文件 (*.mp3);;WMA音频文件 (*.wma);;AVI音频文件 (*.avi)");
    EXPECT_EQ(qtFileFilter("Audio|*.mp3;*.wav"), "Audio (*.mp3 *.wav)");
    EXPECT_EQ(qtFileFilter("Audio (*.mp3;*.wav)|*.mp3;*.wav"), "Audio (*.mp3 *.wav)");
    EXPECT_EQ(qtFileFilter("Everything|"), "Everything (*)");
    EXPECT_EQ(qtFileFilter("Lonely"), "Lonely (*)");
    EXPECT_EQ(qtFileFilter(""), "");
}

TEST(FileDialogs, TheRealDialogReturnsTheChosenPathSuppliesTheSuffixAndReportsCancel) {
    scratch::ScratchFolder folder;
    ASSERT_TRUE(folder.write("old.mp3", "x"));
    ASSERT_TRUE(folder.write("song.mp3", "x"));
    DesktopFileDialogs dialogs;

    QString seenTitle;
    QStringList seenFilters;
    QString seenName;
    bool preselected = false;
    whenShown<QFileDialog>([&](QFileDialog* d) {
        seenTitle = d->windowTitle();
        seenFilters = d->nameFilters();
        auto* edit = d->findChild<QLineEdit*>("fileNameEdit");
        seenName = edit->text();
        // The folder is listed in the background; the offered name is selected once it is.
        auto* view = d->findChild<QListView*>("listView");
        preselected = QTest::qWaitFor([view] { return view->selectionModel()->hasSelection(); }, 5000);
        typeName(d, "greeting");
    });
    auto saved = dialogs.saveFileName(nullptr, QStringLiteral("请选择您要保存的音信文件路径"),
                                      QStringLiteral("(MP3音频文件)|*.mp3"), folder.path("old.mp3"));
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(*saved, folder.path("greeting.mp3"));
    EXPECT_EQ(seenTitle, QStringLiteral("请选择您要保存的音信文件路径"));
    EXPECT_EQ(seenFilters, QStringList{QStringLiteral("(MP3音频文件) (*.mp3)")});
    EXPECT_EQ(seenName, "old.mp3");
    EXPECT_TRUE(preselected);

    whenShown<QFileDialog>([&](QFileDialog* d) { typeName(d, folder.path("song.mp3")); });
    EXPECT_EQ(dialogs.openFileName(nullptr, "open", "MP3音频文件|*.mp3", {}), folder.path("song.mp3"));

    whenShown<QFileDialog>([](QFileDialog* d) { d->reject(); });
    EXPECT_EQ(dialogs.openFileName(nullptr, "open", "MP3音频文件|*.mp3", folder.path("song.mp3")),
              std::nullopt);
}

TEST(FileDialogs, TheFileTypeCaptionShowsItsKeyAndAltTReachesTheTypeList) {
    DesktopFileDialogs dialogs;
    QString shownCaption;
    bool typeListFocused = false;
    whenShown<QFileDialog>([&](QFileDialog* d) {
        d->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(d));
        auto* label = d->findChild<QLabel*>("fileTypeLabel");
        auto* combo = d->findChild<QComboBox*>("fileTypeCombo");
        ASSERT_NE(label, nullptr);
        ASSERT_NE(combo, nullptr);
        // A caption whose "&" is not a key is drawn with the "&" in it.
        EXPECT_TRUE(QTest::qWaitFor([label] { return label->buddy() != nullptr; }, 2000));
        shownCaption = label->text();
        EXPECT_EQ(label->buddy(), combo);
        QTest::keyClick(d, Qt::Key_T, Qt::AltModifier);
        typeListFocused = QTest::qWaitFor([combo] { return combo->hasFocus(); }, 2000);
        d->reject();
    });
    EXPECT_EQ(dialogs.saveFileName(nullptr, "save", "(MP3音频文件)|*.mp3", {}), std::nullopt);
    EXPECT_EQ(shownCaption, QStringLiteral("保存类型(&T):"));
    EXPECT_TRUE(typeListFocused);
}

// In the detail view every column shows its whole text ("246.5 KiB", not "246.…"), and the dialog
// is wide enough for every column.
TEST(FileDialogs, TheDetailViewShowsWholeSizesAndDates) {
    scratch::ScratchFolder folder;
    ASSERT_TRUE(folder.write("MINE2.MP3", QByteArray(252416, 'x')));
    DesktopFileDialogs dialogs;
    whenShown<QFileDialog>([&](QFileDialog* d) {
        auto* view = d->findChild<QTreeView*>("treeView");
        ASSERT_NE(view, nullptr);
        QAbstractItemModel* model = view->model();
        EXPECT_TRUE(QTest::qWaitFor([&] { return model->rowCount(view->rootIndex()) == 1; }, 5000));
        const int margin = view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
        for (int column = 0; column < 4; ++column) {
            const QString text = model->index(0, column, view->rootIndex()).data().toString();
            EXPECT_GE(view->header()->sectionSize(column),
                      view->fontMetrics().horizontalAdvance(text) + 2 * margin + (column == 0 ? 20 : 0))
                << text.toStdString();
        }
        EXPECT_GE(view->viewport()->width(), view->header()->length());
        d->reject();
    });
    EXPECT_EQ(dialogs.openFileName(nullptr, "open", "(MP3音频文件)|*.MP3", folder.path("MINE2.MP3")),
              std::nullopt);
}

TEST(MessageBox, ButtonsCarryTheProgramsCaptionsAndAnswerWithTheirCodes) {
    const QString ok = QStringLiteral("确定"), yes = QStringLiteral("是(&Y)"), no = QStringLiteral("否(&N)"),
                  cancel = QStringLiteral("取消");
    Seen seen;
    EXPECT_EQ(answerBox(48, ok, seen), 1);
    EXPECT_EQ(seen.title, QStringLiteral("Vela系列软件"));
    EXPECT_EQ(seen.text, QStringLiteral("您确定要退出吗?"));
    EXPECT_EQ(seen.captions, QStringList{ok});
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
    EXPECT_TRUE(seen.modal);

    EXPECT_EQ(answerBox(64, ok, seen), 1);
    EXPECT_EQ(seen.icon, QMessageBox::Information);
    EXPECT_EQ(answerBox(64, "Esc", seen), 1);

    EXPECT_EQ(answerBox(68, yes, seen), 6);
    EXPECT_EQ(seen.captions, (QStringList{no, yes}));
    EXPECT_EQ(seen.icon, QMessageBox::Information);
    EXPECT_EQ(answerBox(68, no, seen), 7);
    EXPECT_EQ(answerBox(68, "Esc", seen), 7);
    EXPECT_EQ(answerBox(68, "close", seen), 7);

    EXPECT_EQ(answerBox(67, yes, seen), 6);
    EXPECT_EQ(seen.captions, (QStringList{cancel, no, yes}));
    EXPECT_EQ(answerBox(67, no, seen), 7);
    EXPECT_EQ(answerBox(67, cancel, seen), 2);
    EXPECT_EQ(answerBox(67, "Esc", seen), 2);
    EXPECT_EQ(answerBox(67, "close", seen), 2);
}

TEST(MessageBox, TheBoxBelongsToTheGivenWindow) {
    QWidget owner;
    owner.show();
    QWidget* parentSeen = nullptr;
    whenShown<QMessageBox>([&parentSeen](QMessageBox* box) {
        parentSeen = box->parentWidget();
        box->close();
    });
    DesktopMessageBox boxes;
    EXPECT_EQ(boxes.show("text", MessageBoxStyle::OkInformation, "title", &owner), MessageBoxAnswer::Ok);
    EXPECT_EQ(parentSeen, &owner);
}

// A window manager's title bar also holds the window's icon and its buttons; a box sized to a short
// text alone cut its title off.
TEST(MessageBox, TheBoxIsWideEnoughForItsWholeTitle) {
    for (const QString& title : {QStringLiteral("Tomo阿朔提示"), QStringLiteral("Vela系列软件"),
                                 QStringLiteral("Vela系列软件の声笺V6.0【星河】")}) {
        int width = 0;
        int titleWidth = 0;
        whenShown<QMessageBox>([&](QMessageBox* box) {
            QFont bold = box->font();
            bold.setBold(true);
            titleWidth = QFontMetrics(bold).horizontalAdvance(title);
            width = box->width();
            box->close();
        });
        DesktopMessageBox boxes;
        boxes.show(QStringLiteral("好"), MessageBoxStyle::OkInformation, title);
        EXPECT_GE(width, titleWidth + 120) << title.toStdString();
    }
}
