#include "platform/desktopshell.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

#include <cstdio>
#include <cstdlib>

namespace velanote {

namespace {

constexpr int FileManagerTimeoutMs = 5000;

} // namespace

QUrl DesktopShell::addressUrl(const QString& address) {
    return QUrl::fromUserInput(address.trimmed());
}

void DesktopShell::openAddress(const QString& address) {
    const QUrl url = addressUrl(address);
    if (url.isValid() && !url.isEmpty()) {
        open(url, address.trimmed(), QString());
    } else {
        notifyFailed(address.trimmed(), QString());
    }
}

void DesktopShell::openContainingFolder(const QString& path) {
    const QString folder = QFileInfo(path).absolutePath();
    open(QUrl::fromLocalFile(folder), path, folder);
}

void DesktopShell::open(const QUrl& url, const QString& target, const QString& folder) {
    // Not parented: the program may end while the opener still waits on what it started.
    auto* opener = new QProcess;
    opener->setProgram(opener_);
    opener->setArguments({url.toString(QUrl::FullyEncoded)});
    opener->setStandardInputFile(QProcess::nullDevice());
    const auto failed = [this, opener, target, folder] {
        QObject::disconnect(opener, nullptr, context_.get(), nullptr);
        opener->deleteLater();
        notifyFailed(target, folder);
    };
    QObject::connect(opener, &QProcess::errorOccurred, context_.get(),
                     [failed](QProcess::ProcessError error) {
                         if (error == QProcess::FailedToStart) {
                             failed();
                         }
                     });
    QObject::connect(opener, &QProcess::finished, context_.get(),
                     [opener, failed](int code, QProcess::ExitStatus status) {
                         if (code != 0 || status != QProcess::NormalExit) {
                             failed();
                         } else {
                             opener->deleteLater();
                         }
                     });
    std::erase_if(running_, [](const QPointer<QProcess>& p) { return p.isNull(); });
    running_.emplace_back(opener);
    opener->start();
}

void DesktopShell::settle(int ms) {
    QElapsedTimer clock;
    clock.start();
    for (const QPointer<QProcess>& opener : running_) {
        const int left = ms - int(clock.elapsed());
        if (opener && left > 0 && opener->state() != QProcess::NotRunning) {
            opener->waitForFinished(left);
        }
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
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context_.get(),
                     [this, absolute](QDBusPendingCallWatcher* w) {
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
