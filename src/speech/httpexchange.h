#pragma once
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velanote {

// A request as the routes see it: the method, the request target exactly as sent (path and
// query, nothing decoded) and whether a body was announced.
struct HttpRequest {
    std::string_view method;
    std::string_view target;
    bool hasBody = false;
};

// A complete answer; the body is shared so that stored clips are sent without copying.
struct HttpReply {
    int status = 200;
    std::string contentType;
    std::shared_ptr<const std::string> body;
    std::vector<std::pair<std::string, std::string>> headers;

    static HttpReply text(int status, std::string body);
};

} // namespace velanote
