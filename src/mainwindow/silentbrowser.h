#pragma once
#include "platform/platform.h"

#include <QFuture>
#include <QString>

namespace velanote {

// Stands in for the main window's embedded browser control: it hands addresses to the desktop,
// and at load it fetches the forum page quietly in the background, showing nothing and keeping
// nothing of the reply.
class SilentBrowser {
public:
    explicit SilentBrowser(Platform& platform) : platform_(platform) {}
    ~SilentBrowser();
    SilentBrowser(const SilentBrowser&) = delete;
    SilentBrowser& operator=(const SilentBrowser&) = delete;

    void Navigate(const QString& address);
    void loadQuietly(const QString& address);
    // Blocks until a quiet load has finished (the HTTP client's time-outs bound the wait).
    void waitForQuietLoad();

private:
    Platform& platform_;
    QFuture<void> quietLoad_;
};

} // namespace velanote
