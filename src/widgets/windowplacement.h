#pragma once

class QWidget;

namespace velanote {

// Moves a tool window to the middle of the screen that `mainWindow` is on, or of the primary
// screen when there is none.
void centreOnScreen(QWidget* window, const QWidget* mainWindow);

} // namespace velanote
