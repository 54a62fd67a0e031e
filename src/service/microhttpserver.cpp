#include "service/microhttpserver.h"

#include <microhttpd.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string_view>

#include <strings.h>

namespace velanote {

using Clock = std::chrono::steady_clock;

// What the deadline watcher knows of one connection.
struct MicroHttpServer::Watch {
    int fd = -1;
    Clock::time_point since;
    bool receiving = true; // waiting for (the rest of) a request
    bool cut = false;
};

// A request whose reply comes later, while its connection is suspended.
struct MicroHttpServer::Parked {
    MHD_Connection* connection = nullptr;
    HttpReply reply;
    bool resumed = false; // its reply is on the way; stop() waits until it is out
};

namespace {

// What one request carries between libmicrohttpd's callbacks.
struct RequestState {
    std::string target;
    const char* rawTarget = nullptr; // in the library's read buffer, valid for the request
    Clock::time_point started;
    bool headersRead = false;
    bool answered = false;
    std::shared_ptr<MicroHttpServer::Parked> parked;
    bool replied = false;
};

MicroHttpServer::Watch* watchOf(MHD_Connection* connection) {
    const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_SOCKET_CONTEXT);
    return info != nullptr ? static_cast<MicroHttpServer::Watch*>(info->socket_context) : nullptr;
}

void* beginRequest(void*, const char* uri, MHD_Connection*) {
    auto* state = new RequestState;
    state->target = uri != nullptr ? uri : "";
    state->rawTarget = uri;
    state->started = Clock::now();
    return state;
}

void endRequest(void* server, MHD_Connection* connection, void** context, MHD_RequestTerminationCode) {
    auto* self = static_cast<MicroHttpServer*>(server);
    auto* state = static_cast<RequestState*>(*context);
    if (state != nullptr && state->parked && state->parked->resumed) {
        self->resumedReplyDone();
    }
    delete state;
    *context = nullptr;
    self->setReceiving(watchOf(connection), true);
}

// Set by the library's message that a client went away, until that connection's close is noted
// on the same thread.
thread_local bool clientLeftHere = false;

void noteConnection(void* server, MHD_Connection* connection, void** socketContext,
                    MHD_ConnectionNotificationCode code) {
    auto* self = static_cast<MicroHttpServer*>(server);
    if (code == MHD_CONNECTION_NOTIFY_STARTED) {
        const MHD_ConnectionInfo* info =
            MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
        auto* watch = new MicroHttpServer::Watch;
        watch->fd = info != nullptr ? info->connect_fd : -1;
        watch->since = Clock::now();
        self->watch(watch);
        *socketContext = watch;
    } else if (code == MHD_CONNECTION_NOTIFY_CLOSED) {
        auto* watch = static_cast<MicroHttpServer::Watch*>(*socketContext);
        if (clientLeftHere && (watch == nullptr || !watch->cut)) {
            self->drops().count(ConnectionDrops::clientLeft);
        }
        clientLeftHere = false;
        self->unwatch(watch);
        delete watch;
        *socketContext = nullptr;
    }
}

void releaseBody(void* body) {
    delete static_cast<std::shared_ptr<const std::string>*>(body);
}

void forwardLibraryMessage(void* server, const char* format, va_list args) {
    char line[512];
    std::vsnprintf(line, sizeof line, format, args);
    std::string text(line);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.pop_back();
    }
    auto* self = static_cast<MicroHttpServer*>(server);
    // Refused and abandoned connections are counted and summed up, not logged one by one.
    if (text.find("connection limit") != std::string::npos) {
        self->drops().count(ConnectionDrops::overLimit);
        return;
    }
    static constexpr std::string_view clientGone[] = {"when reading request", "incomplete request",
                                                      "Failed to send",       "forcibly closed",
                                                      "no longer available",  "not connected"};
    if (std::any_of(std::begin(clientGone), std::end(clientGone),
                    [&text](std::string_view part) { return text.find(part) != std::string::npos; })) {
        clientLeftHere = true;
        return;
    }
    self->log("microhttpd: " + text);
}

bool announcesBody(MHD_Connection* connection, std::size_t uploadSize) {
    if (uploadSize > 0 ||
        MHD_lookup_connection_value(connection, MHD_HEADER_KIND, "Transfer-Encoding") != nullptr) {
        return true;
    }
    const char* length = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, "Content-Length");
    return length != nullptr && std::strspn(length, "0") != std::strlen(length);
}

int headerCount(MHD_Connection* connection, const char* name) {
    struct Count {
        const char* name;
        int seen = 0;
    } count{name};
    MHD_get_connection_values(
        connection, MHD_HEADER_KIND,
        [](void* cls, MHD_ValueKind, const char* key, const char*) {
            auto* counting = static_cast<Count*>(cls);
            counting->seen += key != nullptr && strcasecmp(key, counting->name) == 0 ? 1 : 0;
            return MHD_YES;
        },
        &count);
    return count.seen;
}

// What makes the request's headers unusable, or nothing.
const char* headerFault(MHD_Connection* connection, const char* version) {
    if (version != nullptr && std::strcmp(version, MHD_HTTP_VERSION_1_1) == 0 &&
        headerCount(connection, MHD_HTTP_HEADER_HOST) == 0) {
        return "an HTTP/1.1 request needs a Host header\n";
    }
    if (headerCount(connection, MHD_HTTP_HEADER_HOST) > 1) {
        return "more than one Host header\n";
    }
    if (headerCount(connection, MHD_HTTP_HEADER_CONTENT_LENGTH) > 1) {
        return "more than one Content-Length header\n";
    }
    return nullptr;
}

// libmicrohttpd 0.9.75 hands the target on as a C string, so a NUL byte inside it would cut it
// short. The request line stays in the connection's read buffer, where the target is followed by
// the blank(s) before the HTTP version: anything else in between followed a NUL in the target.
bool targetHasNul(const RequestState& state, const char* version) {
    if (state.rawTarget == nullptr || version == nullptr) {
        return false;
    }
    const char* end = state.rawTarget + state.target.size();
    if (version <= end || version - end > std::ptrdiff_t{64} * 1024) {
        return false; // not laid out as expected; nothing to compare
    }
    return std::any_of(end, version - 1, [](char c) { return c != ' '; });
}

// Keeps a log line on one line whatever the client sent.
std::string printable(std::string_view text, std::size_t limit) {
    std::string out;
    for (const char c : text.substr(0, limit)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7F) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            out += escaped;
        } else {
            out.push_back(c);
        }
    }
    if (text.size() > limit) {
        out += "...";
    }
    return out;
}

std::string peerAddress(MHD_Connection* connection) {
    const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
    if (info == nullptr || info->client_addr == nullptr) {
        return "-";
    }
    char text[INET6_ADDRSTRLEN] = "-";
    if (info->client_addr->sa_family == AF_INET) {
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(info->client_addr)->sin_addr, text,
                  sizeof text);
    } else if (info->client_addr->sa_family == AF_INET6) {
        inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(info->client_addr)->sin6_addr, text,
                  sizeof text);
    }
    return text;
}

// The peer, or the address a trusted proxy names for it.
std::string clientAddress(MHD_Connection* connection, const std::string& trustedProxy) {
    std::string peer = peerAddress(connection);
    if (!trustedProxy.empty() && peer == trustedProxy) {
        const char* named = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, "X-Real-IP");
        if (named != nullptr && *named != '\0' && std::strlen(named) < INET6_ADDRSTRLEN) {
            return named;
        }
    }
    return peer;
}

MHD_Result send(const MicroHttpServer& server, MHD_Connection* connection, const RequestState& state,
                std::string_view method, const HttpReply& reply) {
    const std::shared_ptr<const std::string> body =
        reply.body ? reply.body : std::make_shared<const std::string>();
    auto* keeper = new std::shared_ptr<const std::string>(body);
    MHD_Response* response = MHD_create_response_from_buffer_with_free_callback_cls(
        body->size(), const_cast<char*>(body->data()), releaseBody, keeper);
    if (response == nullptr) {
        delete keeper;
        return MHD_NO;
    }
    if (!reply.contentType.empty()) {
        MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, reply.contentType.c_str());
    }
    for (const auto& [name, value] : reply.headers) {
        MHD_add_response_header(response, name.c_str(), value.c_str());
    }
    const MHD_Result queued = MHD_queue_response(connection, static_cast<unsigned>(reply.status), response);
    MHD_destroy_response(response);

    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - state.started).count();
    char timing[32];
    std::snprintf(timing, sizeof timing, "%.1f ms", ms);
    server.log(peerAddress(connection) + " \"" + printable(method, 16) + " " + printable(state.target, 200) +
               "\" " + std::to_string(reply.status) + " " + std::to_string(body->size()) + " " + timing);
    return queued;
}

MHD_Result answer(void* server, MHD_Connection* connection, const char*, const char* method,
                  const char* version, const char*, std::size_t* uploadSize, void** context) {
    auto* state = static_cast<RequestState*>(*context);
    if (state == nullptr) {
        return MHD_NO;
    }
    auto* self = static_cast<MicroHttpServer*>(server);
    if (state->parked) {
        *uploadSize = 0;
        if (state->replied) {
            return MHD_YES;
        }
        // Resumed: the reply has been delivered.
        state->replied = true;
        return send(*self, connection, *state, method, state->parked->reply);
    }
    if (state->answered) {
        *uploadSize = 0;
        return MHD_YES;
    }
    const bool bodyAnnounced = announcesBody(connection, *uploadSize);
    *uploadSize = 0;
    const char* fault = headerFault(connection, version);
    if (!state->headersRead) {
        state->headersRead = true;
        // libmicrohttpd closes the connection of a reply queued while the headers are still being
        // handled, so a request that may keep its connection is answered on the next call, once it
        // is complete. A request with a body or bad headers is answered now and its connection closed.
        if (!bodyAnnounced && fault == nullptr) {
            return MHD_YES;
        }
    }
    state->answered = true;
    self->setReceiving(watchOf(connection), false);
    if (fault != nullptr) {
        return send(*self, connection, *state, method, HttpReply::text(400, fault));
    }
    if (targetHasNul(*state, version)) {
        return send(*self, connection, *state, method,
                    HttpReply::text(400, "the request target contains a NUL byte\n"));
    }
    const std::string client = clientAddress(connection, self->settings().trustedProxy);
    const HttpRequest request{method, state->target, bodyAnnounced, client};
    HttpReply reply = self->dispatch(request);
    if (!reply.later) {
        return send(*self, connection, *state, method, reply);
    }
    auto parked = std::make_shared<MicroHttpServer::Parked>();
    parked->connection = connection;
    if (!self->park(connection, parked)) {
        return send(*self, connection, *state, method, HttpReply::text(503, "the service is stopping\n"));
    }
    state->parked = parked;
    reply.later([self, parked](HttpReply delivered) { self->deliver(parked, std::move(delivered)); });
    return MHD_YES;
}

} // namespace

HttpReply HttpReply::text(int status, std::string body) {
    HttpReply reply;
    reply.status = status;
    reply.contentType = "text/plain; charset=utf-8";
    reply.body = std::make_shared<const std::string>(std::move(body));
    return reply;
}

MicroHttpServer::MicroHttpServer(Settings settings, Handler handler, Logger logger)
    : settings_(std::move(settings)), handler_(std::move(handler)), logger_(std::move(logger)),
      drops_([this](const std::string& line) { log(line); }) {}

std::size_t MicroHttpServer::openConnections() {
    std::lock_guard lock(watchMutex_);
    return connections_.size();
}

MicroHttpServer::~MicroHttpServer() {
    stop();
}

void MicroHttpServer::log(const std::string& line) const {
    if (logger_) {
        logger_(line);
    }
}

void MicroHttpServer::watch(Watch* connection) {
    std::lock_guard lock(watchMutex_);
    connections_.insert(connection);
}

void MicroHttpServer::unwatch(Watch* connection) {
    std::lock_guard lock(watchMutex_);
    connections_.erase(connection);
}

void MicroHttpServer::setReceiving(Watch* connection, bool receiving) {
    if (connection == nullptr) {
        return;
    }
    std::lock_guard lock(watchMutex_);
    connection->receiving = receiving;
    connection->since = Clock::now();
}

bool MicroHttpServer::park(MHD_Connection* connection, const std::shared_ptr<Parked>& parked) {
    std::lock_guard lock(parkMutex_);
    if (stopping_) {
        return false;
    }
    parked_.insert(parked);
    MHD_suspend_connection(connection);
    return true;
}

void MicroHttpServer::deliver(const std::shared_ptr<Parked>& parked, HttpReply reply) {
    std::lock_guard lock(parkMutex_);
    if (parked_.erase(parked) == 0) {
        return; // already answered by stop()
    }
    parked->reply = std::move(reply);
    parked->resumed = true;
    ++repliesOut_;
    MHD_resume_connection(parked->connection);
}

void MicroHttpServer::resumedReplyDone() {
    {
        std::lock_guard lock(parkMutex_);
        --repliesOut_;
    }
    repliesSent_.notify_all();
}

void MicroHttpServer::enforceDeadlines() {
    const auto deadline = std::chrono::milliseconds(settings_.requestDeadlineMs);
    const auto tick = std::clamp(deadline / 4, std::chrono::milliseconds(20), std::chrono::milliseconds(500));
    std::unique_lock lock(watchMutex_);
    while (!stopWatching_.wait_for(lock, tick, [this] { return watcherStopping_; })) {
        const Clock::time_point now = Clock::now();
        for (Watch* connection : connections_) {
            if (connection->receiving && !connection->cut && connection->fd >= 0 &&
                now - connection->since > deadline) {
                // The library notices the end of the stream and closes the connection itself;
                // the descriptor stays open until it has told unwatch().
                shutdown(connection->fd, SHUT_RDWR);
                connection->cut = true;
                drops_.count(ConnectionDrops::deadline, now);
            }
        }
        drops_.summarise(now);
    }
}

bool MicroHttpServer::start(std::string& error) {
    if (daemon_ != nullptr) {
        return true;
    }
    sockaddr_in v4{};
    sockaddr_in6 v6{};
    const sockaddr* address = nullptr;
    unsigned flags = MHD_USE_EPOLL_INTERNAL_THREAD | MHD_ALLOW_SUSPEND_RESUME | MHD_USE_ERROR_LOG;
    if (inet_pton(AF_INET, settings_.bindAddress.c_str(), &v4.sin_addr) == 1) {
        v4.sin_family = AF_INET;
        v4.sin_port = htons(settings_.port);
        address = reinterpret_cast<const sockaddr*>(&v4);
    } else if (inet_pton(AF_INET6, settings_.bindAddress.c_str(), &v6.sin6_addr) == 1) {
        v6.sin6_family = AF_INET6;
        v6.sin6_port = htons(settings_.port);
        address = reinterpret_cast<const sockaddr*>(&v6);
        flags |= MHD_USE_IPv6;
    } else {
        error = "not an IP address: " + settings_.bindAddress;
        return false;
    }
    {
        std::lock_guard lock(parkMutex_);
        stopping_ = false;
    }
    daemon_ = MHD_start_daemon(
        flags, settings_.port, nullptr, nullptr, &answer, this, MHD_OPTION_EXTERNAL_LOGGER,
        &forwardLibraryMessage, this, MHD_OPTION_SOCK_ADDR, address, MHD_OPTION_THREAD_POOL_SIZE,
        std::max(settings_.threads, 1U), MHD_OPTION_CONNECTION_MEMORY_LIMIT, settings_.connectionMemoryLimit,
        MHD_OPTION_CONNECTION_TIMEOUT, settings_.idleTimeoutSeconds, MHD_OPTION_CONNECTION_LIMIT,
        settings_.connectionLimit, MHD_OPTION_PER_IP_CONNECTION_LIMIT, settings_.perAddressLimit,
        MHD_OPTION_URI_LOG_CALLBACK, &beginRequest, nullptr, MHD_OPTION_NOTIFY_COMPLETED, &endRequest, this,
        MHD_OPTION_NOTIFY_CONNECTION, &noteConnection, this, MHD_OPTION_END);
    if (daemon_ == nullptr) {
        error = "cannot listen on " + settings_.bindAddress + " port " + std::to_string(settings_.port);
        return false;
    }
    const MHD_DaemonInfo* info = MHD_get_daemon_info(daemon_, MHD_DAEMON_INFO_BIND_PORT);
    port_ = info != nullptr ? info->port : settings_.port;
    {
        std::lock_guard lock(watchMutex_);
        watcherStopping_ = false;
    }
    deadlineWatcher_ = std::thread([this] { enforceDeadlines(); });
    return true;
}

void MicroHttpServer::stop() {
    if (daemon_ == nullptr) {
        return;
    }
    {
        std::lock_guard lock(parkMutex_);
        stopping_ = true;
        for (const std::shared_ptr<Parked>& parked : parked_) {
            parked->reply = HttpReply::text(503, "the service is stopping\n");
            parked->resumed = true;
            ++repliesOut_;
            MHD_resume_connection(parked->connection);
        }
        parked_.clear();
    }
    {
        // Every waiting request gets its answer before the connections close, within reason.
        std::unique_lock lock(parkMutex_);
        repliesSent_.wait_for(lock, std::chrono::seconds(5), [this] { return repliesOut_ <= 0; });
    }
    {
        std::lock_guard lock(watchMutex_);
        watcherStopping_ = true;
    }
    stopWatching_.notify_one();
    deadlineWatcher_.join();
    MHD_stop_daemon(daemon_);
    daemon_ = nullptr;
    port_ = 0;
}

} // namespace velanote
