#include "speech/halfbanddecimator.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace velanote {

namespace {

constexpr int tapCount = 47; // odd, so the filter delay is a whole number of samples
constexpr int half = tapCount / 2;
constexpr int evenTaps = (tapCount + 1) / 2;
constexpr int oddTaps = tapCount / 2;
// Pass band up to 0.21 of the input rate (4.6 kHz at 22050 Hz); the Blackman window's transition
// ends near the new Nyquist frequency.
constexpr double cutoff = 0.21;

struct Taps {
    std::array<float, evenTaps> even{};
    std::array<float, oddTaps> odd{};
};

Taps makeTaps() {
    std::array<double, tapCount> taps{};
    double sum = 0;
    for (int n = 0; n < tapCount; ++n) {
        const double x = n - half;
        const double sinc =
            x == 0 ? 2 * cutoff : std::sin(2 * std::numbers::pi * cutoff * x) / (std::numbers::pi * x);
        const double window = 0.42 - 0.5 * std::cos(2 * std::numbers::pi * n / (tapCount - 1)) +
                              0.08 * std::cos(4 * std::numbers::pi * n / (tapCount - 1));
        taps[n] = sinc * window;
        sum += taps[n];
    }
    Taps split;
    for (int n = 0; n < tapCount; ++n) {
        const auto value = static_cast<float>(taps[n] / sum);
        if (n % 2 == 0) {
            split.even[n / 2] = value;
        } else {
            split.odd[n / 2] = value;
        }
    }
    return split;
}

const Taps& taps() {
    static const Taps instance = makeTaps();
    return instance;
}

std::int16_t clamped(float value) {
    const float rounded = std::nearbyint(value);
    return static_cast<std::int16_t>(std::clamp(rounded, -32768.0f, 32767.0f));
}

} // namespace

// Output k is the sum over n of tap[n] * padded[2k + n], where padded is the input after `half`
// zeros. Split by the parity of n it becomes two short convolutions over the even and the odd
// padded samples, each running over consecutive memory.
HalfBandDecimator::HalfBandDecimator() {
    for (int i = 0; i < half; ++i) {
        ((i % 2 == 0) ? even_ : odd_).push_back(0.0f);
    }
}

void HalfBandDecimator::push(std::span<const std::int16_t> input, std::vector<std::int16_t>& out) {
    for (const std::int16_t sample : input) {
        (((half + inputCount_) % 2 == 0) ? even_ : odd_).push_back(sample);
        ++inputCount_;
    }
    drain(out, false);
}

void HalfBandDecimator::finish(std::vector<std::int16_t>& out) {
    for (int i = 0; i < half + 1; ++i) {
        (((half + inputCount_ + i) % 2 == 0) ? even_ : odd_).push_back(0.0f);
    }
    drain(out, true);
}

void HalfBandDecimator::drain(std::vector<std::int16_t>& out, bool final) {
    // Output k needs even_[k .. k+evenTaps-1] and odd_[k .. k+oddTaps-1] (indices local to the buffers).
    std::size_t ready = 0;
    if (even_.size() >= evenTaps && odd_.size() >= oddTaps) {
        ready = std::min(even_.size() - evenTaps + 1, odd_.size() - oddTaps + 1);
    }
    if (final) {
        ready = std::min(ready, (inputCount_ + 1) / 2 - produced_);
    }
    if (ready == 0) {
        return;
    }
    const Taps& t = taps();
    std::vector<float> acc(ready, 0.0f);
    for (int m = 0; m < evenTaps; ++m) {
        const float h = t.even[m];
        const float* x = even_.data() + m;
        for (std::size_t k = 0; k < ready; ++k) {
            acc[k] += h * x[k];
        }
    }
    for (int m = 0; m < oddTaps; ++m) {
        const float h = t.odd[m];
        const float* x = odd_.data() + m;
        for (std::size_t k = 0; k < ready; ++k) {
            acc[k] += h * x[k];
        }
    }
    out.reserve(out.size() + ready);
    for (const float value : acc) {
        out.push_back(clamped(value));
    }
    produced_ += ready;
    even_.erase(even_.begin(), even_.begin() + static_cast<std::ptrdiff_t>(ready));
    odd_.erase(odd_.begin(), odd_.begin() + static_cast<std::ptrdiff_t>(ready));
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
