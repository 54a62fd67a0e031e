#include "platform/textbox.h"

#include <QPlainTextEdit>

namespace velanote {

QString plainTextWithCrLf(const QPlainTextEdit& box) {
    QString text = box.toPlainText();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return text;
}

} // namespace velanote
