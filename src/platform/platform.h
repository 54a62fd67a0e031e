#pragma once
#include "platform/clipboard.h"
#include "platform/filedialog.h"
#include "platform/httpclient.h"
#include "platform/mediaplayer.h"
#include "platform/messagebox.h"
#include "platform/shell.h"
#include "platform/trayicon.h"

#include <memory>

class QObject;
class QWidget;

namespace velanote {

// Everything the windows need of the operating system, handed to them so tests can replace it.
class Platform {
public:
    virtual ~Platform() = default;
    virtual MessageBoxService& messageBox() = 0;
    virtual FileDialogService& fileDialogs() = 0;
    virtual HttpClient& http() = 0;
    virtual Shell& shell() = 0;
    virtual Clipboard& clipboard() = 0;
    virtual std::unique_ptr<MediaPlayer> createPlayer(QObject* parent) = 0;
    virtual std::unique_ptr<TrayIcon> createTrayIcon(QObject* parent) = 0;
};

// The real platform over Qt and libcurl.
std::unique_ptr<Platform> createDesktopPlatform();

} // namespace velanote
