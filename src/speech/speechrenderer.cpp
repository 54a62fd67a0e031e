#include "speech/speechrenderer.h"

#include "speech/espeakengine.h"
#include "speech/halfbanddecimator.h"
#include "speech/mp3encoder.h"
#include "speech/redisclipstore.h"
#include "speech/servicemetrics.h"
#include "speech/utf8.h"

#include <QByteArray>
#include <QCryptographicHash>

#include <chrono>
#include <stdexcept>

namespace velanote {

SpeechRenderer::SpeechRenderer(std::size_t cacheBytes, std::shared_ptr<ReadingSource> readings,
                               RedisClipStore* shared, ServiceMetrics* metrics)
    : readings_(readings ? std::move(readings) : std::make_shared<ReadingSource>()), cache_(cacheBytes),
      shared_(shared), metrics_(metrics) {}

std::string SpeechRenderer::clipId(const std::string& utf8Text, const std::string& readingDigest) {
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(QByteArrayView(EspeakEngine::voiceName));
    hash.addData(QByteArrayView("\n"));
    hash.addData(QByteArrayView(readingDigest.data(), static_cast<qsizetype>(readingDigest.size())));
    hash.addData(QByteArrayView("\n"));
    hash.addData(QByteArrayView(utf8Text.data(), static_cast<qsizetype>(utf8Text.size())));
    return hash.result().toHex().toStdString();
}

SpeechClip SpeechRenderer::render(const std::u32string& text, std::shared_ptr<const MandarinReader> reader) {
    // Halving and encoding run here while the engine's thread is still synthesising.
    const std::shared_ptr<SpeechStream> stream = EspeakEngine::instance().speak(text, std::move(reader));
    HalfBandDecimator decimator;
    Mp3Encoder encoder;
    std::vector<std::int16_t> piece;
    std::vector<std::int16_t> halved;
    bool rateChecked = false;
    while (stream->next(piece)) {
        if (!rateChecked && stream->sampleRate() != 2 * Mp3Encoder::sampleRate) {
            throw std::runtime_error("espeak-ng speaks at an unexpected sample rate");
        }
        rateChecked = true;
        halved.clear();
        decimator.push(piece, halved);
        encoder.add(halved);
    }
    halved.clear();
    decimator.finish(halved);
    encoder.add(halved);
    Mp3Encoder::Output mp3 = encoder.finish();
    // The encoder grows its buffer ahead of need; a stored clip keeps only its bytes.
    mp3.bytes.shrink_to_fit();
    SpeechClip clip;
    clip.durationMs = mp3.durationMs();
    clip.mp3 = std::make_shared<const std::string>(std::move(mp3.bytes));
    return clip;
}

std::optional<SpeechClip> SpeechRenderer::find(const std::string& id, bool counted) {
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

std::optional<SpeechClip> SpeechRenderer::stored(const std::string& id) {
    return find(id, true);
}

std::optional<SpeechClip> SpeechRenderer::storedFor(const std::u32string& text) {
    return find(clipId(utf8::encode(text), readings_->current()->digest()), true);
}

SpeechClip SpeechRenderer::clipFor(const std::u32string& text) {
    const std::shared_ptr<const MandarinReader> reader = readings_->current();
    const std::string id = clipId(utf8::encode(text), reader->digest());
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
        SpeechClip clip = render(text, reader);
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
