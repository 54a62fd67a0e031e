#pragma once
#include "service/clipcache.h"
#include "service/clipstore.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

struct redisContext;

namespace velanote {

// Clips kept in Redis, so that several service instances share what any of them has made. Every
// wait is bounded (connecting and each command). When Redis cannot be reached or its connection
// fails, look-ups miss and stores are skipped at once, one line is logged, and the connection is
// tried again after a back-off that doubles up to half a minute. An error Redis answers for one key
// (a value of another type, or no memory left for a store) misses that key alone; such errors are
// logged at most once a minute. A stored value that is not a whole clip of the id asked for is
// ignored.
class RedisClipStore : public ClipStore {
public:
    using Logger = std::function<void(const std::string& line)>;

    struct Address {
        std::string host;
        int port = 6379;
        int database = 0;
    };
    // redis://HOST[:PORT][/DB]; nullopt, with a reason in error, for anything else.
    static std::optional<Address> parseUrl(std::string_view url, std::string& error);

    RedisClipStore(Address address, std::chrono::seconds expiry, Logger logger = {});
    ~RedisClipStore();
    RedisClipStore(const RedisClipStore&) = delete;
    RedisClipStore& operator=(const RedisClipStore&) = delete;

    std::optional<SpeechClip> find(const std::string& id) override;
    void keep(const SpeechClip& clip) override;
    // Whether Redis answers now; tries to connect unless backing off.
    bool isUp();

    static constexpr std::chrono::milliseconds connectTimeout{300};
    static constexpr std::chrono::milliseconds commandTimeout{500};

private:
    using Clock = std::chrono::steady_clock;

    redisContext* connection(); // with mutex_ held; null while backing off
    void fail(const std::string& reason);
    void keyFailed(const std::string& id, const std::string& reason);
    std::string key(const std::string& id) const { return "velanote:clip:" + id; }

    Address address_;
    std::chrono::seconds expiry_;
    Logger logger_;
    std::mutex mutex_;
    redisContext* context_ = nullptr;
    Clock::time_point retryAt_{};
    std::chrono::milliseconds backoff_{0};
    bool reportedDown_ = false;
    std::uint64_t keyErrors_ = 0;
    Clock::time_point nextKeyErrorReport_{};
};

} // namespace velanote
