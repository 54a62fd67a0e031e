#include "service/loopbackclient.h"
#include "service/rawconnection.h"
#include "service/redisclipstore.h"
#include "service/speechquery.h"
#include "service/speechservice.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <hiredis/hiredis.h>

#include <atomic>
#include <memory>
#include <regex>
#include <thread>
#include <vector>

using velanote::RedisClipStore;
using velanote::SpeechClip;
using velanote::SpeechService;
using velanote::testing::freeLoopbackPort;
using velanote::testing::LoopbackClient;
using velanote::testing::LoopbackReply;
using velanote::testing::RawConnection;
using namespace std::chrono_literals;

namespace {

// A helper program run for one test on a loopback port, stopped when the test ends.
class Helper {
public:
    ~Helper() { stop(); }

    // Starts the program and waits until it accepts connections on the port.
    bool start(const QString& program, const QStringList& arguments, unsigned port) {
        const QString path = QStandardPaths::findExecutable(
            program, {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin")});
        if (path.isEmpty()) {
            return false;
        }
        process_.setProgram(path);
        process_.setArguments(arguments);
        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.start();
        if (!process_.waitForStarted(5000)) {
            return false;
        }
        for (int i = 0; i < 200; ++i) {
            if (RawConnection(port).connected()) {
                return true;
            }
            std::this_thread::sleep_for(25ms);
        }
        return false;
    }

    void stop() {
        if (process_.state() != QProcess::NotRunning) {
            process_.terminate();
            if (!process_.waitForFinished(5000)) {
                process_.kill();
                process_.waitForFinished(5000);
            }
        }
    }

    QString output() { return QString::fromUtf8(process_.readAll()); }

private:
    QProcess process_;
};

std::string clipPath(const std::string& reply) {
    static const std::regex shape(R"(^outurl=\.(/tts/[0-9a-f]{40}\.mp3)&bytes=\d+&ms=\d+$)");
    std::smatch match;
    return std::regex_match(reply, match, shape) ? std::string(match[1]) : std::string();
}

bool looksLikeMp3(const std::string& bytes) {
    return bytes.size() > 100 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
           (static_cast<unsigned char>(bytes[1]) & 0xE0) == 0xE0;
}

// The speech request and the download of the clip it names; the clip, or empty on any fault.
std::string speakAndFetch(LoopbackClient& client, const std::string& text) {
    const LoopbackReply reply = client.speak(text);
    const std::string path = clipPath(reply.body);
    if (reply.status != 200 || path.empty()) {
        return {};
    }
    const LoopbackReply clip = client.get(path);
    return clip.status == 200 && looksLikeMp3(clip.body) ? clip.body : std::string();
}

std::string greeting(int number) {
    return "第" + std::to_string(number) + "位朋友，祝你新年快乐";
}

bool setInRedis(unsigned port, const std::string& key, const std::string& value) {
    redisContext* redis = redisConnect("127.0.0.1", static_cast<int>(port));
    if (redis == nullptr || redis->err != 0) {
        redisFree(redis);
        return false;
    }
    auto* reply = static_cast<redisReply*>(
        redisCommand(redis, "SET %b %b", key.data(), key.size(), value.data(), value.size()));
    const bool ok = reply != nullptr && reply->type == REDIS_REPLY_STATUS;
    freeReplyObject(reply);
    redisFree(redis);
    return ok;
}

} // namespace

TEST(RedisClipStore, ReadsBackOnlyWholeClipsOfTheIdAskedFor) {
    const std::string mp3 = std::string("\xFF\xE3", 2) + std::string(200, 'x');
    const SpeechClip clip{std::string(40, 'a'), std::make_shared<const std::string>(mp3), 1234};
    const std::string value = RedisClipStore::encode(clip);
    const auto back = RedisClipStore::decode(clip.id, value);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back->mp3, mp3);
    EXPECT_EQ(back->durationMs, 1234);
    std::string flipped = value;
    flipped.back() ^= 1;
    for (const std::string& bad : {std::string(), std::string("garbage"), value.substr(0, value.size() - 1),
                                   flipped, value.substr(0, value.find('\n') + 1)}) {
        EXPECT_FALSE(RedisClipStore::decode(clip.id, bad)) << bad.substr(0, 60);
    }
    EXPECT_FALSE(RedisClipStore::decode(std::string(40, 'b'), value)) << "another clip's value";

    std::string error;
    const auto address = RedisClipStore::parseUrl("redis://[::1]:6380/3", error);
    ASSERT_TRUE(address) << error;
    EXPECT_EQ(address->host, "::1");
    EXPECT_EQ(address->port, 6380);
    EXPECT_EQ(address->database, 3);
    EXPECT_EQ(RedisClipStore::parseUrl("redis://cache.local", error)->port, 6379);
}

TEST(RedisClipStore, AnErrorOnOneKeyMissesThatKeyAloneAndAFullRedisStillServes) {
    QTemporaryDir folder;
    const unsigned port = freeLoopbackPort();
    Helper redis;
    // Full at about 2 MB, and refusing stores when full, as Redis does by default.
    ASSERT_TRUE(redis.start(QStringLiteral("redis-server"),
                            {QStringLiteral("--port"), QString::number(port), QStringLiteral("--bind"),
                             QStringLiteral("127.0.0.1"), QStringLiteral("--save"), QString(),
                             QStringLiteral("--appendonly"), QStringLiteral("no"), QStringLiteral("--dir"),
                             folder.path(), QStringLiteral("--maxmemory"), QStringLiteral("2000000"),
                             QStringLiteral("--maxmemory-policy"), QStringLiteral("noeviction")},
                            port));
    std::vector<std::string> log;
    RedisClipStore store({"127.0.0.1", static_cast<int>(port), 0}, std::chrono::seconds(60),
                         [&log](const std::string& line) { log.push_back(line); });
    const auto clip = [](char name, std::size_t size) {
        return SpeechClip{
            std::string(40, name),
            std::make_shared<const std::string>(std::string("\xFF\xE3", 2) + std::string(size, 'x')), 100};
    };
    store.keep(clip('a', 1000));
    ASSERT_TRUE(store.find(std::string(40, 'a')));

    redisContext* direct = redisConnect("127.0.0.1", static_cast<int>(port));
    ASSERT_TRUE(direct != nullptr && direct->err == 0);
    freeReplyObject(redisCommand(direct, "LPUSH velanote:clip:%s x", std::string(40, 'b').c_str()));
    redisFree(direct);
    EXPECT_FALSE(store.find(std::string(40, 'b'))) << "a list, not a clip";
    store.keep(clip('c', 1000));
    EXPECT_TRUE(store.find(std::string(40, 'c')));

    // Stores fail once Redis is full; what is there is still found and new small ones still tried.
    for (char name = 'd'; name < 'k'; ++name) {
        store.keep(clip(name, 400000));
    }
    EXPECT_TRUE(store.find(std::string(40, 'a')));
    EXPECT_TRUE(store.find(std::string(40, 'd')));
    EXPECT_FALSE(store.find(std::string(40, 'j'))) << "refused: Redis is full";
    EXPECT_TRUE(store.isUp());
    ASSERT_EQ(log.size(), 1u) << "one line a minute at most";
    EXPECT_NE(log.front().find("WRONGTYPE"), std::string::npos) << log.front();
    redis.stop();
    EXPECT_FALSE(store.isUp());
}

// Two instances sharing one redis-server behind one nginx, as deploy/ describes.
class ScaledOut : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        redisPort_ = freeLoopbackPort();
        ASSERT_TRUE(redis_.start(QStringLiteral("redis-server"),
                                 {QStringLiteral("--port"), QString::number(redisPort_),
                                  QStringLiteral("--bind"), QStringLiteral("127.0.0.1"),
                                  QStringLiteral("--save"), QString(), QStringLiteral("--appendonly"),
                                  QStringLiteral("no"), QStringLiteral("--dir"), folder_.path()},
                                 redisPort_))
            << "redis-server: " << redis_.output().toStdString();
        SpeechService::Options options;
        options.storeUrl = QStringLiteral("redis://127.0.0.1:%1").arg(redisPort_);
        options.trustedProxy = QStringLiteral("127.0.0.1");
        for (auto& instance : instances_) {
            instance = std::make_unique<SpeechService>(options);
            ASSERT_TRUE(instance->start()) << instance->errorString().toStdString();
        }
        nginxPort_ = freeLoopbackPort();
        ASSERT_TRUE(writeNginxConfig());
        ASSERT_TRUE(nginx_.start(QStringLiteral("nginx"),
                                 {QStringLiteral("-p"), folder_.path(), QStringLiteral("-c"),
                                  folder_.filePath(QStringLiteral("nginx.conf")), QStringLiteral("-e"),
                                  folder_.filePath(QStringLiteral("error.log"))},
                                 nginxPort_))
            << "nginx: " << nginx_.output().toStdString();
    }

    // The shipped site configuration, pointed at this test's ports, inside a main configuration
    // that keeps every file nginx writes in the temporary folder.
    bool writeNginxConfig() {
        QFile shipped(QStringLiteral(VELANOTE_SOURCE_DIR "/deploy/velanote-nginx.conf"));
        if (!shipped.open(QIODevice::ReadOnly)) {
            return false;
        }
        QString site = QString::fromUtf8(shipped.readAll());
        const QString servers = QStringLiteral("server 127.0.0.1:%1;\n    server 127.0.0.1:%2;")
                                    .arg(instances_[0]->port())
                                    .arg(instances_[1]->port());
        site.replace(QRegularExpression(QStringLiteral(R"((\s*server 127\.0\.0\.1:\d+[^;]*;)+)")),
                     QStringLiteral("\n    ") + servers);
        site.replace(QRegularExpression(QStringLiteral(R"(listen [^;]*;)")),
                     QStringLiteral("listen 127.0.0.1:%1;").arg(nginxPort_));
        const QString main =
            QStringLiteral("daemon off;\nworker_processes 1;\npid %1/nginx.pid;\nerror_log %1/error.log;\n"
                           "events { worker_connections 512; }\n"
                           "http {\n  access_log off;\n  client_body_temp_path %1/body;\n"
                           "  proxy_temp_path %1/proxy;\n  fastcgi_temp_path %1/fastcgi;\n"
                           "  uwsgi_temp_path %1/uwsgi;\n  scgi_temp_path %1/scgi;\n%2\n}\n")
                .arg(folder_.path(), site);
        QFile config(folder_.filePath(QStringLiteral("nginx.conf")));
        return config.open(QIODevice::WriteOnly) && config.write(main.toUtf8()) > 0;
    }

    quint64 syntheses() const { return instances_[0]->synthesisCount() + instances_[1]->synthesisCount(); }

    QTemporaryDir folder_;
    unsigned redisPort_ = 0;
    unsigned nginxPort_ = 0;
    Helper redis_;
    Helper nginx_;
    std::unique_ptr<SpeechService> instances_[2];
};

TEST_F(ScaledOut, EveryInstanceServesWhatAnyMadeAndKeepsWorkingWithoutRedis) {
    // 4 clients x 10 texts x 5 rounds = 200 speech requests, each with its clip, through nginx.
    constexpr int clients = 4;
    constexpr int texts = 10;
    std::atomic<int> good{0};
    std::vector<std::vector<std::string>> firstClips(clients);
    std::vector<std::thread> threads;
    threads.reserve(clients);
    for (int c = 0; c < clients; ++c) {
        threads.emplace_back([&, c] {
            LoopbackClient client(nginxPort_);
            for (int round = 0; round < 5; ++round) {
                for (int t = 0; t < texts; ++t) {
                    const std::string clip = speakAndFetch(client, greeting(c * texts + t));
                    if (round == 0) {
                        firstClips[c].push_back(clip);
                    }
                    good += !clip.empty() && clip == firstClips[c][t];
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(good.load(), 200);
    EXPECT_EQ(syntheses(), static_cast<quint64>(clients * texts)) << "each text made once, anywhere";
    // Either instance serves each clip, whichever made it.
    for (int n = 0; n < clients * texts; n += 7) {
        LoopbackClient direct(instances_[n % 2]->port());
        const std::string path = clipPath(direct.speak(greeting(n)).body);
        EXPECT_TRUE(direct.get(path).body == firstClips[n / texts][n % texts]) << greeting(n);
    }
    EXPECT_EQ(syntheses(), static_cast<quint64>(clients * texts));
    // The longest text fits through nginx too.
    std::string longest;
    for (int i = 0; i < 1000; ++i) {
        longest += "字";
    }
    LoopbackClient viaNginx(nginxPort_);
    EXPECT_FALSE(speakAndFetch(viaNginx, longest).empty());

    // A value in Redis that is not a whole clip of its id is never served: the clip is made again.
    LoopbackClient first(instances_[0]->port());
    LoopbackClient second(instances_[1]->port());
    const std::string path = clipPath(first.speak("被改坏的语音").body);
    ASSERT_FALSE(path.empty());
    const std::string id = path.substr(5, 40);
    ASSERT_TRUE(setInRedis(redisPort_, "velanote:clip:" + id, "not a clip"));
    EXPECT_EQ(second.get(path).status, 404);
    const std::string other = RedisClipStore::encode(
        SpeechClip{id, std::make_shared<const std::string>(std::string("\xFF\xE3", 2) + "x"), 10});
    ASSERT_TRUE(setInRedis(redisPort_, "velanote:clip:" + id, other.substr(0, other.size() - 1)));
    EXPECT_EQ(second.get(path).status, 404);
    const quint64 before = syntheses();
    EXPECT_FALSE(speakAndFetch(second, "被改坏的语音").empty());
    EXPECT_EQ(syntheses(), before + 1) << "made again rather than served from the bad value";

    // Redis goes away in the middle of a run: every answer stays right, and each instance says so once.
    ::testing::internal::CaptureStderr();
    redis_.stop();
    int served = 0;
    for (int n = 0; n < 30; ++n) {
        const std::string text = "雷迪斯停了以后第" + std::to_string(n) + "句";
        // Asked twice, so that some requests reach the instance that did not make the clip.
        served += !speakAndFetch(viaNginx, text).empty() && !speakAndFetch(viaNginx, text).empty();
    }
    const std::string log = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(served, 30);
    int redisLines = 0;
    for (std::size_t at = log.find("redis "); at != std::string::npos; at = log.find("redis ", at + 1)) {
        ++redisLines;
    }
    EXPECT_EQ(redisLines, 2) << log;
    EXPECT_NE(log.find("serving from memory"), std::string::npos) << log;
}
