#include "mainwindow/silentbrowser.h"

#include <QtConcurrent/QtConcurrentRun>

namespace velanote {

SilentBrowser::~SilentBrowser() {
    waitForQuietLoad();
}

void SilentBrowser::Navigate(const QString& address) {
    platform_.shell().openAddress(address);
}

void SilentBrowser::loadQuietly(const QString& address) {
    waitForQuietLoad();
    HttpClient& http = platform_.http();
    quietLoad_ = QtConcurrent::run([&http, address] { (void)http.fetchText(address); });
}

void SilentBrowser::waitForQuietLoad() {
    if (quietLoad_.isValid()) {
        quietLoad_.waitForFinished();
    }
}

} // namespace velanote
