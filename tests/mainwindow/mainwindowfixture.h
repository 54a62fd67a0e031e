#pragma once
#include "app/appcontext.h"
#include "mainwindow/mainwindow.h"
#include "prefix/prefixswitch.h"
#include "prefix/prefixwindow.h"
#include "support/fakeplatform.h"
#include "support/tempfolder.h"
#include "widgets/statusbar.h"

#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

namespace velanote::testing {

// A main window over the fake platform and a fresh program folder, with its timers stopped so
// the tests drive the handlers themselves.
class MainWindowTest : public ::testing::Test {
protected:
    static constexpr const char* VersionUrl = "http://updates.velasoft.test/soft/velasoftjc/sjnt/jc.txt";

    static Endpoints endpoints() {
        Endpoints e = Endpoints::forLocalService(0);
        e.versionUrl = QString::fromLatin1(VersionUrl);
        return e;
    }

    void replyVersion(const QByteArray& body, int status = 200) {
        platform.httpFake.replies.insert(QString::fromLatin1(VersionUrl), HttpResult{true, status, body});
    }

    int versionRequests() const {
        return int(platform.httpFake.requests.count(QString::fromLatin1(VersionUrl)));
    }

    MainWindow& open() {
        form = std::make_unique<MainWindow>(ctx);
        // The quiet forum load runs on a worker; let it finish before the fake is used again.
        form->browser.waitForQuietLoad();
        form->shakeTimer->stop();
        form->startupCheckTimer->stop();
        form->rippleTimer->stop();
        return *form;
    }

    MainWindow& openUnlocked() {
        replyVersion("V6.0");
        open();
        form->onStartupCheckTick();
        return *form;
    }

    QString status() const { return form->statusLine->panelText(2); }

    fakes::FakePlatform platform;
    fakes::TempProgramFolder temp;
    AppContext ctx{platform, temp.folder(), endpoints()};
    std::unique_ptr<MainWindow> form;
};

} // namespace velanote::testing
