#pragma once
#include <QPixmap>
#include <QString>

namespace velanote {

// The main window's pictures, from the embedded resources.
namespace MainWindowPictures {

QPixmap banner();        // 640 x 207
QString animatedStrip(); // 21 x 184 animated GIF beside the input frame (a resource path for QMovie)
QPixmap waterPicture();  // 640 x 106, under the water ripple
QPixmap copyIcon();      // 16 x 16 menu pictures: copy address, save message, exit, check update
QPixmap saveIcon();
QPixmap exitIcon();
QPixmap updateIcon();

} // namespace MainWindowPictures

} // namespace velanote
