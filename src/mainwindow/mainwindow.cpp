#include "mainwindow/mainwindow.h"

#include "app/messagetitles.h"
#include "generation/generationrun.h"
#include "generation/savedialogs.h"
#include "generation/trayparking.h"
#include "generation/waitwithoutinput.h"
#include "mainwindow/mainwindowpictures.h"
#include "mainwindow/mainwindowtexts.h"
#include "mainwindow/statusbarbutton.h"
#include "mainwindow/switchcheckbox.h"
#include "mainwindow/watersurface.h"
#include "prefix/prefixswitch.h"
#include "prefix/prefixwindow.h"
#include "widgets/objectname.h"
#include "widgets/playerstrip.h"
#include "widgets/statusbar.h"
#include "widgets/twips.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMovie>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

namespace velanote {

namespace {

// Places a control at a position and size given in pixels of the client area; positions are kept
// in twips so code that moves controls by twips (the shake, the find buttons) adds up exactly.
void place(QWidget* w, int x, int y, int width, int height) {
    setGeometryTwips(w, pixelsToTwips(x), pixelsToTwips(y), pixelsToTwips(width), pixelsToTwips(height));
}

// A thin coloured line drawn between controls.
void makeLine(QWidget* parent, int x, int y, int width, int height, const QColor& colour) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::NoFrame);
    line->setAutoFillBackground(true);
    QPalette p = line->palette();
    p.setColor(QPalette::Window, colour);
    line->setPalette(p);
    line->setStyleSheet(QStringLiteral("background-color: %1;").arg(colour.name(QColor::HexArgb)));
    place(line, x, y, width, height);
}

QAction* menuItem(QMenu* parent, const char* name, const QString& caption) {
    QAction* a = parent->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

} // namespace

MainWindow::MainWindow(AppContext& ctx, QWidget* parent)
    : QMainWindow(parent), ctx_(ctx),
      speechFileDialog(makeSpeechFileDialog(ctx.platform.fileDialogs(), this)),
      joinedFileDialog(makeJoinedFileDialog(ctx.platform.fileDialogs(), this)), browser_(ctx.platform),
      updateCheck_(ctx.platform, ctx.endpoints.versionUrl, ctx.endpoints.forumUrl) {
    setObjectName(QStringLiteral("MainWindow"));
    // The version file is fetched on a worker while the window keeps painting (user input is dropped).
    HttpClient& http = ctx_.platform.http();
    updateCheck_.setFetcher([&http](const QString& url) {
        return waitWithoutInput([&http, url] { return http.fetchText(url); });
    });
    setWindowTitle(MainWindowTexts::caption());
    // Whatever this program's windows hand to the desktop in vain is said, not just logged.
    ctx_.platform.shell().setFailureWatcher([this](const QString& target, const QString& folder) {
        ctx_.platform.messageBox().show(MainWindowTexts::unopened(target, folder),
                                        MessageBoxStyle::OkExclamation, MessageTitles::program());
    });
    buildControls();
    buildMenu();

    player = ctx_.platform.createPlayer(this);
    trayIcon = ctx_.platform.createTrayIcon(this);
    // The player's strip at the free end of the switch's row.
    playerStrip = named(new PlayerStrip(*player, prefixFrame), "playerStrip");
    place(playerStrip, 420, 8, 210, 24);

    parking_ = std::make_unique<TrayParking>(this, trayIcon.get());
    run_ = std::make_unique<GenerationRun>(ctx_, *player, speechFileDialog, joinedFileDialog, this);
    prefix_ = new PrefixSwitch(ctx_, this, this);

    // The start-up lock, lifted by the first tick of startupCheckTimer.
    setLocked(true);
    wireHandlers();
    qApp->installEventFilter(this);

    shakeTimer->start();
    startupCheckTimer->start();
    rippleTimer->start();
    load();
}

MainWindow::~MainWindow() {
    ctx_.platform.shell().setFailureWatcher({});
    qApp->removeEventFilter(this);
    if (phraseWindow_) {
        delete phraseWindow_.data();
    }
    if (joinerWindow_) {
        delete joinerWindow_.data();
    }
    if (voiceSettingsWindow_) {
        delete voiceSettingsWindow_.data();
    }
    if (batchWindow_) {
        delete batchWindow_.data();
    }
    if (prefix_ != nullptr) {
        prefix_->closeSettingsWindow();
    }
}

void MainWindow::buildControls() {
    surface_ = named(new WaterSurface(this), "MainWindowSurface");
    surface_->setFixedSize(twipsToPixels(ClientWidthTwips), twipsToPixels(ClientHeightTwips));
    setCentralWidget(surface_);
    QWidget* s = surface_;

    // The input frame: sender, recipient and relationship on the left, the message on the right.
    inputFrame = named(new QGroupBox(MainWindowTexts::frameCaption(QUrl(ctx_.endpoints.forumUrl).host()), s),
                       "inputFrame");
    place(inputFrame, 10, 124, 608, 196);
    senderLabel = named(new QLabel(QStringLiteral("请输入您的名字:"), inputFrame), "senderLabel");
    place(senderLabel, 16, 26, 270, 20);
    senderEdit = named(new QLineEdit(inputFrame), "senderEdit");
    place(senderEdit, 16, 46, 270, 26);
    recipientLabel = named(new QLabel(QStringLiteral("请输入对方的名字:"), inputFrame), "recipientLabel");
    place(recipientLabel, 16, 80, 270, 20);
    recipientEdit = named(new QLineEdit(inputFrame), "recipientEdit");
    place(recipientEdit, 16, 100, 270, 26);
    relationLabel = named(new QLabel(QStringLiteral("对方对您的称呼[关系]:"), inputFrame), "relationLabel");
    place(relationLabel, 16, 134, 270, 20);
    relationCombo = named(new QComboBox(inputFrame), "relationCombo");
    relationCombo->setEditable(true);
    relationCombo->setInsertPolicy(QComboBox::NoInsert);
    relationCombo->setMaxVisibleItems(12);
    place(relationCombo, 16, 154, 204, 26);
    exampleButton = named(new QPushButton(QStringLiteral("实例"), inputFrame), "exampleButton");
    place(exampleButton, 226, 153, 60, 28);
    makeLine(inputFrame, 300, 32, 1, 148, QColor(0xc9, 0xdd, 0xe2));
    messageEdit = named(new QPlainTextEdit(inputFrame), "messageEdit");
    QFont messageFont;
    messageFont.setFamilies(
        {QStringLiteral("微软雅黑"), QStringLiteral("Microsoft YaHei"), QStringLiteral("Noto Sans CJK SC")});
    messageFont.setPointSize(11);
    messageEdit->setFont(messageFont);
    messageEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    messageEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    messageEdit->setTabChangesFocus(true);
    messageEdit->setPlaceholderText(QStringLiteral("在这里输入祝福语(100字以内)"));
    place(messageEdit, 314, 28, 280, 154);

    // The animated strip beside the frame, framed by two thin lines that end flush with the
    // picture's border.
    stripImage = named(new QLabel(s), "stripImage");
    place(stripImage, 625, 133, 21, 184);
    stripMovie = new QMovie(MainWindowPictures::animatedStrip(), QByteArray(), this);
    // Its eight small frames are decoded once and kept, not decoded again on every loop.
    stripMovie->setCacheMode(QMovie::CacheAll);
    stripImage->setMovie(stripMovie);
    stripMovie->start();
    makeLine(s, 622, 133, 1, 184, QColor(0xb5, 0xd0, 0xd7));
    makeLine(s, 649, 133, 1, 184, QColor(0xb5, 0xd0, 0xd7));

    // The prefix switch in its own frame.
    prefixFrame = named(new QGroupBox(s), "prefixFrame");
    prefixFrame->setStyleSheet(QStringLiteral("QGroupBox#prefixFrame { margin-top: 0px; }"));
    place(prefixFrame, 10, 328, 640, 40);
    prefixCheck = named(new SwitchCheckBox(MainWindowTexts::checkCaption(), prefixFrame), "prefixCheck");
    place(prefixCheck, 14, 9, 400, 22);

    // The main commands.
    generateButton = named(new QPushButton(QStringLiteral("生成音信"), s), "generateButton");
    place(generateButton, 10, 377, 236, 44);
    QFont strong = generateButton->font();
    strong.setBold(true);
    strong.setPointSize(strong.pointSize() + 1);
    generateButton->setFont(strong);
    phrasesButton = named(new QPushButton(QStringLiteral("选择内置祝福语"), s), "phrasesButton");
    place(phrasesButton, 254, 377, 196, 44);
    toolsButton = named(new QPushButton(QStringLiteral("程序相关小操作"), s), "toolsButton");
    place(toolsButton, 458, 377, 192, 44);
    makeLine(s, 0, 430, 658, 1, QColor(0xb5, 0xd0, 0xd7));
    makeLine(s, 0, 431, 658, 1, QColor(0xff, 0xff, 0xff));

    statusLine =
        named(new StatusBar({QStringLiteral("当前状态："), QStringLiteral("程序检测更新中..请您稍等..."),
                             QStringLiteral("程序设计:Tomo阿朔")},
                            2, s),
              "statusLine");
    place(statusLine, 0, 434, 658, 24);

    // The repair's progress shows on the status line, where the find buttons (hidden by the
    // repair) would stand.
    repairProgress = named(new QProgressBar(s), "repairProgress");
    repairProgress->setRange(0, 5000);
    repairProgress->setValue(0);
    repairProgress->setTextVisible(false);
    place(repairProgress, 330, 439, 200, 14);
    repairProgress->hide();

    // The find buttons appear over the status bar once a file has been saved.
    findSpeechButton = named(new QPushButton(QStringLiteral("找到音信文件"), s), "findSpeechButton");
    place(findSpeechButton, 430, 435, 110, 22);
    findSpeechButton->hide();
    findJoinedButton = named(new QPushButton(QStringLiteral("找到合成音信"), s), "findJoinedButton");
    place(findJoinedButton, 430, 435, 110, 22);
    findJoinedButton->hide();
    // The border of the rippling picture at (10, 10).
    const QColor border(0x9c, 0xc3, 0xcc);
    makeLine(s, 9, 9, 642, 1, border);
    makeLine(s, 9, 116, 642, 1, border);
    makeLine(s, 9, 10, 1, 106, border);
    makeLine(s, 650, 10, 1, 106, border);

    shakeTimer = named(new QTimer(this), "shakeTimer");
    shakeTimer->setInterval(5000);
    startupCheckTimer = named(new QTimer(this), "startupCheckTimer");
    startupCheckTimer->setInterval(1000);
    rippleTimer = named(new QTimer(this), "rippleTimer");
    rippleTimer->setInterval(10);
    rippleTimer->setTimerType(Qt::PreciseTimer);

    surface_->setMouseTracking(true);
    setMouseTracking(true);
}

void MainWindow::buildMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainWindowMenuBar"));
    // Seven entries of six wide characters each share the window's width.
    bar->setStyleSheet(QStringLiteral("QMenuBar::item { padding: 4px 5px; }"));

    programMenu = named(bar->addMenu(QStringLiteral("【程序菜单】")), "programMenu");
    checkUpdateAction = menuItem(programMenu, "checkUpdateAction", QStringLiteral("检测程序更新"));
    programMenu->addSeparator();
    saveMessageAction = menuItem(programMenu, "saveMessageAction", QStringLiteral("保存音信文件"));
    programMenu->addSeparator();
    copyAddressAction = menuItem(programMenu, "copyAddressAction", QStringLiteral("复制音信地址"));
    programMenu->addSeparator();
    exitAction = menuItem(programMenu, "exitAction", QStringLiteral("退出音信程序"));

    notesMenu = named(bar->addMenu(QStringLiteral("【相关说明】")), "notesMenu");
    aboutAction = menuItem(notesMenu, "aboutAction", QStringLiteral("软件说明"));
    notesMenu->addSeparator();
    updateNotesAction = menuItem(notesMenu, "updateNotesAction", QStringLiteral("更新说明"));

    featuresMenu = named(bar->addMenu(QStringLiteral("【相关功能】")), "featuresMenu");
    prefixSettingsAction = menuItem(featuresMenu, "prefixSettingsAction", QStringLiteral("前缀音频设置"));
    featuresMenu->addSeparator();
    joinerAction = menuItem(featuresMenu, "joinerAction", QStringLiteral("音频整合功能"));
    featuresMenu->addSeparator();
    voiceSettingsAction = menuItem(featuresMenu, "voiceSettingsAction", QStringLiteral("语音设置"));
    featuresMenu->addSeparator();
    batchAction = menuItem(featuresMenu, "batchAction", QStringLiteral("批量生成音信"));
    featuresMenu->addSeparator();
    phrasesAction = menuItem(featuresMenu, "phrasesAction", QStringLiteral("选择内置祝福"));
    featuresMenu->addSeparator();
    deleteMessagesAction = menuItem(featuresMenu, "deleteMessagesAction", QStringLiteral("清除全部音信"));
    featuresMenu->addSeparator();
    repairAction = menuItem(featuresMenu, "repairAction", QStringLiteral("音频修复功能"));
    featuresMenu->addSeparator();
    effectAction = menuItem(featuresMenu, "effectAction", QString::fromUtf8(EffectOnCaption));

    contactAction = named(bar->addAction(QStringLiteral("【联系作者】")), "contactAction");
    lessonsAction = named(bar->addAction(QStringLiteral("【学习编程】")), "lessonsAction");
    restartAction = named(bar->addAction(QStringLiteral("【重启程序】")), "restartAction");

    moreMenu = named(bar->addMenu(QStringLiteral("【更多精彩】")), "moreMenu");
    softwareSiteAction = menuItem(moreMenu, "softwareSiteAction", QStringLiteral("原创免费软件"));
    moreMenu->addSeparator();
    boardAction = menuItem(moreMenu, "boardAction", QStringLiteral("官方百度贴吧"));
    moreMenu->addSeparator();
    blogAction = menuItem(moreMenu, "blogAction", QStringLiteral("原创技术博客"));

    // The pop-up of toolsButton: a menu of the window that is never put on the bar.
    toolsMenu = named(new QMenu(QStringLiteral("【相关操作】"), this), "toolsMenu");
    pasteAction = menuItem(toolsMenu, "pasteAction", QStringLiteral("粘贴剪切板信息"));
    toolsMenu->addSeparator();
    clearMenu = named(toolsMenu->addMenu(QStringLiteral("清空相关的信息")), "clearMenu");
    clearMessageAction = menuItem(clearMenu, "clearMessageAction", QStringLiteral("清空祝福信息"));
    clearMenu->addSeparator();
    clearAllAction = menuItem(clearMenu, "clearAllAction", QStringLiteral("清空全部信息"));
    clearMenu->addSeparator();
    clearClipboardAction = menuItem(clearMenu, "clearClipboardAction", QStringLiteral("清空剪贴板信息"));

    // The pictured items carry the check mark from the start, so their pictures show.
    for (QAction* a : {checkUpdateAction, saveMessageAction, copyAddressAction, exitAction}) {
        a->setCheckable(true);
        a->setChecked(true);
    }
}

// What the generation run reports reaches the controls here.
void MainWindow::connectRun() {
    connect(run_.get(), &GenerationRun::statusChanged, this, &MainWindow::setStatus);
    connect(run_.get(), &GenerationRun::focusRequested, this, [this](InputField field) {
        QWidget* inputs[] = {senderEdit, recipientEdit, relationCombo, messageEdit};
        inputs[int(field)]->setFocus();
    });
    connect(run_.get(), &GenerationRun::generateEnabled, generateButton, &QWidget::setEnabled);
    connect(run_.get(), &GenerationRun::inputsEnabled, this, [this] {
        for (QWidget* input :
             std::initializer_list<QWidget*>{senderEdit, recipientEdit, relationCombo, generateButton}) {
            input->setEnabled(true);
        }
    });
    connect(run_.get(), &GenerationRun::savedFileShown, this, [this](GenerationRun::SavedFile file) {
        const bool speech = file == GenerationRun::SavedFile::Speech;
        showOnStatusBar(speech ? findSpeechButton : findJoinedButton, statusLine);
        (speech ? findJoinedButton : findSpeechButton)->setVisible(false);
    });
    connect(run_.get(), &GenerationRun::parkRequested, this,
            [this](const QString& balloon) { parking_->minimise(balloon); });
    connect(run_.get(), &GenerationRun::balloonWithdrawn, this, [this] { parking_->withdrawBalloon(); });
    connect(run_.get(), &GenerationRun::parkEnded, this, [this] { parking_->restore(); });
}

void MainWindow::wireHandlers() {
    connect(generateButton, &QPushButton::clicked, this, [this] { onGenerateButtonClicked(); });
    connect(exampleButton, &QPushButton::clicked, this, [this] { onExampleButtonClicked(); });
    connect(findSpeechButton, &QPushButton::clicked, this, [this] { onFindSpeechButtonClicked(); });
    connect(findJoinedButton, &QPushButton::clicked, this, [this] { onFindJoinedButtonClicked(); });
    connect(toolsButton, &QPushButton::clicked, this, [this] { onToolsButtonClicked(); });
    connect(phrasesButton, &QPushButton::clicked, this, [this] { onPhrasesButtonClicked(); });
    connect(relationCombo, &QComboBox::activated, this, [this] { onRelationComboActivated(); });
    connect(prefixCheck, &QCheckBox::stateChanged, this,
            [this] { prefix_->onSwitchToggled(prefixCheck->checkState()); });
    connect(prefix_, &PrefixSwitch::shakeWanted, this, [this](bool on) {
        if (on) {
            shakeTimer->start();
        } else {
            shakeTimer->stop();
        }
    });
    connect(prefix_, &PrefixSwitch::mainWindowHideWanted, this, &QWidget::hide);
    connect(prefix_, &PrefixSwitch::mainWindowShowWanted, this, &QWidget::show);
    connect(prefix_, &PrefixSwitch::switchOffWanted, this, [this] { prefixCheck->setChecked(false); });

    connect(shakeTimer, &QTimer::timeout, this, [this] { onShakeTimerTimeout(); });
    connect(startupCheckTimer, &QTimer::timeout, this, [this] { onStartupCheckTimerTimeout(); });
    connect(rippleTimer, &QTimer::timeout, this, [this] { onRippleTimerTimeout(); });
    connectRun();

    const std::pair<QAction*, void (MainWindow::*)()> items[] = {
        {checkUpdateAction, &MainWindow::onCheckUpdateActionTriggered},
        {saveMessageAction, &MainWindow::onSaveMessageActionTriggered},
        {copyAddressAction, &MainWindow::onCopyAddressActionTriggered},
        {exitAction, &MainWindow::onExitActionTriggered},
        {aboutAction, &MainWindow::onAboutActionTriggered},
        {updateNotesAction, &MainWindow::onUpdateNotesActionTriggered},
        {joinerAction, &MainWindow::onJoinerActionTriggered},
        {voiceSettingsAction, &MainWindow::onVoiceSettingsActionTriggered},
        {batchAction, &MainWindow::onBatchActionTriggered},
        {phrasesAction, &MainWindow::onPhrasesActionTriggered},
        {deleteMessagesAction, &MainWindow::onDeleteMessagesActionTriggered},
        {repairAction, &MainWindow::onRepairActionTriggered},
        {effectAction, &MainWindow::onEffectActionTriggered},
        {contactAction, &MainWindow::onContactActionTriggered},
        {lessonsAction, &MainWindow::onLessonsActionTriggered},
        {restartAction, &MainWindow::onRestartActionTriggered},
        {softwareSiteAction, &MainWindow::onSoftwareSiteActionTriggered},
        {boardAction, &MainWindow::onBoardActionTriggered},
        {blogAction, &MainWindow::onBlogActionTriggered},
        {pasteAction, &MainWindow::onPasteActionTriggered},
        {clearMessageAction, &MainWindow::onClearMessageActionTriggered},
        {clearAllAction, &MainWindow::onClearAllActionTriggered},
        {clearClipboardAction, &MainWindow::onClearClipboardActionTriggered},
    };
    for (const auto& item : items) {
        const auto handler = item.second;
        connect(item.first, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    }
    connect(prefixSettingsAction, &QAction::triggered, this,
            [this] { prefix_->onSettingsChosen(prefixCheck->checkState()); });

    surface_->onMousePress = [this](const QPointF& p) { onMousePress(p.x(), p.y()); };
    surface_->onMouseMove = [this](const QPointF& p) { onMouseMove(p.x(), p.y()); };
}

void MainWindow::setLocked(bool locked) {
    for (QWidget* w :
         std::initializer_list<QWidget*>{senderEdit, recipientEdit, messageEdit, relationCombo, prefixCheck,
                                         generateButton, toolsButton, phrasesButton}) {
        w->setEnabled(!locked);
    }
    for (QAction* a : {checkUpdateAction, phrasesAction, prefixSettingsAction, joinerAction,
                       deleteMessagesAction, effectAction, repairAction}) {
        a->setEnabled(!locked);
    }
}

void MainWindow::setStatus(const QString& text) {
    statusLine->setPanelText(2, text);
}

MessageBoxAnswer MainWindow::ask(const QString& prompt, MessageBoxStyle style, const QString& title) {
    return ctx_.platform.messageBox().show(prompt, style, title, this);
}

QPoint MainWindow::popupPosition() const {
    return surface_->mapToGlobal(QPoint(twipsToPixels(502), twipsToPixels(290)));
}

} // namespace velanote
