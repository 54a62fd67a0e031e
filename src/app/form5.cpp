#include "app/form5.h"

#include "app/resourcestore.h"
#include "platform/twips.h"

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

Form5::Form5(const ProgramFolder& folder, std::function<void()> showMain, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), folder_(folder), showMain_(std::move(showMain)) {
    setObjectName(QStringLiteral("Form5"));
    initResources();
    background_ = QPixmap(QStringLiteral(":/images/splash.jpg"));
    resize(twipsToPixels(ClientWidthTwips), twipsToPixels(ClientHeightTwips));
    if (const QScreen* s = screen()) {
        move(s->availableGeometry().center() - rect().center());
    }

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(FadeInterval);
    connect(Timer1, &QTimer::timeout, this, &Form5::Timer1_Timer);
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(FadeInterval);
    connect(Timer2, &QTimer::timeout, this, &Form5::Timer2_Timer);
    Timer1->start();

    Form_Load();
}

void Form5::Form_Load() {
    // No sizing border, and nothing drawn until the first fade-in tick sets an alpha.
    setFixedSize(size());
    setWindowOpacity(0.0);
    prepareProgramFolder(folder_);
}

void Form5::Form_Activate() {
    RoundRegion = MakeRoundWindow(this, 50, 50);
}

QRegion Form5::MakeRoundWindow(QWidget* window, int cornerWidth, int cornerHeight) {
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

void Form5::Timer1_Timer() {
    applyAlpha(FadeInLevel);
    if (FadeInLevel <= 240) {
        FadeInLevel += FadeStep;
    } else {
        Timer1->stop();
        FadeInLevel = 0;
    }
}

void Form5::Form_Click() {
    Timer1->stop();
    if (!Timer2->isActive()) {
        Timer2->start();
    }
}

void Form5::Timer2_Timer() {
    applyAlpha(255 - FadeOutLevel);
    if (FadeOutLevel <= 240) {
        FadeOutLevel += FadeStep;
    } else {
        Timer2->stop();
        if (showMain_) {
            showMain_();
        }
        Form_Unload();
    }
}

void Form5::Form_Unload() {
    if (unloaded_) {
        return;
    }
    unloaded_ = true;
    Timer1->stop();
    Timer2->stop();
    close();
    deleteLater();
}

void Form5::applyAlpha(int alpha) {
    appliedAlphas.append(alpha);
    setWindowOpacity(alpha / 255.0);
}

bool Form5::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        Form_Activate();
    }
    return QWidget::event(event);
}

// Shown without becoming active (no window manager, or one that keeps the focus elsewhere), the
// window still gets its shape at once rather than only at its first activation.
void Form5::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (RoundRegion.isEmpty()) {
        Form_Activate();
    }
}

void Form5::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, background_);
}

void Form5::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
}

void Form5::mouseReleaseEvent(QMouseEvent* event) {
    const bool click =
        pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click) {
        Form_Click();
    }
}

void Form5::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

} // namespace velanote
