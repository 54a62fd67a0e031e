#pragma once
#include "service/connectiondrops.h"
#include "service/httpexchange.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_set>

struct MHD_Daemon;
struct MHD_Connection;

namespace velanote {

// An HTTP/1.1 server over GNU libmicrohttpd: a small pool of threads waits on epoll for every
// connection, so idle or slow clients cost a socket, not a thread. A request must arrive whole
// within a deadline that trickled bytes do not extend, and each client address may hold only so
// many connections. Bodies are never read; every request is answered in one piece, at once or
// later (see HttpReply::later) while the connection waits parked, and its connection is kept for
// the next request. Refused and cut connections are counted (drops()), not logged one by one.
class MicroHttpServer {
public:
    using Handler = std::function<HttpReply(const HttpRequest&)>;
    using Logger = std::function<void(const std::string& line)>;

    struct Settings {
        std::string bindAddress = "127.0.0.1";
        std::uint16_t port = 0; // 0: an ephemeral port
        std::size_t connectionMemoryLimit = std::size_t{64} * 1024;
        unsigned threads = 2;
        unsigned connectionLimit = 4096;
        unsigned perAddressLimit = 0;       // 0: no limit per client address
        unsigned requestDeadlineMs = 10000; // from connecting, or the last answer, to a whole request
        unsigned idleTimeoutSeconds = 30;   // a connection with no traffic at all is closed
        std::string trustedProxy;           // requests from here name their client in X-Real-IP
    };

    MicroHttpServer(Settings settings, Handler handler, Logger logger = {});
    ~MicroHttpServer();
    MicroHttpServer(const MicroHttpServer&) = delete;
    MicroHttpServer& operator=(const MicroHttpServer&) = delete;

    // False, with a reason in error, when the address is not an IP address or cannot be bound.
    bool start(std::string& error);
    // Another port for the next start, while stopped (0: an ephemeral one).
    void usePort(std::uint16_t port) { settings_.port = port; }
    // Answers parked requests with 503 and closes every connection.
    void stop();
    bool isRunning() const { return daemon_ != nullptr; }
    std::uint16_t port() const { return port_; }
    std::size_t openConnections();
    ConnectionDrops& drops() { return drops_; }

    // Entry points for libmicrohttpd's callbacks.
    struct Watch;
    struct Parked;
    HttpReply dispatch(const HttpRequest& request) const { return handler_(request); }
    void log(const std::string& line) const;
    const Settings& settings() const { return settings_; }
    void watch(Watch* connection);
    void unwatch(Watch* connection);
    void setReceiving(Watch* connection, bool receiving);
    // Parks the connection until the reply is delivered; false when the server is stopping.
    bool park(MHD_Connection* connection, const std::shared_ptr<Parked>& parked);
    void deliver(const std::shared_ptr<Parked>& parked, HttpReply reply);
    // The reply of a resumed request has gone out, or its connection has closed.
    void resumedReplyDone();

private:
    void enforceDeadlines();

    Settings settings_;
    Handler handler_;
    Logger logger_;
    ConnectionDrops drops_;
    MHD_Daemon* daemon_ = nullptr;
    std::uint16_t port_ = 0;

    std::mutex watchMutex_;
    std::condition_variable stopWatching_;
    std::unordered_set<Watch*> connections_;
    bool watcherStopping_ = false;
    std::thread deadlineWatcher_;

    std::mutex parkMutex_; // never held while the library calls back into watch()/unwatch()
    std::unordered_set<std::shared_ptr<Parked>> parked_;
    bool stopping_ = false;
    int repliesOut_ = 0; // resumed requests whose reply is not out yet
    std::condition_variable repliesSent_;
};

} // namespace velanote
