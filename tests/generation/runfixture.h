#pragma once
// A stand-in for the main window's generation controls, over the platform fakes.
#include "app/appcontext.h"
#include "generation/generationrun.h"
#include "platform/statusbar.h"
#include "platform/twips.h"
#include "support/fakeplatform.h"
#include "support/tempfolder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

#include <memory>

namespace velanote::testing {

struct RunWindow {
    explicit RunWindow(Endpoints endpoints)
        : ctx{platform, folder.folder(), std::move(endpoints)}, C5(makeC5(platform.dialogs, &window)),
          C6(makeC6(platform.dialogs, &window)) {
        Text4 = new QLineEdit(&window);
        Text5 = new QLineEdit(&window);
        Combo1 = new QComboBox(&window);
        Combo1->setEditable(true);
        Combo1->addItems({QStringLiteral("同学"), QStringLiteral("妈妈"), QStringLiteral("自己添加...")});
        Text2 = new QPlainTextEdit(&window);
        Text1 = new QPlainTextEdit(&window);
        Text3 = new QLineEdit(&window);
        St1 = new StatusBar({QStringLiteral("当前状态："), QString(), QStringLiteral("程序设计:Tomo阿朔")}, 2,
                            &window);
        setGeometryTwips(St1, 0, 6000, 9000, 375);
        Command2 = new QPushButton(QStringLiteral("生成音信"), &window);
        Command1 = new QPushButton(QStringLiteral("找到音信文件"), &window);
        Command6 = new QPushButton(QStringLiteral("找到合成音信"), &window);
        setGeometryTwips(Command1, 6000, 4000, 1200, 300);
        setGeometryTwips(Command6, 7300, 4000, 1200, 300);
        Command1->hide();
        Command6->hide();
        Check1 = new QCheckBox(&window);
        player = platform.createPlayer(&window);
        tray = platform.createTrayIcon(&window);
        window.resize(640, 480);
        window.show();
        run = std::make_unique<GenerationRun>(ctx, GenerationControls{.Text4 = Text4,
                                                                      .Text5 = Text5,
                                                                      .Combo1 = Combo1,
                                                                      .Text2 = Text2,
                                                                      .Text1 = Text1,
                                                                      .Text3 = Text3,
                                                                      .St1 = St1,
                                                                      .Command2 = Command2,
                                                                      .Command1 = Command1,
                                                                      .Command6 = Command6,
                                                                      .Check1 = Check1,
                                                                      .window = &window,
                                                                      .player = player.get(),
                                                                      .tray = tray.get(),
                                                                      .C5 = &C5,
                                                                      .C6 = &C6});
    }

    void fill(const QString& s, const QString& r, const QString& k, const QString& m) {
        Text4->setText(s);
        Text5->setText(r);
        Combo1->setEditText(k);
        Text2->setPlainText(m);
    }
    QString status() const { return St1->panelText(2); }
    fakes::FakeMediaPlayer& fakePlayer() { return *platform.players.last(); }
    fakes::FakeTrayIcon& fakeTray() { return *platform.trayIcons.last(); }

    fakes::FakePlatform platform;
    fakes::TempProgramFolder folder;
    AppContext ctx;
    QWidget window;
    QLineEdit* Text4;
    QLineEdit* Text5;
    QComboBox* Combo1;
    QPlainTextEdit* Text2;
    QPlainTextEdit* Text1;
    QLineEdit* Text3;
    StatusBar* St1;
    QPushButton* Command2;
    QPushButton* Command1;
    QPushButton* Command6;
    QCheckBox* Check1;
    std::unique_ptr<MediaPlayer> player;
    std::unique_ptr<TrayIcon> tray;
    CommonDialog C5;
    CommonDialog C6;
    std::unique_ptr<GenerationRun> run;
};

} // namespace velanote::testing
