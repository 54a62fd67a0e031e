#pragma once
#include "synthesis/speechclip.h"

#include <cstddef>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

namespace velanote {

// The store of synthesised clips: least recently used first out once the memory they hold exceeds
// the cap. What a clip holds is counted as the allocated capacity of its bytes and id plus the
// store's own bookkeeping, not just the length of the MP3. A clip larger than the whole cap is
// still kept, alone, so that the one just made can be fetched. Safe to use from several threads.
class ClipCache {
public:
    explicit ClipCache(std::size_t capacityBytes);

    std::optional<SpeechClip> find(const std::string& id);
    void insert(SpeechClip clip);

    // The memory held by the stored clips, as counted against the cap.
    std::size_t bytes() const;
    static std::size_t footprint(const SpeechClip& clip);
    std::size_t size() const;

private:
    using Order = std::list<SpeechClip>;

    mutable std::mutex mutex_;
    std::size_t capacity_;
    std::size_t bytes_ = 0;
    Order order_; // most recently used first
    std::unordered_map<std::string, Order::iterator> index_;
};

} // namespace velanote
