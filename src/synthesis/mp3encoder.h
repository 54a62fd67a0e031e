#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string>

struct lame_global_struct;

namespace velanote {

// Encodes 11025 Hz mono speech with LAME as MPEG-2.5 Layer III at a constant 16 kbit/s, with no
// Xing/Info frame and no ID3 tag, so that two outputs join by plain byte concatenation.
// Samples may arrive in pieces; errors are thrown as std::runtime_error.
class Mp3Encoder {
public:
    static constexpr int sampleRate = 11025;
    static constexpr int kilobitsPerSecond = 16;
    static constexpr int samplesPerFrame = 576;

    struct Output {
        std::string bytes;
        int frames = 0;
        int durationMs() const {
            return static_cast<int>((frames * 1000LL * samplesPerFrame + sampleRate / 2) / sampleRate);
        }
    };

    Mp3Encoder();
    ~Mp3Encoder();
    Mp3Encoder(const Mp3Encoder&) = delete;
    Mp3Encoder& operator=(const Mp3Encoder&) = delete;

    void add(std::span<const std::int16_t> samples);
    // Flushes the encoder; it is spent afterwards.
    Output finish();

    static Output encode(std::span<const std::int16_t> samples);

private:
    struct Closer {
        void operator()(lame_global_struct* flags) const;
    };
    std::unique_ptr<lame_global_struct, Closer> lame_;
    std::string bytes_;
    std::size_t samplesIn_ = 0;
};

} // namespace velanote
