#include "platform/commondialog.h"

namespace velanote {

CommonDialog::CommonDialog(FileDialogService& service, QWidget* parent, QString title, QString filter)
    : DialogTitle(std::move(title)), Filter(std::move(filter)), service_(service), parent_(parent) {}

CommonDialog::Outcome CommonDialog::showOpenDialog() {
    auto chosen = service_.openFileName(parent_, DialogTitle, Filter, FileName);
    if (!chosen) {
        return Outcome::Cancelled;
    }
    FileName = *chosen;
    return Outcome::Chosen;
}

CommonDialog::Outcome CommonDialog::showSaveDialog() {
    auto chosen = service_.saveFileName(parent_, DialogTitle, Filter, FileName);
    if (!chosen) {
        return Outcome::Cancelled;
    }
    FileName = *chosen;
    return Outcome::Chosen;
}

} // namespace velanote
