#pragma once
#include "app/programfolder.h"

#include <QList>
#include <QPixmap>
#include <QRegion>
#include <QWidget>

#include <functional>

class QTimer;

namespace velanote {

// The splash window: while it loads it prepares the program folder; then it fades in, waits for a
// click, fades out, has the main window shown and unloads itself.
class SplashWindow : public QWidget {
    Q_OBJECT
public:
    SplashWindow(const ProgramFolder& folder, std::function<void()> showMain, QWidget* parent = nullptr);

    void load();
    void activate();
    void onFadeInTick();
    void onClick();
    void onFadeOutTick();
    void unload();

    // Gives `window` the shape of a rectangle of its outer size whose corners are quarter
    // ellipses of cornerWidth x cornerHeight pixels; returns the region it set.
    static QRegion makeRoundWindow(QWidget* window, int cornerWidth, int cornerHeight);

    QTimer* fadeInTimer = nullptr;  // fade-in, 50 ms, running from load
    QTimer* fadeOutTimer = nullptr; // fade-out, 50 ms, started by the click

    quint8 fadeInLevel = 0;   // the alpha the next fade-in tick applies
    quint8 fadeOutLevel = 0;  // the next fade-out tick applies 255 - fadeOutLevel
    QRegion roundRegion;      // the region last made by makeRoundWindow
    QList<int> appliedAlphas; // every alpha a tick applied, in order

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void applyAlpha(int alpha);

    ProgramFolder folder_;
    std::function<void()> showMain_;
    QPixmap background_;
    bool pressed_ = false;
    bool unloaded_ = false;
};

} // namespace velanote
