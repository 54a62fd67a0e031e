// The desktop's folder of made clips, and the embedded service that keeps its addresses alive.
#include "platform/atomicfile.h"
#include "service/folderclipstore.h"
#include "service/loopbackclient.h"
#include "service/speechservice.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <thread>

using velanote::FolderClipStore;
using velanote::SpeechClip;
using velanote::SpeechService;
using velanote::testing::LoopbackClient;

namespace fs = std::filesystem;

namespace {

bool writeAtomically(const fs::path& path, const std::string& bytes) {
    return velanote::writeFileAtomically(QString::fromStdString(path.string()),
                                         QByteArray::fromStdString(bytes));
}

SpeechClip clipOf(char idDigit, std::size_t bytes) {
    return {std::string(40, idDigit),
            std::make_shared<const std::string>(std::string("\xFF\xE3", 2) + std::string(bytes, 'x')), 500};
}

} // namespace

TEST(FolderClipStore, KeepsWholeClipsWithinItsSizeLeastRecentlyUsedFirstOut) {
    QTemporaryDir dir;
    const fs::path folder = fs::path(dir.path().toStdString()) / "tts";
    // Room for two clips of 1000 bytes with their headers, not three.
    FolderClipStore store(folder, 2500, writeAtomically);
    store.keep(clipOf('a', 1000));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    store.keep(clipOf('b', 1000));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(store.find(std::string(40, 'a'))); // used again: now 'b' is the oldest
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    store.keep(clipOf('c', 1000));
    EXPECT_TRUE(store.find(std::string(40, 'a')));
    EXPECT_FALSE(store.find(std::string(40, 'b')));
    const auto c = store.find(std::string(40, 'c'));
    ASSERT_TRUE(c);
    EXPECT_EQ(*c->mp3, *clipOf('c', 1000).mp3);
    EXPECT_EQ(c->durationMs, 500);

    // A damaged file, another clip's file and a name that leads out of the folder find nothing.
    std::ofstream(folder / (std::string(40, 'd') + FolderClipStore::Suffix)) << "velanote-clip 1 not a clip";
    fs::copy_file(folder / (std::string(40, 'c') + FolderClipStore::Suffix),
                  folder / (std::string(40, 'e') + ".clip"));
    std::ofstream(fs::path(dir.path().toStdString()) / "x.clip")
        << velanote::ClipStore::encode(clipOf('a', 10));
    for (const std::string& id : {std::string(40, 'd'), std::string(40, 'e'), std::string("../x")}) {
        EXPECT_FALSE(store.find(id)) << id;
    }
}

// What the desktop program does: a fixed port, clips in a folder. An address made by one run plays
// from the next one without a new synthesis.
TEST(FolderClipStore, AnAddressOutlivesTheServiceThatMadeIt) {
    QTemporaryDir dir;
    FolderClipStore store(fs::path(dir.path().toStdString()) / "tts", 1 << 20, writeAtomically);
    SpeechService::Options options;
    options.localStore = &store;
    options.anyPortIfTaken = true;
    std::string address;
    std::string mp3;
    quint16 port = 0;
    {
        SpeechService first(options);
        ASSERT_TRUE(first.start());
        port = first.port();
        LoopbackClient client(port);
        const auto reply = client.speak("今天很开心");
        std::smatch match;
        ASSERT_TRUE(
            std::regex_match(reply.body, match, std::regex(R"(^outurl=\.(/tts/[0-9a-f]{40}\.mp3)&.*)")))
            << reply.body;
        address = match[1];
        mp3 = client.get(address).body;
        ASSERT_GT(mp3.size(), 100U);
    }
    options.port = port;
    SpeechService second(options);
    ASSERT_TRUE(second.start()) << second.errorString().toStdString();
    EXPECT_EQ(second.port(), port);
    const auto again = LoopbackClient(port).get(address);
    EXPECT_EQ(again.status, 200);
    EXPECT_EQ(again.body, mp3);
    EXPECT_EQ(second.synthesisCount(), 0U);

    // The port taken: another one, or a failure for a service that must have that one.
    SpeechService third(options);
    ASSERT_TRUE(third.start());
    EXPECT_NE(third.port(), port);
    options.anyPortIfTaken = false;
    SpeechService fixed(options);
    EXPECT_FALSE(fixed.start());
}
