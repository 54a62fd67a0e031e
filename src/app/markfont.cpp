// The program's own font, apart from the rest of the resource store: only the windows draw with it,
// and the command-line tools do not load the graphics library for it.
#include "app/resourcestore.h"

#include <QFontDatabase>

#include <cstdio>

namespace velanote {

void installMarkFont() {
    static const int id = QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/velamarks.ttf"));
    if (id < 0) {
        std::fputs("velanote: the font for the phrase marks could not be loaded\n", stderr);
    }
}

} // namespace velanote
