#include "phrases/phrasewindow.h"

#include "app/messagetitles.h"
#include "phrases/phrasetable.h"
#include "velanote/version.h"
#include "widgets/twips.h"

#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>

#include <algorithm>
#include <optional>
#include <tuple>

namespace velanote {

namespace {

// A small round "i" drawn for the hint when the resources hold no picture for it.
QPixmap drawnHintIcon() {
    QPixmap picture(20, 20);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0xc8, 0x8a, 0x12), 1.2));
    p.setBrush(QColor(0xff, 0xd2, 0x4a));
    p.drawEllipse(QRectF(1.5, 1.5, 17, 17));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x5a, 0x3c, 0x00));
    p.drawEllipse(QRectF(8.6, 4.4, 2.8, 2.8));
    p.drawRoundedRect(QRectF(8.8, 8.4, 2.4, 7.4), 1, 1);
    return picture;
}

QPixmap hintIcon() {
    QPixmap picture(QStringLiteral(":/images/hint.png"));
    return picture.isNull() ? drawnHintIcon()
                            : picture.scaled(20, 20, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

// The list's pointer: a writing pen, its tip at the hot spot, to say that a phrase can be written.
QCursor penCursor() {
    QPixmap picture(32, 32);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath pen;
    pen.moveTo(1, 1);
    pen.lineTo(8, 4);
    pen.lineTo(22, 18);
    pen.lineTo(18, 22);
    pen.lineTo(4, 8);
    pen.closeSubpath();
    p.setPen(QPen(Qt::black, 1.2));
    p.setBrush(QColor(0xff, 0xe0, 0x82));
    p.drawPath(pen);
    QPainterPath cap;
    cap.moveTo(22, 18);
    cap.lineTo(26, 22);
    cap.lineTo(22, 26);
    cap.lineTo(18, 22);
    cap.closeSubpath();
    p.setBrush(QColor(0xd9, 0x4f, 0x4f));
    p.drawPath(cap);
    p.setBrush(Qt::black);
    p.drawEllipse(QRectF(0.5, 0.5, 3, 3));
    return QCursor(picture, 1, 1);
}

} // namespace

PhraseWindow::PhraseWindow(AppContext& ctx, QWidget* parent) : QWidget(parent, Qt::Window), ctx_(ctx) {
    setObjectName(QStringLiteral("PhraseWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Vela系列软件の声笺") + QLatin1String(kVersionTag) +
                   QStringLiteral("【星河】 - 快捷祝福语填写"));
    buildControls();
    load();

    connect(categoryCombo, &QComboBox::currentIndexChanged, this, &PhraseWindow::onCategoryComboChanged);
    connect(phraseList, &QListWidget::currentRowChanged, this, &PhraseWindow::onPhraseListChanged);
    // Any double click on the list counts, also on its empty part, so an empty list can say why.
    phraseList->viewport()->installEventFilter(this);
    connect(searchButton, &QPushButton::clicked, this, &PhraseWindow::onSearchButtonClicked);
    hintLabel->installEventFilter(this);
    hintPicture->installEventFilter(this);
}

PhraseWindow* PhraseWindow::showSingle(QPointer<PhraseWindow>& slot, AppContext& ctx,
                                       const QWidget* mainWindow, QWidget* parent, const InputsInView& keep) {
    if (!slot) {
        slot = new PhraseWindow(ctx, parent);
        slot->placeBesideWindow(mainWindow, keep);
        slot->show();
        return slot;
    }
    slot->setWindowState(slot->windowState() & ~Qt::WindowMinimized);
    slot->show();
    slot->raise();
    slot->activateWindow();
    return slot;
}

namespace {

qint64 coveredArea(const QRect& window, const QRect& other) {
    const QRect covered = window.intersected(other);
    return covered.isEmpty() ? 0 : qint64(covered.width()) * covered.height();
}

} // namespace

QPoint PhraseWindow::placeBeside(const QRect& anchor, const QSize& size, const QRect& area,
                                 const QList<QRect>& inputs, const QRect& messageBox) {
    const int maxLeft = std::max(area.left(), area.right() + 1 - size.width());
    const int maxTop = std::max(area.top(), area.bottom() + 1 - size.height());
    auto left = [&](int x) { return std::clamp(x, area.left(), maxLeft); };
    auto top = [&](int y) { return std::clamp(y, area.top(), maxTop); };
    // Beside the anchor first (right, then left, level with its top), then above or below it,
    // then the area's corners, then beside and above or below each input.
    QList<int> xs = {left(anchor.right() + 1), left(anchor.left() - size.width()), left(anchor.left())};
    QList<int> ys = {top(anchor.top()), top(anchor.bottom() + 1), top(anchor.top() - size.height()),
                     area.top(), maxTop};
    for (const QRect& input : inputs) {
        xs << left(input.right() + 1) << left(input.left() - size.width());
        ys << top(input.bottom() + 1) << top(input.top() - size.height());
    }
    // The first place wins that covers no input, else the least of the message box, then the
    // least of the inputs, then the least of the anchor.
    const auto cost = [&](const QRect& window) {
        qint64 onInputs = 0;
        for (const QRect& input : inputs) {
            onInputs += coveredArea(window, input);
        }
        return std::tuple(onInputs > 0, coveredArea(window, messageBox), onInputs,
                          coveredArea(window, anchor));
    };
    QPoint best;
    std::optional<decltype(cost(QRect()))> least;
    for (const int y : ys) {
        for (const int x : xs) {
            const auto c = cost(QRect(QPoint(x, y), size));
            if (!least || c < *least) {
                best = QPoint(x, y);
                least = c;
            }
        }
    }
    return best;
}

void PhraseWindow::placeBesideWindow(const QWidget* mainWindow, const InputsInView& keep) {
    const QWidget* main = mainWindow != nullptr ? mainWindow->window() : nullptr;
    const QScreen* screen = main != nullptr ? main->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->availableGeometry();
    if (main == nullptr || !main->isVisible()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(area.center());
        move(frame.topLeft());
        return;
    }
    // Not shown yet, this window has no frame of its own to measure; the main window's title bar
    // and borders are what the window manager will add to it too.
    const QSize frameExtra = main->frameGeometry().size() - main->geometry().size();
    const auto onScreen = [](const QWidget* w) { return QRect(w->mapToGlobal(QPoint()), w->size()); };
    QList<QRect> inputs;
    for (const QWidget* input : keep.inputs) {
        inputs.append(onScreen(input));
    }
    move(placeBeside(main->frameGeometry(), size() + frameExtra, area, inputs,
                     keep.messageBox != nullptr ? onScreen(keep.messageBox) : QRect()));
}

void PhraseWindow::buildControls() {
    setFixedSize(twipsToPixels(8400), twipsToPixels(4800));

    phraseFrame =
        new QGroupBox(QStringLiteral("不知道说什么?快捷祝福语选择:请您选择分类:") +
                          QString(16, QLatin1Char(' ')) + QStringLiteral("双击列表可自动写入祝福语中"),
                      this);
    phraseFrame->setObjectName(QStringLiteral("phraseFrame"));
    setGeometryTwips(phraseFrame, 120, 120, 8160, 4560);

    categoryCombo = new QComboBox(phraseFrame);
    categoryCombo->setObjectName(QStringLiteral("categoryCombo"));
    categoryCombo->setEditable(false);
    categoryCombo->setPlaceholderText(QStringLiteral("请选择分类"));
    setGeometryTwips(categoryCombo, 180, 420, 3000, 390);

    searchButton = new QPushButton(QStringLiteral("搜索更多"), phraseFrame);
    searchButton->setObjectName(QStringLiteral("searchButton"));
    setGeometryTwips(searchButton, 3300, 405, 1350, 420);

    phraseList = new QListWidget(phraseFrame);
    phraseList->setObjectName(QStringLiteral("phraseList"));
    phraseList->setSortingEnabled(false);
    phraseList->setSelectionMode(QAbstractItemView::SingleSelection);
    phraseList->setAlternatingRowColors(true);
    phraseList->setTextElideMode(Qt::ElideRight);
    phraseList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    phraseList->viewport()->setCursor(penCursor());
    setGeometryTwips(phraseList, 180, 960, 7800, 3420);

    // The hint sits on the empty list until a category is chosen or it is clicked.
    hintPicture = new QLabel(phraseFrame);
    hintPicture->setObjectName(QStringLiteral("hintPicture"));
    hintPicture->setPixmap(hintIcon());
    hintPicture->setCursor(Qt::PointingHandCursor);
    setGeometryTwips(hintPicture, 360, 1095, 300, 300);
    hintLabel =
        new QLabel(QStringLiteral("小提示:如果信息未显示全,点击后鼠标停留片刻即可显示完整信息"), phraseFrame);
    hintLabel->setObjectName(QStringLiteral("hintLabel"));
    hintLabel->setCursor(Qt::PointingHandCursor);
    QPalette hintPalette = hintLabel->palette();
    hintPalette.setColor(QPalette::WindowText, QColor(0x8a, 0x5a, 0x00));
    hintLabel->setPalette(hintPalette);
    setGeometryTwips(hintLabel, 720, 1095, 7140, 300);
}

void PhraseWindow::load() {
    const QSignalBlocker quiet(categoryCombo);
    categoryCombo->clear();
    categoryCombo->addItems(PhraseTable::categoryNames());
    categoryCombo->setCurrentIndex(-1);
    phraseList->clear();
}

void PhraseWindow::onCategoryComboChanged() {
    phraseList->clear();
    hintPicture->hide();
    hintLabel->hide();
    phraseList->addItems(PhraseTable::phrasesOf(categoryCombo->currentText()));
}

void PhraseWindow::onPhraseListChanged() {
    const QListWidgetItem* item = phraseList->currentItem();
    phraseList->setToolTip(item != nullptr ? item->text() : QString());
}

void PhraseWindow::onPhraseListDoubleClicked() {
    const QList<QListWidgetItem*> selected = phraseList->selectedItems();
    const QString phrase = selected.isEmpty() ? QString() : selected.first()->text();
    if (phrase.isEmpty()) {
        ctx_.platform.messageBox().show(QStringLiteral("请先选择分类,在使用双击自动填写功能!"),
                                        MessageBoxStyle::OkExclamation, MessageTitles::notice(), this);
        return;
    }
    Q_EMIT phraseChosen(phrase);
    if (ctx_.platform.messageBox().show(QStringLiteral("祝福语填写成功!是否关闭本页面?"),
                                        MessageBoxStyle::YesNoInformation, MessageTitles::notice(),
                                        this) == MessageBoxAnswer::Yes) {
        close();
    }
}

void PhraseWindow::onSearchButtonClicked() {
    const QString category = categoryCombo->currentText();
    if (category.isEmpty()) {
        ctx_.platform.messageBox().show(QStringLiteral("请先选择分类"), MessageBoxStyle::OkExclamation,
                                        MessageTitles::notice(), this);
        return;
    }
    if (PhraseTable::categoryNames().contains(category)) {
        ctx_.platform.shell().openAddress(ctx_.endpoints.searchBase + QStringLiteral("/s?wd=") + category +
                                          QStringLiteral("祝福"));
    }
}

void PhraseWindow::onHintLabelClicked() {
    hintPicture->hide();
    hintLabel->hide();
}

void PhraseWindow::onHintPictureClicked() {
    hintPicture->hide();
    hintLabel->hide();
}

bool PhraseWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == phraseList->viewport() && event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        onPhraseListDoubleClicked();
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == hintLabel) {
            onHintLabelClicked();
        } else if (watched == hintPicture) {
            onHintPictureClicked();
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace velanote
