#include "service/loopbackclient.h"
#include "service/rawconnection.h"
#include "service/speechservice.h"

#include <gtest/gtest.h>

#include <QFile>

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <regex>
#include <thread>
#include <vector>

using velanote::SpeechService;
using velanote::testing::LoopbackClient;
using velanote::testing::LoopbackReply;
using velanote::testing::RawConnection;
using namespace std::chrono_literals;

namespace {

int threadCount() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("Threads:")) {
            return line.mid(8).trimmed().toInt();
        }
    }
    return -1;
}

std::string clipUrl(const std::string& reply) {
    static const std::regex shape(R"(^outurl=\.(/tts/[0-9a-f]{40}\.mp3)&bytes=\d+&ms=\d+$)");
    std::smatch match;
    return std::regex_match(reply, match, shape) ? std::string(match[1]) : std::string();
}

// A long text of its own for each number, so that no two are the same clip.
std::string longText(int number) {
    std::string text = "第" + std::to_string(number) + "段：";
    for (int i = 0; i < 40; ++i) {
        text += "春风送暖，万家灯火，";
    }
    return text;
}

} // namespace

TEST(SlowClients, CannotKeepOthersFromBeingServed) {
    SpeechService::Options options;
    options.connectionsPerAddress = 8;
    options.requestDeadlineMs = 1000;
    SpeechService service(options);
    ASSERT_TRUE(service.start());
    LoopbackClient other(service.port(), "127.0.0.2");
    const std::string url = clipUrl(other.speak("慢客户端测试").body);
    ASSERT_FALSE(url.empty());
    const int threadsBefore = threadCount();

    // From one address: connections that trickle a byte now and then, and ones that send nothing.
    std::vector<std::unique_ptr<RawConnection>> trickling;
    std::vector<std::unique_ptr<RawConnection>> idle;
    for (int i = 0; i < 30; ++i) {
        trickling.push_back(std::make_unique<RawConnection>(service.port()));
        idle.push_back(std::make_unique<RawConnection>(service.port()));
    }
    const std::string request = "GET / HTTP/1.1\r\nHost: x\r\nX-Slow: " + std::string(40, 'x') + "\r\n\r\n";
    for (std::size_t sent = 0; sent < 6; ++sent) {
        for (const auto& connection : trickling) {
            connection->send(request.substr(sent, 1));
        }
        // The other address is served throughout.
        EXPECT_EQ(other.get(url).status, 200);
        EXPECT_EQ(LoopbackClient(service.port(), "127.0.0.2").get("/").status, 200);
        std::this_thread::sleep_for(100ms);
    }
    EXPECT_LE(threadCount(), threadsBefore + 1) << "connections cost no threads";

    // Trickling does not extend the deadline: within it plus a margin, every one has been closed.
    for (std::size_t sent = 6; sent < 30; ++sent) {
        for (const auto& connection : trickling) {
            connection->send(request.substr(sent, 1));
        }
        std::this_thread::sleep_for(100ms);
    }
    for (const auto& connection : trickling) {
        EXPECT_TRUE(connection->closedWithin(500ms));
    }
    for (const auto& connection : idle) {
        EXPECT_TRUE(connection->closedWithin(500ms));
    }
    // A request sent in time on a fresh connection is answered.
    RawConnection prompt(service.port());
    ASSERT_TRUE(prompt.send(request));
    EXPECT_TRUE(prompt.receive(2s).starts_with("HTTP/1.1 200"));
}

TEST(SlowClients, WithoutAnAddressLimitManyIdleConnectionsLeaveRoomOnLoopback) {
    SpeechService service; // the desktop program's own service: every local program has one address
    ASSERT_TRUE(service.start());
    std::vector<std::unique_ptr<RawConnection>> idle;
    idle.reserve(300);
    for (int i = 0; i < 300; ++i) {
        idle.push_back(std::make_unique<RawConnection>(service.port()));
    }
    LoopbackClient client(service.port());
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(client.get("/soft/velasoftjc/sjnt/jc.txt").status, 200);
    }
}

TEST(FairQueueing, AShortTextWaitsOnlyForTheJobInProgress) {
    SpeechService service;
    ASSERT_TRUE(service.start());
    constexpr int longOnes = 6;
    std::mutex mutex;
    std::vector<std::string> finished;
    std::vector<std::thread> clients;
    clients.reserve(longOnes);
    for (int i = 0; i < longOnes; ++i) {
        clients.emplace_back([&, i] {
            const LoopbackReply reply = LoopbackClient(service.port(), "127.0.0.2").speak(longText(i));
            std::lock_guard lock(mutex);
            finished.push_back(reply.status == 200 ? "long" : "failed long");
        });
    }
    // Once the long texts are queued behind the first, another client asks for a short one.
    LoopbackClient watcher(service.port(), "127.0.0.4");
    for (int i = 0; i < 200; ++i) {
        const std::string metrics = watcher.get("/metrics").body;
        if (metrics.find("velanote_synthesis_queue_length 0\n") == std::string::npos &&
            metrics.find("velanote_synthesis_queue_length 1\n") == std::string::npos) {
            break;
        }
        std::this_thread::sleep_for(10ms);
    }
    const LoopbackReply shortReply = LoopbackClient(service.port(), "127.0.0.3").speak("你好");
    {
        std::lock_guard lock(mutex);
        finished.push_back(shortReply.status == 200 ? "short" : "failed short");
    }
    for (std::thread& client : clients) {
        client.join();
    }
    ASSERT_EQ(finished.size(), longOnes + 1u);
    const auto shortAt = std::find(finished.begin(), finished.end(), "short") - finished.begin();
    EXPECT_LE(shortAt, 2) << "after the long text in progress, and at most one that began with it";
    EXPECT_EQ(std::count(finished.begin(), finished.end(), "long"), longOnes);
}

TEST(ServiceHealth, ReportsHealthAndMetricsInPrometheusText) {
    SpeechService service;
    ASSERT_TRUE(service.start());
    LoopbackClient client(service.port());
    const LoopbackReply health = client.get("/healthz");
    EXPECT_EQ(health.status, 200);
    EXPECT_EQ(health.body, "ok\n");
    ASSERT_EQ(client.speak("指标测试").status, 200);
    ASSERT_EQ(client.speak("指标测试").status, 200);
    EXPECT_EQ(client.get("/nothing").status, 404);
    const LoopbackReply metrics = client.get("/metrics");
    EXPECT_EQ(metrics.status, 200);
    EXPECT_TRUE(metrics.contentType.starts_with("text/plain; version=0.0.4"));
    for (const char* line : {
             "velanote_http_requests_total{route=\"speak\",status=\"200\"} 2\n",
             "velanote_http_requests_total{route=\"other\",status=\"404\"} 1\n",
             "velanote_http_requests_total{route=\"healthz\",status=\"200\"} 1\n",
             "velanote_synthesis_seconds_count 1\n",
             "velanote_synthesis_seconds_bucket{le=\"+Inf\"} 1\n",
             "velanote_clip_store_lookups_total{level=\"memory\",result=\"hit\"} 1\n",
             "velanote_clip_store_lookups_total{level=\"memory\",result=\"miss\"} 1\n",
             "velanote_synthesis_queue_length 0\n",
             "# TYPE velanote_synthesis_seconds histogram\n",
             "velanote_synthesis_seconds_bucket{le=\"0.05\"} ",
         }) {
        EXPECT_NE(metrics.body.find(line), std::string::npos) << line << metrics.body;
    }
    const std::smatch held = [&] {
        std::smatch match;
        std::regex_search(metrics.body, match, std::regex(R"(velanote_clip_store_bytes (\d+)\n)"));
        return match;
    }();
    ASSERT_FALSE(held.empty());
    EXPECT_GT(std::stoul(held[1]), 1000u);
}
