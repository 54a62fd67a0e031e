#pragma once
#include <QString>
#include <optional>

class QWidget;

namespace velanote {

// Asks the user for a file to open or a name to save under; nullopt when the user cancels.
class FileDialogService {
public:
    virtual ~FileDialogService() = default;
    // `filter` is in the "description|pattern|description|pattern" form of the windows' dialogs.
    virtual std::optional<QString> openFileName(QWidget* parent, const QString& title, const QString& filter,
                                                const QString& initialName) = 0;
    virtual std::optional<QString> saveFileName(QWidget* parent, const QString& title, const QString& filter,
                                                const QString& initialName) = 0;
    // An existing folder, starting in `initialFolder` when it is one.
    virtual std::optional<QString> existingFolder(QWidget* parent, const QString& title,
                                                  const QString& initialFolder) = 0;
};

} // namespace velanote
