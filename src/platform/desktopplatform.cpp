#include "platform/platform.h"

#include "platform/desktopclipboard.h"
#include "platform/desktopfiledialogs.h"
#include "platform/desktophttpclient.h"
#include "platform/desktopmediaplayer.h"
#include "platform/desktopmessagebox.h"
#include "platform/desktopshell.h"
#include "platform/desktoptrayicon.h"

namespace velanote {

namespace {

// The platform the program runs on: Qt for the desktop, libcurl for the network.
class DesktopPlatform : public Platform {
public:
    DesktopPlatform() { preferGStreamerMediaBackend(); }

    MessageBoxService& messageBox() override { return messageBox_; }
    FileDialogService& fileDialogs() override { return fileDialogs_; }
    HttpClient& http() override { return http_; }
    Shell& shell() override { return shell_; }
    Clipboard& clipboard() override { return clipboard_; }
    // Players and tray icons belong to the window that asks for them; `parent` only names it.
    std::unique_ptr<MediaPlayer> createPlayer(QObject*) override {
        return std::make_unique<DesktopMediaPlayer>();
    }
    std::unique_ptr<TrayIcon> createTrayIcon(QObject*) override {
        return std::make_unique<DesktopTrayIcon>();
    }

private:
    DesktopMessageBox messageBox_;
    DesktopFileDialogs fileDialogs_;
    CurlHttpClient http_;
    DesktopShell shell_;
    DesktopClipboard clipboard_;
};

} // namespace

std::unique_ptr<Platform> createDesktopPlatform() {
    return std::make_unique<DesktopPlatform>();
}

} // namespace velanote
