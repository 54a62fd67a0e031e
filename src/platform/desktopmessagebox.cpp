#include "platform/desktopmessagebox.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QList>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSpacerItem>

#include <algorithm>

namespace velanote {

const QString DesktopMessageBox::OkCaption = QStringLiteral("确定");
const QString DesktopMessageBox::CancelCaption = QStringLiteral("取消");
const QString DesktopMessageBox::YesCaption = QStringLiteral("是(&Y)");
const QString DesktopMessageBox::NoCaption = QStringLiteral("否(&N)");

namespace {

struct ButtonChoice {
    QString caption;
    QMessageBox::ButtonRole role;
    MessageBoxAnswer answer;
};

// The low bits of the style choose the buttons, as the desktop's message box numbers them.
QList<ButtonChoice> buttonsFor(int style) {
    const ButtonChoice ok{DesktopMessageBox::OkCaption, QMessageBox::AcceptRole, MessageBoxAnswer::Ok};
    const ButtonChoice cancel{DesktopMessageBox::CancelCaption, QMessageBox::RejectRole,
                              MessageBoxAnswer::Cancel};
    const ButtonChoice yes{DesktopMessageBox::YesCaption, QMessageBox::YesRole, MessageBoxAnswer::Yes};
    const ButtonChoice no{DesktopMessageBox::NoCaption, QMessageBox::NoRole, MessageBoxAnswer::No};
    switch (style & 0x0F) {
    case 1:
        return {ok, cancel};
    case 3:
        return {yes, no, cancel};
    case 4:
        return {yes, no};
    default:
        return {ok};
    }
}

QMessageBox::Icon iconFor(int style) {
    switch (style & 0xF0) {
    case 16:
        return QMessageBox::Critical;
    case 32:
        return QMessageBox::Question;
    case 48:
        return QMessageBox::Warning;
    case 64:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// Esc and the close box give Cancel where there is one, else No, else OK.
int escapeIndex(const QList<ButtonChoice>& buttons) {
    for (MessageBoxAnswer wanted : {MessageBoxAnswer::Cancel, MessageBoxAnswer::No}) {
        for (int i = 0; i < buttons.size(); ++i) {
            if (buttons[i].answer == wanted) {
                return i;
            }
        }
    }
    return 0;
}

// QMessageBox sizes itself to its text and leaves little room for the title, which a window
// manager shows in its own (often bold) font between the window's icon and its buttons. A spacer
// as wide as the whole title bar needs keeps the box from cutting the title off.
void makeRoomForTitle(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (grid == nullptr) {
        return;
    }
    QFont titleFont = box.font();
    titleFont.setBold(true);
    const QFontMetrics metrics(titleFont);
    const int titleBarButton = metrics.height() + 12; // the icon, minimise, maximise and close
    int wanted = metrics.horizontalAdvance(box.windowTitle()) + 4 * titleBarButton + 24;
    if (const QScreen* screen = box.screen()) {
        wanted = std::min(wanted, screen->availableGeometry().width() - 40);
    }
    const QMargins margins = grid->contentsMargins();
    grid->addItem(new QSpacerItem(wanted - margins.left() - margins.right(), 0, QSizePolicy::Fixed,
                                  QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

} // namespace

MessageBoxAnswer DesktopMessageBox::show(const QString& prompt, MessageBoxStyle boxStyle,
                                         const QString& title, QWidget* parent) {
    const int style = static_cast<int>(boxStyle);
    if (parent == nullptr) {
        parent = QApplication::activeWindow();
    }
    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setText(prompt);
    box.setTextFormat(Qt::PlainText);
    // A path or address in the text can be selected and copied.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    box.setIcon(iconFor(style));
    box.setWindowModality(Qt::ApplicationModal);
    if (parent == nullptr) {
        // With no window to sit on (the main window may be in the tray), keep it from hiding behind others.
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    }

    const QList<ButtonChoice> buttons = buttonsFor(style);
    QList<QPushButton*> pushButtons;
    for (const ButtonChoice& button : buttons) {
        pushButtons.append(box.addButton(button.caption, button.role));
    }
    const int defaultIndex = std::min<int>((style >> 8) & 0x03, int(pushButtons.size()) - 1);
    box.setDefaultButton(pushButtons[defaultIndex]);
    box.setEscapeButton(pushButtons[escapeIndex(buttons)]);
    makeRoomForTitle(box);

    box.exec();

    const int clicked = int(pushButtons.indexOf(qobject_cast<QPushButton*>(box.clickedButton())));
    return buttons[clicked >= 0 ? clicked : escapeIndex(buttons)].answer;
}

} // namespace velanote
