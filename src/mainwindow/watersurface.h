#pragma once
#include <QImage>
#include <QPointF>
#include <QWidget>

#include <functional>

namespace velanote {

// The main window's client area: it carries the controls and draws the rippling picture on its
// own background at (10, 10); mouse presses and moves over the background are handed on.
class WaterSurface : public QWidget {
    Q_OBJECT
public:
    static constexpr int PictureLeft = 10;
    static constexpr int PictureTop = 10;

    explicit WaterSurface(QWidget* parent = nullptr);

    // Starts the ripple on `picture`; without a ripple the picture is drawn still.
    void initWater(const QImage& picture);
    // One animation step.
    void tick();
    // Stirs the water at (x, y) with the strength values (a, b).
    void mouseAction(int x, int y, int a, int b);

    std::function<void(const QPointF&)> onMousePress;
    std::function<void(const QPointF&)> onMouseMove;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QImage still_;
};

} // namespace velanote
