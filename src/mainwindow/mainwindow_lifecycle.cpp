// MainWindow's loading, start-up lock and update check, keyboard and mouse, and closing.
#include "app/messagetitles.h"
#include "cosmetics/menupictures.h"
#include "cosmetics/skin.h"
#include "cosmetics/water.h"
#include "joiner/joinerwindow.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/mainwindowpictures.h"
#include "mainwindow/mainwindowtexts.h"
#include "mainwindow/watersurface.h"
#include "phrases/phrasewindow.h"
#include "prefix/prefixswitch.h"
#include "prefix/prefixwindow.h"
#include "widgets/statusbar.h"
#include "widgets/twips.h"

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
// How long closing waits to hear whether the forum page found a browser.
constexpr int ExitOpenWaitMs = 1500;
} // namespace

void MainWindow::load() {
    // 1. No sizing border: the window keeps the size of its menu bar and client area.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }

    // 2. Pictures beside the four items of the first menu.
    MenuPictures::setItemPicture(this, MainWindowPictures::updateIcon(), 0, 0);
    MenuPictures::setItemPicture(this, MainWindowPictures::saveIcon(), 0, 2);
    MenuPictures::setItemPicture(this, MainWindowPictures::copyIcon(), 0, 4);
    MenuPictures::setItemPicture(this, MainWindowPictures::exitIcon(), 0, 6);

    // 3. The skin.
    attachSkin(ctx_.folder.path() + QLatin1String("/skinh.she"), QString());

    // 4. Full volume for the main window's player.
    player->setVolume(100);

    // 5. The relationship list.
    relationCombo->addItems(MainWindowTexts::relationships());
    relationCombo->setCurrentIndex(-1);
    relationCombo->setEditText(QString());

    // 6. The water ripple over waterPicture's picture.
    surface_->initWater(MainWindowPictures::waterPicture().toImage());

    // 7. The forum page, fetched quietly and dropped.
    browser_.loadQuietly(ctx_.endpoints.forumUrl);
}

void MainWindow::onStartupCheckTimerTimeout() {
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
        startupCheckTimer->stop();
        return;
    }
    unlockAfterCheck();
    finishCheck();
}

void MainWindow::finishCheck() {
    checking_ = false;
    if (closePending_) {
        closePending_ = false;
        QTimer::singleShot(0, this, [this] { close(); });
    }
}

void MainWindow::unlockAfterCheck() {
    setLocked(false);
    startupCheckTimer->stop();
    keyPreview_ = true;
    unlocked_ = true;
}

void MainWindow::onCheckUpdateActionTriggered() {
    if (checking_) {
        return;
    }
    checking_ = true;
    checkUpdateAction->setEnabled(false);
    const UpdateCheck::Outcome outcome = updateCheck_.runManual(this);
    if (outcome == UpdateCheck::Outcome::ProgramEnded) {
        programEnded_ = true;
        return;
    }
    checkUpdateAction->setEnabled(true);
    finishCheck();
}

void MainWindow::onKeyDown(Qt::Key key) {
    if (key != Qt::Key_F4) {
        return;
    }
    if (prefixCheck->checkState() == Qt::Checked) {
        prefixCheck->setCheckState(Qt::Unchecked);
    } else if (prefixCheck->checkState() == Qt::Unchecked) {
        prefixCheck->setCheckState(Qt::Checked);
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && keyPreview_ && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F4 && key->modifiers() == Qt::NoModifier) {
            onKeyDown(Qt::Key_F4);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::onMousePress(double x, double y) {
    stirWater(x, y, 60, 500);
}

void MainWindow::onMouseMove(double x, double y) {
    stirWater(x, y, 10, 80);
}

void MainWindow::stirWater(double x, double y, int a, int b) {
    if (effectOn_) {
        surface_->mouseAction(qRound(x), qRound(y), a, b);
        // The ticks pause while the water is calm.
        if (!waterRipple().isCalm() && !rippleTimer->isActive()) {
            rippleTimer->start();
        }
    } else {
        surface_->mouseAction(qRound(x), qRound(y), 0, 0);
    }
}

void MainWindow::onShakeTimerTimeout() {
    shake(prefixCheck);
}

void MainWindow::onRippleTimerTimeout() {
    surface_->tick();
    // Calm water stays calm until the mouse stirs it, so the ticks can rest meanwhile.
    if (waterRipple().isCalm()) {
        rippleTimer->stop();
    }
}

void MainWindow::onRelationComboActivated() {
    if (relationCombo->currentText() == MainWindowTexts::customRelation()) {
        relationCombo->setFocus();
        relationCombo->setEditText(QString());
    }
}

void MainWindow::onToolsButtonClicked() {
    toolsMenu->popup(popupPosition());
}

void MainWindow::onPhrasesButtonClicked() {
    showPhraseWindow();
}

bool MainWindow::askToClose() {
    const MessageBoxAnswer answer = ask(MainWindowTexts::exitQuestion(),
                                        MessageBoxStyle::YesNoCancelInformation, MessageTitles::program());
    if (answer == MessageBoxAnswer::Yes) {
        ctx_.platform.shell().openAddress(ctx_.endpoints.forumUrl);
        // A browser that cannot be found is still told before the window goes.
        ctx_.platform.shell().settle(ExitOpenWaitMs);
    } else if (answer != MessageBoxAnswer::No) {
        return false;
    }
    if (joinerWindow_) {
        joinerWindow_->close();
    }
    prefix_->closeSettingsWindow();
    return true;
}

void MainWindow::unload() {
    unloaded_ = true;
    shakeTimer->stop();
    startupCheckTimer->stop();
    rippleTimer->stop();
    trayIcon->setVisible(false);
    // The phrase library serves this window; it goes with it, so the program ends here.
    if (phraseWindow_) {
        phraseWindow_->close();
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
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
    if (!askToClose()) {
        event->ignore();
        return;
    }
    event->accept();
    unload();
}

} // namespace velanote
