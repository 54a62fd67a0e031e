#pragma once
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velanote {

// A request as the routes see it: the method, the request target exactly as sent (path and
// query, nothing decoded), whether a body was announced and the address of the client.
struct HttpRequest {
    std::string_view method;
    std::string_view target;
    bool hasBody = false;
    std::string_view client;
};

// A complete answer; the body is shared so that stored clips are sent without copying.
struct HttpReply {
    using Deliver = std::function<void(HttpReply)>;

    int status = 200;
    std::string contentType;
    std::shared_ptr<const std::string> body;
    std::vector<std::pair<std::string, std::string>> headers;
    // When set, the answer comes later: the server parks the connection without holding a thread
    // and calls this once with the function that delivers the answer, from any thread, once.
    std::function<void(Deliver)> later;

    static HttpReply text(int status, std::string body);
};

} // namespace velanote
