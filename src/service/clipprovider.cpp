#include "service/clipprovider.h"

#include "reading/utf8.h"
#include "service/clipstore.h"
#include "service/servicemetrics.h"
#include "synthesis/speechsynthesizer.h"

#include <chrono>

namespace velanote {

ClipProvider::ClipProvider(std::size_t cacheBytes, std::shared_ptr<ReadingSource> readings, ClipStore* shared,
                           ServiceMetrics* metrics)
    : readings_(readings ? std::move(readings) : std::make_shared<ReadingSource>()), cache_(cacheBytes),
      shared_(shared), metrics_(metrics) {}

std::optional<SpeechClip> ClipProvider::find(const std::string& id, bool counted) {
    std::optional<SpeechClip> clip = cache_.find(id);
    if (counted && metrics_ != nullptr) {
        metrics_->countLookup(ServiceMetrics::Level::memory, clip.has_value());
    }
    if (clip || shared_ == nullptr) {
        return clip;
    }
    clip = shared_->find(id);
    if (counted && metrics_ != nullptr) {
        metrics_->countLookup(ServiceMetrics::Level::shared, clip.has_value());
    }
    if (clip) {
        cache_.insert(*clip);
    }
    return clip;
}

std::optional<SpeechClip> ClipProvider::stored(const std::string& id) {
    return find(id, true);
}

std::optional<SpeechClip> ClipProvider::storedFor(const std::u32string& text, const VoiceSettings& voice) {
    return find(SpeechSynthesizer::clipId(utf8::encode(text), readings_->current()->digest(), voice), true);
}

SpeechClip ClipProvider::clipFor(const std::u32string& text, const VoiceSettings& voice) {
    const std::shared_ptr<const MandarinReader> reader = readings_->current();
    const std::string id = SpeechSynthesizer::clipId(utf8::encode(text), reader->digest(), voice);
    if (auto hit = find(id, false)) {
        return *hit;
    }
    std::promise<SpeechClip> promise;
    {
        std::unique_lock lock(mutex_);
        if (const auto it = pending_.find(id); it != pending_.end()) {
            std::shared_future<SpeechClip> running = it->second;
            lock.unlock();
            return running.get();
        }
        // A synthesis that finished since the first look has stored its clip before leaving pending_.
        if (auto hit = cache_.find(id)) {
            return *hit;
        }
        pending_.emplace(id, promise.get_future().share());
    }
    ++syntheses_;
    try {
        const auto began = std::chrono::steady_clock::now();
        SpeechClip clip = SpeechSynthesizer::render(text, reader, voice);
        if (metrics_ != nullptr) {
            metrics_->observeSynthesis(
                std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count());
        }
        clip.id = id;
        cache_.insert(clip);
        if (shared_ != nullptr) {
            shared_->keep(clip);
        }
        promise.set_value(clip);
        std::lock_guard lock(mutex_);
        pending_.erase(id);
        return clip;
    } catch (...) {
        promise.set_exception(std::current_exception());
        std::lock_guard lock(mutex_);
        pending_.erase(id);
        throw;
    }
}

} // namespace velanote
