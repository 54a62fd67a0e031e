#include "batch/batchwindow.h"

#include "app/endpoints.h"
#include "service/speechservice.h"
#include "support/child.h"
#include "support/fakeplatform.h"
#include "support/tempfolder.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>

#include <gtest/gtest.h>

using namespace velanote;
using velanote::testing::child;

TEST(BatchWindow, LoadsAListShowsItsChecksAndMakesTheGoodRows) {
    SpeechService service;
    ASSERT_TRUE(service.start());
    fakes::FakePlatform platform;
    fakes::TempProgramFolder tmp;
    AppContext ctx{platform, tmp.folder(), Endpoints::forLocalService(service.port())};
    ASSERT_TRUE(tmp.write(QStringLiteral("\\list.csv"), "sender,recipient,relation,message\n"
                                                        "甲,乙,朋友,新年快乐\n"
                                                        "甲,,朋友,没有接收人\n"
                                                        "甲,丙,同事,万事如意\n"));
    QPointer<BatchWindow> window = new BatchWindow(ctx);
    EXPECT_FALSE(child<QPushButton>(window.data(), "generateButton")->isEnabled());

    platform.dialogs.chooseNext(tmp.path(QStringLiteral("\\list.csv")));
    child<QPushButton>(window.data(), "loadButton")->click();
    ASSERT_EQ(child<QTableWidget>(window.data(), "rowTable")->rowCount(), 3);
    EXPECT_EQ(child<QTableWidget>(window.data(), "rowTable")->item(1, 3)->text(),
              QStringLiteral("有误: 请输入对方的名字[即接收人]"));
    EXPECT_EQ(child<QTableWidget>(window.data(), "rowTable")->item(2, 2)->text(), QStringLiteral("丙.mp3"));
    EXPECT_FALSE(child<QPushButton>(window.data(), "generateButton")->isEnabled()) << "no folder yet";
    EXPECT_FALSE(child<QCheckBox>(window.data(), "prefixCheck")->isEnabled()) << "no stored prefix";

    const QString out = tmp.path(QStringLiteral("\\out"));
    ASSERT_TRUE(QDir().mkpath(out));
    platform.dialogs.chooseNext(out);
    child<QPushButton>(window.data(), "folderButton")->click();
    ASSERT_TRUE(child<QPushButton>(window.data(), "generateButton")->isEnabled());

    // The bad row is skipped once the user agrees.
    platform.boxes.answerNext(MessageBoxAnswer::No);
    child<QPushButton>(window.data(), "generateButton")->click();
    EXPECT_FALSE(window->isRunning());
    QSignalSpy finished(window.data(), &BatchWindow::runFinished);
    platform.boxes.answerNext(MessageBoxAnswer::Yes);
    child<QPushButton>(window.data(), "generateButton")->click();
    EXPECT_TRUE(child<QPushButton>(window.data(), "cancelButton")->isEnabled());
    ASSERT_TRUE(finished.wait(60000));
    EXPECT_EQ(child<QProgressBar>(window.data(), "progressBar")->value(), 2);
    EXPECT_EQ(child<QTableWidget>(window.data(), "rowTable")->item(0, 3)->text(), QStringLiteral("已生成"));
    EXPECT_EQ(QDir(out).entryList(QDir::Files),
              QStringList({QStringLiteral("丙.mp3"), QStringLiteral("乙.mp3")}));
    EXPECT_FALSE(child<QPushButton>(window.data(), "cancelButton")->isEnabled());
    delete window.data();
}
