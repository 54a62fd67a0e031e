#pragma once
#include "app/appcontext.h"
#include "mainwindow/form1.h"
#include "platform/statusbar.h"
#include "prefix/form2.h"
#include "prefix/prefixswitch.h"
#include "support/fakeplatform.h"
#include "support/tempfolder.h"

#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

namespace velanote::testing {

// A main window over the fake platform and a fresh program folder, with its timers stopped so
// the tests drive the handlers themselves.
class Form1Test : public ::testing::Test {
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

    Form1& open() {
        form = std::make_unique<Form1>(ctx);
        // The quiet forum load runs on a worker; let it finish before the fake is used again.
        form->WebBrowser1.waitForQuietLoad();
        form->Timer2->stop();
        form->Timer3->stop();
        form->Timer4->stop();
        return *form;
    }

    Form1& openUnlocked() {
        replyVersion("V6.0");
        open();
        form->Timer3_Timer();
        return *form;
    }

    QString status() const { return form->St1->panelText(2); }

    fakes::FakePlatform platform;
    fakes::TempProgramFolder temp;
    AppContext ctx{platform, temp.folder(), endpoints()};
    std::unique_ptr<Form1> form;
};

} // namespace velanote::testing
