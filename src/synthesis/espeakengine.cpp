#include "synthesis/espeakengine.h"

#include "synthesis/childprocess.h"

#include "reading/mandarinreader.h"
#include "reading/textnormalizer.h"
#include "reading/utf8.h"
#include "reading/voicetext.h"

#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string_view>

#include <unistd.h>

// espeak-ng 1.51 opens an audio device in espeak_Initialize whatever the output mode asked for,
// and pcaudiolib's PulseAudio backend creates ~/.config/pulse and a runtime folder on the way. This
// program only ever takes the samples, so it never wants a device: this definition, found before
// pcaudiolib's own, gives none, and the library synthesises without one.
extern "C" struct audio_object* create_audio_device_object(const char* device, const char* application,
                                                           const char* description);
extern "C" struct audio_object* create_audio_device_object(const char*, const char*, const char*) {
    return nullptr;
}

namespace velanote {

namespace {

// Where the synthesis callback sends the samples of one utterance: the pipe to the process that
// waits for them.
struct SampleSink {
    int fd = -1;
    bool failed = false;
    std::vector<short>* held = nullptr; // when set, the samples are kept here instead
};

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

int sendSamples(short* wav, int count, espeak_EVENT* events) {
    if (wav != nullptr && count > 0 && events != nullptr && events->user_data != nullptr) {
        auto* sink = static_cast<SampleSink*>(events->user_data);
        if (sink->held != nullptr) {
            sink->held->insert(sink->held->end(), wav, wav + count);
            return 0;
        }
        sink->failed = sink->failed || !writeAll(sink->fd, reinterpret_cast<const char*>(wav),
                                                 static_cast<std::size_t>(count) * sizeof(short));
    }
    return 0;
}

// Collects the samples a synthesising child sends and passes them on one second at a time.
class SampleReceiver {
public:
    explicit SampleReceiver(SpeechStream& stream) : stream_(stream) {}

    void operator()(std::string_view piece) {
        constexpr std::size_t pieceSize = 22050; // one second at espeak's rate
        bytes_.insert(bytes_.end(), piece.begin(), piece.end());
        const bool ended = piece.empty();
        const std::size_t whole = bytes_.size() / sizeof(std::int16_t);
        if (whole > 0 && (whole >= pieceSize || ended)) {
            std::vector<std::int16_t> samples(whole);
            std::memcpy(samples.data(), bytes_.data(), whole * sizeof(std::int16_t));
            bytes_.erase(bytes_.begin(),
                         bytes_.begin() + static_cast<std::ptrdiff_t>(whole * sizeof(std::int16_t)));
            stream_.put(std::move(samples));
        }
    }

private:
    SpeechStream& stream_;
    std::vector<char> bytes_;
};

// Cuts the silence each voice puts before and after what it says down to a breath, so that the
// runs of the two voices join as one utterance.
void trimForJoining(std::vector<short>& samples, bool first, bool last) {
    constexpr int quiet = 300;
    constexpr std::size_t keptBefore = 220; // 10 ms at espeak's rate
    constexpr std::size_t keptAfter = 1100; // 50 ms
    const auto loud = [](short s) { return s > quiet || s < -quiet; };
    if (!last) {
        const auto lastLoud = std::find_if(samples.rbegin(), samples.rend(), loud);
        const std::size_t end = static_cast<std::size_t>(samples.rend() - lastLoud) + keptAfter;
        samples.resize(std::min(samples.size(), end));
    }
    if (!first) {
        const auto firstLoud = std::find_if(samples.begin(), samples.end(), loud);
        const std::size_t start = static_cast<std::size_t>(firstLoud - samples.begin());
        samples.erase(samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(
                                                             start > keptBefore ? start - keptBefore : 0));
    }
}

// Speaks runs of two languages one after the other, each with its voice, into `sink`. Runs in a
// child only, since changing the voice changes the library's state.
bool speakRuns(const std::vector<VoiceText::Run>& runs, SampleSink& sink,
               const std::function<bool(bool english)>& useVoice) {
    std::vector<short> held;
    for (std::size_t r = 0; r < runs.size(); ++r) {
        if (!useVoice(runs[r].english)) {
            return false;
        }
        held.clear();
        SampleSink holder{sink.fd, false, &held};
        const espeak_ERROR result = espeak_Synth(runs[r].text.c_str(), runs[r].text.size() + 1, 0,
                                                 POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, &holder);
        if (result != EE_OK) {
            return false;
        }
        trimForJoining(held, r == 0, r + 1 == runs.size());
        if (!writeAll(sink.fd, reinterpret_cast<const char*>(held.data()), held.size() * sizeof(short))) {
            return false;
        }
    }
    return true;
}

bool hasEnglish(const std::vector<VoiceText::Run>& runs) {
    return std::any_of(runs.begin(), runs.end(), [](const VoiceText::Run& r) { return r.english; });
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
    espeak_SetSynthCallback(sendSamples);
    if (espeak_SetVoiceByName(voiceName) != EE_OK) {
        initialisationError_ = std::string("espeak-ng has no voice ") + voiceName;
        espeak_Terminate();
        return;
    }
    initialised_ = true;
}

void EspeakEngine::synthesiseApart(const std::string& spoken, const VoiceSettings& voice,
                                   SpeechStream& stream) {
    // The voices' names, made before the fork: Mandarin, then English.
    const bool female = voice.voice == VoiceSettings::Voice::female;
    const std::array<std::string, 2> names = {
        female ? std::string(voiceName) + "+" + femaleVariant : std::string(voiceName),
        female ? std::string(englishVoiceName) + "+" + femaleVariant : std::string(englishVoiceName)};
    ChildProcess().run(
        [&spoken, &voice, &names](int fd) {
            // The noise of breathy voices comes from rand(), seeded alike every time.
            std::srand(1);
            SampleSink sink{fd};
            // Each voice switch loads the settings again; the normal settings leave the library as
            // loaded.
            const auto useVoice = [&voice, &names](bool english) {
                const bool switched =
                    espeak_SetVoiceByName(english ? names[1].c_str() : names[0].c_str()) == EE_OK;
                return voice.isNormal() || (switched && applyParameters(voice));
            };
            const std::vector<VoiceText::Run> runs = VoiceText::languageRuns(spoken);
            if (hasEnglish(runs)) {
                return speakRuns(runs, sink, useVoice);
            }
            if (!voice.isNormal() && !useVoice(false)) {
                return false;
            }
            const espeak_ERROR result = espeak_Synth(spoken.c_str(), spoken.size() + 1, 0, POS_CHARACTER, 0,
                                                     espeakCHARS_UTF8, nullptr, &sink);
            return result == EE_OK && !sink.failed;
        },
        SampleReceiver(stream), "espeak-ng could not synthesise the text");
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
    const MandarinReader& mandarin = reader ? *reader : *MandarinReader::builtIn();
    const VoiceText voiceText([this](const std::string& piece) { return staysMandarin(piece); },
                              [&mandarin](std::u32string_view word) { return mandarin.userReading(word); });
    const std::optional<std::u32string> voiced =
        utf8::decode(voiceText.prepare(TextNormalizer::normalize(text)));
    return voiced ? mandarin.read(*voiced) : std::string();
}

std::string EspeakEngine::spokenPhonemesOf(const std::string& spoken) {
    const std::vector<VoiceText::Run> runs = VoiceText::languageRuns(spoken);
    if (!hasEnglish(runs)) {
        return phonemesOf(spoken);
    }
    // The English voice is taken up in a child, which leaves this process's library as it was.
    std::string all;
    ChildProcess().run(
        [this, &runs](int fd) {
            std::string listed;
            for (const VoiceText::Run& run : runs) {
                espeak_SetVoiceByName(run.english ? englishVoiceName : voiceName);
                const std::string phonemes = phonemesOf(run.text);
                listed += listed.empty() ? "" : " | ";
                listed += run.english ? "(en)" + phonemes + "(cmn)" : phonemes;
            }
            return writeAll(fd, listed.data(), listed.size());
        },
        [&all](std::string_view piece) { all += piece; }, "the phonemes could not be listed");
    return all;
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

bool EspeakEngine::applyParameters(const VoiceSettings& voice) {
    // The library's speed in words a minute stretches pauses and vowels less than in proportion;
    // with this power a clip's length follows the rate's percentage (175 is its normal speed).
    constexpr double normalWordsPerMinute = 175;
    constexpr double lengthPower = 0.87;
    const double wordsPerMinute = normalWordsPerMinute * std::pow(voice.rate / 100.0, lengthPower);
    // Pitch 50 and volume 100 are the library's normal values.
    return espeak_SetParameter(espeakRATE, static_cast<int>(std::lround(wordsPerMinute)), 0) == EE_OK &&
           espeak_SetParameter(espeakPITCH, voice.pitch / 2, 0) == EE_OK &&
           espeak_SetParameter(espeakVOLUME, voice.volume, 0) == EE_OK;
}

std::shared_ptr<SpeechStream> EspeakEngine::speak(std::u32string text, Reader reader, VoiceSettings voice) {
    auto stream = std::make_shared<SpeechStream>();
    post([this, stream, text = std::move(text), reader = std::move(reader), voice] {
        try {
            initialise();
            if (!initialised_) {
                throw std::runtime_error(initialisationError_);
            }
            stream->setSampleRate(sampleRate_);
            const std::string spoken = prepare(text, reader);
            synthesiseApart(spoken, voice, *stream);
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
        return spokenPhonemesOf(prepare(text, reader));
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
