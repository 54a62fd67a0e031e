#pragma once
#include "platform/filedialog.h"

namespace velanote {

// Turns "description|pattern|description|pattern" into Qt's "description (pattern);;..." form.
// Patterns separated by ';' become space-separated; a description that already ends with its
// pattern in parentheses keeps it instead of repeating it. An empty filter stays empty.
QString qtFileFilter(const QString& filter);

// The real file dialogs over QFileDialog (Qt's own dialog where the platform has no native one).
class DesktopFileDialogs : public FileDialogService {
public:
    std::optional<QString> openFileName(QWidget* parent, const QString& title, const QString& filter,
                                        const QString& initialName) override;
    std::optional<QString> saveFileName(QWidget* parent, const QString& title, const QString& filter,
                                        const QString& initialName) override;
    std::optional<QString> existingFolder(QWidget* parent, const QString& title,
                                          const QString& initialFolder) override;
};

} // namespace velanote
