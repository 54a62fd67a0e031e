#include "app/splashwindow.h"

#include "app/resourcestore.h"
#include "platform/windowopacity.h"
#include "widgets/twips.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include <cmath>

namespace velanote {

namespace {
constexpr int ClientWidthTwips = 8970;
constexpr int ClientHeightTwips = 5910;
constexpr int FadeInterval = 50;
constexpr int FadeStep = 15;
} // namespace

SplashWindow::SplashWindow(const ProgramFolder& folder, std::function<void()> showMain, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), folder_(folder), showMain_(std::move(showMain)) {
    setObjectName(QStringLiteral("SplashWindow"));
    background_ = QPixmap(QStringLiteral(":/images/splash.jpg"));
    resize(twipsToPixels(ClientWidthTwips), twipsToPixels(ClientHeightTwips));
    if (const QScreen* s = screen()) {
        move(s->availableGeometry().center() - rect().center());
    }

    fadeInTimer = new QTimer(this);
    fadeInTimer->setObjectName(QStringLiteral("fadeInTimer"));
    fadeInTimer->setInterval(FadeInterval);
    connect(fadeInTimer, &QTimer::timeout, this, &SplashWindow::onFadeInTick);
    fadeOutTimer = new QTimer(this);
    fadeOutTimer->setObjectName(QStringLiteral("fadeOutTimer"));
    fadeOutTimer->setInterval(FadeInterval);
    connect(fadeOutTimer, &QTimer::timeout, this, &SplashWindow::onFadeOutTick);
    fadeInTimer->start();

    load();
}

void SplashWindow::load() {
    // No sizing border, and nothing drawn until the first fade-in tick sets an alpha.
    setFixedSize(size());
    setWindowOpacity(0.0);
    // The folder is prepared as soon as the event loop runs: the window's first frame does not
    // need it, and the main window comes only after a click.
    QTimer::singleShot(0, this, [this] { prepareProgramFolder(folder_); });
}

void SplashWindow::activate() {
    roundRegion = makeRoundWindow(this, 50, 50);
}

QRegion SplashWindow::makeRoundWindow(QWidget* window, int cornerWidth, int cornerHeight) {
    const int width = window->frameGeometry().width();
    const int height = window->frameGeometry().height();
    const double rx = cornerWidth / 2.0;
    const double ry = cornerHeight / 2.0;
    // The inset of row y from either side: zero between the corners, on the ellipse inside them.
    auto inset = [&](int y) {
        double dy = 0.0;
        if (y < ry) {
            dy = ry - (y + 0.5);
        } else if (y >= height - ry) {
            dy = (y + 0.5) - (height - ry);
        }
        if (dy <= 0.0 || ry <= 0.0) {
            return 0;
        }
        const double t = std::min(1.0, dy / ry);
        return static_cast<int>(std::lround(rx - rx * std::sqrt(1.0 - t * t)));
    };
    QRegion region;
    int y = 0;
    while (y < height) {
        const int x = inset(y);
        int rows = 1;
        while (y + rows < height && inset(y + rows) == x) {
            ++rows;
        }
        if (width - 2 * x > 0) {
            region += QRect(x, y, width - 2 * x, rows);
        }
        y += rows;
    }
    window->setMask(region);
    return region;
}

void SplashWindow::onFadeInTick() {
    applyAlpha(fadeInLevel);
    if (fadeInLevel <= 240) {
        fadeInLevel += FadeStep;
    } else {
        fadeInTimer->stop();
        fadeInLevel = 0;
    }
}

void SplashWindow::onClick() {
    fadeInTimer->stop();
    if (!fadeOutTimer->isActive()) {
        fadeOutTimer->start();
    }
}

void SplashWindow::onFadeOutTick() {
    applyAlpha(255 - fadeOutLevel);
    if (fadeOutLevel <= 240) {
        fadeOutLevel += FadeStep;
    } else {
        fadeOutTimer->stop();
        if (showMain_) {
            showMain_();
        }
        unload();
    }
}

void SplashWindow::unload() {
    if (unloaded_) {
        return;
    }
    unloaded_ = true;
    fadeInTimer->stop();
    fadeOutTimer->stop();
    close();
    deleteLater();
}

void SplashWindow::applyAlpha(int alpha) {
    appliedAlphas.append(alpha);
    setWindowOpacityNow(this, alpha / 255.0);
}

bool SplashWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        activate();
    }
    return QWidget::event(event);
}

// Shown without becoming active (no window manager, or one that keeps the focus elsewhere), the
// window still gets its shape at once rather than only at its first activation.
void SplashWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (roundRegion.isEmpty()) {
        activate();
    }
}

void SplashWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, background_);
}

void SplashWindow::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
}

void SplashWindow::mouseReleaseEvent(QMouseEvent* event) {
    const bool click =
        pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click) {
        onClick();
    }
}

void SplashWindow::closeEvent(QCloseEvent* event) {
    unload();
    event->accept();
}

} // namespace velanote
