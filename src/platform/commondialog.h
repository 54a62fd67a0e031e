#pragma once
#include "platform/filedialog.h"

#include <QString>

class QWidget;

namespace velanote {

// A file dialog instance as the windows use it: title, filter and chosen name kept between shows.
class CommonDialog {
public:
    enum class Outcome { Chosen, Cancelled };

    CommonDialog(FileDialogService& service, QWidget* parent, QString title = {}, QString filter = {});

    QString DialogTitle;
    QString Filter;
    QString FileName;

    // On Chosen, FileName holds the full path; on Cancelled, FileName keeps its previous value.
    Outcome showOpenDialog();
    Outcome showSaveDialog();

private:
    FileDialogService& service_;
    QWidget* parent_;
};

} // namespace velanote
