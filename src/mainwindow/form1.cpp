#include "mainwindow/form1.h"

#include "generation/generationrun.h"
#include "generation/waitwithoutinput.h"
#include "mainwindow/form1pictures.h"
#include "mainwindow/form1texts.h"
#include "mainwindow/switchcheckbox.h"
#include "mainwindow/watersurface.h"
#include "platform/playerstrip.h"
#include "platform/statusbar.h"
#include "platform/twips.h"
#include "prefix/form2.h"
#include "prefix/prefixswitch.h"

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

template <typename T> T* named(T* object, const char* name) {
    object->setObjectName(QString::fromLatin1(name));
    return object;
}

QFrame* makeLine(QWidget* parent, const char* name, int x, int y, int width, int height,
                 const QColor& colour) {
    auto* line = named(new QFrame(parent), name);
    line->setFrameShape(QFrame::NoFrame);
    line->setAutoFillBackground(true);
    QPalette p = line->palette();
    p.setColor(QPalette::Window, colour);
    line->setPalette(p);
    line->setStyleSheet(QStringLiteral("background-color: %1;").arg(colour.name(QColor::HexArgb)));
    place(line, x, y, width, height);
    return line;
}

QAction* menuItem(QMenu* parent, const char* name, const QString& caption) {
    QAction* a = parent->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

QAction* separator(QMenu* parent, const char* name) {
    QAction* a = parent->addSeparator();
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

// Controls that hold working values only and are never seen lie beyond the client area.
constexpr int OutsideX = 2000;

} // namespace

Form1::Form1(AppContext& ctx, QWidget* parent)
    : QMainWindow(parent), C5(makeC5(ctx.platform.fileDialogs(), this)),
      C6(makeC6(ctx.platform.fileDialogs(), this)), WebBrowser1(ctx.platform), ctx_(ctx),
      updateCheck_(ctx.platform, ctx.endpoints.versionUrl, ctx.endpoints.forumUrl) {
    setObjectName(QStringLiteral("Form1"));
    // The version file is fetched on a worker while the window keeps painting (user input waits).
    HttpClient& http = ctx_.platform.http();
    updateCheck_.setFetcher([&http](const QString& url) {
        return waitWithoutInput([&http, url] { return http.fetchText(url); });
    });
    setWindowTitle(Form1Texts::caption());
    buildControls();
    buildMenu();

    WindowsMediaPlayer1 = ctx_.platform.createPlayer(this);
    EFMTrayIcon1 = ctx_.platform.createTrayIcon(this);
    // The player's strip at the free end of the switch's row.
    playerStrip = named(new PlayerStrip(*WindowsMediaPlayer1, Frame4), "WindowsMediaPlayer1");
    place(playerStrip, 420, 8, 210, 24);

    GenerationControls controls;
    controls.Text4 = Text4;
    controls.Text5 = Text5;
    controls.Combo1 = Combo1;
    controls.Text2 = Text2;
    controls.Text1 = Text1;
    controls.Text3 = Text3;
    controls.St1 = St1;
    controls.Command2 = Command2;
    controls.Command1 = Command1;
    controls.Command6 = Command6;
    controls.Check1 = Check1;
    controls.window = this;
    controls.player = WindowsMediaPlayer1.get();
    controls.tray = EFMTrayIcon1.get();
    controls.C5 = &C5;
    controls.C6 = &C6;
    run_ = std::make_unique<GenerationRun>(ctx_, controls);
    prefix_ = new PrefixSwitch(ctx_, this, Check1, Timer2, Text6, this);

    // The start-up lock, lifted by the first tick of Timer3.
    setLocked(true);
    wireHandlers();
    qApp->installEventFilter(this);

    Timer2->start();
    Timer3->start();
    Timer4->start();
    Form_Load();
}

Form1::~Form1() {
    qApp->removeEventFilter(this);
    if (form4_) {
        delete form4_.data();
    }
    if (form3_) {
        delete form3_.data();
    }
    if (prefix_ != nullptr) {
        prefix_->closeSettingsWindow();
    }
}

void Form1::buildControls() {
    surface_ = named(new WaterSurface(this), "Form1Surface");
    surface_->setFixedSize(twipsToPixels(ClientWidthTwips), twipsToPixels(ClientHeightTwips));
    setCentralWidget(surface_);
    QWidget* s = surface_;

    // The input frame: sender, recipient and relationship on the left, the message on the right.
    Frame1 =
        named(new QGroupBox(Form1Texts::frameCaption(QUrl(ctx_.endpoints.forumUrl).host()), s), "Frame1");
    place(Frame1, 10, 124, 608, 196);
    Label1 = named(new QLabel(QStringLiteral("请输入您的名字:"), Frame1), "Label1");
    place(Label1, 16, 26, 270, 20);
    Text4 = named(new QLineEdit(Frame1), "Text4");
    place(Text4, 16, 46, 270, 26);
    Label2 = named(new QLabel(QStringLiteral("请输入对方的名字:"), Frame1), "Label2");
    place(Label2, 16, 80, 270, 20);
    Text5 = named(new QLineEdit(Frame1), "Text5");
    place(Text5, 16, 100, 270, 26);
    Label3 = named(new QLabel(QStringLiteral("对方对您的称呼[关系]:"), Frame1), "Label3");
    place(Label3, 16, 134, 270, 20);
    Combo1 = named(new QComboBox(Frame1), "Combo1");
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->setMaxVisibleItems(12);
    place(Combo1, 16, 154, 204, 26);
    Command5 = named(new QPushButton(QStringLiteral("实例"), Frame1), "Command5");
    place(Command5, 226, 153, 60, 28);
    Line5 = makeLine(Frame1, "Line5", 300, 32, 1, 148, QColor(0xc9, 0xdd, 0xe2));
    Text2 = named(new QPlainTextEdit(Frame1), "Text2");
    QFont messageFont;
    messageFont.setFamilies(
        {QStringLiteral("微软雅黑"), QStringLiteral("Microsoft YaHei"), QStringLiteral("Noto Sans CJK SC")});
    messageFont.setPointSize(11);
    Text2->setFont(messageFont);
    Text2->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Text2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text2->setTabChangesFocus(true);
    Text2->setPlaceholderText(QStringLiteral("在这里输入祝福语(100字以内)"));
    place(Text2, 314, 28, 280, 154);

    // The animated strip beside the frame, framed by two thin lines that end flush with the
    // picture's border.
    Image2 = named(new QLabel(s), "Image2");
    place(Image2, 625, 133, 21, 184);
    Image2Movie = new QMovie(Form1Pictures::animatedStrip(), QByteArray(), this);
    Image2->setMovie(Image2Movie);
    Image2Movie->start();
    Line8 = makeLine(s, "Line8", 622, 133, 1, 184, QColor(0xb5, 0xd0, 0xd7));
    Line9 = makeLine(s, "Line9", 649, 133, 1, 184, QColor(0xb5, 0xd0, 0xd7));

    // The prefix switch in its own frame.
    Frame4 = named(new QGroupBox(s), "Frame4");
    Frame4->setStyleSheet(QStringLiteral("QGroupBox#Frame4 { margin-top: 0px; }"));
    place(Frame4, 10, 328, 640, 40);
    Check1 = named(new SwitchCheckBox(Form1Texts::checkCaption(), Frame4), "Check1");
    place(Check1, 14, 9, 400, 22);

    // The main commands.
    Command2 = named(new QPushButton(QStringLiteral("生成音信"), s), "Command2");
    place(Command2, 10, 377, 236, 44);
    QFont strong = Command2->font();
    strong.setBold(true);
    strong.setPointSize(strong.pointSize() + 1);
    Command2->setFont(strong);
    Command7 = named(new QPushButton(QStringLiteral("选择内置祝福语"), s), "Command7");
    place(Command7, 254, 377, 196, 44);
    Command4 = named(new QPushButton(QStringLiteral("程序相关小操作"), s), "Command4");
    place(Command4, 458, 377, 192, 44);
    Line6 = makeLine(s, "Line6", 0, 430, 658, 1, QColor(0xb5, 0xd0, 0xd7));
    Line7 = makeLine(s, "Line7", 0, 431, 658, 1, QColor(0xff, 0xff, 0xff));

    St1 = named(new StatusBar({QStringLiteral("当前状态："), QStringLiteral("程序检测更新中..请您稍等..."),
                               QStringLiteral("程序设计:Tomo阿朔")},
                              2, s),
                "St1");
    place(St1, 0, 434, 658, 24);

    // The repair's progress shows on the status line, where the find buttons (hidden by the
    // repair) would stand.
    ProgressBar1 = named(new QProgressBar(s), "ProgressBar1");
    ProgressBar1->setRange(0, 5000);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    place(ProgressBar1, 330, 439, 200, 14);
    ProgressBar1->hide();

    // The find buttons appear over the status bar once a file has been saved.
    Command1 = named(new QPushButton(QStringLiteral("找到音信文件"), s), "Command1");
    place(Command1, 430, 435, 110, 22);
    Command1->hide();
    Command6 = named(new QPushButton(QStringLiteral("找到合成音信"), s), "Command6");
    place(Command6, 430, 435, 110, 22);
    Command6->hide();
    save = named(new QPushButton(QStringLiteral("Command5"), s), "save");
    place(save, OutsideX, 0, 80, 24);
    save->hide();

    // The border of the rippling picture at (10, 10).
    const QColor border(0x9c, 0xc3, 0xcc);
    Line1 = makeLine(s, "Line1", 9, 9, 642, 1, border);
    Line2 = makeLine(s, "Line2", 9, 116, 642, 1, border);
    Line3 = makeLine(s, "Line3", 9, 10, 1, 106, border);
    Line4 = makeLine(s, "Line4", 650, 10, 1, 106, border);

    // Working boxes and picture sources, beyond the client area.
    Text1 = named(new QPlainTextEdit(s), "Text1");
    place(Text1, OutsideX, 40, 200, 60);
    Text3 = named(new QLineEdit(s), "Text3");
    place(Text3, OutsideX, 110, 200, 24);
    Text6 = named(new QPlainTextEdit(s), "Text6");
    place(Text6, OutsideX, 140, 200, 60);
    Text7 = named(new QPlainTextEdit(s), "Text7");
    place(Text7, OutsideX, 210, 200, 60);
    Text7->setPlainText(Form1Texts::updateNotes());
    pic1 = named(new QLabel(s), "pic1");
    pic2 = named(new QLabel(s), "pic2");
    pic3 = named(new QLabel(s), "pic3");
    pic4 = named(new QLabel(s), "pic4");
    pic1->setPixmap(Form1Pictures::copyIcon());
    pic2->setPixmap(Form1Pictures::saveIcon());
    pic3->setPixmap(Form1Pictures::exitIcon());
    pic4->setPixmap(Form1Pictures::updateIcon());
    int picX = OutsideX;
    for (QLabel* pic : {pic1, pic2, pic3, pic4}) {
        place(pic, picX, 280, 16, 16);
        picX += 20;
    }
    Picture1 = named(new QLabel(s), "Picture1");
    Picture1->setPixmap(Form1Pictures::waterPicture());
    place(Picture1, OutsideX, 300, 640, 106);
    Image1 = named(new QLabel(s), "Image1");
    Image1->setPixmap(Form1Pictures::banner());
    place(Image1, OutsideX, 420, 640, 207);
    for (QWidget* hidden : std::initializer_list<QWidget*>{Text1, Text3, Text6, Text7, pic1, pic2, pic3, pic4,
                                                           Picture1, Image1}) {
        hidden->hide();
    }

    Timer2 = named(new QTimer(this), "Timer2");
    Timer2->setInterval(5000);
    Timer3 = named(new QTimer(this), "Timer3");
    Timer3->setInterval(1000);
    Timer4 = named(new QTimer(this), "Timer4");
    Timer4->setInterval(10);
    Timer4->setTimerType(Qt::PreciseTimer);

    surface_->setMouseTracking(true);
    setMouseTracking(true);
}

void Form1::buildMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("Form1MenuBar"));
    // Seven entries of six wide characters each share the window's width.
    bar->setStyleSheet(QStringLiteral("QMenuBar::item { padding: 4px 5px; }"));

    menu = named(bar->addMenu(QStringLiteral("【程序菜单】")), "menu");
    jiance = menuItem(menu, "jiance", QStringLiteral("检测程序更新"));
    x213 = separator(menu, "x213");
    saveyx = menuItem(menu, "saveyx", QStringLiteral("保存音信文件"));
    x2 = separator(menu, "x2");
    copy = menuItem(menu, "copy", QStringLiteral("复制音信地址"));
    x3 = separator(menu, "x3");
    endd = menuItem(menu, "endd", QStringLiteral("退出音信程序"));

    xgsm = named(bar->addMenu(QStringLiteral("【相关说明】")), "xgsm");
    rj = menuItem(xgsm, "rj", QStringLiteral("软件说明"));
    x54 = separator(xgsm, "x54");
    sm = menuItem(xgsm, "sm", QStringLiteral("更新说明"));

    qtgn = named(bar->addMenu(QStringLiteral("【相关功能】")), "qtgn");
    qz = menuItem(qtgn, "qz", QStringLiteral("前缀音频设置"));
    x20 = separator(qtgn, "x20");
    ypzh = menuItem(qtgn, "ypzh", QStringLiteral("音频整合功能"));
    x21 = separator(qtgn, "x21");
    xznz = menuItem(qtgn, "xznz", QStringLiteral("选择内置祝福"));
    x561 = separator(qtgn, "x561");
    qcyx = menuItem(qtgn, "qcyx", QStringLiteral("清除全部音信"));
    x32 = separator(qtgn, "x32");
    ypxf = menuItem(qtgn, "ypxf", QStringLiteral("音频修复功能"));
    x35 = separator(qtgn, "x35");
    zttx = menuItem(qtgn, "zttx", QString::fromUtf8(EffectOnCaption));

    con = named(bar->addAction(QStringLiteral("【联系作者】")), "con");
    xxbc = named(bar->addAction(QStringLiteral("【学习编程】")), "xxbc");
    cq = named(bar->addAction(QStringLiteral("【重启程序】")), "cq");

    more = named(bar->addMenu(QStringLiteral("【更多精彩】")), "more");
    velafans = menuItem(more, "velafans", QStringLiteral("原创免费软件"));
    x6 = separator(more, "x6");
    tieba = menuItem(more, "tieba", QStringLiteral("官方百度贴吧"));
    xz = separator(more, "xz");
    it8 = menuItem(more, "it8", QStringLiteral("原创技术博客"));

    // The pop-up of Command4: a menu of the window that is never put on the bar.
    xgcz = named(new QMenu(QStringLiteral("【相关操作】"), this), "xgcz");
    ztxx = menuItem(xgcz, "ztxx", QStringLiteral("粘贴剪切板信息"));
    x455 = separator(xgcz, "x455");
    qkxx = named(xgcz->addMenu(QStringLiteral("清空相关的信息")), "qkxx");
    qkzf = menuItem(qkxx, "qkzf", QStringLiteral("清空祝福信息"));
    x55 = separator(qkxx, "x55");
    qk = menuItem(qkxx, "qk", QStringLiteral("清空全部信息"));
    x50 = separator(qkxx, "x50");
    qkjt = menuItem(qkxx, "qkjt", QStringLiteral("清空剪贴板信息"));

    // The pictured items carry the check mark from the start, so their pictures show.
    for (QAction* a : {jiance, saveyx, copy, endd}) {
        a->setCheckable(true);
        a->setChecked(true);
    }
}

void Form1::wireHandlers() {
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command6, &QPushButton::clicked, this, [this] { Command6_Click(); });
    connect(save, &QPushButton::clicked, this, [this] { save_Click(); });
    connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
    connect(Command7, &QPushButton::clicked, this, [this] { Command7_Click(); });
    connect(Combo1, &QComboBox::activated, this, [this] { Combo1_Click(); });
    connect(Check1, &QCheckBox::stateChanged, this, [this] { prefix_->Check1_Click(); });

    connect(Timer2, &QTimer::timeout, this, [this] { prefix_->Timer2_Timer(); });
    connect(Timer3, &QTimer::timeout, this, [this] { Timer3_Timer(); });
    connect(Timer4, &QTimer::timeout, this, [this] { Timer4_Timer(); });

    const std::pair<QAction*, void (Form1::*)()> items[] = {
        {jiance, &Form1::jiance_Click}, {saveyx, &Form1::saveyx_Click}, {copy, &Form1::copy_Click},
        {endd, &Form1::endd_Click},     {rj, &Form1::rj_Click},         {sm, &Form1::sm_Click},
        {ypzh, &Form1::ypzh_Click},     {xznz, &Form1::xznz_Click},     {qcyx, &Form1::qcyx_Click},
        {ypxf, &Form1::ypxf_Click},     {zttx, &Form1::zttx_Click},     {con, &Form1::con_Click},
        {xxbc, &Form1::xxbc_Click},     {cq, &Form1::cq_Click},         {velafans, &Form1::velafans_Click},
        {tieba, &Form1::tieba_Click},   {it8, &Form1::it8_Click},       {ztxx, &Form1::ztxx_Click},
        {qkzf, &Form1::qkzf_Click},     {qk, &Form1::qk_Click},         {qkjt, &Form1::qkjt_Click},
    };
    for (const auto& [action, handler] : items) {
        connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    }
    connect(qz, &QAction::triggered, this, [this] { prefix_->qz_Click(); });

    surface_->onMousePress = [this](const QPointF& p) { Form_MouseDown(p.x(), p.y()); };
    surface_->onMouseMove = [this](const QPointF& p) { Form_MouseMove(p.x(), p.y()); };
}

void Form1::setLocked(bool locked) {
    for (QWidget* w :
         std::initializer_list<QWidget*>{Text4, Text5, Text2, Combo1, Check1, Command2, Command4, Command7}) {
        w->setEnabled(!locked);
    }
    for (QAction* a : {jiance, xznz, qz, ypzh, qcyx, zttx, ypxf}) {
        a->setEnabled(!locked);
    }
}

void Form1::setStatus(const QString& text) {
    St1->setPanelText(2, text);
}

int Form1::ask(const QString& prompt, int style, const QString& title) {
    return ctx_.platform.messageBox().MsgBox(prompt, style, title, this);
}

QPoint Form1::popupPosition() const {
    return surface_->mapToGlobal(QPoint(twipsToPixels(502), twipsToPixels(290)));
}

} // namespace velanote
