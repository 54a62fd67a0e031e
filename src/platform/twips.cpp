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
    for (int pass = 0; pass < 100; ++pass) {
        for (const QPoint& step : kMoves) {
            at += step;
            movePositionTwips(widget, at.x(), at.y());
            if (widget->isVisible() && widget->parentWidget() != nullptr) {
                widget->parentWidget()->repaint();
            }
        }
    }
    movePositionTwips(widget, start.x(), start.y());
}

} // namespace velanote
