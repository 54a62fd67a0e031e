#include "platform/desktopfiledialogs.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QStringList>
#include <QTimer>
#include <QTreeView>

#include <algorithm>

namespace velanote {

namespace {

QString normalisedPatterns(const QString& pattern) {
    QString p = pattern;
    p.replace(QLatin1Char(';'), QLatin1Char(' '));
    p = p.simplified();
    return p.isEmpty() ? QStringLiteral("*") : p;
}

// "MP3音频文件" + "*.mp3" -> "MP3音频文件 (*.mp3)"; "音频文件(*.mp3)" + "*.mp3" -> "音频文件(*.mp3)".
QString qtFilterEntry(const QString& description, const QString& pattern) {
    QString patterns = normalisedPatterns(pattern);
    const QString desc = description.trimmed();
    static const QRegularExpression tail(QStringLiteral("^(.*)\\(([^()]*)\\)$"));
    const QRegularExpressionMatch m = tail.match(desc);
    if (m.hasMatch() && normalisedPatterns(m.captured(2)).compare(patterns, Qt::CaseInsensitive) == 0) {
        return m.captured(1) + QLatin1Char('(') + patterns + QLatin1Char(')');
    }
    if (desc.isEmpty()) {
        return patterns;
    }
    return desc + QStringLiteral(" (") + patterns + QLatin1Char(')');
}

// The suffix that the chosen filter supplies when the typed name has none ("*.mp3" -> "mp3").
QString suffixOf(const QString& qtFilter) {
    static const QRegularExpression firstPattern(QStringLiteral("\\(\\*\\.([A-Za-z0-9_]+)[ )]"));
    const QRegularExpressionMatch m = firstPattern.match(qtFilter);
    return m.hasMatch() ? m.captured(1) : QString();
}

// Widens the columns of the dialog's detail view that Qt sized for shorter texts than it shows
// (sizes such as "246.5 KiB", types, dates in the user's format), and the dialog itself until the
// view shows every column whole.
void fitColumns(QFileDialog& dialog) {
    auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    if (view == nullptr) {
        return;
    }
    QHeaderView* header = view->header();
    const QAbstractItemView* items = view; // where the width its entries need is public
    for (int column = 1; column < header->count(); ++column) {
        const int wanted = std::max(items->sizeHintForColumn(column), header->sectionSizeHint(column));
        if (header->sectionSize(column) < wanted) {
            header->resizeSection(column, wanted);
        }
    }
    // The view shows every column when its viewport, less a vertical scroll bar, is as wide as they are.
    const int missing =
        header->length() + view->verticalScrollBar()->sizeHint().width() - view->viewport()->width();
    if (missing > 0) {
        int width = dialog.width() + missing;
        if (const QScreen* screen = dialog.screen()) {
            width = std::min(width, screen->availableGeometry().width());
        }
        dialog.resize(width, dialog.height());
    }
}

bool platformHasNoNativeDialogs() {
    const QString name = QGuiApplication::platformName();
    return name == QLatin1String("offscreen") || name == QLatin1String("minimal");
}

std::optional<QString> runDialog(QWidget* parent, const QString& title, const QString& filter,
                                 const QString& initialName, bool save) {
    QFileDialog dialog(parent, title);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The program's save dialogs never asked before replacing a file; the callers decide.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (platformHasNoNativeDialogs()) {
        dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    }
    // The captions of the desktop's Chinese file dialog, whatever translations Qt has installed.
    dialog.setLabelText(QFileDialog::LookIn, save ? QStringLiteral("保存在:") : QStringLiteral("查找范围:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("文件名(&N):"));
    dialog.setLabelText(QFileDialog::FileType,
                        save ? QStringLiteral("保存类型(&T):") : QStringLiteral("文件类型(&T):"));
    // Qt's own file-type caption has no buddy, so its "&T" would show as typed instead of as a key.
    // Its widgets may only exist once the dialog is shown.
    QTimer::singleShot(0, &dialog, [&dialog] {
        if (auto* typeLabel = dialog.findChild<QLabel*>(QStringLiteral("fileTypeLabel"))) {
            typeLabel->setBuddy(dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo")));
        }
        fitColumns(dialog);
        // Each folder's entries arrive later, from a thread of the model's own.
        if (auto* model = dialog.findChild<QFileSystemModel*>()) {
            QObject::connect(model, &QFileSystemModel::directoryLoaded, &dialog,
                             [&dialog] { fitColumns(dialog); });
        }
    });
    dialog.setLabelText(QFileDialog::Accept, save ? QStringLiteral("保存(&S)") : QStringLiteral("打开(&O)"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("取消"));
    const QString nameFilters = qtFileFilter(filter);
    if (!nameFilters.isEmpty()) {
        dialog.setNameFilters(nameFilters.split(QStringLiteral(";;")));
        if (save) {
            dialog.setDefaultSuffix(suffixOf(dialog.selectedNameFilter()));
            QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                             [&dialog](const QString& chosen) { dialog.setDefaultSuffix(suffixOf(chosen)); });
        }
    }
    if (!initialName.isEmpty()) {
        const QFileInfo info(initialName);
        if (info.isAbsolute()) {
            dialog.setDirectory(info.absolutePath());
        }
        dialog.selectFile(info.fileName());
    }
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty()) {
        return std::nullopt;
    }
    return chosen.first();
}

} // namespace

QString qtFileFilter(const QString& filter) {
    if (filter.trimmed().isEmpty()) {
        return {};
    }
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString pattern = i + 1 < parts.size() ? parts[i + 1] : QString();
        if (parts[i].trimmed().isEmpty() && pattern.trimmed().isEmpty()) {
            continue;
        }
        entries.append(qtFilterEntry(parts[i], pattern));
    }
    return entries.join(QStringLiteral(";;"));
}

std::optional<QString> DesktopFileDialogs::openFileName(QWidget* parent, const QString& title,
                                                        const QString& filter, const QString& initialName) {
    return runDialog(parent, title, filter, initialName, false);
}

std::optional<QString> DesktopFileDialogs::saveFileName(QWidget* parent, const QString& title,
                                                        const QString& filter, const QString& initialName) {
    return runDialog(parent, title, filter, initialName, true);
}

std::optional<QString> DesktopFileDialogs::existingFolder(QWidget* parent, const QString& title,
                                                          const QString& initialFolder) {
    QFileDialog dialog(parent, title, initialFolder);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    if (platformHasNoNativeDialogs()) {
        dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    }
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("查找范围:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("文件夹:"));
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("选择文件夹"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("取消"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}

} // namespace velanote
