#include "synthesis/childprocess.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <stdexcept>
#include <string>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

using velanote::ChildProcess;

namespace {

bool say(int fd, const std::string& text) {
    return ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
}

} // namespace

// A child that hangs (as one forked while another thread held a lock can) must not hang the
// caller: it is killed, tried once more if it had said nothing, and otherwise reported.
TEST(ChildProcess, HandsOnWhatTheChildWritesAndGivesUpOnOneThatHangs) {
    const ChildProcess runner(std::chrono::milliseconds(300));
    std::string heard;
    const auto listen = [&heard](std::string_view piece) {
        heard += piece.empty() ? "|" : std::string(piece);
    };

    runner.run([](int fd) { return say(fd, "abc"); }, listen, "failed");
    EXPECT_EQ(heard, "abc|");

    // The first child hangs before it writes; the second, seeing the mark it left, answers.
    QTemporaryDir dir;
    const std::string mark = dir.filePath("tried").toStdString();
    heard.clear();
    runner.run(
        [&mark](int fd) {
            if (::access(mark.c_str(), F_OK) != 0) {
                ::close(::open(mark.c_str(), O_CREAT | O_WRONLY, 0600));
                ::pause();
            }
            return say(fd, "second");
        },
        listen, "failed");
    EXPECT_EQ(heard, "second|");

    // Silent every time, or hanging once it has begun to answer (not tried again, since what it
    // said is already passed on): the caller gets a failure and no end.
    const std::pair<ChildProcess::Work, std::string> hanging[] = {
        {[](int) { return ::pause() == 0; }, ""},
        {[](int fd) { return say(fd, "half") && ::pause() == 0; }, "half"}};
    for (const auto& [work, said] : hanging) {
        heard.clear();
        EXPECT_THROW(runner.run(work, listen, "failed"), std::runtime_error);
        EXPECT_EQ(heard, said);
    }
    EXPECT_THROW(runner.run([](int) { return false; }, listen, "failed"), std::runtime_error);
}
