#include "platform/desktopmessagebox.h"

#include <QApplication>
#include <QList>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>

namespace velanote {

const QString DesktopMessageBox::OkCaption = QStringLiteral("确定");
const QString DesktopMessageBox::CancelCaption = QStringLiteral("取消");
const QString DesktopMessageBox::YesCaption = QStringLiteral("是(&Y)");
const QString DesktopMessageBox::NoCaption = QStringLiteral("否(&N)");

namespace {

struct ButtonSpec {
    QString caption;
    QMessageBox::ButtonRole role;
    int answer;
};

// The low bits of the style choose the buttons, as the desktop's message box numbers them.
QList<ButtonSpec> buttonsFor(int style) {
    const ButtonSpec ok{DesktopMessageBox::OkCaption, QMessageBox::AcceptRole, MsgBoxAnswer::Ok};
    const ButtonSpec cancel{DesktopMessageBox::CancelCaption, QMessageBox::RejectRole, MsgBoxAnswer::Cancel};
    const ButtonSpec yes{DesktopMessageBox::YesCaption, QMessageBox::YesRole, MsgBoxAnswer::Yes};
    const ButtonSpec no{DesktopMessageBox::NoCaption, QMessageBox::NoRole, MsgBoxAnswer::No};
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
int escapeIndex(const QList<ButtonSpec>& specs) {
    for (int wanted : {MsgBoxAnswer::Cancel, MsgBoxAnswer::No}) {
        for (int i = 0; i < specs.size(); ++i) {
            if (specs[i].answer == wanted) {
                return i;
            }
        }
    }
    return 0;
}

} // namespace

int DesktopMessageBox::MsgBox(const QString& prompt, int style, const QString& title, QWidget* parent) {
    if (parent == nullptr) {
        parent = QApplication::activeWindow();
    }
    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setText(prompt);
    box.setTextFormat(Qt::PlainText);
    box.setIcon(iconFor(style));
    box.setWindowModality(Qt::ApplicationModal);
    if (parent == nullptr) {
        // With no window to sit on (the main window may be in the tray), keep it from hiding behind others.
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    }

    const QList<ButtonSpec> specs = buttonsFor(style);
    QList<QPushButton*> buttons;
    for (const ButtonSpec& spec : specs) {
        buttons.append(box.addButton(spec.caption, spec.role));
    }
    const int defaultIndex = std::min<int>((style >> 8) & 0x03, int(buttons.size()) - 1);
    box.setDefaultButton(buttons[defaultIndex]);
    box.setEscapeButton(buttons[escapeIndex(specs)]);

    box.exec();

    const int clicked = int(buttons.indexOf(qobject_cast<QPushButton*>(box.clickedButton())));
    return specs[clicked >= 0 ? clicked : escapeIndex(specs)].answer;
}

} // namespace velanote
