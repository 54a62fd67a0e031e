#pragma once
#include <QtGlobal>

class QWidget;

namespace velanote {

// Sets a window's opacity and hands it to the window system at once. Qt's X11 backend only queues
// the change, and a fade that paints nothing else never sends it: under a compositing desktop such
// a window would stay at the opacity it was shown with.
void setWindowOpacityNow(QWidget* window, qreal opacity);

} // namespace velanote
