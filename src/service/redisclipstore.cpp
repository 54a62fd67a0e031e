#include "service/redisclipstore.h"

#include <hiredis/hiredis.h>

#include <charconv>
#include <sys/time.h>

namespace velanote {

namespace {

constexpr std::chrono::milliseconds firstBackoff{1000};
constexpr std::chrono::milliseconds longestBackoff{30000};

timeval toTimeval(std::chrono::milliseconds span) {
    timeval tv{};
    tv.tv_sec = static_cast<time_t>(span.count() / 1000);
    tv.tv_usec = static_cast<suseconds_t>((span.count() % 1000) * 1000);
    return tv;
}

bool parseInt(std::string_view text, int& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

// Frees a reply however the command ended.
struct ReplyHolder {
    redisReply* reply;
    ~ReplyHolder() {
        if (reply != nullptr) {
            freeReplyObject(reply);
        }
    }
};

} // namespace

std::optional<RedisClipStore::Address> RedisClipStore::parseUrl(std::string_view url, std::string& error) {
    constexpr std::string_view scheme = "redis://";
    error = "not a redis://HOST:PORT[/DB] address: " + std::string(url);
    if (!url.starts_with(scheme)) {
        return std::nullopt;
    }
    std::string_view rest = url.substr(scheme.size());
    Address address;
    if (const std::size_t slash = rest.find('/'); slash != std::string_view::npos) {
        if (!parseInt(rest.substr(slash + 1), address.database) || address.database < 0 ||
            address.database > 65535) {
            return std::nullopt;
        }
        rest = rest.substr(0, slash);
    }
    std::string_view portText;
    if (rest.starts_with('[')) {
        const std::size_t close = rest.find(']');
        if (close == std::string_view::npos) {
            return std::nullopt;
        }
        address.host = std::string(rest.substr(1, close - 1));
        rest = rest.substr(close + 1);
        if (!rest.empty() && (rest.front() != ':' || rest.size() == 1)) {
            return std::nullopt;
        }
        portText = rest.empty() ? std::string_view() : rest.substr(1);
    } else {
        const std::size_t colon = rest.find(':');
        address.host = std::string(rest.substr(0, colon));
        portText = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
        if (colon != std::string_view::npos && portText.empty()) {
            return std::nullopt;
        }
    }
    if (address.host.empty() || address.host.find_first_of("@?#/ ") != std::string::npos) {
        return std::nullopt;
    }
    if (!portText.empty() &&
        (!parseInt(portText, address.port) || address.port < 1 || address.port > 65535)) {
        return std::nullopt;
    }
    error.clear();
    return address;
}

RedisClipStore::RedisClipStore(Address address, std::chrono::seconds expiry, Logger logger)
    : address_(std::move(address)), expiry_(expiry), logger_(std::move(logger)) {}

RedisClipStore::~RedisClipStore() {
    if (context_ != nullptr) {
        redisFree(context_);
    }
}

void RedisClipStore::fail(const std::string& reason) {
    if (context_ != nullptr) {
        redisFree(context_);
        context_ = nullptr;
    }
    backoff_ = backoff_.count() == 0 ? firstBackoff : std::min(backoff_ * 2, longestBackoff);
    retryAt_ = Clock::now() + backoff_;
    if (!reportedDown_ && logger_) {
        logger_("redis " + address_.host + ":" + std::to_string(address_.port) + ": " + reason +
                "; serving from memory and trying again");
    }
    reportedDown_ = true;
}

void RedisClipStore::keyFailed(const std::string& id, const std::string& reason) {
    const Clock::time_point now = Clock::now();
    ++keyErrors_;
    if (logger_ && now >= nextKeyErrorReport_) {
        logger_("redis " + address_.host + ":" + std::to_string(address_.port) + ": " + reason + " (clip " +
                id + "; " + std::to_string(keyErrors_) + " such errors since the last report)");
        keyErrors_ = 0;
        nextKeyErrorReport_ = now + std::chrono::minutes(1);
    }
}

bool RedisClipStore::isUp() {
    std::lock_guard lock(mutex_);
    redisContext* redis = connection();
    if (redis == nullptr) {
        return false;
    }
    ReplyHolder pong{static_cast<redisReply*>(redisCommand(redis, "PING"))};
    if (pong.reply == nullptr) {
        fail(redis->errstr);
        return false;
    }
    return true;
}

redisContext* RedisClipStore::connection() {
    if (context_ != nullptr) {
        return context_;
    }
    if (Clock::now() < retryAt_) {
        return nullptr;
    }
    context_ = redisConnectWithTimeout(address_.host.c_str(), address_.port, toTimeval(connectTimeout));
    if (context_ == nullptr || context_->err != 0) {
        fail(context_ != nullptr ? context_->errstr : "cannot connect");
        return nullptr;
    }
    if (redisSetTimeout(context_, toTimeval(commandTimeout)) != REDIS_OK) {
        fail("cannot set a time-out");
        return nullptr;
    }
    if (address_.database != 0) {
        ReplyHolder selected{
            static_cast<redisReply*>(redisCommand(context_, "SELECT %d", address_.database))};
        if (selected.reply == nullptr || selected.reply->type == REDIS_REPLY_ERROR) {
            fail(selected.reply == nullptr ? context_->errstr : selected.reply->str);
            return nullptr;
        }
    }
    if (reportedDown_ && logger_) {
        logger_("redis " + address_.host + ":" + std::to_string(address_.port) + ": connected again");
    }
    reportedDown_ = false;
    backoff_ = std::chrono::milliseconds(0);
    return context_;
}

std::optional<SpeechClip> RedisClipStore::find(const std::string& id) {
    std::lock_guard lock(mutex_);
    redisContext* redis = connection();
    if (redis == nullptr) {
        return std::nullopt;
    }
    const std::string name = key(id);
    ReplyHolder got{static_cast<redisReply*>(redisCommand(redis, "GET %b", name.data(), name.size()))};
    if (got.reply == nullptr) {
        fail(redis->errstr);
        return std::nullopt;
    }
    if (got.reply->type == REDIS_REPLY_ERROR) {
        keyFailed(id, got.reply->str);
        return std::nullopt;
    }
    if (got.reply->type != REDIS_REPLY_STRING) {
        return std::nullopt;
    }
    return decode(id, std::string_view(got.reply->str, got.reply->len));
}

void RedisClipStore::keep(const SpeechClip& clip) {
    if (!clip.mp3) {
        return;
    }
    const std::string value = encode(clip);
    const std::string name = key(clip.id);
    std::lock_guard lock(mutex_);
    redisContext* redis = connection();
    if (redis == nullptr) {
        return;
    }
    ReplyHolder set{static_cast<redisReply*>(redisCommand(redis, "SET %b %b EX %lld", name.data(),
                                                          name.size(), value.data(), value.size(),
                                                          static_cast<long long>(expiry_.count())))};
    if (set.reply == nullptr) {
        fail(redis->errstr);
    } else if (set.reply->type == REDIS_REPLY_ERROR) {
        keyFailed(clip.id, set.reply->str);
    }
}

} // namespace velanote
