#include "synthesis/espeakengine.h"

#include "reading/mandarinreader.h"
#include "reading/textnormalizer.h"
#include "reading/utf8.h"
#include "reading/voicetext.h"

#include <espeak-ng/speak_lib.h>

#include <stdexcept>

namespace velanote {

namespace {

// What the synthesis callback collects into for one utterance.
struct Collector {
    static constexpr std::size_t pieceSize = 22050; // one second at espeak's rate
    SpeechStream* stream = nullptr;
    std::vector<std::int16_t> pending;
};

int collectSamples(short* wav, int count, espeak_EVENT* events) {
    if (wav != nullptr && count > 0 && events != nullptr && events->user_data != nullptr) {
        auto* collector = static_cast<Collector*>(events->user_data);
        collector->pending.insert(collector->pending.end(), wav, wav + count);
        if (collector->pending.size() >= Collector::pieceSize) {
            collector->stream->put(std::move(collector->pending));
            collector->pending = {};
        }
    }
    return 0;
}

// espeak marks a change of language in its phoneme output as "(en)", "(el)", …
bool hasLanguageSwitch(const std::string& phonemes) {
    for (std::size_t open = phonemes.find('('); open != std::string::npos;
         open = phonemes.find('(', open + 1)) {
        std::size_t i = open + 1;
        while (i < phonemes.size() && ((phonemes[i] >= 'a' && phonemes[i] <= 'z') || phonemes[i] == '-')) {
            ++i;
        }
        if (i > open + 1 && i < phonemes.size() && phonemes[i] == ')') {
            return true;
        }
    }
    return false;
}

} // namespace

bool SpeechStream::next(std::vector<std::int16_t>& piece) {
    std::unique_lock lock(mutex_);
    ready_.wait(lock, [this] { return closed_ || !pieces_.empty(); });
    if (!pieces_.empty()) {
        piece = std::move(pieces_.front());
        pieces_.pop_front();
        return true;
    }
    if (failure_) {
        std::rethrow_exception(failure_);
    }
    return false;
}

std::vector<std::int16_t> SpeechStream::readAll() {
    std::vector<std::int16_t> all;
    std::vector<std::int16_t> piece;
    while (next(piece)) {
        all.insert(all.end(), piece.begin(), piece.end());
    }
    return all;
}

int SpeechStream::sampleRate() const {
    std::lock_guard lock(mutex_);
    return sampleRate_;
}

void SpeechStream::setSampleRate(int rate) {
    std::lock_guard lock(mutex_);
    sampleRate_ = rate;
}

void SpeechStream::put(std::vector<std::int16_t> piece) {
    {
        std::lock_guard lock(mutex_);
        pieces_.push_back(std::move(piece));
    }
    ready_.notify_one();
}

void SpeechStream::close(std::exception_ptr failure) {
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
        failure_ = std::move(failure);
    }
    ready_.notify_one();
}

EspeakEngine& EspeakEngine::instance() {
    // Never destroyed, so that no service still answering during the process's exit can outlive it.
    static EspeakEngine* const engine = new EspeakEngine;
    return *engine;
}

EspeakEngine::EspeakEngine() : worker_([this] { run(); }) {}

void EspeakEngine::post(std::function<void()> job) {
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(job));
    }
    wake_.notify_one();
}

void EspeakEngine::run() {
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return !jobs_.empty(); });
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        job();
    }
}

void EspeakEngine::initialise() {
    if (initialised_ || !initialisationError_.empty()) {
        return;
    }
    sampleRate_ = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
    if (sampleRate_ <= 0) {
        initialisationError_ = "espeak-ng could not be initialised";
        return;
    }
    espeak_SetSynthCallback(collectSamples);
    if (espeak_SetVoiceByName(voiceName) != EE_OK) {
        initialisationError_ = std::string("espeak-ng has no voice ") + voiceName;
        espeak_Terminate();
        return;
    }
    initialised_ = true;
}

std::string EspeakEngine::phonemesOf(const std::string& utf8) {
    std::string all;
    const void* cursor = utf8.c_str();
    while (cursor != nullptr) {
        const char* clause = espeak_TextToPhonemes(&cursor, espeakCHARS_UTF8, 0);
        if (clause == nullptr) {
            break;
        }
        if (!all.empty()) {
            all += " | ";
        }
        all += clause;
    }
    return all;
}

bool EspeakEngine::staysMandarin(const std::string& utf8) {
    return !hasLanguageSwitch(phonemesOf(utf8));
}

std::string EspeakEngine::prepare(const std::u32string& text, const Reader& reader) {
    const VoiceText voiceText([this](const std::string& piece) { return staysMandarin(piece); });
    const std::optional<std::u32string> voiced =
        utf8::decode(voiceText.prepare(TextNormalizer::normalize(text)));
    const MandarinReader& mandarin = reader ? *reader : *MandarinReader::builtIn();
    return voiced ? mandarin.read(*voiced) : std::string();
}

std::future<bool> EspeakEngine::warmUp() {
    auto promise = std::make_shared<std::promise<bool>>();
    auto future = promise->get_future();
    post([this, promise] {
        initialise();
        promise->set_value(initialised_);
    });
    return future;
}

std::shared_ptr<SpeechStream> EspeakEngine::speak(std::u32string text, Reader reader) {
    auto stream = std::make_shared<SpeechStream>();
    post([this, stream, text = std::move(text), reader = std::move(reader)] {
        try {
            initialise();
            if (!initialised_) {
                throw std::runtime_error(initialisationError_);
            }
            stream->setSampleRate(sampleRate_);
            const std::string spoken = prepare(text, reader);
            Collector collector;
            collector.stream = stream.get();
            const espeak_ERROR result = espeak_Synth(spoken.c_str(), spoken.size() + 1, 0, POS_CHARACTER, 0,
                                                     espeakCHARS_UTF8, nullptr, &collector);
            if (result != EE_OK) {
                throw std::runtime_error("espeak-ng could not synthesise the text");
            }
            if (!collector.pending.empty()) {
                stream->put(std::move(collector.pending));
            }
            stream->close();
        } catch (...) {
            stream->close(std::current_exception());
        }
    });
    return stream;
}

std::future<std::string> EspeakEngine::spokenText(std::u32string text, Reader reader) {
    return ask([this, text = std::move(text), reader = std::move(reader)] { return prepare(text, reader); });
}

std::future<std::string> EspeakEngine::spokenPhonemes(std::u32string text, Reader reader) {
    return ask([this, text = std::move(text), reader = std::move(reader)] {
        return phonemesOf(prepare(text, reader));
    });
}

std::future<std::string> EspeakEngine::ask(std::function<std::string()> question) {
    auto promise = std::make_shared<std::promise<std::string>>();
    auto future = promise->get_future();
    post([this, promise, question = std::move(question)] {
        try {
            initialise();
            if (!initialised_) {
                throw std::runtime_error(initialisationError_);
            }
            promise->set_value(question());
        } catch (...) {
            promise->set_exception(std::current_exception());
        }
    });
    return future;
}

} // namespace velanote
