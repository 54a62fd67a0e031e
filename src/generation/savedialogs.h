#pragma once
#include "platform/commondialog.h"

class QWidget;

namespace velanote {

// The main window's two save dialogs of a generation, with their design-time titles and filters.
CommonDialog makeSpeechFileDialog(FileDialogService& dialogs, QWidget* parent);
CommonDialog makeJoinedFileDialog(FileDialogService& dialogs, QWidget* parent);

} // namespace velanote
