#pragma once
#include "synthesis/voicesettings.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace velanote {

class MandarinReader;

// Audio passed from the engine's thread to one reader while it is being synthesised.
class SpeechStream {
public:
    // Waits for the next piece; false once the speech has ended. Rethrows a synthesis failure.
    bool next(std::vector<std::int16_t>& piece);
    // Everything that is left, in one piece.
    std::vector<std::int16_t> readAll();
    // Valid once next() has returned.
    int sampleRate() const;

    void setSampleRate(int rate);
    void put(std::vector<std::int16_t> piece);
    void close(std::exception_ptr failure = nullptr);

private:
    mutable std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::vector<std::int16_t>> pieces_;
    bool closed_ = false;
    std::exception_ptr failure_;
    int sampleRate_ = 0;
};

// The one thread that talks to espeak-ng. The library keeps global state and must never be
// entered twice at once, so every job (synthesis, phoneme listing) queues up here and runs in
// order; callers wait on futures. One engine serves the whole process and lives as long as it.
// espeak-ng also carries state from one utterance into the next (pitch flutter, gain, echo, phase,
// some of it in static variables no call resets, and espeak_Terminate hangs in 1.51), so the same
// text would come out differently after other texts. This process therefore never synthesises:
// every utterance is spoken by a child forked from it, which starts from the library as it was
// after loading the voice and ends with the utterance. Text and phoneme questions run here.
class EspeakEngine {
public:
    static constexpr const char* voiceName = "cmn-latn-pinyin";
    // The voice of the Latin words that are not pinyin, joined into the same utterance.
    static constexpr const char* englishVoiceName = "en-us";
    // The synthesiser's variant that makes the female voice of both voices.
    static constexpr const char* femaleVariant = "belinda";

    static EspeakEngine& instance();
    EspeakEngine(const EspeakEngine&) = delete;
    EspeakEngine& operator=(const EspeakEngine&) = delete;

    // Starts the library in the background if it is not started yet; the future tells whether it works.
    std::future<bool> warmUp();
    // The readings of the Chinese come from `reader`; none means the built-in lexicon alone.
    using Reader = std::shared_ptr<const MandarinReader>;

    // Speaks the text (numbers and symbols said in words, then rewritten for the Mandarin voice)
    // with the voice settings, streaming the samples out.
    std::shared_ptr<SpeechStream> speak(std::u32string text, Reader reader = nullptr,
                                        VoiceSettings voice = {});
    // What speak() hands the voice for the text: Chinese as tone-numbered pinyin.
    std::future<std::string> spokenText(std::u32string text, Reader reader = nullptr);
    // The phonemes of what speak() would say for the text, clauses separated by " | ".
    std::future<std::string> spokenPhonemes(std::u32string text, Reader reader = nullptr);

private:
    EspeakEngine();
    void run();
    void post(std::function<void()> job);
    // Runs `question` on the engine's thread once the library is ready.
    std::future<std::string> ask(std::function<std::string()> question);
    void initialise();
    bool staysMandarin(const std::string& utf8);
    std::string phonemesOf(const std::string& utf8);
    // The phonemes of a prepared text, English runs in the English voice's, marked "(en)…(cmn)".
    std::string spokenPhonemesOf(const std::string& spoken);
    std::string prepare(const std::u32string& text, const Reader& reader);
    // Synthesises in a child process forked for the one utterance, with the voice settings.
    void synthesiseApart(const std::string& spoken, const VoiceSettings& voice, SpeechStream& stream);
    // Puts the speed, pitch and volume into the library's state: only ever in the child of one
    // utterance.
    static bool applyParameters(const VoiceSettings& voice);

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> jobs_;

    // Touched by the worker only.
    bool initialised_ = false;
    int sampleRate_ = 0;
    std::string initialisationError_;

    std::thread worker_; // last, so that it starts once every other member exists
};

} // namespace velanote
