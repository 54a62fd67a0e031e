#pragma once
#include <QString>

class QWidget;

namespace velanote {

// The buttons and icon of a message box, numbered as the desktop's message boxes number them: the
// low four bits choose the buttons, the next four the icon.
enum class MessageBoxStyle {
    OkExclamation = 48,
    OkInformation = 64,
    YesNoInformation = 68,
    YesNoCancelInformation = 67,
};

// The button a message box was answered with.
enum class MessageBoxAnswer {
    Ok = 1,
    Cancel = 2,
    Yes = 6,
    No = 7,
};

// Shows a modal message box and returns the answer code of the pressed button.
class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    virtual MessageBoxAnswer show(const QString& prompt, MessageBoxStyle style, const QString& title,
                                  QWidget* parent = nullptr) = 0;
};

} // namespace velanote
