#pragma once
// A stand-in for the main window's generation controls, over the platform fakes.
#include "app/appcontext.h"
#include "generation/generationrun.h"
#include "platform/twips.h"
#include "support/fakeplatform.h"
#include "support/tempfolder.h"
#include "widgets/statusbar.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

#include <memory>

namespace velanote::testing {

struct RunWindow {
    // `realPlayer`, when given, plays instead of the fake one.
    explicit RunWindow(Endpoints endpoints, std::unique_ptr<MediaPlayer> realPlayer = nullptr)
        : ctx{platform, folder.folder(), std::move(endpoints)},
          speechFileDialog(makeSpeechFileDialog(platform.dialogs, &window)),
          joinedFileDialog(makeJoinedFileDialog(platform.dialogs, &window)) {
        senderEdit = new QLineEdit(&window);
        recipientEdit = new QLineEdit(&window);
        relationCombo = new QComboBox(&window);
        relationCombo->setEditable(true);
        relationCombo->addItems(
            {QStringLiteral("同学"), QStringLiteral("妈妈"), QStringLiteral("自己添加...")});
        messageEdit = new QPlainTextEdit(&window);
        statusLine = new StatusBar(
            {QStringLiteral("当前状态："), QString(), QStringLiteral("程序设计:Tomo阿朔")}, 2, &window);
        setGeometryTwips(statusLine, 0, 6000, 9000, 375);
        generateButton = new QPushButton(QStringLiteral("生成音信"), &window);
        findSpeechButton = new QPushButton(QStringLiteral("找到音信文件"), &window);
        findJoinedButton = new QPushButton(QStringLiteral("找到合成音信"), &window);
        setGeometryTwips(findSpeechButton, 6000, 4000, 1200, 300);
        setGeometryTwips(findJoinedButton, 7300, 4000, 1200, 300);
        findSpeechButton->hide();
        findJoinedButton->hide();
        player = realPlayer ? std::move(realPlayer) : platform.createPlayer(&window);
        tray = platform.createTrayIcon(&window);
        window.resize(640, 480);
        window.show();
        run = std::make_unique<GenerationRun>(ctx, GenerationControls{.senderEdit = senderEdit,
                                                                      .recipientEdit = recipientEdit,
                                                                      .relationCombo = relationCombo,
                                                                      .messageEdit = messageEdit,
                                                                      .statusLine = statusLine,
                                                                      .generateButton = generateButton,
                                                                      .findSpeechButton = findSpeechButton,
                                                                      .findJoinedButton = findJoinedButton,
                                                                      .window = &window,
                                                                      .player = player.get(),
                                                                      .tray = tray.get(),
                                                                      .speechFileDialog = &speechFileDialog,
                                                                      .joinedFileDialog = &joinedFileDialog});
    }

    void fill(const QString& s, const QString& r, const QString& k, const QString& m) {
        senderEdit->setText(s);
        recipientEdit->setText(r);
        relationCombo->setEditText(k);
        messageEdit->setPlainText(m);
    }
    QString status() const { return statusLine->panelText(2); }
    fakes::FakeMediaPlayer& fakePlayer() { return *platform.players.last(); }
    fakes::FakeTrayIcon& fakeTray() { return *platform.trayIcons.last(); }

    fakes::FakePlatform platform;
    fakes::TempProgramFolder folder;
    AppContext ctx;
    QWidget window;
    QLineEdit* senderEdit;
    QLineEdit* recipientEdit;
    QComboBox* relationCombo;
    QPlainTextEdit* messageEdit;
    StatusBar* statusLine;
    QPushButton* generateButton;
    QPushButton* findSpeechButton;
    QPushButton* findJoinedButton;
    bool withPrefix = false; // the prefix switch's state when 生成音信 is pressed
    std::unique_ptr<MediaPlayer> player;
    std::unique_ptr<TrayIcon> tray;
    CommonDialog speechFileDialog;
    CommonDialog joinedFileDialog;
    std::unique_ptr<GenerationRun> run;
};

} // namespace velanote::testing
