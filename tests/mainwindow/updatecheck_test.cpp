#include "mainwindow/updatecheck.h"
#include "support/fakeplatform.h"

#include <gtest/gtest.h>

using namespace velanote;
using velanote::fakes::FakePlatform;

namespace {

const QString kUrl = QStringLiteral("http://updates.velasoft.test/soft/velasoftjc/sjnt/jc.txt");
const QString kForum = QStringLiteral("http://bbs.velasoft.example/");

struct CheckRun {
    FakePlatform platform;
    UpdateCheck check{platform, kUrl, kForum};
    QStringList statuses;

    void reply(const QByteArray& body, int status = 200) {
        platform.httpFake.replies.insert(kUrl, {true, status, body});
    }
    UpdateCheck::Outcome automatic() {
        return check.runAutomatic([this](const QString& s) { statuses.append(s); }, nullptr);
    }
};

} // namespace

TEST(UpdateCheck, RepliesAreComparedWithoutTrailingBreaksAndBlanks) {
    EXPECT_EQ(UpdateCheck::normalizedReply("V6.0\r\n"), "V6.0");
    EXPECT_EQ(UpdateCheck::normalizedReply("V6.0 \n\t\n"), "V6.0");
    EXPECT_EQ(UpdateCheck::normalizedReply(" V6.1"), " V6.1");
    EXPECT_EQ(UpdateCheck::normalizedReply("\r\n  "), "");
    EXPECT_EQ(UpdateCheck::judge("V6.0"), UpdateCheck::Verdict::Current);
    EXPECT_EQ(UpdateCheck::judge("v6.0"), UpdateCheck::Verdict::OtherVersion);
    EXPECT_EQ(UpdateCheck::judge(" V6.0"), UpdateCheck::Verdict::OtherVersion);
    EXPECT_EQ(UpdateCheck::judge(""), UpdateCheck::Verdict::Failed);
    EXPECT_EQ(UpdateCheck::updateQuestion("V6.1"),
              QStringLiteral("您当前使用的为旧版软件!\r\n \r\n最新版本为:【V6.1】是否更新?"));
}

TEST(UpdateCheck, AutomaticRunReportsOnTheStatusLine) {
    CheckRun current;
    current.reply("V6.0\n");
    EXPECT_EQ(current.automatic(), UpdateCheck::Outcome::Current);
    EXPECT_EQ(current.statuses, QStringList{QStringLiteral("程序加载完毕...")});
    EXPECT_TRUE(current.platform.boxes.shown.isEmpty());
    EXPECT_EQ(current.platform.httpFake.requests, QStringList{kUrl});

    CheckRun unreachable;
    EXPECT_EQ(unreachable.automatic(), UpdateCheck::Outcome::Failed);
    EXPECT_EQ(unreachable.statuses, QStringList{QStringLiteral("检测失败!请检查您的网络连接!.")});

    // An error page is no version file, even when its body reads like one.
    CheckRun errorPage;
    errorPage.reply("V6.0", 404);
    EXPECT_EQ(errorPage.automatic(), UpdateCheck::Outcome::Failed);
    EXPECT_EQ(errorPage.platform.shellFake.endProgramCalls, 0);
}

TEST(UpdateCheck, AnotherVersionEndsTheProgramOnEitherAnswer) {
    CheckRun yes;
    yes.reply("V6.1\r\n");
    yes.platform.boxes.answerNext(MessageBoxAnswer::Yes);
    EXPECT_EQ(yes.automatic(), UpdateCheck::Outcome::ProgramEnded);
    ASSERT_EQ(yes.platform.boxes.shown.size(), 1);
    EXPECT_EQ(yes.platform.boxes.shown[0].prompt, UpdateCheck::updateQuestion("V6.1"));
    EXPECT_EQ(yes.platform.boxes.shown[0].style, MessageBoxStyle::YesNoInformation);
    EXPECT_EQ(yes.platform.boxes.shown[0].title, QStringLiteral("Vela系列软件"));
    EXPECT_EQ(yes.platform.shellFake.openedAddresses, QStringList{kForum});
    EXPECT_EQ(yes.platform.shellFake.endProgramCalls, 1);
    EXPECT_TRUE(yes.statuses.isEmpty());

    CheckRun no;
    no.reply("v6.0");
    no.platform.boxes.answerNext(MessageBoxAnswer::No);
    EXPECT_EQ(no.check.runManual(nullptr), UpdateCheck::Outcome::ProgramEnded);
    EXPECT_TRUE(no.platform.shellFake.openedAddresses.isEmpty());
    EXPECT_EQ(no.platform.shellFake.endProgramCalls, 1);
    EXPECT_TRUE(no.platform.boxes.shown[0].prompt.contains(QStringLiteral("【v6.0】")));
}

TEST(UpdateCheck, ManualRunReportsInBoxes) {
    CheckRun current;
    current.reply("V6.0");
    EXPECT_EQ(current.check.runManual(nullptr), UpdateCheck::Outcome::Current);
    ASSERT_EQ(current.platform.boxes.shown.size(), 1);
    EXPECT_EQ(current.platform.boxes.shown[0].prompt, QStringLiteral("当前为最新版本!"));
    EXPECT_EQ(current.platform.boxes.shown[0].style, MessageBoxStyle::OkInformation);

    CheckRun failed;
    failed.reply("", 200);
    EXPECT_EQ(failed.check.runManual(nullptr), UpdateCheck::Outcome::Failed);
    ASSERT_EQ(failed.platform.boxes.shown.size(), 1);
    EXPECT_EQ(failed.platform.boxes.shown[0].prompt, QStringLiteral("检测失败!请检查您的网络连接!"));
    EXPECT_EQ(failed.platform.boxes.shown[0].style, MessageBoxStyle::OkExclamation);

    // A fetcher set by the window replaces the direct fetch.
    CheckRun viaFetcher;
    QStringList asked;
    viaFetcher.check.setFetcher([&asked](const QString& url) {
        asked.append(url);
        return QStringLiteral("V6.0\r\n");
    });
    EXPECT_EQ(viaFetcher.automatic(), UpdateCheck::Outcome::Current);
    EXPECT_EQ(asked, QStringList{kUrl});
    EXPECT_TRUE(viaFetcher.platform.httpFake.requests.isEmpty());
}
