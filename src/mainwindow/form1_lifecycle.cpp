// Form1's loading, start-up lock and update check, keyboard and mouse, and closing.
#include "cosmetics/modmenu.h"
#include "cosmetics/skin.h"
#include "joiner/form3.h"
#include "mainwindow/form1.h"
#include "mainwindow/form1texts.h"
#include "mainwindow/watersurface.h"
#include "phrases/form4.h"
#include "platform/statusbar.h"
#include "prefix/form2.h"
#include "prefix/prefixswitch.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace velanote {

namespace {
constexpr int KeyF4 = 115;
} // namespace

void Form1::Form_Load() {
    // 1. No sizing border: the window keeps the size of its menu bar and client area.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }

    // 2. Pictures beside the four items of the first menu.
    modMenu::SetMenuBitmap(this, pic4->pixmap(), 0, 0);
    modMenu::SetMenuBitmap(this, pic2->pixmap(), 0, 2);
    modMenu::SetMenuBitmap(this, pic1->pixmap(), 0, 4);
    modMenu::SetMenuBitmap(this, pic3->pixmap(), 0, 6);

    // 3. The skin.
    SkinH_AttachEx(ctx_.folder.path() + "/skinh.she", QString());

    // 4. Full volume for the main window's player.
    WindowsMediaPlayer1->setVolume(100);

    // 5. The relationship list.
    Combo1->addItems(Form1Texts::relationships());
    Combo1->setCurrentIndex(-1);
    Combo1->setEditText(QString());

    // 6. The water ripple over Picture1's picture.
    surface_->initWater(Picture1->pixmap().toImage());

    // 7. The forum page, fetched quietly and dropped.
    WebBrowser1.loadQuietly(ctx_.endpoints.forumUrl);

    Text6->setPlainText(PrefixSwitch::usageText());
}

void Form1::Timer3_Timer() {
    // A tick that comes while the check still waits for the server, or after it ended the
    // program, does nothing.
    if (checking_ || programEnded_ || unlocked_) {
        return;
    }
    checking_ = true;
    const UpdateCheck::Outcome outcome =
        updateCheck_.runAutomatic([this](const QString& text) { setStatus(text); }, this);
    if (outcome == UpdateCheck::Outcome::ProgramEnded) {
        programEnded_ = true;
        Timer3->stop();
        return;
    }
    unlockAfterCheck();
    finishCheck();
}

void Form1::finishCheck() {
    checking_ = false;
    if (closePending_) {
        closePending_ = false;
        QTimer::singleShot(0, this, [this] { close(); });
    }
}

void Form1::unlockAfterCheck() {
    Text4->setEnabled(true);
    Text5->setEnabled(true);
    Text2->setEnabled(true);
    Combo1->setEnabled(true);
    Check1->setEnabled(true);
    Command2->setEnabled(true);
    Command4->setEnabled(true);
    jiance->setEnabled(true);
    Command7->setEnabled(true);
    xznz->setEnabled(true);
    qz->setEnabled(true);
    ypzh->setEnabled(true);
    qcyx->setEnabled(true);
    zttx->setEnabled(true);
    ypxf->setEnabled(true);
    jiance->setEnabled(true);
    Timer3->stop();
    KeyPreview = true;
    unlocked_ = true;
}

void Form1::jiance_Click() {
    if (checking_) {
        return;
    }
    checking_ = true;
    jiance->setEnabled(false);
    const UpdateCheck::Outcome outcome = updateCheck_.runManual(this);
    if (outcome == UpdateCheck::Outcome::ProgramEnded) {
        programEnded_ = true;
        return;
    }
    jiance->setEnabled(true);
    finishCheck();
}

void Form1::Form_KeyDown(int keyCode) {
    if (keyCode != KeyF4) {
        return;
    }
    if (Check1->checkState() == Qt::Checked) {
        Check1->setCheckState(Qt::Unchecked);
    } else if (Check1->checkState() == Qt::Unchecked) {
        Check1->setCheckState(Qt::Checked);
    }
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && KeyPreview && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F4 && key->modifiers() == Qt::NoModifier) {
            Form_KeyDown(KeyF4);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void Form1::Form_MouseDown(double x, double y) {
    stirWater(x, y, 60, 500);
}

void Form1::Form_MouseMove(double x, double y) {
    stirWater(x, y, 10, 80);
}

void Form1::stirWater(double x, double y, int a, int b) {
    const QString caption = zttx->text();
    if (caption == QString::fromUtf8(EffectOnCaption)) {
        surface_->mouseAction(qRound(x), qRound(y), a, b);
    } else if (caption == QString::fromUtf8(EffectOffCaption)) {
        surface_->mouseAction(qRound(x), qRound(y), 0, 0);
    }
}

void Form1::Timer4_Timer() {
    surface_->tick();
}

void Form1::Combo1_Click() {
    if (Combo1->currentText() == Form1Texts::customRelation()) {
        Combo1->setFocus();
        Combo1->setEditText(QString());
    }
}

void Form1::Command4_Click() {
    xgcz->popup(popupPosition());
}

void Form1::Command7_Click() {
    Form4::showSingle(form4_, ctx_, Text2, St1);
}

bool Form1::Form_QueryUnload() {
    const int answer =
        ask(Form1Texts::exitQuestion(), MsgBoxStyle::YesNoCancelInformation, Form1Texts::messageTitle());
    if (answer == MsgBoxAnswer::Yes) {
        ctx_.platform.shell().openAddress(ctx_.endpoints.forumUrl);
    } else if (answer != MsgBoxAnswer::No) {
        return false;
    }
    if (form3_) {
        form3_->close();
    }
    prefix_->closeSettingsWindow();
    return true;
}

void Form1::Form_Unload() {
    unloaded_ = true;
    Timer2->stop();
    Timer3->stop();
    Timer4->stop();
    EFMTrayIcon1->setVisible(false);
    // The phrase library writes into this window; it goes with it, so the program ends here.
    if (form4_) {
        form4_->close();
    }
}

void Form1::closeEvent(QCloseEvent* event) {
    if (unloaded_) {
        event->accept();
        return;
    }
    // While a check waits for the server or asks its question, a close request is kept and
    // runs once the check is over (unless the check ends the program).
    if (checking_) {
        closePending_ = true;
        event->ignore();
        return;
    }
    if (!Form_QueryUnload()) {
        event->ignore();
        return;
    }
    event->accept();
    Form_Unload();
}

} // namespace velanote
