#include "joiner/form3.h"

#include "joiner/audiojoiner.h"
#include "platform/playerstrip.h"
#include "platform/statusbar.h"
#include "platform/twips.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

namespace velanote {

const QString Form3::Browse = QStringLiteral("浏览");
const QString Form3::Chosen = QStringLiteral("已选择");

namespace {

const QString kTitle = QStringLiteral("Tomo阿朔");
const QString kNoticeTitle = QStringLiteral("Tomo阿朔提示");
const QString kAudioFilter = QStringLiteral("MP3音频文件|*.mp3|WMA音频文件|*.wma|AVI音频文件|*.avi");
const QString kExplanation =
    QStringLiteral("本工具主要是将两段音频分先后顺序整合合并为单一音频,并非混合,混合技术阿朔正在研发中，"
                   "请大家耐心等待，谢谢，另外由于技术方面的限制，所以本工具只能整合本程序所生成的简短音频,"
                   "大文件则将会整合失败!请注意!") +
    QStringLiteral("\n\n") +
    QStringLiteral("PS:整合前,请您检查两端音频的比特率与采样率是否一致,一致才可成功整合");

// Client area and the status bar, in twips.
constexpr int kWidth = 7800;
constexpr int kHeight = 7500;
constexpr int kStatusTop = 7050;
constexpr int kStatusHeight = 450;

QLabel* makeLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

QPushButton* makeButton(const QString& name, const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    return button;
}

QGroupBox* makeFrame(const QString& name, const QString& title, QWidget* parent) {
    auto* frame = new QGroupBox(title, parent);
    frame->setObjectName(name);
    return frame;
}

// A path box the user reads but does not type in; its text stays dark enough to read.
QLineEdit* makePathBox(const QString& name, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setEnabled(false);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(0x30, 0x30, 0x30));
    palette.setColor(QPalette::Disabled, QPalette::Base, QColor(0xf3, 0xf5, 0xf8));
    box->setPalette(palette);
    return box;
}

// The two small pictures beside the progress bar: notes going in, a disc coming out.
QPixmap notesPicture() {
    QPixmap picture(18, 18);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x2d, 0x6c, 0xb5), 1.6));
    p.setBrush(QColor(0x2d, 0x6c, 0xb5));
    p.drawEllipse(QRectF(2, 11, 5, 4));
    p.drawEllipse(QRectF(10, 9, 5, 4));
    p.drawLine(QPointF(6.5, 13), QPointF(6.5, 3));
    p.drawLine(QPointF(14.5, 11), QPointF(14.5, 1.5));
    p.drawLine(QPointF(6.5, 3), QPointF(14.5, 1.5));
    return picture;
}

QPixmap discPicture() {
    QPixmap picture(18, 18);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x2d, 0x6c, 0xb5), 1.2));
    p.setBrush(QColor(0xd9, 0xe6, 0xf5));
    p.drawEllipse(QRectF(1.5, 1.5, 15, 15));
    p.setBrush(QColor(0x2d, 0x6c, 0xb5));
    p.drawEllipse(QRectF(7, 7, 4, 4));
    return picture;
}

} // namespace

Form3::Form3(AppContext& ctx, QWidget* form1, QWidget* parent)
    : QWidget(parent, Qt::Window), C1(ctx.platform.fileDialogs(), this,
                                      QStringLiteral("请选择要合并的音频文件一(前半部分)"), kAudioFilter),
      C2(ctx.platform.fileDialogs(), this, QStringLiteral("请选择要合并的音频文件二(后半部分)"),
         kAudioFilter),
      C3(ctx.platform.fileDialogs(), this, QStringLiteral("请选择您要保存合成音频的路径"), kAudioFilter),
      ctx_(ctx), form1_(form1) {
    setObjectName(QStringLiteral("Form3"));
    setAttribute(Qt::WA_DeleteOnClose);
    WindowsMediaPlayer1 = ctx.platform.createPlayer(this);
    buildControls();
    if (const QScreen* screen = form1 != nullptr ? form1->screen() : QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }

    connect(Command1, &QPushButton::clicked, this, &Form3::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form3::Command2_Click);
    connect(Command4, &QPushButton::clicked, this, &Form3::Command4_Click);
    connect(Command3, &QPushButton::clicked, this, &Form3::Command3_Click);
    connect(Command5, &QPushButton::clicked, this, &Form3::Command5_Click);
    connect(Text1, &QLineEdit::textChanged, this, &Form3::Text1_Change);
    connect(Text2, &QLineEdit::textChanged, this, &Form3::Text2_Change);
    connect(Text3, &QLineEdit::textChanged, this, &Form3::Text3_Change);

    Form_Load();
}

Form3::~Form3() = default;

void Form3::buildControls() {
    setFixedSize(twipsToPixels(kWidth), twipsToPixels(kHeight));

    Frame1 = makeFrame(QStringLiteral("Frame1"), QStringLiteral("请选择您要整合的音频文件"), this);
    setGeometryTwips(Frame1, 120, 120, 7560, 2580);
    struct Row {
        QLabel*& label;
        QLineEdit*& text;
        QPushButton*& button;
        const char* labelName;
        const char* textName;
        const char* buttonName;
        QString caption;
    };
    Row rows[] = {
        {Label2, Text1, Command1, "Label2", "Text1", "Command1", QStringLiteral("音频文件一(前半部分)：")},
        {Label3, Text2, Command2, "Label3", "Text2", "Command2", QStringLiteral("音频文件二(后半部分)：")},
        {Label4, Text3, Command4, "Label4", "Text3", "Command4", QStringLiteral("选择音频文件保存路径：")},
    };
    int top = 420;
    for (Row& row : rows) {
        row.label = makeLabel(QString::fromLatin1(row.labelName), row.caption, Frame1);
        setGeometryTwips(row.label, 180, top, 2310, 360);
        row.text = makePathBox(QString::fromLatin1(row.textName), Frame1);
        setGeometryTwips(row.text, 2490, top, 3780, 360);
        row.button = makeButton(QString::fromLatin1(row.buttonName), Browse, Frame1);
        setGeometryTwips(row.button, 6360, top - 15, 1020, 390);
        top += 540;
    }
    Command4->setEnabled(false);
    Command3 = makeButton(QStringLiteral("Command3"), QStringLiteral("确认合并"), Frame1);
    setGeometryTwips(Command3, 2490, 2010, 3780, 450);
    QFont bold = Command3->font();
    bold.setBold(true);
    Command3->setFont(bold);

    Frame4 = makeFrame(QStringLiteral("Frame4"), QStringLiteral("整合信息"), this);
    setGeometryTwips(Frame4, 120, 2820, 3720, 1560);
    Label7 = makeLabel(QStringLiteral("Label7"), QStringLiteral("(1)大小：未载入"), Frame4);
    setGeometryTwips(Label7, 240, 390, 3360, 330);
    Label8 = makeLabel(QStringLiteral("Label8"), QStringLiteral("(2)大小：未载入"), Frame4);
    setGeometryTwips(Label8, 240, 750, 3360, 330);
    Label9 = makeLabel(QStringLiteral("Label9"), QStringLiteral("预计合成后大小：未载入"), Frame4);
    setGeometryTwips(Label9, 240, 1110, 3360, 330);

    Frame3 = makeFrame(QStringLiteral("Frame3"), QStringLiteral("整合过程"), this);
    setGeometryTwips(Frame3, 3960, 2820, 3720, 1560);
    Label5 = makeLabel(QStringLiteral("Label5"), QString(), Frame3);
    Label5->setPixmap(notesPicture());
    setGeometryTwips(Label5, 180, 690, 270, 270);
    ProgressBar1 = new QProgressBar(Frame3);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 1000);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    setGeometryTwips(ProgressBar1, 510, 690, 2700, 270);
    Label6 = makeLabel(QStringLiteral("Label6"), QString(), Frame3);
    Label6->setPixmap(discPicture());
    setGeometryTwips(Label6, 3270, 690, 270, 270);

    Frame2 = makeFrame(QStringLiteral("Frame2"), QStringLiteral("整合说明"), this);
    setGeometryTwips(Frame2, 120, 4500, 7560, 1920);
    Label1 = makeLabel(QStringLiteral("Label1"), kExplanation, Frame2);
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setGeometryTwips(Label1, 240, 360, 7080, 1500);

    Line1 = new QFrame(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);
    setGeometryTwips(Line1, 120, 6495, 7560, 30);

    // The player's strip under the explanation: what plays, and a way to pause or stop it.
    playerStrip = new PlayerStrip(*WindowsMediaPlayer1, this);
    playerStrip->setObjectName(QStringLiteral("WindowsMediaPlayer1"));
    playerStrip->setShowsName(true);
    setGeometryTwips(playerStrip, 120, 6585, 7560, 360);

    St1 = new StatusBar({QStringLiteral("运行状态："), QStringLiteral("请进行程序操作...")}, 2, this);
    St1->setObjectName(QStringLiteral("St1"));
    setGeometryTwips(St1, 0, kStatusTop, kWidth, kStatusHeight);

    // It sits on the status bar, so it stays lower than the skin's buttons would make it.
    Command5 = makeButton(QStringLiteral("Command5"), QStringLiteral("找到合成音频"), this);
    Command5->setStyleSheet(QStringLiteral("min-height: 0px; padding: 0px 10px;"));
    setGeometryTwips(Command5, 6030, kStatusTop + 100, 1680, 300);
    Command5->setVisible(false);
    Command5->raise();
}

void Form3::Form_Load() {
    setWindowTitle(QStringLiteral("Vela.系列软件の声笺V6.0【星河】-音频整合工具"));
}

void Form3::setStatus(const QString& text) {
    St1->setPanelText(2, text);
}

void Form3::pickInput(QPushButton* button, CommonDialog& dialog, QLineEdit* text) {
    if (button->text() == Browse) {
        dialog.CancelError = true;
        if (dialog.ShowOpen() == CommonDialog::Outcome::Chosen) {
            text->setText(dialog.FileName);
        }
    } else if (button->text() == Chosen) {
        if (ctx_.platform.messageBox().MsgBox(QStringLiteral("您已选择音频,是否要更换?"),
                                              MsgBoxStyle::YesNoInformation, kTitle,
                                              this) == MsgBoxAnswer::Yes) {
            text->setText(QString());
            button->setText(Browse);
        }
    }
    updateOutputPicker();
}

void Form3::updateOutputPicker() {
    if (Command1->text() != Browse && Command2->text() != Browse) {
        Command4->setEnabled(true);
    } else {
        Command4->setEnabled(false);
        Command4->setText(Browse);
        Label9->setText(QStringLiteral("预计合成后大小：") + AudioJoiner::NotLoaded);
    }
}

void Form3::Command1_Click() {
    pickInput(Command1, C1, Text1);
}

void Form3::Command2_Click() {
    pickInput(Command2, C2, Text2);
}

void Form3::Command4_Click() {
    if (Command4->text() == Browse) {
        C3.CancelError = true;
        if (C3.ShowSave() == CommonDialog::Outcome::Chosen) {
            // The same path chosen again changes no text, yet the picker must read "已选择" again.
            if (Text3->text() == C3.FileName) {
                Text3_Change();
            }
            Text3->setText(C3.FileName);
        }
    } else if (Command4->text() == Chosen) {
        if (ctx_.platform.messageBox().MsgBox(QStringLiteral("您已选择保存路径,是否要更换?"),
                                              MsgBoxStyle::YesNoInformation, kTitle,
                                              this) == MsgBoxAnswer::Yes) {
            Text3->setText(QString());
            Command4->setText(Browse);
        }
    }
}

void Form3::Text1_Change() {
    Text1->setToolTip(Text1->text());
    Label7->setText(AudioJoiner::sizeLine(QStringLiteral("(1)大小："), Text1->text()));
    Command1->setText(Text1->text().isEmpty() ? Browse : Chosen);
}

void Form3::Text2_Change() {
    Text2->setToolTip(Text2->text());
    Label8->setText(AudioJoiner::sizeLine(QStringLiteral("(2)大小："), Text2->text()));
    Command2->setText(Text2->text().isEmpty() ? Browse : Chosen);
}

void Form3::Text3_Change() {
    Text3->setToolTip(Text3->text());
    Label9->setText(AudioJoiner::estimateLine(Text1->text(), Text2->text(), Text3->text()));
    Command4->setText(Text3->text().isEmpty() ? Browse : Chosen);
}

void Form3::Command3_Click() {
    const AudioJoiner::Verdict verdict = AudioJoiner::check(Text1->text(), Text2->text(), Text3->text());
    if (verdict != AudioJoiner::Verdict::Ready) {
        setStatus(AudioJoiner::statusText(verdict));
        switch (verdict) {
        case AudioJoiner::Verdict::FirstNotChosen:
            shake(Command1);
            break;
        case AudioJoiner::Verdict::SecondNotChosen:
            shake(Command2);
            break;
        case AudioJoiner::Verdict::OutputNotChosen:
            shake(Command4);
            break;
        default:
            break;
        }
        return;
    }

    Command3->setEnabled(false);
    const bool locatorWasVisible = Command5->isVisibleTo(this);
    Command5->setVisible(false);
    setStatus(QStringLiteral("整合中...请稍候..."));
    for (int i = 1; i <= 1000; ++i) {
        ProgressBar1->setValue(i);
    }
    setStatus(QStringLiteral("正在合成,请勿进行操作...."));

    const QString output = Text3->text();
    if (!AudioJoiner::join(Text1->text(), Text2->text(), output)) {
        // The paths stay chosen so the user can correct them.
        ProgressBar1->setValue(0);
        Command5->setVisible(locatorWasVisible);
        Command3->setEnabled(true);
        setStatus(AudioJoiner::JoinFailedText);
        return;
    }

    setStatus(QStringLiteral("音频文件已合成成功!"));
    OutputFilePath = output;
    Command5->setVisible(true);
    movePositionTwips(Command5, positionTwips(Command5).x(), positionTwips(St1).y() + 100);
    Command5->raise();
    Command3->setEnabled(true);

    Text1->setText(QString());
    Text2->setText(QString());
    Text3->setText(QString());
    updateOutputPicker();

    if (ctx_.platform.messageBox().MsgBox(QStringLiteral("音频文件已合成成功!是否试听?"),
                                          MsgBoxStyle::YesNoInformation, kNoticeTitle,
                                          this) == MsgBoxAnswer::Yes) {
        play(OutputFilePath);
    }
}

void Form3::Command5_Click() {
    if (!OutputFilePath.isEmpty() && QFileInfo(OutputFilePath).isFile()) {
        ctx_.platform.shell().showFileInManager(OutputFilePath);
    } else {
        ctx_.platform.messageBox().MsgBox(QStringLiteral("未找到合成音信文件!可能已被删除!请您检查!"),
                                          MsgBoxStyle::OkExclamation, kNoticeTitle, this);
    }
}

void Form3::play(const QString& path) {
    WindowsMediaPlayer1->setURL(path);
}

void Form3::Form_QueryUnload() {
    if (form1_) {
        form1_->show();
    }
}

void Form3::closeEvent(QCloseEvent* event) {
    Form_QueryUnload();
    event->accept();
}

} // namespace velanote
