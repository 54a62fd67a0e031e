#pragma once

class QPushButton;
class QWidget;

namespace velanote {

// Shows `button` on `statusBar` (a sibling), a little below the bar's top and no taller than the
// room left on the bar and in their parent; where its least height (a skin may raise it) does not
// fit there, it rises until its bottom is in view, so that none of it is cut off at the bottom.
void showOnStatusBar(QPushButton* button, const QWidget* statusBar);

} // namespace velanote
