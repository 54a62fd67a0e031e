#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace velanote {

// Halves the sample rate of 16-bit mono audio as it streams in: a windowed-sinc low-pass below
// the new Nyquist frequency, then every second sample. The output is what filtering the whole
// input at once, zero-padded at both ends, would give.
class HalfBandDecimator {
public:
    static constexpr int TapCount = 47; // odd, so the filter delay is a whole number of samples

    HalfBandDecimator();

    // Appends to out every output sample that the input so far determines.
    void push(std::span<const std::int16_t> input, std::vector<std::int16_t>& out);
    // Appends the remaining outputs; the decimator is then spent.
    void finish(std::vector<std::int16_t>& out);

    static std::vector<std::int16_t> decimate(std::span<const std::int16_t> input);

    // One form of the filter's inner loop: out[k] for k below count from the zero-padded input
    // padded[2k] to padded[2k + TapCount] (the last sample is read but weighs nothing).
    struct Form {
        const char* name;
        void (*filter)(const std::int16_t* padded, std::size_t count, std::int16_t* out);
    };
    // The forms this processor can run, fastest first (the one in use); all give the same samples.
    // The last is the plain one.
    static std::span<const Form> availableForms();

private:
    // Filters the held samples followed by `input`, appending at most `limit` outputs, and keeps
    // what the next output still needs.
    void filter(std::span<const std::int16_t> input, std::vector<std::int16_t>& out, std::size_t limit);

    // The zero-padded input from the next output's first sample on; fewer than TapCount samples
    // between calls.
    std::array<std::int16_t, TapCount - 1> held_{};
    std::size_t heldCount_ = 0;
    std::size_t inputCount_ = 0;
    std::size_t produced_ = 0;
};

} // namespace velanote
