#include "generation/trayparking.h"

#include "generation/waitwithoutinput.h"
#include "platform/trayicon.h"

#include <QCoreApplication>
#include <QWidget>

namespace velanote {

TrayParking::TrayParking(QWidget* window, TrayIcon* tray) : window_(window), tray_(tray) {}

void TrayParking::minimise(const QString& balloon) {
    tray_->setToolTip(QString::fromUtf8(RestoreHint));
    tray_->setVisible(true);
    tray_->setToolTip(QString::fromUtf8(TrayTitle));
    tray_->showBalloon(balloon, QString::fromUtf8(TrayTitle));
    window_->hide();
    // Let the balloon and the hidden window reach the screen before the slow work starts.
    const DroppedInput dropped;
    QCoreApplication::processEvents();
}

void TrayParking::withdrawBalloon() {
    tray_->removeBalloon();
}

void TrayParking::restore() {
    tray_->setToolTip(QString::fromUtf8(TrayTitle));
    window_->raise();
    tray_->removeBalloon();
    window_->showNormal();
    window_->activateWindow();
    window_->setFocus();
}

} // namespace velanote
