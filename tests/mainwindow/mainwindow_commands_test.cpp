// The maintenance and information commands of the main window's menu, and the audio repair.
#include "mainwindowfixture.h"

#include "app/resourcestore.h"
#include "generation/generationrun.h"
#include "mainwindow/mainwindowtexts.h"
#include "widgets/statusbar.h"
#include "widgets/twips.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>

using namespace velanote;
using velanote::testing::MainWindowTest;

TEST_F(MainWindowTest, ClearingCommandsAskFirstAndKeepTheList) {
    openUnlocked();
    // Clearing an empty message asks nothing and says nothing.
    find<QAction>("clearMessageAction")->trigger();
    EXPECT_TRUE(platform.boxes.shown.isEmpty());
    EXPECT_EQ(status(), QStringLiteral("程序加载完毕..."));

    find<QPlainTextEdit>("messageEdit")->setPlainText(QStringLiteral("生日快乐"));
    platform.boxes.answerNext(MessageBoxAnswer::No);
    trigger("clearMessageAction");
    EXPECT_EQ(find<QPlainTextEdit>("messageEdit")->toPlainText(), QStringLiteral("生日快乐"));
    EXPECT_EQ(platform.boxes.shown.last().prompt, QStringLiteral("您已输入内容,确认清空?"));
    EXPECT_EQ(platform.boxes.shown.last().style, MessageBoxStyle::YesNoInformation);
    platform.boxes.answerNext(MessageBoxAnswer::Yes);
    trigger("clearMessageAction");
    EXPECT_TRUE(find<QPlainTextEdit>("messageEdit")->toPlainText().isEmpty());
    EXPECT_EQ(status(), QStringLiteral("祝福语已清空.."));

    find<QLineEdit>("senderEdit")->setText(QStringLiteral("小红"));
    find<QLineEdit>("recipientEdit")->setText(QStringLiteral("小明"));
    find<QComboBox>("relationCombo")->setEditText(QStringLiteral("老乡"));
    find<QPlainTextEdit>("messageEdit")->setPlainText(QStringLiteral("你好"));
    platform.boxes.answerNext(MessageBoxAnswer::No);
    find<QAction>("clearAllAction")->trigger();
    EXPECT_EQ(find<QLineEdit>("senderEdit")->text(), QStringLiteral("小红"));
    EXPECT_EQ(platform.boxes.shown.last().prompt, QStringLiteral("是否确认清除全部信息?"));
    platform.boxes.answerNext(MessageBoxAnswer::Yes);
    trigger("clearAllAction");
    EXPECT_TRUE(find<QLineEdit>("senderEdit")->text().isEmpty());
    EXPECT_TRUE(find<QLineEdit>("recipientEdit")->text().isEmpty());
    EXPECT_TRUE(find<QComboBox>("relationCombo")->currentText().isEmpty());
    EXPECT_TRUE(find<QPlainTextEdit>("messageEdit")->toPlainText().isEmpty());
    EXPECT_EQ(find<QComboBox>("relationCombo")->count(), 35);
    EXPECT_EQ(status(), QStringLiteral("全部信息已清空.."));
}

TEST_F(MainWindowTest, PasteAppendsAndClipboardCommandsReport) {
    openUnlocked();
    find<QPlainTextEdit>("messageEdit")->setPlainText(QStringLiteral("祝你"));
    find<QAction>("pasteAction")->trigger();
    EXPECT_EQ(find<QPlainTextEdit>("messageEdit")->toPlainText(), QStringLiteral("祝你"));
    EXPECT_EQ(status(), QStringLiteral("没有可粘贴的内容,请先复制.."));

    platform.clipboardFake.setText(QStringLiteral("生日快乐!"));
    trigger("pasteAction");
    EXPECT_EQ(find<QPlainTextEdit>("messageEdit")->toPlainText(), QStringLiteral("祝你生日快乐!"));
    EXPECT_EQ(status(), QStringLiteral("已粘贴剪贴板内容.."));

    find<QAction>("clearClipboardAction")->trigger();
    EXPECT_TRUE(platform.clipboardFake.text().isEmpty());
    EXPECT_EQ(status(), QStringLiteral("剪贴板已清空.."));
    EXPECT_TRUE(platform.boxes.shown.isEmpty());

    // The lessons advert puts the account on the clipboard only after its box.
    platform.clipboardFake.setText(QStringLiteral("old"));
    const int clearsBefore = platform.clipboardFake.clears;
    platform.boxes.onShow = [&](const fakes::ShownBox&) {
        EXPECT_EQ(platform.clipboardFake.text(), QStringLiteral("old"));
    };
    find<QAction>("lessonsAction")->trigger();
    ASSERT_EQ(platform.boxes.shown.size(), 1);
    EXPECT_EQ(platform.boxes.shown[0].prompt,
              QStringLiteral("阿朔2012年暑期有偿招收编程学员，有意请联系QQ\r\n \r\nQQ号码已自动复制到剪贴板 "
                             "| 加时请注明“学习编程”"));
    EXPECT_EQ(platform.boxes.shown[0].style, MessageBoxStyle::OkInformation);
    EXPECT_EQ(platform.clipboardFake.clears, clearsBefore + 1);
    EXPECT_EQ(platform.clipboardFake.text(), ctx.endpoints.authorAccount);
}

TEST_F(MainWindowTest, DeletingMessagesTouchesOnlyMp3FilesOfTheProgramFolder) {
    openUnlocked();
    platform.boxes.answerNext(MessageBoxAnswer::Yes);
    find<QAction>("deleteMessagesAction")->trigger();
    ASSERT_EQ(platform.boxes.shown.size(), 2);
    EXPECT_EQ(platform.boxes.shown[0].prompt,
              QStringLiteral("此操作将清除软件所包含的目录下所有的音信文件,是否确认?"));
    EXPECT_EQ(platform.boxes.shown[1].prompt, QStringLiteral("当前目录下没有音信文件!无需删除!"));
    EXPECT_EQ(platform.boxes.shown[1].style, MessageBoxStyle::OkInformation);

    for (const char* name : {"\\a.mp3", "\\祝福 音信.mp3", "\\MINE2.MP3", "\\b.Mp3", "\\keep.mp3.txt",
                             "\\sc\\1.mp3", "\\yx\\qz.mp3"}) {
        ASSERT_TRUE(temp.write(name, "data"));
    }
    platform.boxes.answerNext(MessageBoxAnswer::No);
    trigger("deleteMessagesAction");
    EXPECT_TRUE(QFile::exists(temp.path("\\a.mp3")));

    platform.boxes.answerNext(MessageBoxAnswer::Yes);
    trigger("deleteMessagesAction");
    EXPECT_EQ(platform.boxes.shown.size(), 4) << "nothing is said after deleting";
    EXPECT_FALSE(QFile::exists(temp.path("\\a.mp3")));
    EXPECT_FALSE(QFile::exists(temp.path("\\祝福 音信.mp3")));
    EXPECT_FALSE(QFile::exists(temp.path("\\MINE2.MP3")));
    EXPECT_FALSE(QFile::exists(temp.path("\\b.Mp3")));
    EXPECT_TRUE(QFile::exists(temp.path("\\keep.mp3.txt")));
    EXPECT_TRUE(QFile::exists(temp.path("\\sc\\1.mp3")));
    EXPECT_TRUE(QFile::exists(temp.path("\\yx\\qz.mp3")));
}

TEST_F(MainWindowTest, RepairRestoresTheJinglesAndLeavesThePrefixAlone) {
    openUnlocked();
    const QByteArray prefix("the user's own prefix");
    ASSERT_TRUE(temp.write("\\yx\\qz.mp3", prefix));
    ASSERT_TRUE(temp.write("\\sc\\4.mp3", QByteArray(300000, 'x')));
    find<QPushButton>("findSpeechButton")->show();

    platform.boxes.answerNext(MessageBoxAnswer::No);
    find<QAction>("repairAction")->trigger();
    EXPECT_EQ(platform.boxes.shown[0].prompt,
              QStringLiteral("本功能可恢复误删除的前缀音频文件\r\n \r\n帮您全面修复音频前缀功能,是否继续?"));
    EXPECT_EQ(platform.boxes.shown[0].style, MessageBoxStyle::YesNoInformation);
    EXPECT_FALSE(find<QPushButton>("findSpeechButton")->isHidden());
    EXPECT_EQ(temp.read("\\sc\\4.mp3").size(), 300000);
    EXPECT_EQ(status(), QStringLiteral("程序加载完毕..."));

    platform.boxes.answerNext(MessageBoxAnswer::Yes);
    trigger("repairAction");
    EXPECT_EQ(find<QProgressBar>("repairProgress")->value(), 5000);
    EXPECT_TRUE(find<QProgressBar>("repairProgress")->isHidden());
    EXPECT_TRUE(find<QPushButton>("findSpeechButton")->isHidden());
    EXPECT_TRUE(find<QPushButton>("findJoinedButton")->isHidden());
    EXPECT_EQ(status(), QStringLiteral("音频前缀功能已全面修复完毕..."));
    for (int n = 1; n <= 10; ++n) {
        const QByteArray expected = loadResource(111 + n);
        ASSERT_FALSE(expected.isEmpty());
        EXPECT_EQ(temp.read(QStringLiteral("\\sc\\%1.mp3").arg(n)), expected) << n;
    }
    EXPECT_EQ(temp.read("\\yx\\qz.mp3"), prefix);

    // With the folders gone both come back, and "\yx\qz.mp3" is not made up.
    QDir(temp.path("\\sc")).removeRecursively();
    QDir(temp.path("\\yx")).removeRecursively();
    platform.boxes.answerNext(MessageBoxAnswer::Yes);
    trigger("repairAction");
    EXPECT_TRUE(QFileInfo(temp.path("\\yx")).isDir());
    EXPECT_FALSE(QFile::exists(temp.path("\\yx\\qz.mp3")));
    EXPECT_EQ(temp.read("\\sc\\10.mp3"), loadResource(121));
}

TEST_F(MainWindowTest, RepairThatCannotWriteSaysSo) {
    openUnlocked();
    // A folder where a jingle belongs cannot be replaced by a file.
    ASSERT_TRUE(QDir().mkpath(temp.path("\\sc\\3.mp3")));
    platform.boxes.answerNext(MessageBoxAnswer::Yes);
    trigger("repairAction");
    EXPECT_EQ(status(), QStringLiteral("音频前缀功能修复失败!请检查程序目录是否可写.."));
    EXPECT_EQ(temp.read("\\sc\\4.mp3"), loadResource(115)) << "the other jingles are still written";
    EXPECT_TRUE(find<QProgressBar>("repairProgress")->isHidden());
}

TEST_F(MainWindowTest, InformationBoxesAndTheThemeSwitch) {
    openUnlocked();
    find<QAction>("aboutAction")->trigger();
    find<QAction>("updateNotesAction")->trigger();
    ASSERT_EQ(platform.boxes.shown.size(), 2);
    const QStringList description = platform.boxes.shown[0].prompt.split("\r\n");
    ASSERT_EQ(description.size(), 5);
    EXPECT_FALSE(description[0].trimmed().isEmpty());
    EXPECT_EQ(description[1], QStringLiteral("您可通过QQ、MSN等通讯工具向您的家人，朋友，爱人等发送。"));
    EXPECT_EQ(description[2], QStringLiteral(" "));
    EXPECT_EQ(description[3], QStringLiteral("本程序采用获取网络数据技术,所以必须联网的时候才可以正常使用"));
    EXPECT_EQ(description[4],
              QStringLiteral("由于网络资源的限制,所以语音会生硬一些,,重在娱乐!还请大家见谅!"));
    EXPECT_EQ(platform.boxes.shown[0].title, QStringLiteral("软件说明"));
    EXPECT_EQ(platform.boxes.shown[0].style, MessageBoxStyle::OkInformation);

    const QString notes = platform.boxes.shown[1].prompt;
    EXPECT_EQ(platform.boxes.shown[1].title, QStringLiteral("更新说明"));
    EXPECT_EQ(notes, MainWindowTexts::updateNotes());
    EXPECT_TRUE(notes.endsWith("\r\n"));
    const QStringList lines = notes.split("\r\n");
    ASSERT_EQ(lines.size(), 32);
    EXPECT_EQ(lines[0], QStringLiteral("更新内容："));
    EXPECT_EQ(lines[2], QString(19, '*'));
    EXPECT_EQ(lines[4], QString(19, '*'));
    EXPECT_EQ(lines[16], QString(66, '*'));
    EXPECT_EQ(lines[18], QString(19, '*'));
    EXPECT_EQ(lines[30], QStringLiteral("- 修复前缀音频试听功能,在更换其他音频后会自动停止"));
    EXPECT_FALSE(notes.contains(QStringLiteral("\r\r")));

    trigger("effectAction");
    EXPECT_EQ(find<QAction>("effectAction")->text(), QStringLiteral("开启主题特效"));
    trigger("effectAction");
    EXPECT_EQ(find<QAction>("effectAction")->text(), QStringLiteral("关闭主题特效"));
}

// With no browser or file manager, every hand-over to the desktop ends in a box that names what
// was not opened (and the folder, for a file), never in silence.
TEST_F(MainWindowTest, WhatTheDesktopCannotOpenIsSaid) {
    openUnlocked();
    ASSERT_TRUE(temp.write("\\saved.mp3", "data"));
    const QString saved = temp.path("\\saved.mp3");
    platform.shellFake.unopenable = {ctx.endpoints.forumUrl, ctx.endpoints.chatUrl, saved};
    find<QAction>("softwareSiteAction")->trigger();
    find<QAction>("contactAction")->trigger();
    platform.shell().showFileInManager(saved); // as 找到音信文件 and 找到合成音信 hand it over
    ASSERT_EQ(platform.boxes.shown.size(), 3);
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(platform.boxes.shown[i].prompt.endsWith(platform.shellFake.unopenable[i]));
        EXPECT_EQ(platform.boxes.shown[i].style, MessageBoxStyle::OkExclamation);
    }
    EXPECT_EQ(platform.boxes.shown[2].prompt,
              MainWindowTexts::unopened(saved, QFileInfo(saved).absolutePath()));
    EXPECT_TRUE(platform.boxes.shown[2].prompt.endsWith("\n" + QFileInfo(saved).absolutePath()));

    // 是 in the exit question opens the forum and waits to hear whether it went.
    platform.boxes.answerNext(MessageBoxAnswer::Yes);
    EXPECT_TRUE(form->close());
    EXPECT_EQ(platform.shellFake.settles, 1);
    ASSERT_EQ(platform.boxes.shown.size(), 5);
    EXPECT_TRUE(platform.boxes.shown[4].prompt.endsWith(ctx.endpoints.forumUrl));
}

TEST_F(MainWindowTest, LinksRestartAndOtherWindows) {
    openUnlocked();
    find<QAction>("softwareSiteAction")->trigger();
    find<QAction>("boardAction")->trigger();
    find<QAction>("blogAction")->trigger();
    find<QAction>("contactAction")->trigger();
    EXPECT_EQ(platform.shellFake.openedAddresses,
              (QStringList{ctx.endpoints.forumUrl, ctx.endpoints.boardUrl, ctx.endpoints.blogUrl,
                           ctx.endpoints.chatUrl}));

    platform.boxes.answerNext(MessageBoxAnswer::No);
    find<QAction>("restartAction")->trigger();
    EXPECT_TRUE(platform.shellFake.started.isEmpty());
    EXPECT_EQ(
        platform.boxes.shown[0].prompt,
        QStringLiteral("如果您觉得当前使用的程序出现异常\r\n \r\n请点击重启程序,是否现在重新启动程序?"));
    platform.boxes.answerNext(MessageBoxAnswer::Yes);
    trigger("restartAction");
    EXPECT_EQ(platform.shellFake.started, QStringList{QCoreApplication::applicationFilePath()});
    EXPECT_EQ(platform.shellFake.endProgramCalls, 1);
    EXPECT_EQ(platform.boxes.shown.size(), 2) << "no exit question on restart";

    form->show();
    find<QAction>("joinerAction")->trigger();
    ASSERT_NE(form->joinerWindow(), nullptr);
    EXPECT_TRUE(form->joinerWindow()->isVisible());
    EXPECT_FALSE(form->isVisible());
    form->joinerWindow()->close();
    EXPECT_TRUE(form->isVisible());

    // The voice settings and the batch open beside the main window, one of each.
    for (const char* action : {"voiceSettingsAction", "batchAction", "voiceSettingsAction"}) {
        trigger(action);
    }
    ASSERT_NE(form->voiceSettingsWindow(), nullptr);
    ASSERT_NE(form->batchWindow(), nullptr);
    EXPECT_TRUE(form->voiceSettingsWindow()->isVisible() && form->batchWindow()->isVisible());
    EXPECT_TRUE(form->isVisible());
}

TEST_F(MainWindowTest, GenerationCommandsReachTheRun) {
    openUnlocked();
    find<QAction>("copyAddressAction")->trigger();
    EXPECT_EQ(status(), QStringLiteral("请先生成音信,再执行本操作.."));
    EXPECT_TRUE(find<QAction>("copyAddressAction")->isChecked());
    find<QAction>("saveMessageAction")->trigger();
    EXPECT_EQ(status(), QStringLiteral("请先生成音信,再执行本操作..."));
    find<QPushButton>("generateButton")->click();
    EXPECT_EQ(status(), QStringLiteral("请输入您的名字[即发送人]"));
    find<QPushButton>("exampleButton")->click();
    ASSERT_EQ(platform.boxes.shown.size(), 1);
    EXPECT_EQ(platform.boxes.shown[0].prompt, QStringLiteral("请您先输入您的名字并随意选择或输入一个称呼"));
}

// The run reports through its signals; the window shows each report on its controls.
TEST_F(MainWindowTest, RunReportsReachTheControls) {
    openUnlocked();
    form->show();
    auto* run = form->findChild<GenerationRun*>();
    ASSERT_NE(run, nullptr);
    Q_EMIT run->savedFileShown(GenerationRun::SavedFile::Speech);
    Q_EMIT run->savedFileShown(GenerationRun::SavedFile::Joined);
    EXPECT_TRUE(find<QPushButton>("findJoinedButton")->isVisible());
    EXPECT_FALSE(find<QPushButton>("findSpeechButton")->isVisible());
    EXPECT_EQ(positionTwips(find<QPushButton>("findJoinedButton")).y(),
              positionTwips(find<StatusBar>("statusLine")).y() + 5);

    Q_EMIT run->generateEnabled(false);
    find<QLineEdit>("senderEdit")->setEnabled(false);
    EXPECT_FALSE(find<QPushButton>("generateButton")->isEnabled());
    Q_EMIT run->inputsEnabled();
    EXPECT_TRUE(find<QPushButton>("generateButton")->isEnabled() &&
                find<QLineEdit>("senderEdit")->isEnabled());

    Q_EMIT run->parkRequested(QStringLiteral("程序正在保存音信文件..请稍等.."));
    EXPECT_FALSE(form->isVisible());
    Q_EMIT run->parkEnded();
    EXPECT_TRUE(form->isVisible());
}

TEST_F(MainWindowTest, APhraseChosenInTheLibraryFillsTheMessageBox) {
    openUnlocked();
    find<QPushButton>("phrasesButton")->click();
    ASSERT_TRUE(form->phraseWindow());
    Q_EMIT form->phraseWindow()->phraseChosen(QStringLiteral("生日快乐"));
    EXPECT_EQ(find<QPlainTextEdit>("messageEdit")->toPlainText(), QStringLiteral("生日快乐"));
    EXPECT_EQ(find<StatusBar>("statusLine")->panelText(2), QStringLiteral("祝福语自动填写成功..."));
}
