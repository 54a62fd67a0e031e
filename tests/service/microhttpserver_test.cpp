#include "service/microhttpserver.h"
#include "service/rawconnection.h"

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <regex>
#include <thread>
#include <vector>

using velanote::HttpReply;
using velanote::HttpRequest;
using velanote::MicroHttpServer;
using velanote::testing::RawConnection;
using namespace std::chrono_literals;

namespace {

std::size_t count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

// A server that answers "/" at once and parks every other request until told.
class ParkingServer {
public:
    ParkingServer()
        : server_({}, [this](const HttpRequest& request) {
              if (request.target == "/") {
                  return HttpReply::text(200, "ok\n");
              }
              HttpReply reply;
              reply.later = [this](HttpReply::Deliver deliver) {
                  std::lock_guard lock(mutex_);
                  waiting_.push_back(std::move(deliver));
              };
              return reply;
          }) {
        std::string error;
        started_ = server_.start(error);
    }

    MicroHttpServer& server() { return server_; }
    bool started() const { return started_; }
    std::size_t waiting() {
        std::lock_guard lock(mutex_);
        return waiting_.size();
    }

private:
    std::mutex mutex_;
    std::vector<HttpReply::Deliver> waiting_;
    MicroHttpServer server_;
    bool started_ = false;
};

} // namespace

TEST(HttpConnections, StayOpenForTheNextRequestAndAnswerPipelinedOnesInOrder) {
    ParkingServer parking;
    ASSERT_TRUE(parking.started());
    RawConnection connection(parking.server().port());
    const std::string request = "GET / HTTP/1.1\r\nHost: x\r\n\r\n";
    ASSERT_TRUE(connection.send(request));
    std::string first = connection.receive(300ms);
    EXPECT_EQ(count(first, "HTTP/1.1 200"), 1u) << first;
    EXPECT_EQ(first.find("Connection: close"), std::string::npos) << first;
    ASSERT_TRUE(connection.send(request + request + request));
    const std::string three = connection.receive(300ms);
    EXPECT_EQ(count(three, "HTTP/1.1 200"), 3u) << three;
}

TEST(HttpConnections, RefuseMissingHostAndRepeatedLengthWith400) {
    ParkingServer parking;
    ASSERT_TRUE(parking.started());
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"GET / HTTP/1.1\r\n\r\n", "400"},
        {"GET / HTTP/1.1\r\nHost: x\r\nHost: y\r\n\r\n", "400"},
        {"GET / HTTP/1.1\r\nHost: x\r\nContent-Length: 0\r\nContent-Length: 0\r\n\r\n", "400"},
        {"GET / HTTP/1.1\r\nHost: x\r\nContent-Length: 2\r\ncontent-length: 2\r\n\r\nab", "400"},
        {"GET / HTTP/1.1\r\nHost: x\r\nContent-Length: 0\r\n\r\n", "200"},
        {"GET / HTTP/1.0\r\n\r\n", "200"},
    };
    for (const auto& [request, status] : cases) {
        RawConnection connection(parking.server().port());
        ASSERT_TRUE(connection.send(request));
        const std::string reply = connection.receive(300ms);
        EXPECT_EQ(reply.substr(0, 12), "HTTP/1.1 " + status) << request << reply;
    }
}

TEST(HttpConnections, StoppingAnswersEveryParkedRequestWith503) {
    ParkingServer parking;
    ASSERT_TRUE(parking.started());
    constexpr std::size_t parked = 40;
    std::vector<std::unique_ptr<RawConnection>> connections;
    connections.reserve(parked);
    for (std::size_t i = 0; i < parked; ++i) {
        connections.push_back(std::make_unique<RawConnection>(parking.server().port()));
        ASSERT_TRUE(connections.back()->send("GET /wait HTTP/1.1\r\nHost: x\r\n\r\n"));
    }
    for (int i = 0; i < 200 && parking.waiting() < parked; ++i) {
        std::this_thread::sleep_for(10ms);
    }
    ASSERT_EQ(parking.waiting(), parked);
    parking.server().stop();
    for (const auto& connection : connections) {
        EXPECT_TRUE(connection->receive(500ms).starts_with("HTTP/1.1 503"));
    }
}

TEST(ConnectionDrops, AreSummedUpInTheLogAtMostOnceAMinute) {
    std::vector<std::string> log;
    velanote::ConnectionDrops drops([&log](const std::string& line) { log.push_back(line); });
    const auto start = velanote::ConnectionDrops::Clock::now();
    drops.count(velanote::ConnectionDrops::overLimit, start);
    ASSERT_EQ(log.size(), 1u) << "the first after a quiet minute at once";
    for (int i = 0; i < 1000; ++i) {
        drops.count(i % 4 == 0 ? velanote::ConnectionDrops::deadline : velanote::ConnectionDrops::overLimit,
                    start + std::chrono::seconds(i % 59));
    }
    drops.summarise(start + 59s);
    ASSERT_EQ(log.size(), 1u);
    drops.summarise(start + 60s);
    ASSERT_EQ(log.size(), 2u);
    EXPECT_NE(log.back().find("deadline 250 limit 750"), std::string::npos) << log.back();
    drops.summarise(start + 200s);
    EXPECT_EQ(log.size(), 2u) << "nothing new, nothing logged";
    const auto totals = drops.totals();
    EXPECT_EQ(totals.at(velanote::ConnectionDrops::overLimit), 751u);
    EXPECT_EQ(totals.at(velanote::ConnectionDrops::deadline), 250u);
    EXPECT_EQ(totals.at(velanote::ConnectionDrops::clientLeft), 0u);
}

TEST(ConnectionDrops, RefusedAndCutConnectionsAreCountedNotLoggedEach) {
    std::mutex mutex;
    std::vector<std::string> log;
    MicroHttpServer::Settings settings;
    settings.perAddressLimit = 3;
    settings.requestDeadlineMs = 200;
    MicroHttpServer server(
        settings, [](const HttpRequest&) { return HttpReply::text(200, "ok\n"); },
        [&](const std::string& line) {
            std::lock_guard lock(mutex);
            log.push_back(line);
        });
    std::string error;
    ASSERT_TRUE(server.start(error)) << error;
    std::vector<std::unique_ptr<RawConnection>> connections;
    connections.reserve(20);
    for (int i = 0; i < 20; ++i) {
        connections.push_back(std::make_unique<RawConnection>(server.port()));
    }
    for (const auto& connection : connections) {
        EXPECT_TRUE(connection->closedWithin(1s));
    }
    for (int i = 0; i < 100 && server.openConnections() > 0; ++i) {
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_EQ(server.openConnections(), 0u);
    const auto totals = server.drops().totals();
    EXPECT_EQ(totals.at(velanote::ConnectionDrops::overLimit), 17u);
    EXPECT_EQ(totals.at(velanote::ConnectionDrops::deadline), 3u);
    std::lock_guard lock(mutex);
    EXPECT_EQ(log.size(), 1u) << log.back();
}
