#pragma once
// A small HTTP server for the platform tests, on a free loopback port.
#include <QByteArray>
#include <QMutex>
#include <QString>
#include <QStringList>

#include <microhttpd.h>

#include <arpa/inet.h>
#include <netinet/in.h>

#include <algorithm>
#include <cstring>

namespace velanote::testing {

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

    static constexpr qint64 HugeBytes = qint64{17} * 1024 * 1024;

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
        MHD_Response* response =
            MHD_create_response_from_callback(MHD_SIZE_UNKNOWN, std::size_t{64} * 1024, &LoopbackServer::fill,
                                              new Stream{size}, &LoopbackServer::release);
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

} // namespace velanote::testing
