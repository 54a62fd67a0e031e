#pragma once
#include "speech/httpexchange.h"

#include <cstdint>
#include <functional>
#include <string>

struct MHD_Daemon;

namespace velanote {

// An HTTP/1.1 server over GNU libmicrohttpd, one thread per connection, handing each request to
// a handler that may block. Bodies are never read; every request is answered in one piece.
class MicroHttpServer {
public:
    using Handler = std::function<HttpReply(const HttpRequest&)>;
    using Logger = std::function<void(const std::string& line)>;

    struct Settings {
        std::string bindAddress = "127.0.0.1";
        std::uint16_t port = 0; // 0: an ephemeral port
        std::size_t connectionMemoryLimit = 64 * 1024;
        unsigned connectionTimeoutSeconds = 30;
        unsigned connectionLimit = 256;
    };

    MicroHttpServer(Settings settings, Handler handler, Logger logger = {});
    ~MicroHttpServer();
    MicroHttpServer(const MicroHttpServer&) = delete;
    MicroHttpServer& operator=(const MicroHttpServer&) = delete;

    // False, with a reason in error, when the address is not an IP address or cannot be bound.
    bool start(std::string& error);
    void stop();
    bool isRunning() const { return daemon_ != nullptr; }
    std::uint16_t port() const { return port_; }

    // The handler and logger entry points called from libmicrohttpd's threads.
    HttpReply dispatch(const HttpRequest& request) const { return handler_(request); }
    void log(const std::string& line) const;

private:
    Settings settings_;
    Handler handler_;
    Logger logger_;
    MHD_Daemon* daemon_ = nullptr;
    std::uint16_t port_ = 0;
};

} // namespace velanote
