#pragma once
#include "platform/shell.h"

#include <QDBusConnection>
#include <QPointer>
#include <QProcess>

#include <memory>
#include <vector>

class QUrl;

namespace velanote {

// The real shell: the desktop's browser and file manager (through the desktop's opener program,
// whose verdict is watched), detached programs, immediate exit.
class DesktopShell : public Shell {
public:
    explicit DesktopShell(QDBusConnection bus = QDBusConnection::sessionBus(),
                          QString opener = QStringLiteral("xdg-open"))
        : bus_(std::move(bus)), opener_(std::move(opener)) {}
    DesktopShell(const DesktopShell&) = delete;
    DesktopShell& operator=(const DesktopShell&) = delete;

    void openAddress(const QString& address) override;
    // Asks the file manager over D-Bus to select the file; opens the containing folder when no
    // file manager answers.
    void showFileInManager(const QString& path) override;
    bool startDetached(const QString& program, const QStringList& arguments) override;
    [[noreturn]] void endProgram() override;
    void settle(int ms) override;

    // The address as it is handed to the browser ("www.example.com" gets http://).
    static QUrl addressUrl(const QString& address);

private:
    // Hands `url` to the opener; when it cannot start or says it failed, `target` and `folder` are
    // reported.
    void open(const QUrl& url, const QString& target, const QString& folder);
    void openContainingFolder(const QString& path);

    QDBusConnection bus_;
    QString opener_;
    // The receiver of the openers' and the file manager's answers: they are not heard once the
    // shell is gone.
    std::unique_ptr<QObject> context_ = std::make_unique<QObject>();
    // Openers still running. They are never killed: one may be waiting on the browser it started.
    std::vector<QPointer<QProcess>> running_;
};

} // namespace velanote
