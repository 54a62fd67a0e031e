#pragma once
#include <cstdint>
#include <span>
#include <vector>

namespace velanote {

// Halves the sample rate of 16-bit mono audio as it streams in: a windowed-sinc low-pass below
// the new Nyquist frequency, then every second sample. The output is what filtering the whole
// input at once, zero-padded at both ends, would give.
class HalfBandDecimator {
public:
    HalfBandDecimator();

    // Appends to out every output sample that the input so far determines.
    void push(std::span<const std::int16_t> input, std::vector<std::int16_t>& out);
    // Appends the remaining outputs; the decimator is then spent.
    void finish(std::vector<std::int16_t>& out);

    static std::vector<std::int16_t> decimate(std::span<const std::int16_t> input);

private:
    void drain(std::vector<std::int16_t>& out, bool final);

    std::vector<float> even_; // zero-padded input at even positions, still needed
    std::vector<float> odd_;  // … and at odd positions
    std::size_t inputCount_ = 0;
    std::size_t produced_ = 0;
};

} // namespace velanote
