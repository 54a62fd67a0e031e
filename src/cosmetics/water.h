#pragma once
#include <QImage>
#include <QRect>

#include "cosmetics/ripplekernels.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

class QPainter;
class QPaintDevice;

namespace velanote {

// Water ripples over a picture. A field of integer heights, one per pixel, is kept in two buffers
// (the latest field and the one before) and stepped as a damped wave; each frame shows the picture
// refracted and shaded by the slope of the water. The field is kept in blocks of BlockWidth pixels
// of a row; blocks whose water and picture are both still are neither stepped nor drawn, and a step
// on calm water costs one flag test. Pictures are limited to MaxSide pixels a side.
class WaterRipple {
public:
    static constexpr int MaxSide = 4096;
    // The width of the blocks of a row that are stepped and drawn only while their water moves;
    // a row has at most 64 of them.
    static constexpr int BlockWidth = MaxSide / 64;
    // The largest bend of the picture, in pixels (less for very wide pictures).
    static constexpr int MaxOffset = 32;

    // Starts over with `picture` and calm water. A null or oversized picture leaves the renderer
    // without a picture (every other call then does nothing) and returns false.
    bool init(const QImage& picture);
    bool isInitialised() const { return !frame_.isNull(); }
    QSize size() const { return frame_.size(); }

    // A drop of `radius` pixels (at most 256) and `depth` height units centred on (x, y) in
    // picture coordinates: the water sinks by `depth` at the centre and lies in rings a few pixels
    // apart that fade out towards the rim; the drop starts at rest and spreads from there. Only the
    // part of the drop that lies on the picture counts; a radius or depth of 0 starts nothing.
    // Heights never go beyond +/- ripple::HeightLimit, however many drops land on one place.
    void disturb(int x, int y, int radius, int depth);

    // Advances the water one step and redraws what moved. Returns the part of the frame that
    // changed, in picture coordinates; empty when nothing changed (calm water).
    QRect step();

    // True while every height is 0 and the frame shows the picture unchanged.
    bool isCalm() const { return calm_; }
    // The sum of the magnitudes of the latest heights (0 exactly when the water is flat).
    int64_t energy() const;
    // The latest height at picture point (x, y); 0 off the picture.
    int heightAt(int x, int y) const;

    // The frame as it stands: the picture seen through the water. A null image before init().
    // It is rewritten in place by step(); draw it, do not keep copies of it.
    const QImage& currentFrame() const { return frame_; }
    // Draws the current frame with its top-left corner at (left, top).
    void paint(QPainter& painter, int left, int top) const;

private:
    int16_t* heightRow(int buffer, int y) {
        return heights_[buffer].data() + std::ptrdiff_t{y + 1} * heightStride_ + 1;
    }
    const uint32_t* sourceRow(int y) const {
        return padded_.data() + std::size_t(y + margin_) * std::size_t(paddedStride_) + std::size_t(margin_);
    }
    // The blocks of row y that lie next to (or on) a block of the field `buffer` holding a height
    // that may not be 0, one bit per block.
    uint64_t blocksNearRow(int buffer, int y) const;
    // Steps the moving blocks of row y into the field `older` from the other one.
    void stepRowBlocks(int older, int y);
    // Redraws row y of the frame through the field `field`; returns the blocks that changed.
    uint64_t drawRowBlocks(int field, int y);

    const ripple::Kernels* kernels_ = &ripple::activeKernels();
    QImage frame_;
    int width_ = 0;
    int height_ = 0;
    // The picture with its edge pixels repeated margin_ times on every side.
    std::vector<uint32_t> padded_;
    int paddedStride_ = 0;
    int margin_ = 0;
    // Two height fields with a border of zeros, heightStride_ values per row.
    std::array<std::vector<int16_t>, 2> heights_;
    int heightStride_ = 0;
    int latest_ = 0;
    // Per row and buffer, one bit per block: whether the block may hold a height that is not 0
    // (index 0 and height_ + 1 are the border rows, always 0).
    std::array<std::vector<uint64_t>, 2> stirred_;
    // Per row, one bit per block: whether the block of the frame may differ from the picture.
    std::vector<uint64_t> drawn_;
    uint64_t allBlocks_ = 0;
    bool calm_ = true;
    // Weights of the drop profile by squared distance, for the last radius used (1/65536 units).
    std::vector<int32_t> dropProfile_;
    int dropRadius_ = 0;
};

// The program-wide ripple used by the main window.
WaterRipple& waterRipple();

// The main window's entry points, working on waterRipple():
//
// WaterInit(picture) starts the ripple on `picture` (the main window's 640 x 106 picture).
//
// WaterTimer(target, left, top), called every 10 ms (a Qt::PreciseTimer), advances the water one
// step. When `target` is a widget, the changed part of the frame is scheduled for repainting with
// target->update() at (left, top) and the widget's paintEvent draws the frame, e.g. with
// waterRipple().paint(painter, left, top); nothing is scheduled while the water is calm. Any other
// paint device (an image or pixmap) gets the current frame painted at (left, top) at once.
//
// WaterMouseAction(target, left, top, x, y, a, b) stirs the water at the pointer (x, y), given in
// the target's coordinates, for the frame drawn at (left, top): a drop of radius `a` pixels and
// depth `b` at picture point (x - left, y - top). (60, 500) is a strong press, (10, 80) a light
// trail, (0, 0) no new ripple. The next WaterTimer shows it.
//
// Before WaterInit, or with a null picture or target, these calls do nothing.
void WaterInit(const QImage& picture);
void WaterTimer(QPaintDevice* target, int left, int top);
void WaterMouseAction(QPaintDevice* target, int left, int top, int x, int y, int a, int b);

} // namespace velanote
