#include "synthesis/halfbanddecimator.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <numbers>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace velanote {

namespace {

constexpr int tapCount = HalfBandDecimator::TapCount;
constexpr int half = tapCount / 2;
// The taps in pairs, the last one padded with a zero tap: the vector forms multiply two neighbouring
// samples by a pair of taps and add the products in one instruction.
constexpr int tapPairs = (tapCount + 1) / 2;
// Taps are whole numbers in units of 2^-tapShift: the sum of tap magnitudes stays under 2, so a sum
// of products of 16-bit samples stays within 32 bits.
constexpr int tapShift = 15;
// Pass band up to 0.21 of the input rate (4.6 kHz at 22050 Hz); the Blackman window's transition
// ends near the new Nyquist frequency.
constexpr double cutoff = 0.21;

using Taps = std::array<std::int16_t, std::size_t{2} * tapPairs>;

Taps makeTaps() {
    std::array<double, tapCount> exact{};
    double sum = 0;
    for (int n = 0; n < tapCount; ++n) {
        const double x = n - half;
        const double sinc =
            x == 0 ? 2 * cutoff : std::sin(2 * std::numbers::pi * cutoff * x) / (std::numbers::pi * x);
        const double window = 0.42 - 0.5 * std::cos(2 * std::numbers::pi * n / (tapCount - 1)) +
                              0.08 * std::cos(4 * std::numbers::pi * n / (tapCount - 1));
        exact[n] = sinc * window;
        sum += exact[n];
    }
    Taps taps{};
    int total = 0;
    for (int n = 0; n < tapCount; ++n) {
        taps[n] = static_cast<std::int16_t>(std::lround(exact[n] / sum * (1 << tapShift)));
        total += taps[n];
    }
    // The centre tap takes up the rounding, so that a steady level passes unchanged.
    taps[half] = static_cast<std::int16_t>(taps[half] + (1 << tapShift) - total);
    return taps;
}

const Taps& taps() {
    static const Taps instance = makeTaps();
    return instance;
}

// The output whose input starts at `window`: the sum of tap[n] * window[n], rounded to the nearest
// whole number (halves up) and limited to 16 bits.
std::int16_t outputAt(const std::int16_t* window, const Taps& t) {
    std::int32_t sum = 0;
    for (int n = 0; n < 2 * tapPairs; ++n) {
        sum += t[n] * window[n];
    }
    return static_cast<std::int16_t>(std::clamp((sum + (1 << (tapShift - 1))) >> tapShift, -32768, 32767));
}

// Each filter*() sets out[k] = outputAt(padded + 2 * k) for k from 0 to count - 1; they differ only
// in how many outputs they make at once.

void filterPlain(const std::int16_t* padded, std::size_t count, std::int16_t* out) {
    const Taps& t = taps();
    for (std::size_t k = 0; k < count; ++k) {
        out[k] = outputAt(padded + 2 * k, t);
    }
}

#if defined(__SSE2__)
// Four outputs to a vector, four vectors at a time. Read as 32-bit lanes, the samples from 2k + 2i on
// hold, in lane j, the pair that output k + j multiplies by taps 2i and 2i + 1.
void filterSse2(const std::int16_t* padded, std::size_t count, std::int16_t* out) {
    constexpr std::size_t vectors = 4;
    constexpr std::size_t step = 4 * vectors;
    const Taps& t = taps();
    const __m128i roundHalf = _mm_set1_epi32(1 << (tapShift - 1));
    std::size_t k = 0;
    for (; k + step <= count; k += step) {
        __m128i sum[vectors];
        for (auto& s : sum) {
            s = roundHalf;
        }
        for (int i = 0; i < tapPairs; ++i) {
            std::int32_t pair;
            std::memcpy(&pair, t.data() + std::ptrdiff_t{2} * i, sizeof pair);
            const __m128i tapPair = _mm_set1_epi32(pair);
            for (std::size_t v = 0; v < vectors; ++v) {
                const auto* samples =
                    reinterpret_cast<const __m128i*>(padded + 2 * (k + 4 * v) + std::ptrdiff_t{2} * i);
                sum[v] = _mm_add_epi32(sum[v], _mm_madd_epi16(_mm_loadu_si128(samples), tapPair));
            }
        }
        for (std::size_t v = 0; v < vectors; v += 2) {
            const __m128i low = _mm_srai_epi32(sum[v], tapShift);
            const __m128i high = _mm_srai_epi32(sum[v + 1], tapShift);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k + 4 * v), _mm_packs_epi32(low, high));
        }
    }
    filterPlain(padded + 2 * k, count - k, out + k);
}
#endif

#if defined(__SSE2__) && (defined(__x86_64__) || defined(__i386__))
#define VELANOTE_DECIMATOR_AVX2 1
// Eight outputs to a vector, four vectors at a time, for processors with AVX2.
__attribute__((target("avx2"))) void filterAvx2(const std::int16_t* padded, std::size_t count,
                                                std::int16_t* out) {
    constexpr std::size_t vectors = 4;
    constexpr std::size_t step = 8 * vectors;
    const Taps& t = taps();
    const __m256i roundHalf = _mm256_set1_epi32(1 << (tapShift - 1));
    std::size_t k = 0;
    for (; k + step <= count; k += step) {
        __m256i sum[vectors];
        for (auto& s : sum) {
            s = roundHalf;
        }
        for (int i = 0; i < tapPairs; ++i) {
            std::int32_t pair;
            std::memcpy(&pair, t.data() + std::ptrdiff_t{2} * i, sizeof pair);
            const __m256i tapPair = _mm256_set1_epi32(pair);
            for (std::size_t v = 0; v < vectors; ++v) {
                const auto* samples =
                    reinterpret_cast<const __m256i*>(padded + 2 * (k + 8 * v) + std::ptrdiff_t{2} * i);
                sum[v] = _mm256_add_epi32(sum[v], _mm256_madd_epi16(_mm256_loadu_si256(samples), tapPair));
            }
        }
        for (std::size_t v = 0; v < vectors; ++v) {
            const __m256i shifted = _mm256_srai_epi32(sum[v], tapShift);
            const __m128i packed =
                _mm_packs_epi32(_mm256_castsi256_si128(shifted), _mm256_extracti128_si256(shifted, 1));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k + 8 * v), packed);
        }
    }
    filterPlain(padded + 2 * k, count - k, out + k);
}
#endif

std::vector<HalfBandDecimator::Form> formsOfThisProcessor() {
    std::vector<HalfBandDecimator::Form> forms;
#if defined(VELANOTE_DECIMATOR_AVX2)
    if (__builtin_cpu_supports("avx2")) {
        forms.push_back({"avx2", filterAvx2});
    }
#endif
#if defined(__SSE2__)
    forms.push_back({"sse2", filterSse2});
#endif
    forms.push_back({"plain", filterPlain});
    return forms;
}

// Outputs made in one go from a block of samples on the stack.
constexpr std::size_t blockOutputs = 1024;

} // namespace

// Output k is the sum over n of tap[n] * padded[2k + n], where padded is the input after `half`
// zeros (and `half` + 1 zeros after its end).
HalfBandDecimator::HalfBandDecimator() : heldCount_(half) {}

void HalfBandDecimator::push(std::span<const std::int16_t> input, std::vector<std::int16_t>& out) {
    inputCount_ += input.size();
    filter(input, out, SIZE_MAX);
}

void HalfBandDecimator::finish(std::vector<std::int16_t>& out) {
    const std::array<std::int16_t, half + 1> zeros{};
    filter(zeros, out, (inputCount_ + 1) / 2 - produced_);
    heldCount_ = 0;
}

void HalfBandDecimator::filter(std::span<const std::int16_t> input, std::vector<std::int16_t>& out,
                               std::size_t limit) {
    static const auto filterBlock = availableForms().front().filter;
    // One sample more than the block's outputs use: the padding tap reads it.
    std::array<std::int16_t, 2 * blockOutputs + tapCount> padded;
    while (limit > 0 && heldCount_ + input.size() >= tapCount) {
        // The held samples, then as much input as the block takes.
        const std::size_t taken = std::min(input.size(), padded.size() - 1 - heldCount_);
        std::memcpy(padded.data(), held_.data(), heldCount_ * sizeof(std::int16_t));
        if (taken > 0) {
            std::memcpy(padded.data() + heldCount_, input.data(), taken * sizeof(std::int16_t));
        }
        const std::size_t available = heldCount_ + taken;
        padded[available] = 0;
        const std::size_t count = std::min((available - tapCount) / 2 + 1, limit);
        const std::size_t start = out.size();
        out.resize(start + count);
        filterBlock(padded.data(), count, out.data() + start);
        produced_ += count;
        limit -= count;
        // Drop what the outputs made have used up: held samples first, then input.
        const std::size_t used = 2 * count;
        if (used >= heldCount_) {
            input = input.subspan(used - heldCount_);
            heldCount_ = 0;
        } else {
            std::memmove(held_.data(), held_.data() + used, (heldCount_ - used) * sizeof(std::int16_t));
            heldCount_ -= used;
        }
    }
    if (limit > 0 && !input.empty()) {
        // Fewer samples than one output needs: they wait for more.
        std::memcpy(held_.data() + heldCount_, input.data(), input.size() * sizeof(std::int16_t));
        heldCount_ += input.size();
    }
}

std::span<const HalfBandDecimator::Form> HalfBandDecimator::availableForms() {
    static const std::vector<Form> forms = formsOfThisProcessor();
    return forms;
}

std::vector<std::int16_t> HalfBandDecimator::decimate(std::span<const std::int16_t> input) {
    HalfBandDecimator decimator;
    std::vector<std::int16_t> out;
    out.reserve(input.size() / 2 + 1);
    decimator.push(input, out);
    decimator.finish(out);
    return out;
}

} // namespace velanote
