#include "cosmetics/water.h"

#include "cosmetics/ripplekernels.h"

#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <numbers>

namespace velanote {

namespace {

// Drops wider than this are cut to it.
constexpr int MaxDropRadius = 256;
constexpr int ProfileOne = 1 << 16;

// The blocks [first, last] as bits.
uint64_t blockBits(int first, int last) {
    const uint64_t upToLast = last >= 63 ? ~uint64_t(0) : (uint64_t(1) << (last + 1)) - 1;
    return upToLast & ~((uint64_t(1) << first) - 1);
}

// Calls f(first, end) for each run [first, end) of set bits of `mask`.
template <typename F> void forEachRun(uint64_t mask, F f) {
    while (mask != 0) {
        const int first = std::countr_zero(mask);
        const int end = first + std::countr_one(mask >> first);
        f(first, end);
        mask &= ~blockBits(first, end - 1);
    }
}

} // namespace

bool WaterRipple::init(const QImage& picture) {
    *this = WaterRipple();
    if (picture.isNull() || picture.width() > MaxSide || picture.height() > MaxSide) {
        return false;
    }
    width_ = picture.width();
    height_ = picture.height();

    // The renderer indexes the picture around each block of pixels with 16-bit numbers, which
    // bounds the margin for wide pictures.
    margin_ = MaxOffset;
    while (margin_ > 1 && 2 * margin_ * (width_ + 2 * margin_ + 1) + 31 > 65535) {
        --margin_;
    }
    paddedStride_ = width_ + 2 * margin_;
    const QImage source = picture.convertToFormat(QImage::Format_RGB32);
    padded_.resize(std::size_t(paddedStride_) * std::size_t(height_ + 2 * margin_));
    for (int py = 0; py < height_ + 2 * margin_; ++py) {
        const auto* line =
            reinterpret_cast<const uint32_t*>(source.constScanLine(std::clamp(py - margin_, 0, height_ - 1)));
        uint32_t* out = padded_.data() + std::size_t(py) * std::size_t(paddedStride_);
        for (int px = 0; px < paddedStride_; ++px) {
            out[px] = line[std::clamp(px - margin_, 0, width_ - 1)] | 0xFF000000u;
        }
    }

    frame_ = QImage(width_, height_, QImage::Format_RGB32);
    for (int y = 0; y < height_; ++y) {
        std::memcpy(frame_.scanLine(y), sourceRow(y), std::size_t(width_) * sizeof(uint32_t));
    }

    heightStride_ = width_ + 2;
    for (int b = 0; b < 2; ++b) {
        heights_[b].assign(std::size_t(heightStride_) * (std::size_t(height_) + 2), 0);
        stirred_[b].assign(std::size_t(height_) + 2, 0);
    }
    drawn_.assign(std::size_t(height_), 0);
    allBlocks_ = blockBits(0, (width_ - 1) / BlockWidth);
    latest_ = 0;
    calm_ = true;
    return true;
}

void WaterRipple::disturb(int x, int y, int radius, int depth) {
    if (!isInitialised() || radius <= 0 || depth == 0) {
        return;
    }
    radius = std::min(radius, MaxDropRadius);
    if (dropRadius_ != radius) {
        // Rings a few pixels apart under a raised-cosine envelope: deepest at the centre, nothing at
        // the rim.
        const double wavelength = std::clamp(radius / 4.0, 8.0, 16.0);
        dropProfile_.resize(std::size_t(radius) * std::size_t(radius) + 1);
        for (std::size_t d2 = 0; d2 < dropProfile_.size(); ++d2) {
            const double d = std::sqrt(double(d2));
            const double envelope = (1.0 + std::cos(std::numbers::pi * d / radius)) * 0.5;
            const double rings = std::cos(2.0 * std::numbers::pi * d / wavelength);
            dropProfile_[d2] = int32_t(std::lround(envelope * rings * ProfileOne));
        }
        dropRadius_ = radius;
    }

    const int64_t cx = x;
    const int64_t cy = y;
    const int64_t left = std::max<int64_t>(cx - radius, 0);
    const int64_t right = std::min<int64_t>(cx + radius, width_ - 1);
    const int64_t top = std::max<int64_t>(cy - radius, 0);
    const int64_t bottom = std::min<int64_t>(cy + radius, height_ - 1);
    const int64_t limit = int64_t(radius) * radius;
    // The water is pushed down in both fields, so the drop starts at rest and spreads as a ring.
    for (int64_t py = top; py <= bottom; ++py) {
        int16_t* latestRow = heightRow(latest_, int(py));
        int16_t* olderRow = heightRow(1 - latest_, int(py));
        bool touched = false;
        for (int64_t px = left; px <= right; ++px) {
            const int64_t d2 = (px - cx) * (px - cx) + (py - cy) * (py - cy);
            if (d2 > limit) {
                continue;
            }
            const int64_t sink = (int64_t(depth) * dropProfile_[std::size_t(d2)]) >> 16;
            latestRow[px] =
                int16_t(std::clamp<int64_t>(latestRow[px] - sink, -ripple::HeightLimit, ripple::HeightLimit));
            olderRow[px] =
                int16_t(std::clamp<int64_t>(olderRow[px] - sink, -ripple::HeightLimit, ripple::HeightLimit));
            touched = true;
        }
        if (touched) {
            const uint64_t blocks = blockBits(int(left) / BlockWidth, int(right) / BlockWidth);
            stirred_[0][std::size_t(py + 1)] |= blocks;
            stirred_[1][std::size_t(py + 1)] |= blocks;
            calm_ = false;
        }
    }
}

uint64_t WaterRipple::blocksNearRow(int buffer, int y) const {
    const uint64_t* stirred = stirred_[buffer].data() + y; // rows y - 1, y, y + 1
    const uint64_t rows = stirred[0] | stirred[1] | stirred[2];
    return (rows | (rows << 1) | (rows >> 1)) & allBlocks_;
}

void WaterRipple::stepRowBlocks(int older, int y) {
    // A block whose neighbourhood is flat in the latest field and which is flat itself in the older
    // one stays flat.
    uint64_t& stirred = stirred_[older][std::size_t(y) + 1];
    const int latest = 1 - older;
    uint64_t stillMoving = 0;
    forEachRun(stirred | blocksNearRow(latest, y), [&](int first, int end) {
        for (int block = first; block < end; ++block) {
            const int x = block * BlockWidth;
            if (kernels_->stepRow(heightRow(older, y) + x, heightRow(latest, y - 1) + x,
                                  heightRow(latest, y) + x, heightRow(latest, y + 1) + x,
                                  std::min(BlockWidth, width_ - x))) {
                stillMoving |= uint64_t(1) << block;
            }
        }
    });
    stirred = stillMoving;
}

uint64_t WaterRipple::drawRowBlocks(int field, int y) {
    // Blocks near moving water are drawn through it; blocks whose water has just gone flat get the
    // picture back; the rest are left alone.
    const uint64_t near = blocksNearRow(field, y);
    const uint64_t restore = drawn_[std::size_t(y)] & ~near;
    auto* out = reinterpret_cast<uint32_t*>(frame_.scanLine(y));
    forEachRun(near, [&](int first, int end) {
        const int x = first * BlockWidth;
        kernels_->renderRow(out + x, sourceRow(y) + x, paddedStride_, margin_, heightRow(field, y - 1) + x,
                            heightRow(field, y) + x, heightRow(field, y + 1) + x,
                            std::min(end * BlockWidth, width_) - x);
    });
    forEachRun(restore, [&](int first, int end) {
        const int x = first * BlockWidth;
        std::memcpy(out + x, sourceRow(y) + x,
                    std::size_t(std::min(end * BlockWidth, width_) - x) * sizeof(uint32_t));
    });
    drawn_[std::size_t(y)] = near;
    return near | restore;
}

QRect WaterRipple::step() {
    if (!isInitialised() || calm_) {
        return {};
    }
    // Each row is drawn as soon as the rows around it have been stepped, while their heights are
    // still at hand.
    const int older = 1 - latest_;
    int first = -1;
    int last = -1;
    uint64_t columns = 0;
    bool anyDrawn = false;
    for (int y = 0; y <= height_; ++y) {
        if (y < height_) {
            stepRowBlocks(older, y);
        }
        if (y > 0) {
            const uint64_t changed = drawRowBlocks(older, y - 1);
            if (changed != 0) {
                anyDrawn = anyDrawn || drawn_[std::size_t(y - 1)] != 0;
                columns |= changed;
                first = first < 0 ? y - 1 : first;
                last = y - 1;
            }
        }
    }
    latest_ = older;

    const auto flat = [](const std::vector<uint64_t>& rows) {
        return std::all_of(rows.begin(), rows.end(), [](uint64_t r) { return r == 0; });
    };
    calm_ = !anyDrawn && flat(stirred_[0]) && flat(stirred_[1]);
    if (first < 0) {
        return {};
    }
    const int left = std::countr_zero(columns) * BlockWidth;
    const int right = std::min((64 - std::countl_zero(columns)) * BlockWidth, width_);
    return QRect(left, first, right - left, last - first + 1);
}

int64_t WaterRipple::energy() const {
    int64_t sum = 0;
    for (int16_t h : heights_[latest_]) {
        sum += std::abs(int(h));
    }
    return sum;
}

int WaterRipple::heightAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return 0;
    }
    return heights_[latest_][std::size_t(y + 1) * std::size_t(heightStride_) + std::size_t(x + 1)];
}

void WaterRipple::paint(QPainter& painter, int left, int top) const {
    if (isInitialised()) {
        painter.drawImage(QPoint(left, top), frame_);
    }
}

WaterRipple& waterRipple() {
    static WaterRipple instance;
    return instance;
}

void WaterInit(const QImage& picture) {
    waterRipple().init(picture);
}

void WaterTimer(QPaintDevice* target, int left, int top) {
    WaterRipple& water = waterRipple();
    if (target == nullptr || !water.isInitialised()) {
        return;
    }
    const QRect changed = water.step();
    if (auto* widget = dynamic_cast<QWidget*>(target)) {
        if (!changed.isEmpty()) {
            widget->update(changed.translated(left, top));
        }
        return;
    }
    QPainter painter(target);
    if (painter.isActive()) {
        water.paint(painter, left, top);
    }
}

void WaterMouseAction(QPaintDevice* target, int left, int top, int x, int y, int a, int b) {
    if (target == nullptr) {
        return;
    }
    // Far-off points only need to stay far off; keep the subtraction from overflowing.
    const auto local = [](int64_t v) { return int(std::clamp<int64_t>(v, -(1 << 30), 1 << 30)); };
    waterRipple().disturb(local(int64_t(x) - left), local(int64_t(y) - top), a, b);
}

} // namespace velanote
