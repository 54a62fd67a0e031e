#pragma once
#include "platform/messagebox.h"

namespace velanote {

// The real message box: a modal QMessageBox with the program's own button captions.
class DesktopMessageBox : public MessageBoxService {
public:
    static const QString OkCaption;     // "确定", answer 1
    static const QString CancelCaption; // "取消", answer 2
    static const QString YesCaption;    // "是(&Y)", answer 6
    static const QString NoCaption;     // "否(&N)", answer 7

    MessageBoxAnswer show(const QString& prompt, MessageBoxStyle style, const QString& title,
                          QWidget* parent = nullptr) override;
};

} // namespace velanote
