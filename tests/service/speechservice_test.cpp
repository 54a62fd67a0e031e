#include "reading/utf8.h"
#include "service/loopbackclient.h"
#include "service/rawconnection.h"
#include "service/speechquery.h"
#include "service/speechservice.h"
#include "support/mp3frames.h"
#include "synthesis/speechsynthesizer.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <latch>
#include <regex>
#include <thread>

using velanote::SpeechQuery;
using velanote::SpeechService;
using velanote::SpeechSynthesizer;
using velanote::testing::LoopbackClient;
using velanote::testing::LoopbackReply;
using velanote::testing::Mp3Frame;
using velanote::testing::parseMp3Frames;
using velanote::testing::RawConnection;

namespace {

struct Spoken {
    std::string id;
    std::size_t bytes = 0;
    int ms = 0;
    std::string mp3;
};

// Requests the text and downloads the clip the reply names; fails the test on any deviation.
Spoken speakAndFetch(LoopbackClient& client, const std::string& text) {
    Spoken spoken;
    const LoopbackReply reply = client.speak(text);
    EXPECT_EQ(reply.status, 200) << reply.body;
    EXPECT_EQ(reply.contentType, "text/plain; charset=utf-8");
    static const std::regex shape(R"(^outurl=\./tts/([0-9a-f]{40})\.mp3&bytes=(\d+)&ms=(\d+)$)");
    std::smatch match;
    if (!std::regex_match(reply.body, match, shape)) {
        ADD_FAILURE() << "reply: " << reply.body;
        return spoken;
    }
    spoken.id = match[1];
    spoken.bytes = std::stoul(match[2]);
    spoken.ms = std::stoi(match[3]);
    const LoopbackReply mp3 = client.get("/tts/" + spoken.id + ".mp3");
    EXPECT_EQ(mp3.status, 200);
    EXPECT_EQ(mp3.contentType, "audio/mpeg");
    EXPECT_EQ(mp3.body.size(), spoken.bytes);
    spoken.mp3 = mp3.body;
    return spoken;
}

std::string percentEncodedRepeat(const std::string& bytes, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += SpeechQuery::encodeComponent(bytes);
    }
    return out;
}

} // namespace

class SpeechServiceTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        service_ = new SpeechService();
        ASSERT_TRUE(service_->start());
    }
    static void TearDownTestSuite() {
        delete service_;
        service_ = nullptr;
    }
    static SpeechService* service_;
};

SpeechService* SpeechServiceTest::service_ = nullptr;

TEST_F(SpeechServiceTest, SpeaksChineseTraditionalAndMixedTextAsMpeg25Clips) {
    ASSERT_TRUE(service_->isRunning());
    ASSERT_NE(service_->port(), 0);
    LoopbackClient client(service_->port());
    const std::vector<std::pair<std::string, int>> texts = {
        {"亲爱的妈妈，祝您生日快乐，身体健康！", 17},
        {"親愛的媽媽，祝您生日快樂，身體健康！", 17},
        {"我是Tom，用iPhone发来问候：1+1=2，100%开心 & happy", 30},
    };
    std::set<std::string> ids;
    for (const auto& [text, syllables] : texts) {
        const Spoken spoken = speakAndFetch(client, text);
        ASSERT_FALSE(spoken.mp3.empty()) << text;
        ids.insert(spoken.id);
        std::vector<Mp3Frame> frames;
        std::string error;
        ASSERT_TRUE(parseMp3Frames(spoken.mp3, frames, error)) << error;
        for (const Mp3Frame& frame : frames) {
            ASSERT_EQ(frame.version, 25);
            ASSERT_EQ(frame.layer, 3);
            ASSERT_EQ(frame.kbps, 16);
            ASSERT_EQ(frame.sampleRate, 11025);
            ASSERT_EQ(frame.channels, 1);
        }
        const double playMs = double(frames.size()) * 576 * 1000.0 / 11025;
        EXPECT_NEAR(spoken.ms, playMs, 1.0) << text;
        // Between 0.1 s and 0.6 s per spoken syllable or letter.
        EXPECT_GT(spoken.ms, syllables * 100) << text;
        EXPECT_LT(spoken.ms, syllables * 600) << text;
    }
    EXPECT_EQ(ids.size(), texts.size());
}

TEST_F(SpeechServiceTest, RepeatedTextIsServedFromTheStore) {
    LoopbackClient client(service_->port());
    const quint64 before = service_->synthesisCount();
    const Spoken first = speakAndFetch(client, "好友，新年快乐，万事如意");
    const Spoken second = speakAndFetch(client, "好友，新年快乐，万事如意");
    EXPECT_EQ(service_->synthesisCount(), before + 1);
    EXPECT_EQ(first.id, second.id);
    EXPECT_EQ(first.ms, second.ms);
    EXPECT_EQ(first.mp3, second.mp3);
    // "+" is a blank in a query, "%2B" a plus: two different texts.
    const LoopbackReply plus = client.get("/text2speech.php?&text=a%2Bb");
    const LoopbackReply blank = client.get("/text2speech.php?&text=a+b");
    const LoopbackReply space = client.get("/text2speech.php?&text=a%20b");
    EXPECT_NE(plus.body, blank.body);
    EXPECT_EQ(blank.body, space.body);
    // The voice settings name another clip; parameters the service does not know change nothing.
    const LoopbackReply faster = client.get("/text2speech.php?&text=a+b&rate=150");
    const LoopbackReply unknown = client.get("/text2speech.php?&text=a+b&speed=150&rate=100");
    EXPECT_EQ(faster.status, 200);
    EXPECT_NE(faster.body, blank.body);
    EXPECT_EQ(unknown.body, blank.body);
}

TEST_F(SpeechServiceTest, BadRequestsGetTheirStatusAndNoClip) {
    LoopbackClient client(service_->port());
    const std::string tooLongText = std::string(1000, ' ') + "ab";
    const std::string longestText = std::string(999, ' ') + "a";
    const std::vector<std::pair<std::string, long>> cases = {
        {"/text2speech.php?&text=", 400},
        {"/text2speech.php?&text=%20%20", 400},
        {"/text2speech.php", 400},
        {"/text2speech.php?&txt=%E4%BD%A0", 400},
        {"/text2speech.php?&text=%FF", 400},
        {"/text2speech.php?&text=%E4%BD", 400},
        {"/text2speech.php?&text=a%00b", 400},
        {"/text2speech.php?&text=" + SpeechQuery::encodeComponent(tooLongText), 400},
        {"/text2speech.php?&text=" + percentEncodedRepeat("字", 1001), 400},
        {"/text2speech.php?&text=" + std::string(9000, 'a'), 400},
        {"/text2speech.php?&text=" + percentEncodedRepeat("\U00020000", 1400), 414},
        {"/text2speech.php?&text=" + std::string(200000, 'a'), 414},
        {"/text2speech.php?&text=a&rate=201", 400},
        {"/text2speech.php?&text=a&pitch=49", 400},
        {"/text2speech.php?&text=a&volume=", 400},
        {"/text2speech.php?&text=a&voice=child", 400},
        {"/nothing/here", 404},
    };
    for (const auto& [target, status] : cases) {
        const LoopbackReply reply = client.get(target);
        EXPECT_EQ(reply.status, status) << target.substr(0, 80);
        EXPECT_EQ(reply.body.find("outurl"), std::string::npos) << target.substr(0, 80);
        if (reply.status != 414 || target.size() < 100000) {
            EXPECT_TRUE(reply.contentType.starts_with("text/plain")) << target.substr(0, 80);
            EXPECT_FALSE(reply.body.empty()) << "a short reason";
        }
    }
    EXPECT_EQ(client.speak(longestText).status, 200);
    // The longest texts in the widest characters: three and four UTF-8 bytes, each byte as "%XX".
    EXPECT_EQ(client.get("/text2speech.php?&text=" + percentEncodedRepeat("字", 1000)).status, 200);
    EXPECT_EQ(client.get("/text2speech.php?&text=" + percentEncodedRepeat("\U00020000", 1000)).status, 200);

    const std::string body = "text=%E4%BD%A0";
    const std::string bigBody(100000, 'x');
    EXPECT_EQ(client.send("POST", "/text2speech.php?&text=a", &body).status, 413);
    EXPECT_EQ(client.send("POST", "/text2speech.php?&text=a", &bigBody).status, 413);
    EXPECT_EQ(client.send("GET", "/text2speech.php?&text=a", &body).status, 413);
    const LoopbackReply post = client.send("POST", "/text2speech.php?&text=a", nullptr);
    EXPECT_EQ(post.status, 405);
    EXPECT_EQ(post.body.find("outurl"), std::string::npos);
    EXPECT_EQ(client.send("PUT", "/", nullptr).status, 405);
    EXPECT_EQ(client.send("DELETE", "/tts/0000000000000000000000000000000000000000.mp3", nullptr).status,
              405);
    EXPECT_EQ(client.get("/").status, 200) << "the connection still works after refusals";
}

TEST_F(SpeechServiceTest, OnlyStrictClipNamesReachTheStore) {
    LoopbackClient client(service_->port());
    const Spoken spoken = speakAndFetch(client, "路径测试");
    ASSERT_EQ(spoken.id.size(), 40u);
    std::string upper = spoken.id;
    for (char& c : upper) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    // The first hex digit written as a percent escape: the same name to a decoding server.
    char escaped[4];
    std::snprintf(escaped, sizeof escaped, "%%%02X",
                  static_cast<unsigned>(static_cast<unsigned char>(spoken.id[0])));
    const std::string encodedFirst = std::string(escaped).append(spoken.id, 1);
    for (const std::string& target : {
             std::string("/tts/../x"),
             std::string("/tts/../../etc/passwd"),
             std::string("/tts/%2e%2e/%2e%2e/etc/passwd"),
             std::string("/tts/..%2f..%2fetc%2fpasswd"),
             std::string("/tts/%2E%2E%2F") + spoken.id + ".mp3",
             std::string("/tts/") + upper + ".mp3",
             std::string("/tts/") + spoken.id + "0.mp3",
             std::string("/tts/") + spoken.id.substr(1) + ".mp3",
             std::string("/tts/") + spoken.id + ".MP3",
             std::string("/tts/") + spoken.id,
             std::string("/tts/") + spoken.id + ".mp3/",
             std::string("/tts/") + encodedFirst + ".mp3",
             std::string("/tts//") + spoken.id + ".mp3",
             std::string("/x/../tts/") + spoken.id + ".mp3",
             std::string("/tts/") + std::string(40, '0') + ".mp3",
             std::string("/tts/"),
         }) {
        const LoopbackReply reply = client.get(target);
        EXPECT_EQ(reply.status, 404) << target;
        EXPECT_TRUE(reply.body.find("\x49\x44\x33") == std::string::npos && reply.contentType != "audio/mpeg")
            << target;
    }
    EXPECT_EQ(client.get("/tts/" + spoken.id + ".mp3").body, spoken.mp3);

    // A NUL byte would end the target early for a C-string reader.
    using namespace std::string_literals;
    for (const std::string& target : {"/tts/"s + spoken.id + ".mp3\0/../x"s, "/text2speech.php?&text=a\0b"s,
                                      "/\0"s + "tts/"s + spoken.id + ".mp3"s}) {
        RawConnection raw(service_->port());
        ASSERT_TRUE(raw.send("GET " + target + " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n"));
        const std::string answer = raw.receive(std::chrono::seconds(5));
        EXPECT_TRUE(answer.starts_with("HTTP/1.1 400")) << answer.substr(0, 40);
        EXPECT_EQ(answer.find("audio/mpeg"), std::string::npos);
    }
}

TEST_F(SpeechServiceTest, HomePageVersionFileAndHead) {
    LoopbackClient client(service_->port());
    const LoopbackReply home = client.get("/");
    EXPECT_EQ(home.status, 200);
    EXPECT_EQ(home.contentType, "text/html; charset=utf-8");
    EXPECT_NE(home.body.find("<html"), std::string::npos);

    const LoopbackReply version = client.get("/soft/velasoftjc/sjnt/jc.txt");
    EXPECT_EQ(version.status, 200);
    EXPECT_EQ(version.body, "V6.0");
    EXPECT_EQ(version.contentType, "text/plain; charset=utf-8");

    const Spoken spoken = speakAndFetch(client, "头部请求");
    const LoopbackReply head = client.head("/tts/" + spoken.id + ".mp3");
    EXPECT_EQ(head.status, 200);
    EXPECT_EQ(head.contentType, "audio/mpeg");
    EXPECT_TRUE(head.body.empty());
    EXPECT_EQ(head.contentLength, static_cast<double>(spoken.mp3.size()));
    EXPECT_EQ(client.head("/soft/velasoftjc/sjnt/jc.txt").contentLength, 4.0);
    EXPECT_EQ(client.head("/tts/" + std::string(40, 'a') + ".mp3").status, 404);
    EXPECT_EQ(client.head("/text2speech.php?&text=").status, 400);

    SpeechService::Options options;
    options.latestVersion = QStringLiteral("V6.1");
    SpeechService newer(options);
    ASSERT_TRUE(newer.start());
    EXPECT_EQ(LoopbackClient(newer.port()).get("/soft/velasoftjc/sjnt/jc.txt").body, "V6.1");
    newer.stop();
    EXPECT_FALSE(newer.isRunning());
    EXPECT_FALSE(LoopbackClient(service_->port() == 0 ? 1 : service_->port()).get("/").body.empty());
}

TEST_F(SpeechServiceTest, EightClientsAtOnceAllGetTheRightBytes) {
    const std::vector<std::string> texts = {"早上好", "晚安", "谢谢你", "生日快乐", "一路平安"};
    std::vector<Spoken> expected;
    {
        LoopbackClient client(service_->port());
        for (const std::string& text : texts) {
            expected.push_back(speakAndFetch(client, text));
        }
    }
    const quint64 before = service_->synthesisCount();
    constexpr int threads = 8;
    constexpr int requests = 25;
    std::atomic<int> good{0};
    std::latch start(threads);
    std::vector<std::string> firstIds(threads);
    std::vector<std::thread> clients;
    clients.reserve(threads);
    for (int t = 0; t < threads; ++t) {
        clients.emplace_back([&, t] {
            LoopbackClient client(service_->port());
            start.arrive_and_wait();
            // All threads begin with the same new text: one synthesis must serve them all.
            const Spoken fresh = speakAndFetch(client, "八个客户端同时请求");
            firstIds[t] = fresh.id;
            if (!fresh.mp3.empty() && fresh.mp3.size() == fresh.bytes) {
                ++good;
            }
            for (int i = 1; i < requests; ++i) {
                const std::size_t which = static_cast<std::size_t>(t + i) % texts.size();
                const Spoken spoken = speakAndFetch(client, texts[which]);
                if (spoken.id == expected[which].id && spoken.mp3 == expected[which].mp3) {
                    ++good;
                }
            }
        });
    }
    for (std::thread& client : clients) {
        client.join();
    }
    EXPECT_EQ(good.load(), threads * requests);
    EXPECT_EQ(service_->synthesisCount(), before + 1);
    for (const std::string& id : firstIds) {
        EXPECT_EQ(id, firstIds.front());
    }
}

TEST_F(SpeechServiceTest, SameTextGivesTheSameBytesAfterOtherTextsAndInAnotherProcess) {
    const std::u32string before = U"谢谢你的帮助，hello world，一二三四五！";
    const std::u32string text = U"春风得意，前程似锦。";
    const std::string alone = *SpeechSynthesizer::render(text).mp3;
    SpeechSynthesizer::render(before);
    EXPECT_EQ(*SpeechSynthesizer::render(text).mp3, alone);
    EXPECT_EQ(*SpeechSynthesizer::render(text).mp3, alone);

    // Another process, started afresh, speaks the text first.
    const unsigned port = velanote::testing::freeLoopbackPort();
    QProcess other;
    other.start(QCoreApplication::applicationDirPath() + QStringLiteral("/velanote-cli"),
                {QStringLiteral("serve"), QStringLiteral("--port"), QString::number(port)});
    ASSERT_TRUE(other.waitForStarted(10000));
    LoopbackClient client(port);
    for (int i = 0; i < 400 && client.get("/").status != 200; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    EXPECT_EQ(speakAndFetch(client, velanote::utf8::encode(text)).mp3, alone);
    other.terminate();
    EXPECT_TRUE(other.waitForFinished(10000));
}

TEST(SpeechEngine, TouchesNothingOfPulseAudio) {
    QTemporaryDir scratch;
    const QString home = scratch.filePath(QStringLiteral("home"));
    const QString runtime = scratch.filePath(QStringLiteral("run"));
    ASSERT_TRUE(QDir().mkpath(home) && QDir().mkpath(runtime));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    environment.insert(QStringLiteral("VELANOTE_HOME"), scratch.filePath(QStringLiteral("program")));
    environment.remove(QStringLiteral("VELANOTE_SPEECH_URL"));
    QProcess speak;
    speak.setProcessEnvironment(environment);
    speak.start(QCoreApplication::applicationDirPath() + QStringLiteral("/velanote-cli"),
                {"speak", "--sender", "小红", "--recipient", "小明", "--relation", "妈妈", "--message",
                 "新年快乐", "--output", scratch.filePath(QStringLiteral("message.mp3"))});
    ASSERT_TRUE(speak.waitForFinished(60000));
    EXPECT_EQ(speak.exitCode(), 0) << speak.readAllStandardError().toStdString();
    EXPECT_GT(QFileInfo(scratch.filePath(QStringLiteral("message.mp3"))).size(), 1000);
    QDirIterator all(scratch.path(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                     QDirIterator::Subdirectories);
    while (all.hasNext()) {
        EXPECT_FALSE(all.next().contains(QStringLiteral("pulse"))) << all.filePath().toStdString();
    }
}

TEST(SpeechServiceStore, KeepsOnlyWhatFitsTheCap) {
    SpeechService::Options options;
    options.cacheBytes = 12000; // room for one clip of a few seconds
    SpeechService service(options);
    ASSERT_TRUE(service.start());
    LoopbackClient client(service.port());
    const Spoken first = speakAndFetch(client, "第一段比较长的语音，用来占满存储空间");
    const Spoken second = speakAndFetch(client, "第二段比较长的语音，把第一段挤出存储");
    ASSERT_GT(first.bytes + second.bytes, 12000u);
    EXPECT_EQ(client.get("/tts/" + first.id + ".mp3").status, 404);
    EXPECT_EQ(client.get("/tts/" + second.id + ".mp3").status, 200);
    const quint64 before = service.synthesisCount();
    const Spoken again = speakAndFetch(client, "第一段比较长的语音，用来占满存储空间");
    EXPECT_EQ(again.id, first.id);
    EXPECT_EQ(service.synthesisCount(), before + 1);
}

TEST(SpeechServiceStart, RefusesAnAddressItCannotUse) {
    SpeechService::Options options;
    options.bindAddress = QStringLiteral("not-an-address");
    SpeechService bad(options);
    EXPECT_FALSE(bad.start());
    EXPECT_FALSE(bad.isRunning());
    EXPECT_FALSE(bad.errorString().isEmpty());

    SpeechService first;
    ASSERT_TRUE(first.start());
    options.bindAddress = QStringLiteral("127.0.0.1");
    options.port = first.port();
    SpeechService second(options);
    EXPECT_FALSE(second.start()) << "the port is taken";
}
