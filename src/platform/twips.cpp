#include "platform/twips.h"

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

void shake(QWidget* widget) {
    if (widget == nullptr) {
        return;
    }
    static constexpr QPoint kMoves[] = {{0, 50}, {0, -100}, {50, 0}, {-100, 0}, {0, 50}, {50, 0}};
    const QPoint start = positionTwips(widget);
    QPoint at = start;
    // Each move is painted at once (only the area the widget left and entered), and no events
    // are processed meanwhile, so the user sees every step and cannot act during the shake.
    auto moveAndPaint = [widget](const QPoint& to) {
        const QRect before = widget->geometry();
        movePositionTwips(widget, to.x(), to.y());
        QWidget* parent = widget->parentWidget();
        if (parent != nullptr && widget->isVisible()) {
            parent->repaint(before.united(widget->geometry()));
        }
    };
    for (int pass = 0; pass < 100; ++pass) {
        for (const QPoint& step : kMoves) {
            at += step;
            moveAndPaint(at);
        }
    }
    if (positionTwips(widget) != start) {
        moveAndPaint(start);
    }
}

} // namespace velanote
