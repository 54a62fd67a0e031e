#pragma once
#include <string>

namespace velanote::testing {

// A bare libcurl client for talking to the speech service over loopback, independent of the
// program's own HTTP client. The request target is sent exactly as given.
struct LoopbackReply {
    bool completed = false;
    long status = 0;
    std::string contentType;
    std::string body;
    double contentLength = -1;
};

class LoopbackClient {
public:
    explicit LoopbackClient(unsigned port);
    ~LoopbackClient();
    LoopbackClient(const LoopbackClient&) = delete;
    LoopbackClient& operator=(const LoopbackClient&) = delete;

    LoopbackReply get(const std::string& target);
    LoopbackReply head(const std::string& target);
    LoopbackReply send(const std::string& method, const std::string& target, const std::string* body);

    // The speech request for a text, every byte outside A-Z a-z 0-9 - _ . ~ percent-encoded.
    LoopbackReply speak(const std::string& utf8Text);

private:
    std::string base_;
    void* curl_;
};

} // namespace velanote::testing
