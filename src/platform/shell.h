#pragma once
#include <QString>
#include <QStringList>

#include <functional>
#include <utility>

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
    // Waits up to `ms` for what was handed over to be taken or refused, so that a refusal is still
    // told before the program ends.
    virtual void settle(int ms) { (void)ms; }

    // One watcher, told when the desktop could not open what it was handed (no browser or file
    // manager): the address or file, and for a file or folder the folder that holds it (else
    // empty). The empty function removes it.
    using FailureWatcher = std::function<void(const QString& target, const QString& folder)>;
    void setFailureWatcher(FailureWatcher watcher) { failureWatcher_ = std::move(watcher); }

protected:
    void notifyFailed(const QString& target, const QString& folder) const {
        if (failureWatcher_) {
            failureWatcher_(target, folder);
        }
    }

private:
    FailureWatcher failureWatcher_;
};

} // namespace velanote
