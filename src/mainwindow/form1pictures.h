#pragma once
#include <QPixmap>
#include <QString>

namespace velanote {

// The main window's pictures, from the embedded resources.
namespace Form1Pictures {

QPixmap banner();        // Image1, 640 x 207
QString animatedStrip(); // Image2, 21 x 184 animated GIF (a resource path for QMovie)
QPixmap waterPicture();  // Picture1, 640 x 106
QPixmap copyIcon();      // pic1, 16 x 16
QPixmap saveIcon();      // pic2
QPixmap exitIcon();      // pic3
QPixmap updateIcon();    // pic4

} // namespace Form1Pictures

} // namespace velanote
