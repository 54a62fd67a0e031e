#include "mainwindow/mainwindowpictures.h"

#include "app/resourcestore.h"

namespace velanote::MainWindowPictures {

namespace {
QPixmap picture(const QString& name) {
    return QPixmap(QStringLiteral(":/images/") + name);
}
} // namespace

QPixmap banner() {
    return picture(QStringLiteral("banner.gif"));
}
QString animatedStrip() {
    return QStringLiteral(":/images/strip.gif");
}
QPixmap waterPicture() {
    return picture(QStringLiteral("water.jpg"));
}
QPixmap copyIcon() {
    return picture(QStringLiteral("copy.gif"));
}
QPixmap saveIcon() {
    return picture(QStringLiteral("save.gif"));
}
QPixmap exitIcon() {
    return picture(QStringLiteral("exit.gif"));
}
QPixmap updateIcon() {
    return picture(QStringLiteral("update.gif"));
}

} // namespace velanote::MainWindowPictures
