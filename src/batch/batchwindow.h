#pragma once
#include "app/appcontext.h"
#include "generation/batchlist.h"
#include "generation/batchrun.h"
#include "platform/commondialog.h"

#include <QFutureWatcher>
#include <QWidget>

#include <atomic>
#include <memory>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace velanote {

class ServicePool;
class StatusBar;

// The batch window (批量生成音信): loads a list of recipients (BatchList), shows each row with its
// check, and makes the good rows' messages in a chosen folder with the desktop's voice settings
// and, when asked, the stored prefix, several rows at once (BatchRun over a ServicePool, as the
// command line does), with a progress bar and a cancel button. Deleted on close; closing during a
// run cancels the rows not yet begun and waits for those in progress.
//
// control         caption                      handler                   purpose
// listPathEdit    (a path)                                               the list loaded
// loadButton      载入名单                     onLoadButtonClicked       picks and loads a CSV list
// rowTable        行 / 接收人 / 文件名 / 状态                            each row's check, then outcome
// folderPathEdit  (a path)                                               where the messages go
// folderButton    选择文件夹                   onFolderButtonClicked     picks that folder
// prefixCheck     在每条音信前加入前缀音频                               joins the stored prefix in front
// generateButton  开始生成                     onGenerateButtonClicked   makes the good rows
// cancelButton    取消                         onCancelButtonClicked     stops the rows not yet begun
// progressBar     (n/总数)                                               rows done
// statusLine      运行状态： ...                                         progress and the summary
class BatchWindow : public QWidget {
    Q_OBJECT
public:
    explicit BatchWindow(AppContext& ctx, const QWidget* mainWindow = nullptr, QWidget* parent = nullptr);
    ~BatchWindow() override;

    bool isRunning() const;

Q_SIGNALS:
    // Every row begun has finished.
    void runFinished();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QGroupBox* listFrame = nullptr;
    QLineEdit* listPathEdit = nullptr;
    QPushButton* loadButton = nullptr;
    QTableWidget* rowTable = nullptr;
    QGroupBox* outputFrame = nullptr;
    QLineEdit* folderPathEdit = nullptr;
    QPushButton* folderButton = nullptr;
    QCheckBox* prefixCheck = nullptr;
    QPushButton* generateButton = nullptr;
    QPushButton* cancelButton = nullptr;
    QProgressBar* progressBar = nullptr;
    StatusBar* statusLine = nullptr;
    CommonDialog listDialog;

    // Loads the list at `path` into the table.
    void loadList(const QString& path);
    void onLoadButtonClicked();
    void onFolderButtonClicked();
    void onGenerateButtonClicked();
    void onCancelButtonClicked();
    void buildControls();
    void updateButtons();
    void setStatus(const QString& text);
    void showOutcome(const BatchRun::Outcome& outcome, int done, int total);
    void finishRun();
    int tableRowOf(int line) const;

    AppContext& ctx_;
    BatchList list_;
    std::unique_ptr<ServicePool> pool_;
    std::atomic<bool> cancel_{false};
    QFutureWatcher<QList<BatchRun::Outcome>> watcher_;
};

} // namespace velanote
