// Times the water ripple at the main window's picture size: a step with its drawing while the
// water moves, a step on calm water, and a plain copy of the frame for comparison.
#include "cosmetics/ripplekernels.h"
#include "cosmetics/water.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

using namespace velanote;
using Clock = std::chrono::steady_clock;

namespace {

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double microseconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::micro>(to - from).count();
}

// A 640 x 106 picture with detail everywhere, standing in when no picture file is given.
QImage testPicture() {
    QImage picture(640, 106, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            line[x] = qRgb((x * 3) & 255, (y * 5 + x) & 255, ((x ^ y) * 7) & 255);
        }
    }
    return picture;
}

// Median time of step() over `frames` frames, calling `stir(frame)` before each (untimed).
template <typename Stir> double timeSteps(WaterRipple& water, int frames, Stir stir) {
    std::vector<double> times;
    times.reserve(std::size_t(frames));
    for (int f = 0; f < frames; ++f) {
        stir(f);
        const auto start = Clock::now();
        const QRect changed = water.step();
        const auto end = Clock::now();
        if (!changed.isEmpty()) {
            times.push_back(microseconds(start, end));
        }
    }
    return times.empty() ? 0.0 : median(times);
}

} // namespace

int main(int argc, char** argv) {
    QImage picture = argc > 1 ? QImage(QString::fromLocal8Bit(argv[1])) : testPicture();
    if (picture.isNull()) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    WaterRipple water;
    water.init(picture);
    const int w = water.size().width();
    const int h = water.size().height();
    std::printf("picture: %d x %d\n", w, h);
    std::printf("kernel: %s\n", ripple::activeKernels().name);

    // Someone playing with the water: the pointer sweeps to and fro leaving a light trail on every
    // frame, with a strong press every half second.
    const auto playing = [&](int f) {
        const double t = f * 0.01;
        const int x = int(w / 2.0 + (w / 2.0 - 20) * std::sin(t * 1.3));
        const int y = int(h / 2.0 + (h / 2.0 - 10) * std::sin(t * 2.9));
        water.disturb(x, y, 10, 80);
        if (f % 50 == 0) {
            water.disturb((f * 97) % w, (f * 31) % h, 60, 500);
        }
    };
    timeSteps(water, 300, playing);
    const double active = timeSteps(water, 3000, playing);

    // A storm: strong presses all over the picture on every frame, so every pixel is displaced.
    std::mt19937 random(7);
    const auto storm = [&](int) {
        for (int i = 0; i < 6; ++i) {
            water.disturb(int(random() % unsigned(w)), int(random() % unsigned(h)), 60, 500);
        }
    };
    timeSteps(water, 100, storm);
    const double stormy = timeSteps(water, 1000, storm);

    // Calm water: let it settle, then time ticks that find nothing to do.
    int settle = 0;
    while (!water.isCalm() && settle < 100000) {
        water.step();
        ++settle;
    }
    std::vector<double> calm;
    for (int round = 0; round < 101; ++round) {
        constexpr int ticks = 10000;
        const auto start = Clock::now();
        for (int i = 0; i < ticks; ++i) {
            water.step();
        }
        calm.push_back(microseconds(start, Clock::now()) * 1000.0 / ticks);
    }

    // One strong press on calm water, watched until the water is calm again.
    int pressFrames = 0;
    const double press = timeSteps(water, 100000, [&](int f) {
        if (f == 0) {
            water.disturb(w / 2, h / 2, 60, 500);
        }
        pressFrames += water.isCalm() ? 0 : 1;
    });

    // The floor: copying the frame once.
    const QImage& frame = water.currentFrame();
    std::vector<uint32_t> copy(std::size_t(w) * std::size_t(h));
    std::vector<double> copies;
    for (int round = 0; round < 2001; ++round) {
        const auto start = Clock::now();
        std::memcpy(copy.data(), frame.constBits(), copy.size() * sizeof(uint32_t));
        const auto end = Clock::now();
        copies.push_back(microseconds(start, end));
    }
    const double plain = median(copies);
    volatile uint32_t keep = copy[copy.size() / 2];
    (void)keep;

    std::printf("ripple: %.1f us per active frame\n", active);
    std::printf("ripple in a storm (every pixel displaced): %.1f us per frame\n", stormy);
    std::printf("ripple after one press: %.1f us per frame (calm again after %d frames)\n", press,
                pressFrames);
    std::printf("calm tick: %.1f ns (water settled after %d steps)\n", median(calm), settle);
    std::printf("plain copy of the picture: %.1f us\n", plain);
    std::printf("active frame / plain copy: %.1f\n", active / plain);
    return 0;
}
