#include "platform/commondialog.h"
#include "support/fakeplatform.h"

#include <gtest/gtest.h>

using namespace velanote;

TEST(CommonDialog, CancelKeepsThePreviousNameAndChoosingReplacesIt) {
    fakes::FakeFileDialogs dialogs;
    CommonDialog c5(dialogs, nullptr, "title", "(MP3音频文件)|*.mp3");
    dialogs.chooseNext("/tmp/a.mp3");
    EXPECT_EQ(c5.showSaveDialog(), CommonDialog::Outcome::Chosen);
    EXPECT_EQ(c5.FileName, "/tmp/a.mp3");
    dialogs.cancelNext();
    EXPECT_EQ(c5.showSaveDialog(), CommonDialog::Outcome::Cancelled);
    EXPECT_EQ(c5.FileName, "/tmp/a.mp3");
    ASSERT_EQ(dialogs.calls.size(), 2);
    EXPECT_EQ(dialogs.calls[1].initialName, "/tmp/a.mp3"); // the last name is offered again
    EXPECT_TRUE(dialogs.calls[1].save);
}
