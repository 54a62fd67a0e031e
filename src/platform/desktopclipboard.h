#pragma once
#include "platform/clipboard.h"

namespace velanote {

// The real clipboard, through the application's QClipboard.
class DesktopClipboard : public Clipboard {
public:
    QString text() const override;
    void setText(const QString& text) override;
    void clear() override;
};

} // namespace velanote
