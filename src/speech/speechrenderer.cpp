#include "speech/speechrenderer.h"

#include "speech/espeakengine.h"
#include "speech/halfbanddecimator.h"
#include "speech/mp3encoder.h"
#include "speech/utf8.h"

#include <QByteArray>
#include <QCryptographicHash>

#include <stdexcept>

namespace velanote {

SpeechRenderer::SpeechRenderer(std::size_t cacheBytes, std::shared_ptr<ReadingSource> readings)
    : readings_(readings ? std::move(readings) : std::make_shared<ReadingSource>()), cache_(cacheBytes) {}

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
    SpeechClip clip;
    clip.durationMs = mp3.durationMs();
    clip.mp3 = std::make_shared<const std::string>(std::move(mp3.bytes));
    return clip;
}

std::optional<SpeechClip> SpeechRenderer::stored(const std::string& id) {
    return cache_.find(id);
}

SpeechClip SpeechRenderer::clipFor(const std::u32string& text) {
    const std::shared_ptr<const MandarinReader> reader = readings_->current();
    const std::string id = clipId(utf8::encode(text), reader->digest());
    if (auto hit = cache_.find(id)) {
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
        SpeechClip clip = render(text, reader);
        clip.id = id;
        cache_.insert(clip);
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
