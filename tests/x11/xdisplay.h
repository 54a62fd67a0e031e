#pragma once
// A private X server for tests that must see what reaches a real display: Xvfb on a display number
// it picks itself, with a compositor or a tray on request. Everything it starts stops with it.
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace velanote::testing {

class XDisplay {
public:
    XDisplay();
    ~XDisplay();
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;

    bool running() const { return !name_.isEmpty(); }
    bool startCompositor(); // xcompmgr
    bool startTray();       // trayer, a panel with a notification area at the bottom right

    // The environment for a program that should use this display (the xcb platform, no session bus,
    // so the tray shows Qt's own balloons).
    QProcessEnvironment environment() const;
    // Starts `program` on this display; it is stopped when the display goes, if still running.
    QProcess* start(const QString& program, const QStringList& arguments,
                    const QProcessEnvironment& environment);
    // Runs an X client to its end and returns its standard output (empty on failure).
    QByteArray run(const QString& program, const QStringList& arguments) const;

    // The first mapped top-level window of `size` and its id, from the server's window tree.
    struct Window {
        QString id;
        QRect geometry;
    };
    Window findWindow(const QSize& size) const;
    // The window's _NET_WM_WINDOW_OPACITY, -1 while it has none.
    qint64 opacity(const QString& windowId) const;
    QImage screenshot() const;

private:
    QString name_; // ":N"
    std::vector<std::unique_ptr<QProcess>> processes_;
};

// The mean difference of the colour channels of `image` inside `area` from `reference` (0..255).
double meanDifference(const QImage& image, const QRect& area, const QImage& reference);

} // namespace velanote::testing
