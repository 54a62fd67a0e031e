#include "phrases/form4.h"

#include "phrases/phrasetable.h"
#include "platform/statusbar.h"
#include "platform/twips.h"

#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>

#include <algorithm>

namespace velanote {

namespace {

const QString kNoticeTitle = QStringLiteral("Tomo阿朔提示");

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

Form4::Form4(AppContext& ctx, QPlainTextEdit* form1Text2, StatusBar* form1St1, QWidget* parent)
    : QWidget(parent, Qt::Window),
      C5(ctx.platform.fileDialogs(), this, QString(), QStringLiteral("音频文件(*.mp3)|*.mp3")), ctx_(ctx),
      form1Text2_(form1Text2), form1St1_(form1St1) {
    setObjectName(QStringLiteral("Form4"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Vela系列软件の声笺V6.0【星河】 - 快捷祝福语填写"));
    buildControls();
    Form_Load();

    connect(Combo2, &QComboBox::currentIndexChanged, this, &Form4::Combo2_Click);
    connect(List1, &QListWidget::currentRowChanged, this, &Form4::List1_Click);
    // Any double click on the list counts, also on its empty part, so an empty list can say why.
    List1->viewport()->installEventFilter(this);
    connect(Command3, &QPushButton::clicked, this, &Form4::Command3_Click);
    Label1->installEventFilter(this);
    Picture1->installEventFilter(this);
}

Form4* Form4::showSingle(QPointer<Form4>& slot, AppContext& ctx, QPlainTextEdit* form1Text2,
                         StatusBar* form1St1, QWidget* parent) {
    if (!slot) {
        slot = new Form4(ctx, form1Text2, form1St1, parent);
        slot->placeBesideMainWindow();
        slot->show();
        return slot;
    }
    slot->setWindowState(slot->windowState() & ~Qt::WindowMinimized);
    slot->show();
    slot->raise();
    slot->activateWindow();
    return slot;
}

void Form4::placeBesideMainWindow() {
    const QWidget* main = form1Text2_ ? form1Text2_->window() : nullptr;
    const QScreen* screen = main != nullptr ? main->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->availableGeometry();
    QRect frame(QPoint(), size());
    if (main == nullptr || !main->isVisible()) {
        frame.moveCenter(area.center());
    } else {
        // Right of the main window when there is room, else left of it; where neither fits, at the
        // screen's left edge, which leaves the message box on the main window's right in view.
        const QRect anchor = main->frameGeometry();
        if (anchor.right() + 1 + frame.width() <= area.right() + 1) {
            frame.moveLeft(anchor.right() + 1);
        } else {
            frame.moveLeft(std::max(area.left(), anchor.left() - frame.width()));
        }
        frame.moveTop(
            std::clamp(anchor.top(), area.top(), std::max(area.top(), area.bottom() + 1 - frame.height())));
    }
    move(frame.topLeft());
}

void Form4::buildControls() {
    setFixedSize(twipsToPixels(8400), twipsToPixels(4800));

    Frame3 = new QGroupBox(QStringLiteral("不知道说什么?快捷祝福语选择:请您选择分类:") +
                               QString(16, QLatin1Char(' ')) + QStringLiteral("双击列表可自动写入祝福语中"),
                           this);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    setGeometryTwips(Frame3, 120, 120, 8160, 4560);

    Combo2 = new QComboBox(Frame3);
    Combo2->setObjectName(QStringLiteral("Combo2"));
    Combo2->setEditable(false);
    Combo2->setPlaceholderText(QStringLiteral("请选择分类"));
    setGeometryTwips(Combo2, 180, 420, 3000, 390);

    Command3 = new QPushButton(QStringLiteral("搜索更多"), Frame3);
    Command3->setObjectName(QStringLiteral("Command3"));
    setGeometryTwips(Command3, 3300, 405, 1350, 420);

    List1 = new QListWidget(Frame3);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setSortingEnabled(false);
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->setAlternatingRowColors(true);
    List1->setTextElideMode(Qt::ElideRight);
    List1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    List1->viewport()->setCursor(penCursor());
    setGeometryTwips(List1, 180, 960, 7800, 3420);

    // The hint sits on the empty list until a category is chosen or it is clicked.
    Picture1 = new QLabel(Frame3);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setPixmap(hintIcon());
    Picture1->setCursor(Qt::PointingHandCursor);
    setGeometryTwips(Picture1, 360, 1095, 300, 300);
    Label1 = new QLabel(QStringLiteral("小提示:如果信息未显示全,点击后鼠标停留片刻即可显示完整信息"), Frame3);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setCursor(Qt::PointingHandCursor);
    QPalette hintPalette = Label1->palette();
    hintPalette.setColor(QPalette::WindowText, QColor(0x8a, 0x5a, 0x00));
    Label1->setPalette(hintPalette);
    setGeometryTwips(Label1, 720, 1095, 7140, 300);
}

void Form4::Form_Load() {
    const QSignalBlocker quiet(Combo2);
    Combo2->clear();
    Combo2->addItems(PhraseTable::categoryNames());
    Combo2->setCurrentIndex(-1);
    List1->clear();
}

void Form4::Combo2_Click() {
    List1->clear();
    Picture1->hide();
    Label1->hide();
    List1->addItems(PhraseTable::phrasesOf(Combo2->currentText()));
}

void Form4::List1_Click() {
    const QListWidgetItem* item = List1->currentItem();
    List1->setToolTip(item != nullptr ? item->text() : QString());
}

void Form4::List1_DblClick() {
    const QList<QListWidgetItem*> selected = List1->selectedItems();
    const QString phrase = selected.isEmpty() ? QString() : selected.first()->text();
    if (phrase.isEmpty()) {
        ctx_.platform.messageBox().MsgBox(QStringLiteral("请先选择分类,在使用双击自动填写功能!"),
                                          MsgBoxStyle::OkExclamation, kNoticeTitle, this);
        return;
    }
    if (form1Text2_) {
        form1Text2_->setPlainText(phrase);
    }
    if (form1St1_) {
        form1St1_->setPanelText(2, QStringLiteral("祝福语自动填写成功..."));
    }
    if (ctx_.platform.messageBox().MsgBox(QStringLiteral("祝福语填写成功!是否关闭本页面?"),
                                          MsgBoxStyle::YesNoInformation, kNoticeTitle,
                                          this) == MsgBoxAnswer::Yes) {
        close();
    }
}

void Form4::Command3_Click() {
    const QString category = Combo2->currentText();
    if (category.isEmpty()) {
        ctx_.platform.messageBox().MsgBox(QStringLiteral("请先选择分类"), MsgBoxStyle::OkExclamation,
                                          kNoticeTitle, this);
        return;
    }
    if (PhraseTable::categoryNames().contains(category)) {
        ctx_.platform.shell().openAddress(ctx_.endpoints.searchBase + QStringLiteral("/s?wd=") + category +
                                          QStringLiteral("祝福"));
    }
}

void Form4::Label1_Click() {
    Picture1->hide();
    Label1->hide();
}

void Form4::Picture1_Click() {
    Picture1->hide();
    Label1->hide();
}

bool Form4::eventFilter(QObject* watched, QEvent* event) {
    if (watched == List1->viewport() && event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        List1_DblClick();
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == Label1) {
            Label1_Click();
        } else if (watched == Picture1) {
            Picture1_Click();
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace velanote
