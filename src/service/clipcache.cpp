#include "service/clipcache.h"

namespace velanote {

ClipCache::ClipCache(std::size_t capacityBytes) : capacity_(capacityBytes) {}

std::size_t ClipCache::footprint(const SpeechClip& clip) {
    // The list node, the index entry and its bucket, and the shared string's control block.
    constexpr std::size_t bookkeeping = 160;
    return (clip.mp3 ? clip.mp3->capacity() + 1 : 0) + clip.id.capacity() + bookkeeping;
}

std::optional<SpeechClip> ClipCache::find(const std::string& id) {
    std::lock_guard lock(mutex_);
    const auto it = index_.find(id);
    if (it == index_.end()) {
        return std::nullopt;
    }
    order_.splice(order_.begin(), order_, it->second);
    return *it->second;
}

void ClipCache::insert(SpeechClip clip) {
    if (!clip.mp3) {
        return;
    }
    std::lock_guard lock(mutex_);
    if (const auto it = index_.find(clip.id); it != index_.end()) {
        bytes_ -= footprint(*it->second);
        order_.erase(it->second);
        index_.erase(it);
    }
    const std::size_t size = footprint(clip);
    while (!order_.empty() && bytes_ + size > capacity_) {
        bytes_ -= footprint(order_.back());
        index_.erase(order_.back().id);
        order_.pop_back();
    }
    order_.push_front(std::move(clip));
    index_.emplace(order_.front().id, order_.begin());
    bytes_ += footprint(order_.front());
}

std::size_t ClipCache::bytes() const {
    std::lock_guard lock(mutex_);
    return bytes_;
}

std::size_t ClipCache::size() const {
    std::lock_guard lock(mutex_);
    return order_.size();
}

} // namespace velanote
