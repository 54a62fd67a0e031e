#include "service/loopbackclient.h"
#include "service/rawconnection.h"
#include "service/servearguments.h"
#include "service/speechservice.h"

#include <gtest/gtest.h>

#include <csignal>
#include <unistd.h>

#include <chrono>
#include <future>
#include <thread>

using velanote::ServeArguments;

TEST(ServeArguments, ReadsEveryOptionInBothForms) {
    const ServeArguments defaults = ServeArguments::parse({});
    EXPECT_TRUE(defaults.error.isEmpty());
    EXPECT_EQ(defaults.options.bindAddress, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(defaults.options.port, 0);
    EXPECT_EQ(defaults.options.latestVersion, QStringLiteral("V6.0"));
    EXPECT_EQ(defaults.options.cacheBytes, 64LL * 1024 * 1024);
    EXPECT_EQ(defaults.options.connectionsPerAddress, 64u);
    EXPECT_TRUE(defaults.options.storeUrl.isEmpty());
    EXPECT_EQ(defaults.options.storeTtlSeconds, 7 * 86400);

    const ServeArguments set = ServeArguments::parse(
        {"--bind", "0.0.0.0", "--port=8080", "--latest-version", "V7.0", "--cache-mb=8"});
    EXPECT_TRUE(set.error.isEmpty()) << set.error.toStdString();
    EXPECT_EQ(set.options.bindAddress, QStringLiteral("0.0.0.0"));
    EXPECT_EQ(set.options.port, 8080);
    EXPECT_EQ(set.options.latestVersion, QStringLiteral("V7.0"));
    EXPECT_EQ(set.options.cacheBytes, 8LL * 1024 * 1024);

    const ServeArguments shared =
        ServeArguments::parse({"--store", "redis://10.0.0.5:6380/2", "--store-ttl=90m", "--per-address", "0",
                               "--request-deadline=3", "--trust-proxy", "127.0.0.1"});
    EXPECT_TRUE(shared.error.isEmpty()) << shared.error.toStdString();
    EXPECT_EQ(shared.options.storeUrl, QStringLiteral("redis://10.0.0.5:6380/2"));
    EXPECT_EQ(shared.options.storeTtlSeconds, 5400);
    EXPECT_EQ(shared.options.connectionsPerAddress, 0u);
    EXPECT_EQ(shared.options.requestDeadlineMs, 3000u);
    EXPECT_EQ(shared.options.trustedProxy, QStringLiteral("127.0.0.1"));
    for (const auto& [ttl, seconds] :
         {std::pair{"3600", 3600}, std::pair{"45s", 45}, std::pair{"12h", 43200}, std::pair{"7d", 604800}}) {
        EXPECT_EQ(ServeArguments::parse({"--store-ttl", ttl}).options.storeTtlSeconds, seconds) << ttl;
    }
    EXPECT_TRUE(ServeArguments::parse({"--bind", "::1"}).error.isEmpty());
    EXPECT_EQ(ServeArguments::parse({"--lexicon", "词典.txt"}).options.lexiconPath,
              QStringLiteral("词典.txt"));
    EXPECT_TRUE(ServeArguments::parse({"--help"}).helpWanted);
}

TEST(ServeArguments, RefusesWhatItCannotUse) {
    for (const QStringList& bad : {QStringList{"--port"},
                                   QStringList{"--port", "70000"},
                                   QStringList{"--port", "-1"},
                                   QStringList{"--port", "eighty"},
                                   QStringList{"--cache-mb", "0"},
                                   QStringList{"--cache-mb=lots"},
                                   QStringList{"--bind", "localhost"},
                                   QStringList{"--latest-version="},
                                   QStringList{"--lexicon="},
                                   QStringList{"--verbose"},
                                   QStringList{"serve"},
                                   QStringList{"--store", "http://host:6379"},
                                   QStringList{"--store", "redis://host:0"},
                                   QStringList{"--store", "redis://:6379"},
                                   QStringList{"--store", "redis://host:6379/x"},
                                   QStringList{"--store-ttl", "0"},
                                   QStringList{"--store-ttl", "7w"},
                                   QStringList{"--store-ttl", "-5m"},
                                   QStringList{"--per-address", "-1"},
                                   QStringList{"--request-deadline", "0"},
                                   QStringList{"--trust-proxy", "nginx"}}) {
        EXPECT_FALSE(ServeArguments::parse(bad).error.isEmpty()) << bad.join(' ').toStdString();
    }
    ::testing::internal::CaptureStderr();
    const int code = velanote::runServeCommand({"--port", "x"});
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(code, 2);
    EXPECT_NE(err.find("usage: velanote serve"), std::string::npos);
}

TEST(ServeArguments, ChecksValuesInTheOrderGivenUpToTheFirstArgumentItDoesNotTake) {
    const std::pair<QStringList, const char*> cases[] = {
        {{"--port", "x", "--verbose"}, "not a port number: x"},
        {{"--verbose", "--port", "x"}, "unknown argument: --verbose"},
        {{"--port", "80", "--port"}, "--port needs a value"},
        {{"-h=x"}, "unknown argument: -h=x"},
        {{"--", "--port", "0"}, "unknown argument: --port"},
        {{"--bind", "::1", "--bind", "0.0.0.0"}, ""},
    };
    for (const auto& [args, error] : cases) {
        EXPECT_EQ(ServeArguments::parse(args).error, error) << args.join(' ').toStdString();
    }
    EXPECT_EQ(ServeArguments::parse({"--bind", "::1", "--bind", "0.0.0.0"}).options.bindAddress, "0.0.0.0");
}

TEST(ServeCommand, ServesUntilSigtermAndLogsEachRequest) {
    const unsigned port = velanote::testing::freeLoopbackPort();
    ::testing::internal::CaptureStderr();
    auto serving = std::async(std::launch::async, [port] {
        return velanote::runServeCommand({"--port", QString::number(port), "--latest-version", "V9.9"});
    });
    velanote::testing::LoopbackClient client(port);
    velanote::testing::LoopbackReply version;
    for (int i = 0; i < 200 && version.status != 200; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
        version = client.get("/soft/velasoftjc/sjnt/jc.txt");
    }
    EXPECT_EQ(version.body, "V9.9");
    EXPECT_EQ(client.get("/missing").status, 404);
    kill(getpid(), SIGTERM);
    ASSERT_EQ(serving.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_EQ(serving.get(), 0);
    const std::string log = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("\"GET /soft/velasoftjc/sjnt/jc.txt\" 200 4"), std::string::npos) << log;
    EXPECT_NE(log.find("\"GET /missing\" 404"), std::string::npos) << log;
    EXPECT_FALSE(velanote::testing::LoopbackClient(port).get("/").completed) << "the port is closed";
}
