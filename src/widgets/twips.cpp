#include "widgets/twips.h"

#include <QBackingStore>
#include <QElapsedTimer>
#include <QPainter>
#include <QPixmap>
#include <QRegion>
#include <QThread>
#include <QVariant>
#include <QWidget>

namespace velanote {

namespace {
const char* const kTwipsLeft = "velanoteTwipsLeft";
const char* const kTwipsTop = "velanoteTwipsTop";
} // namespace

void movePositionTwips(QWidget* widget, int left, int top) {
    widget->setProperty(kTwipsLeft, left);
    widget->setProperty(kTwipsTop, top);
    widget->move(twipsToPixels(left), twipsToPixels(top));
}

void setGeometryTwips(QWidget* widget, int left, int top, int width, int height) {
    widget->resize(twipsToPixels(width), twipsToPixels(height));
    movePositionTwips(widget, left, top);
}

QPoint positionTwips(const QWidget* widget) {
    const QVariant left = widget->property(kTwipsLeft);
    const QVariant top = widget->property(kTwipsTop);
    if (left.isValid() && top.isValid() && twipsToPixels(left.toInt()) == widget->x() &&
        twipsToPixels(top.toInt()) == widget->y()) {
        return {left.toInt(), top.toInt()};
    }
    return {pixelsToTwips(widget->x()), pixelsToTwips(widget->y())};
}

namespace {

// Draws a widget at a run of places on its parent, each at once, while nothing else on the window
// changes: what lies under the widget's places and the widget itself are each rendered once, and
// every place is composed from the two straight into the window's backing store. What was drawn
// goes to the screen at most once per display frame, so a run of places costs no wait for the
// display server in between.
class MovingWidgetPainter {
public:
    // `places` covers every place the widget will take, in its parent's coordinates.
    MovingWidgetPainter(QWidget* widget, const QRect& places) : widget_(widget) {
        QWidget* parent = widget->parentWidget();
        QWidget* window = widget->window();
        if (parent == nullptr || !widget->isVisible() || window->backingStore() == nullptr) {
            return;
        }
        window_ = window;
        offset_ = parent->mapTo(window, QPoint(0, 0));
        clip_ = QRect(offset_, parent->size());
        area_ = places.translated(offset_) & clip_;
        look_ = widget->grab();
        // What lies under the places, rendered with the widget out of the way.
        const QPoint at = widget->pos();
        widget->move(-widget->width() - parent->width(), at.y());
        under_ = QPixmap(area_.size() * window->devicePixelRatio());
        under_.setDevicePixelRatio(window->devicePixelRatio());
        window->render(&under_, QPoint(), QRegion(area_));
        widget->move(at);
    }
    MovingWidgetPainter(const MovingWidgetPainter&) = delete;
    MovingWidgetPainter& operator=(const MovingWidgetPainter&) = delete;
    ~MovingWidgetPainter() { show(); }

    // Draws the move of the widget from `from` (parent coordinates) to where it is now.
    void drawMove(const QRect& from) {
        if (window_ == nullptr) {
            return;
        }
        const QRect to = widget_->geometry().translated(offset_);
        const QRect damaged = (from.translated(offset_) | to) & area_;
        QBackingStore* store = window_->backingStore();
        store->beginPaint(damaged);
        {
            QPainter painter(store->paintDevice());
            painter.setClipRect(damaged);
            painter.drawPixmap(area_.topLeft(), under_);
            painter.drawPixmap(to.topLeft(), look_);
        }
        store->endPaint();
        unshown_ += damaged;
    }

    // Shows what was drawn when a display frame has passed since it last did (or it never did).
    void showOncePerFrame() {
        if (!sinceShown_.isValid() || sinceShown_.hasExpired(FrameMs)) {
            show();
        }
    }

private:
    static constexpr qint64 FrameMs = 16;

    void show() {
        if (window_ != nullptr && !unshown_.isEmpty()) {
            window_->backingStore()->flush(unshown_);
            unshown_ = QRegion();
        }
        sinceShown_.start();
    }

    QWidget* widget_;
    QWidget* window_ = nullptr;
    QPoint offset_; // the parent's origin in the window
    QRect clip_;    // the parent, in the window
    QRect area_;    // the places, in the window
    QPixmap look_;
    QPixmap under_;
    QRegion unshown_;
    QElapsedTimer sinceShown_;
};

constexpr QPoint kShakeMoves[] = {{0, 50}, {0, -100}, {50, 0}, {-100, 0}, {0, 50}, {50, 0}};

} // namespace

void shake(QWidget* widget) {
    if (widget == nullptr) {
        return;
    }
    const QPoint start = positionTwips(widget);
    // Every place the shake takes: one pass visits them all.
    QRect places = widget->geometry();
    QPoint at = start;
    for (const QPoint& step : kShakeMoves) {
        at += step;
        places |= QRect(QPoint(twipsToPixels(at.x()), twipsToPixels(at.y())), widget->size());
    }
    // Each move is drawn at once; no events are processed meanwhile, so the user cannot act during
    // the shake. Drawn in a few milliseconds, the moves would never reach the screen, so the passes
    // are spread over ShakeMs, which spans two display frames, and each frame shows the widget off
    // its place.
    constexpr qint64 ShakeMs = 25;
    constexpr int Passes = 100;
    MovingWidgetPainter painter(widget, places);
    const auto moveTo = [&](const QPoint& to) {
        const QRect from = widget->geometry();
        movePositionTwips(widget, to.x(), to.y());
        painter.drawMove(from);
    };
    QElapsedTimer clock;
    clock.start();
    at = start;
    for (int pass = 0; pass < Passes; ++pass) {
        for (const QPoint& step : kShakeMoves) {
            at += step;
            moveTo(at);
            if (at != start) {
                painter.showOncePerFrame();
            }
        }
        const qint64 passEndsUs = (pass + 1) * ShakeMs * 1000 / Passes;
        if (const qint64 aheadUs = passEndsUs - clock.nsecsElapsed() / 1000; aheadUs > 0) {
            QThread::usleep(static_cast<unsigned long>(aheadUs));
        }
    }
    if (positionTwips(widget) != start) {
        moveTo(start);
    }
}

} // namespace velanote
