#include "prefix/form2.h"

#include "platform/playerstrip.h"
#include "platform/textbox.h"
#include "prefix/prefixstore.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace velanote {

namespace {
const QString kTitle = QStringLiteral("Tomo阿朔提示");
const QString kListen = QStringLiteral("试听");
const QString kStop = QStringLiteral("停止");
const QString kNoPrefix = QStringLiteral("程序检测：您当前未设置过前缀音频,请先进行前缀音频设定");
constexpr qint64 kLimitKiB = 200;

} // namespace

const QStringList& Form2::jingleNames() {
    static const QStringList names = {QStringLiteral("Pretty Boy"), QStringLiteral("抒情旋律"),
                                      QStringLiteral("Dream"),      QStringLiteral("JYJ-找到了"),
                                      QStringLiteral("YesterDay"),  QStringLiteral("我想我是疯了"),
                                      QStringLiteral("OPPO温馨"),   QStringLiteral("因为是女子"),
                                      QStringLiteral("动感活泼"),   QStringLiteral("可爱旋律")};
    return names;
}

QString Form2::jingleFile(int row) {
    return QStringLiteral("\\sc\\%1.mp3").arg(row + 1);
}

QString Form2::parameterNote() {
    return QStringLiteral("选择此项请注意前缀音频必须保证为如下参数:\r\n"
                          "\r\n"
                          "格式:MP3\r\n"
                          "比特率:16000\r\n"
                          "采样率:11025\r\n"
                          "声道:mono(即单声道)\r\n"
                          "\r\n"
                          "否则将无法成功合成音频!\r\n");
}

Form2::Form2(AppContext& ctx, QWidget* form1, QCheckBox* check1, QWidget* parent)
    : QWidget(parent, Qt::Window),
      C1(ctx.platform.fileDialogs(), this, QStringLiteral("请选择要合并的前缀音频文件"),
         QStringLiteral("(MP3音频文件)|*.MP3")),
      WindowsMediaPlayer1(ctx.platform.createPlayer(this)), WebBrowser1(ctx.platform.shell()), ctx_(ctx),
      form1_(form1), check1_(check1) {
    setObjectName(QStringLiteral("Form2"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();

    connect(Option1, &QRadioButton::toggled, this, [this](bool on) {
        if (on) {
            Option1_Click();
        }
    });
    connect(Option2, &QRadioButton::toggled, this, [this](bool on) {
        if (on) {
            Option2_Click();
        }
    });
    connect(Combo1, &QComboBox::activated, this, [this] { Combo1_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
    connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
    connect(Text1, &QLineEdit::textChanged, this, [this] { Text1_Change(); });
    Label2->installEventFilter(this);
    Frame1->installEventFilter(this);
    Frame2->installEventFilter(this);

    Form_Load();
    placeOverMainWindow();
}

Form2::~Form2() = default;

void Form2::buildControls() {
    auto named = [](QWidget* w, const char* name) {
        w->setObjectName(QString::fromLatin1(name));
        return w;
    };

    Frame2 = new QGroupBox(this);
    named(Frame2, "Frame2");
    Frame2->setMouseTracking(true);
    Label2 = new QLabel(QStringLiteral("欢迎使用【Vela.声笺】,本页面用于音信的美化,可在音信前加入音乐,"
                                       "如您有喜欢或者更好听的音乐想用作前缀音频,请点击联系阿朔"),
                        Frame2);
    named(Label2, "Label2");
    Label2->setWordWrap(true);
    Label2->setCursor(Qt::PointingHandCursor);
    Label2->setStyleSheet(QStringLiteral("color: #1f4e99;"));
    auto* welcome = new QVBoxLayout(Frame2);
    welcome->addWidget(Label2);

    Frame1 = new QGroupBox(QStringLiteral("请选择您要使用的方式：") + QString(40, QLatin1Char(' ')), this);
    named(Frame1, "Frame1");
    Frame1->setAcceptDrops(true);
    Option1 = new QRadioButton(QStringLiteral("使用程序默认音频"), Frame1);
    named(Option1, "Option1");
    Option2 = new QRadioButton(QStringLiteral("使用定义音频功能"), Frame1);
    named(Option2, "Option2");

    Frame3 = new QGroupBox(QStringLiteral("程序默认"), Frame1);
    named(Frame3, "Frame3");
    Label1 = new QLabel(QStringLiteral("请您选择合并前缀音频文件："), Frame3);
    named(Label1, "Label1");
    Combo1 = new QComboBox(Frame3);
    named(Combo1, "Combo1");
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->setMinimumWidth(170);
    Command2 = new QPushButton(kListen, Frame3);
    named(Command2, "Command2");
    auto* builtIn = new QHBoxLayout(Frame3);
    builtIn->addWidget(Label1);
    builtIn->addWidget(Combo1, 1);
    builtIn->addWidget(Command2);

    Frame4 = new QGroupBox(QStringLiteral("自定义音频前缀"), Frame1);
    named(Frame4, "Frame4");
    Label3 = new QLabel(QStringLiteral("请选择您的自定义音频路径："), Frame4);
    named(Label3, "Label3");
    Text1 = new QLineEdit(Frame4);
    named(Text1, "Text1");
    Text1->setReadOnly(true);
    Command3 = new QPushButton(QStringLiteral("浏览"), Frame4);
    named(Command3, "Command3");
    Command4 = new QPushButton(kListen, Frame4);
    named(Command4, "Command4");
    auto* custom = new QVBoxLayout(Frame4);
    custom->addWidget(Label3);
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(Text1, 1);
    pathRow->addWidget(Command3);
    pathRow->addWidget(Command4);
    custom->addLayout(pathRow);

    auto* modes = new QVBoxLayout(Frame1);
    auto* optionRow = new QHBoxLayout;
    optionRow->addWidget(Option1);
    optionRow->addSpacing(24);
    optionRow->addWidget(Option2);
    optionRow->addStretch(1);
    modes->addLayout(optionRow);
    modes->addWidget(Frame3);
    modes->addWidget(Frame4);

    Frame5 = new QGroupBox(this);
    named(Frame5, "Frame5");
    Label4 = new QLabel(kNoPrefix, Frame5);
    named(Label4, "Label4");
    Label4->setWordWrap(true);
    Command5 = new QPushButton(kListen, Frame5);
    named(Command5, "Command5");
    auto* state = new QHBoxLayout(Frame5);
    state->addWidget(Label4, 1);
    state->addWidget(Command5);

    // The player's strip; stopping there ends any preview, so its button offers the preview again.
    playerStrip = new PlayerStrip(*WindowsMediaPlayer1, this);
    named(playerStrip, "WindowsMediaPlayer1");
    connect(playerStrip, &PlayerStrip::stopped, this, [this] {
        for (QPushButton* preview : {Command2, Command4, Command5}) {
            if (preview->text() == kStop) {
                preview->setText(kListen);
            }
        }
    });

    Command1 = new QPushButton(QStringLiteral("确定"), this);
    named(Command1, "Command1");
    Command1->setMinimumWidth(120);

    Text2 = new QPlainTextEdit(this);
    named(Text2, "Text2");
    Text2->setPlainText(parameterNote());
    Text2->setVisible(false);

    for (QPushButton* b : {Command2, Command3, Command4, Command5}) {
        b->setMinimumWidth(64);
    }

    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(12, 12, 12, 12);
    page->setSpacing(10);
    page->addWidget(Frame2);
    page->addWidget(Frame1);
    page->addWidget(Frame5);
    page->addWidget(playerStrip);
    auto* confirmRow = new QHBoxLayout;
    confirmRow->addStretch(1);
    confirmRow->addWidget(Command1);
    confirmRow->addStretch(1);
    page->addLayout(confirmRow);
    page->addWidget(Text2);

    setFixedWidth(520);
}

// Opens centred where the main window stands (it is hidden meanwhile), kept on its screen.
void Form2::placeOverMainWindow() {
    QRect frame = frameGeometry();
    const QScreen* screen = form1_ ? form1_->screen() : QGuiApplication::primaryScreen();
    if (form1_) {
        frame.moveCenter(form1_->frameGeometry().center());
    } else if (screen != nullptr) {
        frame.moveCenter(screen->availableGeometry().center());
    }
    if (screen != nullptr) {
        const QRect area = screen->availableGeometry();
        frame.moveLeft(std::max(area.left(), std::min(frame.left(), area.right() - frame.width() + 1)));
        frame.moveTop(std::max(area.top(), std::min(frame.top(), area.bottom() - frame.height() + 1)));
    }
    move(frame.topLeft());
}

void Form2::Form_Load() {
    Combo1->addItems(jingleNames());
    Combo1->setCurrentIndex(-1);
    setWindowTitle(QStringLiteral("Vela.系列软件の声笺V6.0【星河】-前缀音频设置"));
    if (Option1->isChecked()) {
        Option1_Click();
    } else {
        Option1->setChecked(true);
    }

    const PrefixStore store(ctx_.folder);
    const QString stored = store.storedChoice();
    if (!store.prefixExists()) {
        Label4->setText(kNoPrefix);
        Command5->setEnabled(false);
    } else if (stored == QLatin1String("1")) {
        Label4->setText(QStringLiteral("程序检测：您已设置过前缀音频为自定义音频是否点击试听?"));
        Command5->setEnabled(true);
    } else {
        Label4->setText(QStringLiteral("程序检测：您已设置过前缀音频为:") + stored);
        Command5->setEnabled(true);
    }
    adjustSize();
    setFixedHeight(sizeHint().height());
}

void Form2::Option1_Click() {
    Text1->setEnabled(false);
    Command3->setEnabled(false);
    Command4->setEnabled(false);
    Command4->setText(kListen);
    Combo1->setEnabled(true);
    Command2->setEnabled(false);
}

void Form2::Option2_Click() {
    msgBox(plainTextWithCrLf(*Text2), MsgBoxStyle::OkInformation);
    Combo1->setEnabled(false);
    Command2->setEnabled(false);
    Command2->setText(kListen);
    Command3->setEnabled(true);
    Command4->setEnabled(false);
}

void Form2::Combo1_Click() {
    Command2->setEnabled(!Combo1->currentText().isEmpty());
    if (Command2->text() == kStop) {
        Command2->setText(kListen);
        WindowsMediaPlayer1->setURL(QString());
    }
}

void Form2::Command2_Click() {
    if (Command2->text() == kListen) {
        Command2->setText(kStop);
        Command5->setText(kListen);
        Command4->setText(kListen);
        const int row = listIndex();
        if (row >= 0) {
            WindowsMediaPlayer1->setURL(ctx_.folder.file(jingleFile(row)));
        }
        if (WindowsMediaPlayer1->URL().isEmpty()) {
            msgBox(QStringLiteral("情进行选择后在试听,请勿手动输入非法字符!"), MsgBoxStyle::OkExclamation);
        }
    } else if (Command2->text() == kStop) {
        Command2->setText(kListen);
        WindowsMediaPlayer1->setURL(QString());
    }
}

void Form2::Command3_Click() {
    C1.CancelError = true;
    if (C1.ShowOpen() == CommonDialog::Outcome::Cancelled) {
        return;
    }
    if (Text1->text() == C1.FileName) {
        Text1_Change(); // the same file again: check it afresh
    } else {
        Text1->setText(C1.FileName);
    }
}

void Form2::Text1_Change() {
    const QString path = Text1->text();
    if (path.isEmpty()) {
        return;
    }
    if (!isOrdinaryFile(path)) {
        msgBox(QStringLiteral("文件错误!未找到文件!请您重新查找!"), MsgBoxStyle::OkExclamation);
        Text1->clear();
        Command4->setEnabled(false);
    } else if (QFileInfo(path).size() / 1024 >= kLimitKiB) {
        msgBox(QStringLiteral("请选择200K以下的音频文件!"), MsgBoxStyle::OkExclamation);
        Text1->clear();
        Command4->setEnabled(false);
    } else {
        Command4->setEnabled(true);
    }
    WindowsMediaPlayer1->setURL(QString());
    Command4->setText(kListen);
}

void Form2::Command4_Click() {
    if (Command4->text() == kListen) {
        const QString path = Text1->text();
        if (isOrdinaryFile(path)) {
            Command4->setText(kStop);
            Command5->setText(kListen);
            Command2->setText(kListen);
            WindowsMediaPlayer1->setURL(path);
        } else {
            msgBox(QStringLiteral("文件错误!未找到文件!请您重新查找!"), MsgBoxStyle::OkExclamation);
            Text1->clear();
            Command4->setEnabled(false);
        }
    } else if (Command4->text() == kStop) {
        Command4->setText(kListen);
        WindowsMediaPlayer1->setURL(QString());
    }
}

void Form2::Command5_Click() {
    if (Command5->text() == kListen) {
        const PrefixStore store(ctx_.folder);
        if (prefixFileExists()) {
            Command5->setText(kStop);
            Command2->setText(kListen);
            Command4->setText(kListen);
            WindowsMediaPlayer1->setURL(store.prefixPath());
        } else {
            msgBox(QStringLiteral("文件错误!未找到文件!请您重新设置!"), MsgBoxStyle::OkExclamation);
            Label4->setText(kNoPrefix);
            Command5->setEnabled(false);
        }
    } else if (Command5->text() == kStop) {
        Command5->setText(kListen);
        WindowsMediaPlayer1->setURL(QString());
    }
}

void Form2::Command1_Click() {
    const PrefixStore store(ctx_.folder);
    QString source;
    QString choice;
    if (Option1->isChecked() && !Option2->isChecked()) {
        choice = Combo1->currentText();
        if (choice.isEmpty()) {
            msgBox(QStringLiteral("请选择您要合成的音频前缀!"), MsgBoxStyle::OkExclamation);
            return;
        }
        const int row = listIndex();
        if (row < 0) {
            msgBox(QStringLiteral("请从列表中选择前缀音频,请勿手动输入!"), MsgBoxStyle::OkExclamation);
            return;
        }
        source = ctx_.folder.file(jingleFile(row));
    } else if (!Option1->isChecked() && Option2->isChecked()) {
        source = Text1->text();
        if (source.isEmpty()) {
            msgBox(QStringLiteral("请先选择您要合成的前缀音频文件!"), MsgBoxStyle::OkExclamation);
            return;
        }
        choice = QStringLiteral("1");
    } else {
        return;
    }

    if (!store.store(source, choice)) {
        msgBox(QStringLiteral("前缀音频保存失败!请您重新设置!"), MsgBoxStyle::OkExclamation);
        return;
    }
    msgBox(QStringLiteral("选择成功!"), MsgBoxStyle::OkInformation);
    showMainWindow();
    close();
}

void Form2::Label2_Click() {
    WebBrowser1.Navigate(ctx_.endpoints.chatUrl);
}

void Form2::Frame1_DragDrop() {
    Frame1->setCursor(Qt::ArrowCursor);
}

void Form2::Frame2_MouseMove() {
    Frame2->setCursor(Qt::ArrowCursor);
}

void Form2::Form_QueryUnload() {
    showMainWindow();
    if (!prefixFileExists() && check1_) {
        check1_->setChecked(false);
    }
}

void Form2::closeEvent(QCloseEvent* event) {
    Form_QueryUnload();
    event->accept();
    Q_EMIT unloaded();
}

bool Form2::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label2 && event->type() == QEvent::MouseButtonRelease) {
        Label2_Click();
    } else if (watched == Frame2 && event->type() == QEvent::MouseMove) {
        Frame2_MouseMove();
    } else if (watched == Frame1 && event->type() == QEvent::DragEnter) {
        event->accept();
        return true;
    } else if (watched == Frame1 && event->type() == QEvent::Drop) {
        Frame1_DragDrop();
    }
    return QWidget::eventFilter(watched, event);
}

int Form2::listIndex() const {
    return Combo1->findText(Combo1->currentText(), Qt::MatchFixedString | Qt::MatchCaseSensitive);
}

bool Form2::prefixFileExists() const {
    return PrefixStore(ctx_.folder).prefixExists();
}

int Form2::msgBox(const QString& prompt, int style) {
    return ctx_.platform.messageBox().MsgBox(prompt, style, kTitle, this);
}

void Form2::showMainWindow() {
    if (form1_) {
        form1_->show();
    }
}

} // namespace velanote
