#include "cosmetics/ripplekernels.h"
#include "cosmetics/water.h"

#include <QApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QWidget>
#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <vector>

using namespace velanote;

namespace {

// A picture with detail everywhere, so any bend of it shows in the pixels.
QImage picture(int width = 640, int height = 106) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, qRgb((x * 5) & 255, (y * 9) & 255, ((x ^ y) * 3) & 255));
        }
    }
    return image;
}

// Steps until the water is calm; the number of steps taken, or -1 when it is still moving after `limit`.
int stepsToCalm(WaterRipple& water, int limit) {
    for (int steps = 0; steps < limit; ++steps) {
        if (water.isCalm()) {
            return steps;
        }
        water.step();
    }
    return water.isCalm() ? limit : -1;
}

// Records the parts of itself it was asked to repaint.
class PaintTarget : public QWidget {
public:
    QRegion painted;

protected:
    void paintEvent(QPaintEvent* event) override { painted += event->region(); }
};

} // namespace

TEST(WaterRipple, APressRipplesThePictureAndSettlesBackToItExactly) {
    const QImage original = picture();
    WaterRipple water;
    ASSERT_TRUE(water.init(original));
    EXPECT_EQ(water.currentFrame(), original);
    EXPECT_TRUE(water.step().isNull()) << "calm water changes nothing";

    water.disturb(320, 53, 60, 500);
    EXPECT_GT(water.energy(), 0);
    const QRect changed = water.step();
    EXPECT_FALSE(changed.isEmpty());
    EXPECT_NE(water.currentFrame(), original);
    // A drop touches only the rows around it at first.
    EXPECT_GE(changed.top(), 53 - 60 - 2);
    EXPECT_LE(changed.bottom(), 105);

    // Damping brings every height to exactly 0 within a few seconds of 10 ms steps.
    const int steps = stepsToCalm(water, 1000);
    EXPECT_GE(steps, 50);
    EXPECT_NE(steps, -1);
    EXPECT_EQ(water.energy(), 0);
    EXPECT_EQ(water.currentFrame(), original);
    EXPECT_TRUE(water.step().isNull());
}

TEST(WaterRipple, ZeroStrengthAndFarOffDropsStartNothingAndEdgesAreClipped) {
    WaterRipple water;
    ASSERT_TRUE(water.init(picture()));
    water.disturb(100, 50, 0, 0);
    water.disturb(100, 50, 10, 0);
    water.disturb(100, 50, 0, 80);
    water.disturb(100, 50, -5, 80);
    water.disturb(-1000, -1000, 60, 500);
    water.disturb(640 + 61, 50, 60, 500);
    water.disturb(INT_MAX, INT_MIN, INT_MAX, INT_MAX);
    EXPECT_TRUE(water.isCalm());
    EXPECT_TRUE(water.step().isNull());

    // A drop partly off the picture stirs the part that lies on it.
    water.disturb(-30, 50, 60, 500);
    EXPECT_FALSE(water.isCalm());
    EXPECT_FALSE(water.step().isNull());
    water.disturb(639, 105, INT_MAX, INT_MIN);
    water.disturb(0, 0, 60, INT_MAX);
    for (int i = 0; i < 50; ++i) {
        water.step();
    }
    EXPECT_NE(stepsToCalm(water, 3000), -1);
}

TEST(WaterRipple, OddPicturesAndCallsBeforeInitAreHarmless) {
    WaterRipple water;
    water.disturb(1, 1, 10, 80);
    EXPECT_TRUE(water.step().isNull());
    EXPECT_TRUE(water.currentFrame().isNull());
    QImage target(20, 20, QImage::Format_RGB32);
    target.fill(Qt::black);
    QPainter painter(&target);
    water.paint(painter, 0, 0);
    painter.end();
    EXPECT_EQ(target.pixel(0, 0), qRgb(0, 0, 0));

    EXPECT_FALSE(water.init(QImage()));
    EXPECT_FALSE(water.init(QImage(WaterRipple::MaxSide + 1, 2, QImage::Format_RGB32)));
    EXPECT_FALSE(water.isInitialised());

    // Tiny and odd-width pictures, and pictures with an alpha channel, are drawn opaque.
    for (QSize size : {QSize(1, 1), QSize(3, 2), QSize(13, 7), QSize(WaterRipple::MaxSide, 3)}) {
        QImage argb(size, QImage::Format_ARGB32);
        argb.fill(qRgba(200, 100, 50, 128));
        ASSERT_TRUE(water.init(argb));
        water.disturb(size.width() / 2, size.height() / 2, 10, 800);
        water.step();
        EXPECT_EQ(water.currentFrame().format(), QImage::Format_RGB32);
        EXPECT_EQ(qAlpha(water.currentFrame().pixel(0, 0)), 255);
        EXPECT_NE(stepsToCalm(water, 3000), -1) << size.width() << "x" << size.height();
    }
}

TEST(WaterRipple, EntryPointsRepaintAWidgetOnlyWhileTheWaterMoves) {
    PaintTarget window;
    window.resize(660, 126);
    window.show();
    QApplication::processEvents();

    WaterInit(QImage());
    WaterTimer(&window, 10, 10);
    WaterMouseAction(&window, 10, 10, 330, 60, 60, 500);
    EXPECT_FALSE(waterRipple().isInitialised());

    WaterInit(picture());
    WaterMouseAction(nullptr, 10, 10, 330, 60, 60, 500);
    WaterTimer(nullptr, 10, 10);
    EXPECT_TRUE(waterRipple().isCalm());

    window.painted = QRegion();
    WaterTimer(&window, 10, 10);
    QApplication::processEvents();
    EXPECT_TRUE(window.painted.isEmpty()) << "a calm tick repaints nothing";

    // The pointer is in window coordinates; the drop lands at (x - left, y - top) of the picture.
    WaterMouseAction(&window, 10, 10, 10 + 600, 10 + 53, 10, 80);
    WaterTimer(&window, 10, 10);
    QApplication::processEvents();
    EXPECT_FALSE(window.painted.isEmpty());
    EXPECT_TRUE(QRect(10, 10, 640, 106).contains(window.painted.boundingRect()));

    // A paint device other than a widget gets the frame drawn into it at (left, top).
    QImage canvas(700, 150, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    WaterTimer(&canvas, 30, 20);
    EXPECT_EQ(canvas.copy(30, 20, 640, 106), waterRipple().currentFrame());
    EXPECT_EQ(canvas.pixel(29, 19), qRgb(0, 0, 0));
    WaterMouseAction(&canvas, INT_MIN, INT_MAX, INT_MAX, INT_MIN, 60, 500);
    WaterInit(QImage());
}

namespace {

// Steps and draws the whole field with the plain kernels, row by row, as a reference.
struct PlainWater {
    int width, height, margin = WaterRipple::MaxOffset;
    std::vector<int16_t> fields[2];
    std::vector<uint32_t> padded;
    QImage frame;
    int latest = 0;

    PlainWater(const QImage& picture, const WaterRipple& start)
        : width(picture.width()), height(picture.height()), frame(picture.size(), QImage::Format_RGB32) {
        for (int y = -margin; y < height + margin; ++y) {
            for (int x = -margin; x < width + margin; ++x) {
                padded.push_back(picture.pixel(std::clamp(x, 0, width - 1), std::clamp(y, 0, height - 1)) |
                                 0xFF000000u);
            }
        }
        for (auto& field : fields) {
            field.assign(std::size_t(width + 2) * std::size_t(height + 2), 0);
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x) {
                    field[std::size_t(y + 1) * std::size_t(width + 2) + std::size_t(x + 1)] =
                        int16_t(start.heightAt(x, y));
                }
            }
        }
    }
    int16_t* row(int field, int y) {
        return fields[field].data() + std::size_t(y + 1) * std::size_t(width + 2) + 1;
    }
    void step() {
        const int older = 1 - latest;
        for (int y = 0; y < height; ++y) {
            ripple::stepRowPlain(row(older, y), row(latest, y - 1), row(latest, y), row(latest, y + 1),
                                 width);
        }
        latest = older;
        const int stride = width + 2 * margin;
        for (int y = 0; y < height; ++y) {
            ripple::renderRowPlain(
                reinterpret_cast<uint32_t*>(frame.scanLine(y)),
                padded.data() + std::size_t(y + margin) * std::size_t(stride) + std::size_t(margin), stride,
                margin, row(latest, y - 1), row(latest, y), row(latest, y + 1), width);
        }
    }
    bool flat() const {
        return std::all_of(fields[0].begin(), fields[0].end(), [](int16_t h) { return h == 0; }) &&
               std::all_of(fields[1].begin(), fields[1].end(), [](int16_t h) { return h == 0; });
    }
};

// The image with `part` blacked out.
QImage outside(const QImage& image, const QRect& part) {
    QImage copy = image.copy();
    QPainter(&copy).fillRect(part, Qt::black);
    return copy;
}

} // namespace

TEST(WaterRipple, SkippingStillBlocksGivesTheSameFramesAsSteppingEverything) {
    // A width that leaves a short last block, drops across block edges and at the right edge.
    const QImage original = picture(WaterRipple::BlockWidth * 10 + 10, 40);
    WaterRipple water;
    ASSERT_TRUE(water.init(original));
    water.disturb(WaterRipple::BlockWidth + 6, 20, 30, 800);
    water.disturb(original.width() - 2, 30, 12, 300);
    PlainWater plain(original, water);

    int steps = 0;
    bool same = true;
    while (!water.isCalm() && steps < 3000 && same) {
        const QImage before = water.currentFrame().copy();
        const QRect changed = water.step();
        plain.step();
        ++steps;
        same = water.currentFrame() == plain.frame;
        // Whatever changed lies in the reported part.
        same = same && outside(water.currentFrame(), changed) == outside(before, changed);
    }
    EXPECT_TRUE(same) << "frames part at step " << steps;
    EXPECT_TRUE(water.isCalm());
    EXPECT_TRUE(plain.flat());
    EXPECT_EQ(water.currentFrame(), original);

    // A light touch at one end repaints only the blocks around it.
    water.disturb(10, 20, 10, 80);
    const QRect changed = water.step();
    EXPECT_EQ(changed.left(), 0);
    EXPECT_LE(changed.right(), 2 * WaterRipple::BlockWidth);
}

namespace {

// Random rows, gentle to extreme, of widths that leave every kind of tail, and the limits of the
// heights, through `kernels` and the plain loops.
void expectKernelsMatchThePlainOnes(const ripple::Kernels& kernels) {
    std::mt19937 random(5);
    for (int width : {640, 37, 16, 13, 8, 5}) {
        for (int amplitude : {3, 300, ripple::HeightLimit}) {
            const int stride = width + 2;
            std::vector<int16_t> field(std::size_t(stride) * 3), older(std::size_t(width) + 2);
            for (auto& h : field) {
                h = int16_t(
                    std::clamp<int>(int(random() % unsigned(2 * amplitude + 1)) - amplitude, -32768, 32767));
            }
            for (int i : {0, stride - 1, stride, 2 * stride - 1, 2 * stride, 3 * stride - 1}) {
                field[std::size_t(i)] = 0; // borders
            }
            for (auto& h : older) {
                h = int16_t(int(random() % 8191) - ripple::HeightLimit);
            }
            const int16_t* up = field.data() + 1;
            const int16_t* mid = up + stride;
            const int16_t* down = mid + stride;

            std::vector<int16_t> a(older), b(older);
            EXPECT_EQ(kernels.stepRow(a.data() + 1, up, mid, down, width),
                      ripple::stepRowPlain(b.data() + 1, up, mid, down, width));
            EXPECT_EQ(a, b) << width << " " << amplitude;

            const int margin = 32;
            const int padded = width + 2 * margin;
            std::vector<uint32_t> source(std::size_t(padded) * std::size_t(1 + 2 * margin));
            for (auto& p : source) {
                p = uint32_t(random()) | 0xFF000000u;
            }
            const uint32_t* row = source.data() + std::size_t(margin) * std::size_t(padded) + margin;
            std::vector<uint32_t> fast(static_cast<std::size_t>(width)),
                plain(static_cast<std::size_t>(width));
            kernels.renderRow(fast.data(), row, padded, margin, up, mid, down, width);
            ripple::renderRowPlain(plain.data(), row, padded, margin, up, mid, down, width);
            EXPECT_EQ(fast, plain) << width << " " << amplitude;
        }
    }

    // The extremes: every height at the limit and the older field at the opposite one, either way.
    for (int sign : {1, -1}) {
        const std::vector<int16_t> field(std::size_t{3} * 42, int16_t(sign * ripple::HeightLimit));
        std::vector<int16_t> a(42, int16_t(-sign * ripple::HeightLimit)), b(a);
        kernels.stepRow(a.data() + 1, field.data() + 1, field.data() + 43, field.data() + 85, 40);
        ripple::stepRowPlain(b.data() + 1, field.data() + 1, field.data() + 43, field.data() + 85, 40);
        EXPECT_EQ(a, b);
        EXPECT_EQ(a[20], sign * ripple::HeightLimit);
    }
}

} // namespace

TEST(RippleKernels, EveryKernelOfThisProcessorMatchesThePlainOne) {
    for (const ripple::Kernels& kernels : ripple::availableKernels()) {
        SCOPED_TRACE(kernels.name);
        expectKernelsMatchThePlainOnes(kernels);
    }
    EXPECT_STREQ(ripple::availableKernels().back().name, "plain");
    EXPECT_STREQ(ripple::activeKernels().name, ripple::availableKernels().front().name);
}
