#pragma once
#include <QString>

class QPlainTextEdit;

namespace velanote {

// The text of a multi-line box with CR LF line ends, as the program's texts are written:
// QPlainTextEdit keeps lines with bare line feeds.
QString plainTextWithCrLf(const QPlainTextEdit& box);

} // namespace velanote
