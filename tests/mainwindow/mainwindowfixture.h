#pragma once
#include "app/appcontext.h"
#include "mainwindow/mainwindow.h"
#include "prefix/prefixswitch.h"
#include "prefix/prefixwindow.h"
#include "support/child.h"
#include "support/fakeplatform.h"
#include "support/tempfolder.h"
#include "widgets/statusbar.h"

#include <QAction>
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
        form->browser().waitForQuietLoad();
        find<QTimer>("shakeTimer")->stop();
        find<QTimer>("startupCheckTimer")->stop();
        find<QTimer>("rippleTimer")->stop();
        return *form;
    }

    MainWindow& openUnlocked() {
        replyVersion("V6.0");
        open();
        tick("startupCheckTimer");
        return *form;
    }

    template <typename T> T* find(const char* name) const { return testing::child<T>(form.get(), name); }
    // Runs what one timeout of the timer called `name` runs.
    void tick(const char* name) const { QMetaObject::invokeMethod(find<QTimer>(name), "timeout"); }
    void trigger(const char* action) const { find<QAction>(action)->trigger(); }

    QString status() const { return find<StatusBar>("statusLine")->panelText(2); }

    fakes::FakePlatform platform;
    fakes::TempProgramFolder temp;
    AppContext ctx{platform, temp.folder(), endpoints()};
    std::unique_ptr<MainWindow> form;
};

} // namespace velanote::testing
