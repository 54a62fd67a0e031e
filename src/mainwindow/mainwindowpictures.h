#pragma once
#include <QPixmap>
#include <QString>

namespace velanote {

// The main window's pictures, from the embedded resources.
namespace MainWindowPictures {

QPixmap banner();        // bannerImage, 640 x 207
QString animatedStrip(); // stripImage, 21 x 184 animated GIF (a resource path for QMovie)
QPixmap waterPicture();  // waterPicture, 640 x 106
QPixmap copyIcon();      // copyPicture, 16 x 16
QPixmap saveIcon();      // savePicture
QPixmap exitIcon();      // exitPicture
QPixmap updateIcon();    // updatePicture

} // namespace MainWindowPictures

} // namespace velanote
