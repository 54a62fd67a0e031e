#pragma once
#include <QString>
#include <QStringList>

namespace velanote {

// Hands things to the desktop: web addresses, files to show, programs to start.
class Shell {
public:
    virtual ~Shell() = default;
    virtual void openAddress(const QString& address) = 0;
    virtual void showFileInManager(const QString& path) = 0;
    virtual bool startDetached(const QString& program, const QStringList& arguments) = 0;
    // Ends the program at once: no questions, no close handlers.
    virtual void endProgram() = 0;
};

} // namespace velanote
