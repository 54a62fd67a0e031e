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
    // from: the loopback address to connect from (127.0.0.2, ...), so that a test can play several hosts.
    explicit LoopbackClient(unsigned port, std::string from = {});
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
    std::string from_;
    void* curl_;
};

} // namespace velanote::testing
