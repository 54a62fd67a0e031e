#include "joiner/joinerwindow.h"

#include "app/messagetitles.h"
#include "app/windowtitles.h"
#include "joiner/audiojoiner.h"
#include "widgets/playerstrip.h"
#include "widgets/statusbar.h"
#include "widgets/twips.h"
#include "widgets/windowplacement.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>
#include <iterator>

namespace velanote {

const QString JoinerWindow::Browse = QStringLiteral("浏览");
const QString JoinerWindow::Chosen = QStringLiteral("已选择");

namespace {

const QString kIdleStatus = QStringLiteral("请进行程序操作...");
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

JoinerWindow::JoinerWindow(AppContext& ctx, const QWidget* mainWindow, QWidget* parent)
    : QWidget(parent, Qt::Window),
      firstDialog(ctx.platform.fileDialogs(), this, QStringLiteral("请选择要合并的音频文件一(前半部分)"),
                  kAudioFilter),
      secondDialog(ctx.platform.fileDialogs(), this, QStringLiteral("请选择要合并的音频文件二(后半部分)"),
                   kAudioFilter),
      outputDialog(ctx.platform.fileDialogs(), this, QStringLiteral("请选择您要保存合成音频的路径"),
                   kAudioFilter),
      ctx_(ctx) {
    setObjectName(QStringLiteral("JoinerWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    player = ctx.platform.createPlayer(this);
    buildControls();
    centreOnScreen(this, mainWindow);

    connect(firstBrowseButton, &QPushButton::clicked, this, &JoinerWindow::onFirstBrowseButtonClicked);
    connect(secondBrowseButton, &QPushButton::clicked, this, &JoinerWindow::onSecondBrowseButtonClicked);
    connect(outputBrowseButton, &QPushButton::clicked, this, &JoinerWindow::onOutputBrowseButtonClicked);
    connect(joinButton, &QPushButton::clicked, this, &JoinerWindow::onJoinButtonClicked);
    connect(findOutputButton, &QPushButton::clicked, this, &JoinerWindow::onFindOutputButtonClicked);
    connect(firstPathEdit, &QLineEdit::textChanged, this, &JoinerWindow::onFirstPathEditChanged);
    connect(secondPathEdit, &QLineEdit::textChanged, this, &JoinerWindow::onSecondPathEditChanged);
    connect(outputPathEdit, &QLineEdit::textChanged, this, &JoinerWindow::onOutputPathEditChanged);

    load();
}

JoinerWindow::~JoinerWindow() = default;

void JoinerWindow::buildControls() {
    setFixedSize(twipsToPixels(kWidth), twipsToPixels(kHeight));

    inputFrame = makeFrame(QStringLiteral("inputFrame"), QStringLiteral("请选择您要整合的音频文件"), this);
    setGeometryTwips(inputFrame, 120, 120, 7560, 2580);
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
        {firstLabel, firstPathEdit, firstBrowseButton, "firstLabel", "firstPathEdit", "firstBrowseButton",
         QStringLiteral("音频文件一(前半部分)：")},
        {secondLabel, secondPathEdit, secondBrowseButton, "secondLabel", "secondPathEdit",
         "secondBrowseButton", QStringLiteral("音频文件二(后半部分)：")},
        {outputLabel, outputPathEdit, outputBrowseButton, "outputLabel", "outputPathEdit",
         "outputBrowseButton", QStringLiteral("选择音频文件保存路径：")},
    };
    int top = 420;
    for (Row& row : rows) {
        row.label = makeLabel(QString::fromLatin1(row.labelName), row.caption, inputFrame);
        setGeometryTwips(row.label, 180, top, 2310, 360);
        row.text = makePathBox(QString::fromLatin1(row.textName), inputFrame);
        setGeometryTwips(row.text, 2490, top, 3780, 360);
        row.button = makeButton(QString::fromLatin1(row.buttonName), Browse, inputFrame);
        setGeometryTwips(row.button, 6360, top - 15, 1020, 390);
        top += 540;
    }
    outputBrowseButton->setEnabled(false);
    joinButton = makeButton(QStringLiteral("joinButton"), QStringLiteral("确认合并"), inputFrame);
    setGeometryTwips(joinButton, 2490, 2010, 3780, 450);
    QFont bold = joinButton->font();
    bold.setBold(true);
    joinButton->setFont(bold);

    sizeFrame = makeFrame(QStringLiteral("sizeFrame"), QStringLiteral("整合信息"), this);
    setGeometryTwips(sizeFrame, 120, 2820, 3720, 1560);
    firstSizeLabel =
        makeLabel(QStringLiteral("firstSizeLabel"), QStringLiteral("(1)大小：未载入"), sizeFrame);
    setGeometryTwips(firstSizeLabel, 240, 390, 3360, 330);
    secondSizeLabel =
        makeLabel(QStringLiteral("secondSizeLabel"), QStringLiteral("(2)大小：未载入"), sizeFrame);
    setGeometryTwips(secondSizeLabel, 240, 750, 3360, 330);
    estimateLabel =
        makeLabel(QStringLiteral("estimateLabel"), QStringLiteral("预计合成后大小：未载入"), sizeFrame);
    setGeometryTwips(estimateLabel, 240, 1110, 3360, 330);

    progressFrame = makeFrame(QStringLiteral("progressFrame"), QStringLiteral("整合过程"), this);
    setGeometryTwips(progressFrame, 3960, 2820, 3720, 1560);
    notesPictureLabel = makeLabel(QStringLiteral("notesPictureLabel"), QString(), progressFrame);
    notesPictureLabel->setPixmap(notesPicture());
    setGeometryTwips(notesPictureLabel, 180, 690, 270, 270);
    progressBar = new QProgressBar(progressFrame);
    progressBar->setObjectName(QStringLiteral("progressBar"));
    progressBar->setRange(0, 1000);
    progressBar->setValue(0);
    progressBar->setTextVisible(false);
    setGeometryTwips(progressBar, 510, 690, 2700, 270);
    discPictureLabel = makeLabel(QStringLiteral("discPictureLabel"), QString(), progressFrame);
    discPictureLabel->setPixmap(discPicture());
    setGeometryTwips(discPictureLabel, 3270, 690, 270, 270);

    explanationFrame = makeFrame(QStringLiteral("explanationFrame"), QStringLiteral("整合说明"), this);
    setGeometryTwips(explanationFrame, 120, 4500, 7560, 1920);
    explanationLabel = makeLabel(QStringLiteral("explanationLabel"), kExplanation, explanationFrame);
    explanationLabel->setWordWrap(true);
    explanationLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setGeometryTwips(explanationLabel, 240, 360, 7080, 1500);

    bottomLine = new QFrame(this);
    bottomLine->setObjectName(QStringLiteral("bottomLine"));
    bottomLine->setFrameShape(QFrame::HLine);
    bottomLine->setFrameShadow(QFrame::Sunken);
    setGeometryTwips(bottomLine, 120, 6495, 7560, 30);

    // The player's strip under the explanation: what plays, and a way to pause or stop it.
    playerStrip = new PlayerStrip(*player, this);
    playerStrip->setObjectName(QStringLiteral("playerStrip"));
    playerStrip->setShowsName(true);
    setGeometryTwips(playerStrip, 120, 6585, 7560, 360);

    statusLine = new StatusBar({QStringLiteral("运行状态："), kIdleStatus}, 2, this);
    statusLine->setObjectName(QStringLiteral("statusLine"));
    setGeometryTwips(statusLine, 0, kStatusTop, kWidth, kStatusHeight);

    // It sits on the status bar, so it stays lower than the skin's buttons would make it.
    findOutputButton = makeButton(QStringLiteral("findOutputButton"), QStringLiteral("找到合成音频"), this);
    findOutputButton->setStyleSheet(QStringLiteral("min-height: 0px; padding: 0px 10px;"));
    setGeometryTwips(findOutputButton, 6030, kStatusTop + 100, 1680, 300);
    findOutputButton->setVisible(false);
    findOutputButton->raise();
}

void JoinerWindow::load() {
    setWindowTitle(toolWindowTitle(QStringLiteral("【星河】-音频整合工具")));
}

bool& JoinerWindow::chosenFlag(const QPushButton* picker) {
    if (picker == firstBrowseButton) {
        return firstChosen_;
    }
    return picker == secondBrowseButton ? secondChosen_ : outputChosen_;
}

bool JoinerWindow::isChosen(const QPushButton* picker) {
    return chosenFlag(picker);
}

void JoinerWindow::setChosen(QPushButton* picker, bool chosen) {
    chosenFlag(picker) = chosen;
    picker->setText(chosen ? Chosen : Browse);
}

void JoinerWindow::setStatus(const QString& text) {
    statusLine->setPanelText(2, text);
}

void JoinerWindow::pickInput(QPushButton* button, CommonDialog& dialog, QLineEdit* text) {
    if (!isChosen(button)) {
        if (dialog.showOpenDialog() == CommonDialog::Outcome::Chosen) {
            text->setText(dialog.FileName);
        }
    } else {
        if (ctx_.platform.messageBox().show(QStringLiteral("您已选择音频,是否要更换?"),
                                            MessageBoxStyle::YesNoInformation, MessageTitles::author(),
                                            this) == MessageBoxAnswer::Yes) {
            text->setText(QString());
            setChosen(button, false);
        }
    }
    updateOutputPicker();
}

void JoinerWindow::updateOutputPicker() {
    if (isChosen(firstBrowseButton) && isChosen(secondBrowseButton)) {
        outputBrowseButton->setEnabled(true);
    } else {
        outputBrowseButton->setEnabled(false);
        // No output path stands beside a picker that cannot be used.
        outputPathEdit->setText(QString());
        setChosen(outputBrowseButton, false);
        estimateLabel->setText(QStringLiteral("预计合成后大小：") + AudioJoiner::NotLoaded);
    }
}

// A status line that asks for a path is kept true as paths are chosen and cleared.
void JoinerWindow::followChoices() {
    using Verdict = AudioJoiner::Verdict;
    const QString shown = statusLine->panelText(2);
    const Verdict asks[] = {Verdict::FirstNotChosen, Verdict::SecondNotChosen, Verdict::OutputNotChosen};
    if (std::none_of(std::begin(asks), std::end(asks),
                     [&shown](Verdict v) { return AudioJoiner::statusText(v) == shown; })) {
        return;
    }
    const Verdict now =
        AudioJoiner::check(firstPathEdit->text(), secondPathEdit->text(), outputPathEdit->text());
    setStatus(now == Verdict::Ready ? kIdleStatus : AudioJoiner::statusText(now));
}

void JoinerWindow::onFirstBrowseButtonClicked() {
    pickInput(firstBrowseButton, firstDialog, firstPathEdit);
}

void JoinerWindow::onSecondBrowseButtonClicked() {
    pickInput(secondBrowseButton, secondDialog, secondPathEdit);
}

void JoinerWindow::onOutputBrowseButtonClicked() {
    if (!isChosen(outputBrowseButton)) {
        if (outputDialog.showSaveDialog() == CommonDialog::Outcome::Chosen) {
            // The same path chosen again changes no text, yet the picker must read "已选择" again.
            if (outputPathEdit->text() == outputDialog.FileName) {
                onOutputPathEditChanged();
            }
            outputPathEdit->setText(outputDialog.FileName);
        }
    } else {
        if (ctx_.platform.messageBox().show(QStringLiteral("您已选择保存路径,是否要更换?"),
                                            MessageBoxStyle::YesNoInformation, MessageTitles::author(),
                                            this) == MessageBoxAnswer::Yes) {
            outputPathEdit->setText(QString());
            setChosen(outputBrowseButton, false);
        }
    }
}

void JoinerWindow::onFirstPathEditChanged() {
    firstPathEdit->setToolTip(firstPathEdit->text());
    firstSizeLabel->setText(AudioJoiner::sizeLine(QStringLiteral("(1)大小："), firstPathEdit->text()));
    setChosen(firstBrowseButton, !firstPathEdit->text().isEmpty());
    followChoices();
}

void JoinerWindow::onSecondPathEditChanged() {
    secondPathEdit->setToolTip(secondPathEdit->text());
    secondSizeLabel->setText(AudioJoiner::sizeLine(QStringLiteral("(2)大小："), secondPathEdit->text()));
    setChosen(secondBrowseButton, !secondPathEdit->text().isEmpty());
    followChoices();
}

void JoinerWindow::onOutputPathEditChanged() {
    outputPathEdit->setToolTip(outputPathEdit->text());
    estimateLabel->setText(
        AudioJoiner::estimateLine(firstPathEdit->text(), secondPathEdit->text(), outputPathEdit->text()));
    setChosen(outputBrowseButton, !outputPathEdit->text().isEmpty());
    followChoices();
}

void JoinerWindow::onJoinButtonClicked() {
    const AudioJoiner::Verdict verdict =
        AudioJoiner::check(firstPathEdit->text(), secondPathEdit->text(), outputPathEdit->text());
    if (verdict != AudioJoiner::Verdict::Ready) {
        setStatus(AudioJoiner::statusText(verdict));
        switch (verdict) {
        case AudioJoiner::Verdict::FirstNotChosen:
            shake(firstBrowseButton);
            break;
        case AudioJoiner::Verdict::SecondNotChosen:
            shake(secondBrowseButton);
            break;
        case AudioJoiner::Verdict::OutputNotChosen:
            shake(outputBrowseButton);
            break;
        default:
            break;
        }
        return;
    }

    joinButton->setEnabled(false);
    const bool locatorWasVisible = findOutputButton->isVisibleTo(this);
    findOutputButton->setVisible(false);
    setStatus(QStringLiteral("整合中...请稍候..."));
    for (int i = 1; i <= 1000; ++i) {
        progressBar->setValue(i);
    }
    setStatus(QStringLiteral("正在合成,请勿进行操作...."));

    const QString output = outputPathEdit->text();
    if (!AudioJoiner::join(firstPathEdit->text(), secondPathEdit->text(), output)) {
        // The paths stay chosen so the user can correct them.
        progressBar->setValue(0);
        findOutputButton->setVisible(locatorWasVisible);
        joinButton->setEnabled(true);
        setStatus(AudioJoiner::JoinFailedText);
        return;
    }

    setStatus(QStringLiteral("音频文件已合成成功!"));
    outputFilePath_ = output;
    findOutputButton->setVisible(true);
    movePositionTwips(findOutputButton, positionTwips(findOutputButton).x(),
                      positionTwips(statusLine).y() + 100);
    findOutputButton->raise();
    joinButton->setEnabled(true);

    firstPathEdit->setText(QString());
    secondPathEdit->setText(QString());
    outputPathEdit->setText(QString());
    updateOutputPicker();

    if (ctx_.platform.messageBox().show(QStringLiteral("音频文件已合成成功!是否试听?"),
                                        MessageBoxStyle::YesNoInformation, MessageTitles::notice(),
                                        this) == MessageBoxAnswer::Yes) {
        play(outputFilePath_);
    }
}

void JoinerWindow::onFindOutputButtonClicked() {
    if (!outputFilePath_.isEmpty() && QFileInfo(outputFilePath_).isFile()) {
        ctx_.platform.shell().showFileInManager(outputFilePath_);
    } else {
        ctx_.platform.messageBox().show(QStringLiteral("未找到合成音信文件!可能已被删除!请您检查!"),
                                        MessageBoxStyle::OkExclamation, MessageTitles::notice(), this);
    }
}

void JoinerWindow::play(const QString& path) {
    player->setURL(path);
}

void JoinerWindow::runClosingSteps() {
    Q_EMIT closed();
}

void JoinerWindow::closeEvent(QCloseEvent* event) {
    runClosingSteps();
    event->accept();
}

} // namespace velanote
