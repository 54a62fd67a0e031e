#include "platform/desktophttpclient.h"
#include "scratchfolder.h"

#include <QElapsedTimer>
#include <QMutex>
#include <QStringList>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <microhttpd.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

using namespace velanote;

namespace {

// A small HTTP server on 127.0.0.1 with fixed routes, recording the paths it was asked for.
class LoopbackServer {
public:
    LoopbackServer() {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = 0;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        daemon_ = MHD_start_daemon(MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_THREAD_PER_CONNECTION, 0,
                                   nullptr, nullptr, &LoopbackServer::answer, this, MHD_OPTION_SOCK_ADDR,
                                   &address, MHD_OPTION_END);
        if (daemon_ != nullptr) {
            port_ = MHD_get_daemon_info(daemon_, MHD_DAEMON_INFO_BIND_PORT)->port;
        }
    }
    ~LoopbackServer() {
        if (daemon_ != nullptr) {
            MHD_stop_daemon(daemon_);
        }
    }
    bool running() const { return daemon_ != nullptr && port_ != 0; }
    QString url(const QString& path) const {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(path);
    }
    quint16 port() const { return port_; }
    QStringList paths() const {
        QMutexLocker lock(&mutex_);
        return paths_;
    }

    static constexpr qint64 HugeBytes = 17 * 1024 * 1024;

private:
    struct Stream {
        qint64 size;
    };

    static ssize_t fill(void* cls, uint64_t pos, char* buf, size_t max) {
        const auto* stream = static_cast<Stream*>(cls);
        if (qint64(pos) >= stream->size) {
            return MHD_CONTENT_READER_END_OF_STREAM;
        }
        const size_t n = std::min<size_t>(max, size_t(stream->size - qint64(pos)));
        std::memset(buf, 'z', n);
        return ssize_t(n);
    }
    static void release(void* cls) { delete static_cast<Stream*>(cls); }

    static MHD_Result send(MHD_Connection* connection, unsigned status, const QByteArray& body) {
        MHD_Response* response = MHD_create_response_from_buffer(
            size_t(body.size()), const_cast<char*>(body.constData()), MHD_RESPMEM_MUST_COPY);
        const MHD_Result r = MHD_queue_response(connection, status, response);
        MHD_destroy_response(response);
        return r;
    }

    // A body of `size` bytes sent in chunks, with no Content-Length.
    static MHD_Result stream(MHD_Connection* connection, qint64 size) {
        MHD_Response* response = MHD_create_response_from_callback(
            MHD_SIZE_UNKNOWN, 64 * 1024, &LoopbackServer::fill, new Stream{size}, &LoopbackServer::release);
        const MHD_Result r = MHD_queue_response(connection, MHD_HTTP_OK, response);
        MHD_destroy_response(response);
        return r;
    }

    static MHD_Result answer(void* cls, MHD_Connection* connection, const char* url, const char*, const char*,
                             const char*, size_t*, void** state) {
        auto* self = static_cast<LoopbackServer*>(cls);
        if (*state == nullptr) {
            *state = self; // headers first; answer on the second call
            return MHD_YES;
        }
        const QByteArray path(url);
        {
            QMutexLocker lock(&self->mutex_);
            self->paths_.append(QString::fromUtf8(path));
        }
        if (path == "/text") {
            return send(connection, MHD_HTTP_OK, QStringLiteral("你好 velanote").toUtf8());
        }
        if (path == "/file.mp3") {
            return send(connection, MHD_HTTP_OK, QByteArray("\xFF\xE3\x20\xC4speech", 10));
        }
        if (path == "/empty") {
            return send(connection, MHD_HTTP_OK, QByteArray());
        }
        if (path == "/redirect") {
            MHD_Response* response = MHD_create_response_from_buffer(0, nullptr, MHD_RESPMEM_PERSISTENT);
            MHD_add_response_header(response, "Location", "/text");
            const MHD_Result r = MHD_queue_response(connection, MHD_HTTP_FOUND, response);
            MHD_destroy_response(response);
            return r;
        }
        if (path == "/sized") {
            return send(connection, MHD_HTTP_OK, QByteArray(2000, 's')); // with a Content-Length
        }
        if (path == "/chunked") {
            return stream(connection, 2000);
        }
        if (path == "/huge") {
            return stream(connection, HugeBytes);
        }
        return send(connection, MHD_HTTP_NOT_FOUND, "no such page");
    }

    MHD_Daemon* daemon_ = nullptr;
    quint16 port_ = 0;
    mutable QMutex mutex_;
    QStringList paths_;
};

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

TEST(HttpClient, DownloadWritesOnlyAWholeSuccessfulBody) {
    LoopbackServer server;
    ASSERT_TRUE(server.running());
    scratch::ScratchFolder folder;
    CurlHttpClient http;
    ASSERT_TRUE(folder.write("speech.mp3", "old"));

    EXPECT_FALSE(http.download(server.url("/missing"), folder.path("speech.mp3")));
    EXPECT_FALSE(http.download(server.url("/empty"), folder.path("speech.mp3")));
    CurlHttpClient::Limits small;
    small.maxBodyBytes = 1000;
    EXPECT_FALSE(CurlHttpClient(small).download(server.url("/chunked"), folder.path("speech.mp3")));
    EXPECT_EQ(folder.read("speech.mp3"), QByteArray("old"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"speech.mp3"});

    EXPECT_TRUE(http.download(" " + server.url("/file.mp3"), folder.path("speech.mp3")));
    EXPECT_EQ(folder.read("speech.mp3"), QByteArray("\xFF\xE3\x20\xC4speech", 10));
    EXPECT_FALSE(http.download(server.url("/file.mp3"), folder.path("no/such/folder/speech.mp3")));
}
