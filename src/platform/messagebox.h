#pragma once
#include <QString>

class QWidget;

namespace velanote {

// Message-box styles and answers with the numbers the program's handlers compare against.
namespace MsgBoxStyle {
constexpr int OkExclamation = 48;
constexpr int OkInformation = 64;
constexpr int YesNoInformation = 68;
constexpr int YesNoCancelInformation = 67;
} // namespace MsgBoxStyle

namespace MsgBoxAnswer {
constexpr int Ok = 1;
constexpr int Cancel = 2;
constexpr int Yes = 6;
constexpr int No = 7;
} // namespace MsgBoxAnswer

// Shows a modal message box and returns the answer code of the pressed button.
class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    virtual int MsgBox(const QString& prompt, int style, const QString& title, QWidget* parent = nullptr) = 0;
};

} // namespace velanote
