#include "platform/desktopshell.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

#include <cstdio>
#include <cstdlib>

namespace velanote {

namespace {

constexpr int FileManagerTimeoutMs = 5000;

void openContainingFolder(const QString& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath()));
}

} // namespace

QUrl DesktopShell::addressUrl(const QString& address) {
    return QUrl::fromUserInput(address.trimmed());
}

void DesktopShell::openAddress(const QString& address) {
    const QUrl url = addressUrl(address);
    if (url.isValid() && !url.isEmpty()) {
        QDesktopServices::openUrl(url);
    }
}

void DesktopShell::showFileInManager(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (!bus_.isConnected()) {
        openContainingFolder(absolute);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(absolute).toString(QUrl::FullyEncoded)} << QString();
    // Asynchronous, so a file manager that is slow to start does not hold the window.
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call, FileManagerTimeoutMs));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [absolute](QDBusPendingCallWatcher* w) {
                         if (w->isError()) {
                             openContainingFolder(absolute);
                         }
                         w->deleteLater();
                     });
}

bool DesktopShell::startDetached(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}

void DesktopShell::endProgram() {
    std::fflush(nullptr);
    std::_Exit(0);
}

} // namespace velanote
