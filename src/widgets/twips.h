#pragma once
#include <QPoint>
#include <QRect>

class QWidget;

namespace velanote {

// Window geometry in twips (15 twips to a pixel). A control's position is kept in twips as a
// property of the widget, so moves by amounts that are not whole pixels add up exactly.
constexpr int TwipsPerPixel = 15;
inline int twipsToPixels(int twips) {
    return (twips >= 0 ? twips + TwipsPerPixel / 2 : twips - TwipsPerPixel / 2) / TwipsPerPixel;
}
inline int pixelsToTwips(int pixels) {
    return pixels * TwipsPerPixel;
}

// Places a widget at (left, top, width, height) twips and remembers the twips position.
void setGeometryTwips(QWidget* widget, int left, int top, int width, int height);
// The widget's position in twips (the remembered one, or its pixel position converted).
QPoint positionTwips(const QWidget* widget);
void movePositionTwips(QWidget* widget, int left, int top);

// 100 passes of six moves (down 50, up 100, right 50, left 100, down 50, right 50 twips), each
// painted at once without processing user input, spread over two display frames so that the
// screen shows the widget off its place; ends exactly where it started.
void shake(QWidget* widget);

} // namespace velanote
