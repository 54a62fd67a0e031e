#include "speech/microhttpserver.h"

#include <microhttpd.h>

#include <arpa/inet.h>
#include <netinet/in.h>

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace velanote {

namespace {

using Clock = std::chrono::steady_clock;

// What one request carries between libmicrohttpd's callbacks.
struct RequestState {
    std::string target;
    Clock::time_point started;
    bool answered = false;
};

void* beginRequest(void*, const char* uri, MHD_Connection*) {
    return new RequestState{uri != nullptr ? uri : "", Clock::now(), false};
}

void endRequest(void*, MHD_Connection*, void** context, MHD_RequestTerminationCode) {
    delete static_cast<RequestState*>(*context);
    *context = nullptr;
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
    static_cast<const MicroHttpServer*>(server)->log("microhttpd: " + text);
}

bool announcesBody(MHD_Connection* connection, std::size_t uploadSize) {
    if (uploadSize > 0 ||
        MHD_lookup_connection_value(connection, MHD_HEADER_KIND, "Transfer-Encoding") != nullptr) {
        return true;
    }
    const char* length = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, "Content-Length");
    return length != nullptr && std::strspn(length, "0") != std::strlen(length);
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

std::string clientAddress(MHD_Connection* connection) {
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

MHD_Result answer(void* server, MHD_Connection* connection, const char*, const char* method, const char*,
                  const char*, std::size_t* uploadSize, void** context) {
    auto* state = static_cast<RequestState*>(*context);
    if (state == nullptr) {
        return MHD_NO;
    }
    if (state->answered) {
        *uploadSize = 0;
        return MHD_YES;
    }
    state->answered = true;
    const auto* self = static_cast<const MicroHttpServer*>(server);
    const HttpRequest request{method, state->target, announcesBody(connection, *uploadSize)};
    *uploadSize = 0;
    const HttpReply reply = self->dispatch(request);

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

    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - state->started).count();
    char timing[32];
    std::snprintf(timing, sizeof timing, "%.1f ms", ms);
    self->log(clientAddress(connection) + " \"" + printable(method, 16) + " " +
              printable(state->target, 200) + "\" " + std::to_string(reply.status) + " " +
              std::to_string(body->size()) + " " + timing);
    return queued;
}

} // namespace

MicroHttpServer::MicroHttpServer(Settings settings, Handler handler, Logger logger)
    : settings_(std::move(settings)), handler_(std::move(handler)), logger_(std::move(logger)) {}

MicroHttpServer::~MicroHttpServer() {
    stop();
}

void MicroHttpServer::log(const std::string& line) const {
    if (logger_) {
        logger_(line);
    }
}

bool MicroHttpServer::start(std::string& error) {
    if (daemon_ != nullptr) {
        return true;
    }
    sockaddr_in v4{};
    sockaddr_in6 v6{};
    const sockaddr* address = nullptr;
    unsigned flags = MHD_USE_THREAD_PER_CONNECTION | MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_AUTO |
                     MHD_USE_ITC | MHD_USE_ERROR_LOG;
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
    daemon_ = MHD_start_daemon(
        flags, settings_.port, nullptr, nullptr, &answer, this, MHD_OPTION_EXTERNAL_LOGGER,
        &forwardLibraryMessage, this, MHD_OPTION_SOCK_ADDR, address, MHD_OPTION_CONNECTION_MEMORY_LIMIT,
        settings_.connectionMemoryLimit, MHD_OPTION_CONNECTION_TIMEOUT, settings_.connectionTimeoutSeconds,
        MHD_OPTION_CONNECTION_LIMIT, settings_.connectionLimit, MHD_OPTION_THREAD_STACK_SIZE,
        static_cast<std::size_t>(1024 * 1024), MHD_OPTION_URI_LOG_CALLBACK, &beginRequest, nullptr,
        MHD_OPTION_NOTIFY_COMPLETED, &endRequest, nullptr, MHD_OPTION_END);
    if (daemon_ == nullptr) {
        error = "cannot listen on " + settings_.bindAddress + " port " + std::to_string(settings_.port);
        return false;
    }
    const MHD_DaemonInfo* info = MHD_get_daemon_info(daemon_, MHD_DAEMON_INFO_BIND_PORT);
    port_ = info != nullptr ? info->port : settings_.port;
    return true;
}

void MicroHttpServer::stop() {
    if (daemon_ != nullptr) {
        MHD_stop_daemon(daemon_);
        daemon_ = nullptr;
        port_ = 0;
    }
}

} // namespace velanote
