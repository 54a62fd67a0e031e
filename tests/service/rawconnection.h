#pragma once
#include <chrono>
#include <string>
#include <string_view>

namespace velanote::testing {

// A bare TCP connection to a loopback port from a chosen loopback address, for what no HTTP
// library sends: raw bytes, bytes trickled one at a time, or nothing at all.
class RawConnection {
public:
    RawConnection(unsigned port, const std::string& from = "127.0.0.1");
    ~RawConnection();
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;

    bool connected() const { return fd_ >= 0; }
    // False once the server has closed its side.
    bool send(std::string_view bytes);
    // What arrives until the server closes or the wait is over.
    std::string receive(std::chrono::milliseconds wait);
    // True when the server closes the connection within the wait.
    bool closedWithin(std::chrono::milliseconds wait);

private:
    int fd_ = -1;
};

// A loopback port that was free a moment ago, for a program that must be told its port; 0 when
// none could be had.
unsigned freeLoopbackPort();

} // namespace velanote::testing
