#include "mainwindow/watersurface.h"

#include "cosmetics/water.h"

#include <QMouseEvent>
#include <QPainter>

namespace velanote {

WaterSurface::WaterSurface(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setMouseTracking(true);
}

void WaterSurface::initWater(const QImage& picture) {
    still_ = picture;
    WaterInit(picture);
    update();
}

void WaterSurface::tick() {
    WaterTimer(this, PictureLeft, PictureTop);
}

void WaterSurface::mouseAction(int x, int y, int a, int b) {
    WaterMouseAction(this, PictureLeft, PictureTop, x, y, a, b);
}

void WaterSurface::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const WaterRipple& ripple = waterRipple();
    const QRect pictureRect(QPoint(PictureLeft, PictureTop),
                            ripple.isInitialised() ? ripple.size() : still_.size());
    if (!event->rect().intersects(pictureRect)) {
        return;
    }
    if (ripple.isInitialised()) {
        ripple.paint(painter, PictureLeft, PictureTop);
    } else if (!still_.isNull()) {
        painter.drawImage(PictureLeft, PictureTop, still_);
    }
}

void WaterSurface::mousePressEvent(QMouseEvent* event) {
    if (onMousePress) {
        onMousePress(event->position());
    }
    event->accept();
}

void WaterSurface::mouseMoveEvent(QMouseEvent* event) {
    if (onMouseMove) {
        onMouseMove(event->position());
    }
    event->accept();
}

} // namespace velanote
