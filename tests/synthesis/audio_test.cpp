#include "support/mp3frames.h"
#include "synthesis/halfbanddecimator.h"
#include "synthesis/mp3encoder.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

using velanote::HalfBandDecimator;
using velanote::Mp3Encoder;
using velanote::testing::Mp3Frame;
using velanote::testing::parseMp3Frames;

namespace {

std::vector<std::int16_t> tone(double hz, int rate, double seconds, double amplitude) {
    std::vector<std::int16_t> samples(static_cast<std::size_t>(rate * seconds));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<std::int16_t>(
            amplitude * std::sin(2 * std::numbers::pi * hz * static_cast<double>(i) / rate));
    }
    return samples;
}

// A gliding, pulsing tone: enough movement to keep the encoder honest.
std::vector<std::int16_t> voiceLike(double seconds) {
    std::vector<std::int16_t> samples(static_cast<std::size_t>(Mp3Encoder::sampleRate * seconds));
    double phase = 0;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double t = static_cast<double>(i) / Mp3Encoder::sampleRate;
        phase += 2 * std::numbers::pi * (180 + 60 * std::sin(2 * std::numbers::pi * 1.5 * t)) /
                 Mp3Encoder::sampleRate;
        const double envelope = 0.5 + 0.5 * std::sin(2 * std::numbers::pi * 3 * t);
        samples[i] =
            static_cast<std::int16_t>(8000 * envelope * (std::sin(phase) + 0.4 * std::sin(3 * phase)));
    }
    return samples;
}

// RMS over the middle, away from the filter's start and end.
double middleRms(const std::vector<std::int16_t>& samples) {
    double sum = 0;
    const std::size_t from = samples.size() / 4;
    const std::size_t to = samples.size() * 3 / 4;
    for (std::size_t i = from; i < to; ++i) {
        sum += static_cast<double>(samples[i]) * samples[i];
    }
    return std::sqrt(sum / static_cast<double>(to - from));
}

// Samples per channel that mpg123 decodes from the bytes.
qint64 decodedSamples(const std::string& mp3) {
    QProcess mpg123;
    mpg123.start(QStringLiteral("mpg123"), {QStringLiteral("-q"), QStringLiteral("-s"), QStringLiteral("-")});
    if (!mpg123.waitForStarted(10000)) {
        return -1;
    }
    mpg123.write(mp3.data(), static_cast<qint64>(mp3.size()));
    mpg123.closeWriteChannel();
    if (!mpg123.waitForFinished(20000) || mpg123.exitCode() != 0) {
        return -1;
    }
    return mpg123.readAllStandardOutput().size() / 2;
}

} // namespace

TEST(HalfBandDecimator, KeepsTheSpeechBandAndStopsWhatWouldFoldBack) {
    const auto low = tone(1000, 22050, 1.0, 10000);
    const auto halved = HalfBandDecimator::decimate(low);
    EXPECT_EQ(halved.size(), 11025u);
    EXPECT_NEAR(middleRms(halved), middleRms(low), middleRms(low) * 0.02);

    // 7 kHz and 9 kHz would fold back to 4025 Hz and 2025 Hz at 11025 Hz.
    for (const double hz : {7000.0, 9000.0}) {
        const auto high = tone(hz, 22050, 1.0, 10000);
        EXPECT_LT(middleRms(HalfBandDecimator::decimate(high)), middleRms(high) / 100) << hz;
    }
    EXPECT_EQ(HalfBandDecimator::decimate(tone(1000, 22050, 0.001, 100)).size(), 11u);
    EXPECT_TRUE(HalfBandDecimator::decimate({}).empty());
}

TEST(HalfBandDecimator, StreamingInPiecesGivesTheSameSamples) {
    const auto input = tone(440, 22050, 0.5, 12000);
    const auto whole = HalfBandDecimator::decimate(input);
    HalfBandDecimator decimator;
    std::vector<std::int16_t> streamed;
    std::size_t offset = 0;
    for (const std::size_t piece : {1u, 2u, 7u, 30u, 1000u, 333u}) {
        decimator.push(std::span(input).subspan(offset, piece), streamed);
        offset += piece;
    }
    decimator.push(std::span(input).subspan(offset), streamed);
    decimator.finish(streamed);
    EXPECT_EQ(streamed, whole);
}

TEST(HalfBandDecimator, EveryFormOfTheLoopGivesThePlainSamples) {
    std::mt19937 random(3);
    std::vector<std::int16_t> padded(2 * 100 + HalfBandDecimator::TapCount);
    for (auto& sample : padded) {
        sample = static_cast<std::int16_t>(random());
    }
    // Full-scale samples of one sign under every tap: the sums' limits.
    std::fill_n(padded.begin(), 2 * 40, std::int16_t(-32768));
    const auto forms = HalfBandDecimator::availableForms();
    ASSERT_STREQ(forms.back().name, "plain");
    for (std::size_t count = 0; count <= 100; count += count < 40 ? 1 : 20) {
        std::vector<std::int16_t> plain(count), other(count);
        forms.back().filter(padded.data(), count, plain.data());
        for (const auto& form : forms) {
            form.filter(padded.data(), count, other.data());
            EXPECT_EQ(other, plain) << form.name << " " << count;
        }
    }
}

TEST(Mp3Encoder, WritesBareMpeg25Layer3At16KbitsMono) {
    const Mp3Encoder::Output out = Mp3Encoder::encode(voiceLike(2.0));
    ASSERT_GE(out.bytes.size(), 4u);
    EXPECT_EQ(static_cast<unsigned char>(out.bytes[0]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(out.bytes[1]), 0xE3);
    EXPECT_EQ(static_cast<unsigned char>(out.bytes[2]), 0x20);
    EXPECT_EQ(static_cast<unsigned char>(out.bytes[3]), 0xC4);

    std::vector<Mp3Frame> frames;
    std::string error;
    ASSERT_TRUE(parseMp3Frames(out.bytes, frames, error)) << error;
    for (const Mp3Frame& frame : frames) {
        EXPECT_EQ(frame.version, 25);
        EXPECT_EQ(frame.layer, 3);
        EXPECT_EQ(frame.kbps, 16);
        EXPECT_EQ(frame.sampleRate, 11025);
        EXPECT_EQ(frame.channels, 1);
        EXPECT_FALSE(frame.crc);
    }
    EXPECT_EQ(static_cast<int>(frames.size()), out.frames);
    // Two seconds plus the encoder's delay and padding, which stay under three frames.
    EXPECT_GE(out.durationMs(), 2000);
    EXPECT_LT(out.durationMs(), 2000 + 3 * 576 * 1000 / 11025);
    EXPECT_EQ(decodedSamples(out.bytes), static_cast<qint64>(frames.size()) * 576);
}

TEST(Mp3Encoder, TwoOutputsJoinedByteForByteDecodeToTheSumOfSamples) {
    const Mp3Encoder::Output first = Mp3Encoder::encode(voiceLike(1.0));
    const Mp3Encoder::Output second = Mp3Encoder::encode(voiceLike(0.4));
    const std::string joined = first.bytes + second.bytes;
    std::vector<Mp3Frame> frames;
    std::string error;
    ASSERT_TRUE(parseMp3Frames(joined, frames, error)) << error;
    EXPECT_EQ(static_cast<int>(frames.size()), first.frames + second.frames);

    const qint64 a = decodedSamples(first.bytes);
    const qint64 b = decodedSamples(second.bytes);
    ASSERT_GT(a, 0);
    ASSERT_GT(b, 0);
    EXPECT_EQ(decodedSamples(joined), a + b);

    // Even a clip shorter than one frame comes out as whole frames.
    const Mp3Encoder::Output tiny = Mp3Encoder::encode(voiceLike(0.01));
    EXPECT_TRUE(parseMp3Frames(tiny.bytes, frames, error)) << error;
    EXPECT_GE(tiny.frames, 1);
}
