#include "loopbackserver.h"
#include "platform/desktophttpclient.h"
#include "scratchfolder.h"

#include <QDir>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

using namespace velanote;
using velanote::testing::LoopbackServer;

namespace {

// A socket that accepts connections in the kernel but never reads or answers.
class SilentServer {
public:
    SilentServer() {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof(address);
        if (fd_ >= 0 && ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
            ::listen(fd_, 8) == 0 &&
            ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
            port_ = ntohs(address.sin_port);
        }
    }
    ~SilentServer() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    quint16 port() const { return port_; }

private:
    int fd_ = -1;
    quint16 port_ = 0;
};

} // namespace

TEST(HttpClient, FetchesTextAndStatusAndTrimsTheLeadingBlankOfAnAddress) {
    LoopbackServer server;
    ASSERT_TRUE(server.running());
    CurlHttpClient http;

    EXPECT_EQ(http.fetchText(server.url("/text")), QStringLiteral("你好 velanote"));
    EXPECT_EQ(http.fetchText(" " + server.url("/text")), QStringLiteral("你好 velanote"));
    EXPECT_EQ(http.fetchText(QStringLiteral("127.0.0.1:%1/text").arg(server.port())),
              QStringLiteral("你好 velanote"));
    EXPECT_EQ(http.fetchText(server.url("/redirect")), QStringLiteral("你好 velanote"));

    const HttpResult ok = http.get(server.url("/file.mp3"));
    EXPECT_TRUE(ok.completed);
    EXPECT_EQ(ok.status, 200);
    EXPECT_EQ(ok.body, QByteArray("\xFF\xE3\x20\xC4speech", 10));

    const HttpResult missing = http.get(server.url("/missing"));
    EXPECT_TRUE(missing.completed);
    EXPECT_EQ(missing.status, 404);
    EXPECT_FALSE(missing.ok());
    EXPECT_EQ(http.fetchText(server.url("/missing")), QString());

    EXPECT_EQ(server.paths().count("/text"), 4);
    EXPECT_EQ(CurlHttpClient::requestAddress("  www.example.com/a b"),
              QByteArray("http://www.example.com/a b"));
    EXPECT_EQ(CurlHttpClient::requestAddress(" https://x.example/"), QByteArray("https://x.example/"));
    EXPECT_EQ(http.fetchText(""), QString());
}

TEST(HttpClient, BodiesOverTheCapAreRefusedWithOrWithoutALength) {
    LoopbackServer server;
    ASSERT_TRUE(server.running());
    CurlHttpClient::Limits small;
    small.maxBodyBytes = 1000;
    CurlHttpClient capped(small);
    EXPECT_FALSE(capped.get(server.url("/sized")).completed);
    EXPECT_FALSE(capped.get(server.url("/chunked")).completed);
    EXPECT_EQ(capped.fetchText(server.url("/chunked")), QString());
    EXPECT_TRUE(capped.get(server.url("/text")).ok());

    // The default cap of 16 MiB stops a 17 MiB body that arrives without a length.
    CurlHttpClient http;
    const HttpResult huge = http.get(server.url("/huge"));
    EXPECT_FALSE(huge.completed);
    EXPECT_TRUE(huge.body.isEmpty());
}

TEST(HttpClient, AServerThatNeverAnswersTimesOutAndARefusedConnectionFailsAtOnce) {
    SilentServer silent;
    ASSERT_NE(silent.port(), 0);
    CurlHttpClient::Limits quick;
    quick.totalTimeoutMs = 400;
    CurlHttpClient http(quick);
    QElapsedTimer clock;
    clock.start();
    const HttpResult r = http.get(QStringLiteral("http://127.0.0.1:%1/").arg(silent.port()));
    EXPECT_FALSE(r.completed);
    EXPECT_GE(clock.elapsed(), 350);
    EXPECT_LT(clock.elapsed(), 3000);

    quint16 closedPort = 0;
    {
        SilentServer gone;
        closedPort = gone.port();
    }
    clock.restart();
    EXPECT_EQ(http.fetchText(QStringLiteral("http://127.0.0.1:%1/").arg(closedPort)), QString());
    EXPECT_LT(clock.elapsed(), 1000);
}

TEST(HttpClient, DownloadWritesOnlyAWholeSuccessfulBodyAndTellsAFailedFetchFromAFailedWrite) {
    LoopbackServer server;
    ASSERT_TRUE(server.running());
    scratch::ScratchFolder folder;
    CurlHttpClient http;
    ASSERT_TRUE(folder.write("speech.mp3", "old"));

    EXPECT_EQ(http.download(server.url("/missing"), folder.path("speech.mp3")), DownloadOutcome::NotFetched);
    EXPECT_EQ(http.download(server.url("/empty"), folder.path("speech.mp3")), DownloadOutcome::NotFetched);
    CurlHttpClient::Limits small;
    small.maxBodyBytes = 1000;
    EXPECT_EQ(CurlHttpClient(small).download(server.url("/chunked"), folder.path("speech.mp3")),
              DownloadOutcome::NotFetched);
    EXPECT_EQ(folder.read("speech.mp3"), QByteArray("old"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"speech.mp3"});

    EXPECT_EQ(http.download(" " + server.url("/file.mp3"), folder.path("speech.mp3")),
              DownloadOutcome::Saved);
    EXPECT_EQ(folder.read("speech.mp3"), QByteArray("\xFF\xE3\x20\xC4speech", 10));
    EXPECT_EQ(http.download(server.url("/file.mp3"), folder.path("no/such/folder/speech.mp3")),
              DownloadOutcome::NotWritten);
}
