#pragma once
#include "platform/shell.h"

#include <QDBusConnection>

class QUrl;

namespace velanote {

// The real shell: the desktop's browser and file manager, detached programs, immediate exit.
class DesktopShell : public Shell {
public:
    explicit DesktopShell(QDBusConnection bus = QDBusConnection::sessionBus()) : bus_(std::move(bus)) {}

    void openAddress(const QString& address) override;
    // Asks the file manager over D-Bus to select the file; opens the containing folder when no
    // file manager answers.
    void showFileInManager(const QString& path) override;
    bool startDetached(const QString& program, const QStringList& arguments) override;
    [[noreturn]] void endProgram() override;

    // The address as it is handed to the browser ("www.example.com" gets http://).
    static QUrl addressUrl(const QString& address);

private:
    QDBusConnection bus_;
};

} // namespace velanote
