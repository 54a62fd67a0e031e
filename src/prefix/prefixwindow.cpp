#include "prefix/prefixwindow.h"

#include "app/messageaudio.h"
#include "app/messagetitles.h"
#include "app/resourcestore.h"
#include "app/windowtitles.h"
#include "platform/atomicfile.h"
#include "prefix/prefixstore.h"
#include "widgets/captionframe.h"
#include "widgets/playerstrip.h"

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
const QString kNoPrefix = QStringLiteral("程序检测：您当前未设置过前缀音频,请先进行前缀音频设定");

} // namespace

const QStringList& PrefixWindow::jingleNames() {
    static const QStringList names = {QStringLiteral("Pretty Boy"), QStringLiteral("抒情旋律"),
                                      QStringLiteral("Dream"),      QStringLiteral("JYJ-找到了"),
                                      QStringLiteral("YesterDay"),  QStringLiteral("我想我是疯了"),
                                      QStringLiteral("OPPO温馨"),   QStringLiteral("因为是女子"),
                                      QStringLiteral("动感活泼"),   QStringLiteral("可爱旋律")};
    return names;
}

QString PrefixWindow::parameterNote() {
    return QStringLiteral("选择此项请注意前缀音频必须保证为如下参数:\r\n"
                          "\r\n"
                          "格式:MP3\r\n"
                          "比特率:16000\r\n"
                          "采样率:11025\r\n"
                          "声道:mono(即单声道)\r\n"
                          "\r\n"
                          "否则将无法成功合成音频!\r\n");
}

PrefixWindow::PrefixWindow(AppContext& ctx, const QWidget* mainWindow, QWidget* parent)
    : QWidget(parent, Qt::Window),
      fileDialog(ctx.platform.fileDialogs(), this, QStringLiteral("请选择要合并的前缀音频文件"),
                 QStringLiteral("(MP3音频文件)|*.MP3")),
      player(ctx.platform.createPlayer(this)), browser(ctx.platform.shell()), ctx_(ctx) {
    setObjectName(QStringLiteral("PrefixWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();

    connect(builtInOption, &QRadioButton::toggled, this, [this](bool on) {
        if (on) {
            onBuiltInOptionToggled();
        }
    });
    connect(customOption, &QRadioButton::toggled, this, [this](bool on) {
        if (on) {
            onCustomOptionToggled();
        }
    });
    connect(jingleCombo, &QComboBox::activated, this, [this] { onJingleComboActivated(); });
    connect(confirmButton, &QPushButton::clicked, this, [this] { onConfirmButtonClicked(); });
    connect(previewJingleButton, &QPushButton::clicked, this, [this] { onPreviewJingleButtonClicked(); });
    connect(browseButton, &QPushButton::clicked, this, [this] { onBrowseButtonClicked(); });
    connect(previewCustomButton, &QPushButton::clicked, this, [this] { onPreviewCustomButtonClicked(); });
    connect(previewStoredButton, &QPushButton::clicked, this, [this] { onPreviewStoredButtonClicked(); });
    connect(customPathEdit, &QLineEdit::textChanged, this, [this] { onCustomPathEditChanged(); });
    welcomeLabel->installEventFilter(this);
    modeFrame->installEventFilter(this);
    welcomeFrame->installEventFilter(this);

    load();
    placeOver(mainWindow);
}

PrefixWindow::~PrefixWindow() = default;

void PrefixWindow::buildControls() {
    auto named = [](QWidget* w, const char* name) {
        w->setObjectName(QString::fromLatin1(name));
        return w;
    };

    welcomeFrame = new QGroupBox(this);
    named(welcomeFrame, "welcomeFrame");
    welcomeFrame->setMouseTracking(true);
    welcomeLabel = new QLabel(QStringLiteral("欢迎使用【Vela.声笺】,本页面用于音信的美化,可在音信前加入音乐,"
                                             "如您有喜欢或者更好听的音乐想用作前缀音频,请点击联系阿朔"),
                              welcomeFrame);
    named(welcomeLabel, "welcomeLabel");
    welcomeLabel->setWordWrap(true);
    welcomeLabel->setCursor(Qt::PointingHandCursor);
    welcomeLabel->setStyleSheet(QStringLiteral("color: #1f4e99;"));
    auto* welcome = new QVBoxLayout(welcomeFrame);
    welcome->addWidget(welcomeLabel);

    modeFrame =
        new CaptionFrame(QStringLiteral("请选择您要使用的方式：") + QString(40, QLatin1Char(' ')), this);
    named(modeFrame, "modeFrame");
    modeFrame->setAcceptDrops(true);
    builtInOption = new QRadioButton(QStringLiteral("使用程序默认音频"), modeFrame);
    named(builtInOption, "builtInOption");
    customOption = new QRadioButton(QStringLiteral("使用定义音频功能"), modeFrame);
    named(customOption, "customOption");

    builtInFrame = new QGroupBox(QStringLiteral("程序默认"), modeFrame);
    named(builtInFrame, "builtInFrame");
    builtInLabel = new QLabel(QStringLiteral("请您选择合并前缀音频文件："), builtInFrame);
    named(builtInLabel, "builtInLabel");
    jingleCombo = new QComboBox(builtInFrame);
    named(jingleCombo, "jingleCombo");
    jingleCombo->setEditable(true);
    jingleCombo->setInsertPolicy(QComboBox::NoInsert);
    jingleCombo->setMinimumWidth(170);
    previewJingleButton = new QPushButton(previewCaption(PreviewState::Idle), builtInFrame);
    named(previewJingleButton, "previewJingleButton");
    auto* builtIn = new QHBoxLayout(builtInFrame);
    builtIn->addWidget(builtInLabel);
    builtIn->addWidget(jingleCombo, 1);
    builtIn->addWidget(previewJingleButton);

    customFrame = new QGroupBox(QStringLiteral("自定义音频前缀"), modeFrame);
    named(customFrame, "customFrame");
    customLabel = new QLabel(QStringLiteral("请选择您的自定义音频路径："), customFrame);
    named(customLabel, "customLabel");
    customPathEdit = new QLineEdit(customFrame);
    named(customPathEdit, "customPathEdit");
    customPathEdit->setReadOnly(true);
    browseButton = new QPushButton(QStringLiteral("浏览"), customFrame);
    named(browseButton, "browseButton");
    previewCustomButton = new QPushButton(previewCaption(PreviewState::Idle), customFrame);
    named(previewCustomButton, "previewCustomButton");
    auto* custom = new QVBoxLayout(customFrame);
    custom->addWidget(customLabel);
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(customPathEdit, 1);
    pathRow->addWidget(browseButton);
    pathRow->addWidget(previewCustomButton);
    custom->addLayout(pathRow);

    auto* modes = new QVBoxLayout(modeFrame);
    auto* optionRow = new QHBoxLayout;
    optionRow->addWidget(builtInOption);
    optionRow->addSpacing(24);
    optionRow->addWidget(customOption);
    optionRow->addStretch(1);
    modes->addLayout(optionRow);
    modes->addWidget(builtInFrame);
    modes->addWidget(customFrame);

    storedFrame = new QGroupBox(this);
    named(storedFrame, "storedFrame");
    storedLabel = new QLabel(kNoPrefix, storedFrame);
    named(storedLabel, "storedLabel");
    storedLabel->setWordWrap(true);
    previewStoredButton = new QPushButton(previewCaption(PreviewState::Idle), storedFrame);
    named(previewStoredButton, "previewStoredButton");
    auto* state = new QHBoxLayout(storedFrame);
    state->addWidget(storedLabel, 1);
    state->addWidget(previewStoredButton);

    // The player's strip; a preview stopped there or played to its end offers itself again.
    playerStrip = new PlayerStrip(*player, this);
    named(playerStrip, "playerStrip");
    const auto previewOver = [this] {
        for (QPushButton* preview : {previewJingleButton, previewCustomButton, previewStoredButton}) {
            if (stateOf(preview) == PreviewState::Playing) {
                setPreview(preview, PreviewState::Idle);
            }
        }
    };
    connect(playerStrip, &PlayerStrip::stopped, this, previewOver);
    connect(playerStrip, &PlayerStrip::finished, this, previewOver);

    confirmButton = new QPushButton(QStringLiteral("确定"), this);
    named(confirmButton, "confirmButton");
    confirmButton->setMinimumWidth(120);

    for (QPushButton* b : {previewJingleButton, browseButton, previewCustomButton, previewStoredButton}) {
        b->setMinimumWidth(64);
    }

    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(12, 12, 12, 12);
    page->setSpacing(10);
    page->addWidget(welcomeFrame);
    page->addWidget(modeFrame);
    page->addWidget(storedFrame);
    page->addWidget(playerStrip);
    auto* confirmRow = new QHBoxLayout;
    confirmRow->addStretch(1);
    confirmRow->addWidget(confirmButton);
    confirmRow->addStretch(1);
    page->addLayout(confirmRow);

    setFixedWidth(520);
}

// Opens centred where the main window stands (it is hidden meanwhile), kept on its screen.
void PrefixWindow::placeOver(const QWidget* mainWindow) {
    QRect frame = frameGeometry();
    const QScreen* screen = mainWindow != nullptr ? mainWindow->screen() : QGuiApplication::primaryScreen();
    if (mainWindow != nullptr) {
        frame.moveCenter(mainWindow->frameGeometry().center());
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

void PrefixWindow::load() {
    jingleCombo->addItems(jingleNames());
    jingleCombo->setCurrentIndex(-1);
    setWindowTitle(toolWindowTitle(QStringLiteral("【星河】-前缀音频设置")));
    if (builtInOption->isChecked()) {
        onBuiltInOptionToggled();
    } else {
        builtInOption->setChecked(true);
    }

    const PrefixStore store(ctx_.folder);
    const QString stored = store.storedChoice();
    if (!store.prefixExists()) {
        storedLabel->setText(kNoPrefix);
        previewStoredButton->setEnabled(false);
    } else if (stored == QLatin1String("1")) {
        storedLabel->setText(QStringLiteral("程序检测：您已设置过前缀音频为自定义音频是否点击试听?"));
        previewStoredButton->setEnabled(true);
    } else {
        storedLabel->setText(QStringLiteral("程序检测：您已设置过前缀音频为:") + stored);
        previewStoredButton->setEnabled(true);
    }
    adjustSize();
    setFixedHeight(sizeHint().height());
}

void PrefixWindow::onBuiltInOptionToggled() {
    customPathEdit->setEnabled(false);
    browseButton->setEnabled(false);
    previewCustomButton->setEnabled(false);
    setPreview(previewCustomButton, PreviewState::Idle);
    jingleCombo->setEnabled(true);
    previewJingleButton->setEnabled(false);
}

void PrefixWindow::onCustomOptionToggled() {
    ask(parameterNote(), MessageBoxStyle::OkInformation);
    jingleCombo->setEnabled(false);
    previewJingleButton->setEnabled(false);
    setPreview(previewJingleButton, PreviewState::Idle);
    browseButton->setEnabled(true);
    previewCustomButton->setEnabled(false);
}

void PrefixWindow::onJingleComboActivated() {
    previewJingleButton->setEnabled(!jingleCombo->currentText().isEmpty());
    if (stateOf(previewJingleButton) == PreviewState::Playing) {
        setPreview(previewJingleButton, PreviewState::Idle);
        player->setURL(QString());
    }
}

void PrefixWindow::onPreviewJingleButtonClicked() {
    if (stateOf(previewJingleButton) == PreviewState::Idle) {
        setPreview(previewJingleButton, PreviewState::Playing);
        setPreview(previewStoredButton, PreviewState::Idle);
        setPreview(previewCustomButton, PreviewState::Idle);
        const int row = listIndex();
        if (row >= 0) {
            // A copy damaged since start-up is restored before it is heard.
            player->setURL(builtInJingle(ctx_.folder, row + 1).path);
        }
        if (player->URL().isEmpty()) {
            ask(QStringLiteral("情进行选择后在试听,请勿手动输入非法字符!"), MessageBoxStyle::OkExclamation);
        }
    } else if (stateOf(previewJingleButton) == PreviewState::Playing) {
        setPreview(previewJingleButton, PreviewState::Idle);
        player->setURL(QString());
    }
}

void PrefixWindow::onBrowseButtonClicked() {
    if (fileDialog.showOpenDialog() == CommonDialog::Outcome::Cancelled) {
        return;
    }
    if (customPathEdit->text() == fileDialog.FileName) {
        onCustomPathEditChanged(); // the same file again: check it afresh
    } else {
        customPathEdit->setText(fileDialog.FileName);
    }
}

void PrefixWindow::onCustomPathEditChanged() {
    const QString path = customPathEdit->text();
    if (path.isEmpty()) {
        return;
    }
    if (!isOrdinaryFile(path)) {
        ask(QStringLiteral("文件错误!未找到文件!请您重新查找!"), MessageBoxStyle::OkExclamation);
        customPathEdit->clear();
        previewCustomButton->setEnabled(false);
    } else if (QFileInfo(path).size() > PrefixStore::MaxCustomBytes) {
        ask(QStringLiteral("请选择200K以下的音频文件!"), MessageBoxStyle::OkExclamation);
        customPathEdit->clear();
        previewCustomButton->setEnabled(false);
    } else if (QByteArray bytes;
               readRegularFile(path, PrefixStore::MaxCustomBytes, bytes) == ReadOutcome::Read &&
               !MessageAudio::hasMessageFormat(bytes)) {
        ask(QStringLiteral("请选择") + MessageAudio::formatName() + QStringLiteral("文件!"),
            MessageBoxStyle::OkExclamation);
        customPathEdit->clear();
        previewCustomButton->setEnabled(false);
    } else {
        previewCustomButton->setEnabled(true);
    }
    player->setURL(QString());
    setPreview(previewCustomButton, PreviewState::Idle);
}

void PrefixWindow::onPreviewCustomButtonClicked() {
    if (stateOf(previewCustomButton) == PreviewState::Idle) {
        const QString path = customPathEdit->text();
        if (isOrdinaryFile(path)) {
            setPreview(previewCustomButton, PreviewState::Playing);
            setPreview(previewStoredButton, PreviewState::Idle);
            setPreview(previewJingleButton, PreviewState::Idle);
            player->setURL(path);
        } else {
            ask(QStringLiteral("文件错误!未找到文件!请您重新查找!"), MessageBoxStyle::OkExclamation);
            customPathEdit->clear();
            previewCustomButton->setEnabled(false);
        }
    } else if (stateOf(previewCustomButton) == PreviewState::Playing) {
        setPreview(previewCustomButton, PreviewState::Idle);
        player->setURL(QString());
    }
}

void PrefixWindow::onPreviewStoredButtonClicked() {
    if (stateOf(previewStoredButton) == PreviewState::Idle) {
        const PrefixStore store(ctx_.folder);
        if (prefixFileExists()) {
            setPreview(previewStoredButton, PreviewState::Playing);
            setPreview(previewJingleButton, PreviewState::Idle);
            setPreview(previewCustomButton, PreviewState::Idle);
            player->setURL(store.prefixPath());
        } else {
            ask(QStringLiteral("文件错误!未找到文件!请您重新设置!"), MessageBoxStyle::OkExclamation);
            storedLabel->setText(kNoPrefix);
            previewStoredButton->setEnabled(false);
        }
    } else if (stateOf(previewStoredButton) == PreviewState::Playing) {
        setPreview(previewStoredButton, PreviewState::Idle);
        player->setURL(QString());
    }
}

void PrefixWindow::onConfirmButtonClicked() {
    const PrefixStore store(ctx_.folder);
    bool stored = false;
    if (builtInOption->isChecked() && !customOption->isChecked()) {
        const QString choice = jingleCombo->currentText();
        if (choice.isEmpty()) {
            ask(QStringLiteral("请选择您要合成的音频前缀!"), MessageBoxStyle::OkExclamation);
            return;
        }
        const int row = listIndex();
        if (row < 0) {
            ask(QStringLiteral("请从列表中选择前缀音频,请勿手动输入!"), MessageBoxStyle::OkExclamation);
            return;
        }
        stored = store.storeJingle(row + 1, choice);
    } else if (!builtInOption->isChecked() && customOption->isChecked()) {
        const QString source = customPathEdit->text();
        if (source.isEmpty()) {
            ask(QStringLiteral("请先选择您要合成的前缀音频文件!"), MessageBoxStyle::OkExclamation);
            return;
        }
        stored = store.storeCustom(source);
    } else {
        return;
    }

    if (!stored) {
        ask(QStringLiteral("前缀音频保存失败!请您重新设置!"), MessageBoxStyle::OkExclamation);
        return;
    }
    ask(QStringLiteral("选择成功!"), MessageBoxStyle::OkInformation);
    close();
}

void PrefixWindow::onWelcomeLabelClicked() {
    browser.Navigate(ctx_.endpoints.chatUrl);
}

void PrefixWindow::onModeFrameDrop() {
    modeFrame->setCursor(Qt::ArrowCursor);
}

void PrefixWindow::onWelcomeLabelMouseMove() {
    welcomeFrame->setCursor(Qt::ArrowCursor);
}

void PrefixWindow::runClosingSteps() {
    Q_EMIT closed(prefixFileExists());
}

void PrefixWindow::closeEvent(QCloseEvent* event) {
    runClosingSteps();
    event->accept();
    Q_EMIT unloaded();
}

bool PrefixWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == welcomeLabel && event->type() == QEvent::MouseButtonRelease) {
        onWelcomeLabelClicked();
    } else if (watched == welcomeFrame && event->type() == QEvent::MouseMove) {
        onWelcomeLabelMouseMove();
    } else if (watched == modeFrame && event->type() == QEvent::DragEnter) {
        event->accept();
        return true;
    } else if (watched == modeFrame && event->type() == QEvent::Drop) {
        onModeFrameDrop();
    }
    return QWidget::eventFilter(watched, event);
}

int PrefixWindow::listIndex() const {
    return jingleCombo->findText(jingleCombo->currentText(), Qt::MatchFixedString | Qt::MatchCaseSensitive);
}

bool PrefixWindow::prefixFileExists() const {
    return PrefixStore(ctx_.folder).prefixExists();
}

MessageBoxAnswer PrefixWindow::ask(const QString& prompt, MessageBoxStyle style) {
    return ctx_.platform.messageBox().show(prompt, style, MessageTitles::notice(), this);
}

QString PrefixWindow::previewCaption(PreviewState state) {
    return state == PreviewState::Playing ? QStringLiteral("停止") : QStringLiteral("试听");
}

PrefixWindow::PreviewState& PrefixWindow::stateOf(QPushButton* button) {
    if (button == previewJingleButton) {
        return jinglePreview_;
    }
    return button == previewCustomButton ? customPreview_ : storedPreview_;
}

void PrefixWindow::setPreview(QPushButton* button, PreviewState state) {
    stateOf(button) = state;
    button->setText(previewCaption(state));
}

} // namespace velanote
