#include "batch/batchwindow.h"

#include "app/endpoints.h"
#include "app/messagetitles.h"
#include "app/windowtitles.h"
#include "generation/pinyincommand.h"
#include "generation/servicepool.h"
#include "generation/voicesettingsstore.h"
#include "platform/atomicfile.h"
#include "platform/desktophttpclient.h"
#include "platform/messagebox.h"
#include "widgets/objectname.h"
#include "widgets/statusbar.h"
#include "widgets/twips.h"
#include "widgets/windowplacement.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QThread>
#include <QtConcurrent/QtConcurrentRun>

namespace velanote {

namespace {

// Client area and the status bar, in twips.
constexpr int kWidth = 9000;
constexpr int kHeight = 7500;
constexpr int kStatusTop = 7050;
constexpr int kStatusHeight = 450;

enum Column { LineColumn, RecipientColumn, FileColumn, StateColumn };

QLineEdit* makePathBox(const char* name, QWidget* parent) {
    auto* box = named(new QLineEdit(parent), name);
    box->setReadOnly(true);
    return box;
}

QString prefixPath(const ProgramFolder& folder) {
    return folder.file(QStringLiteral("\\yx\\qz.mp3"));
}

} // namespace

BatchWindow::BatchWindow(AppContext& ctx, const QWidget* mainWindow, QWidget* parent)
    : QWidget(parent, Qt::Window),
      listDialog(ctx.platform.fileDialogs(), this, QStringLiteral("请选择名单文件"),
                 QStringLiteral("CSV名单文件(*.csv)|*.csv|所有文件|*.*")),
      ctx_(ctx) {
    setObjectName(QStringLiteral("BatchWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(toolWindowTitle(QStringLiteral("【星河】-批量生成音信")));
    buildControls();
    centreOnScreen(this, mainWindow);
    connect(loadButton, &QPushButton::clicked, this, &BatchWindow::onLoadButtonClicked);
    connect(folderButton, &QPushButton::clicked, this, &BatchWindow::onFolderButtonClicked);
    connect(generateButton, &QPushButton::clicked, this, &BatchWindow::onGenerateButtonClicked);
    connect(cancelButton, &QPushButton::clicked, this, &BatchWindow::onCancelButtonClicked);
    connect(&watcher_, &QFutureWatcherBase::finished, this, &BatchWindow::finishRun);
    updateButtons();
}

BatchWindow::~BatchWindow() {
    cancel_ = true;
    watcher_.waitForFinished();
}

void BatchWindow::buildControls() {
    setFixedSize(twipsToPixels(kWidth), twipsToPixels(kHeight));
    listFrame = named(
        new QGroupBox(QStringLiteral("名单 (UTF-8 CSV: sender,recipient,relation,message[,file])"), this),
        "listFrame");
    setGeometryTwips(listFrame, 120, 120, 8760, 4500);
    listPathEdit = makePathBox("listPathEdit", listFrame);
    setGeometryTwips(listPathEdit, 180, 390, 6780, 360);
    loadButton = named(new QPushButton(QStringLiteral("载入名单"), listFrame), "loadButton");
    setGeometryTwips(loadButton, 7080, 375, 1500, 390);
    rowTable = named(new QTableWidget(0, 4, listFrame), "rowTable");
    rowTable->setHorizontalHeaderLabels(
        {QStringLiteral("行"), QStringLiteral("接收人"), QStringLiteral("文件名"), QStringLiteral("状态")});
    rowTable->verticalHeader()->setVisible(false);
    rowTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    rowTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    rowTable->horizontalHeader()->setStretchLastSection(true);
    rowTable->setColumnWidth(LineColumn, twipsToPixels(600));
    rowTable->setColumnWidth(RecipientColumn, twipsToPixels(1500));
    rowTable->setColumnWidth(FileColumn, twipsToPixels(2200));
    setGeometryTwips(rowTable, 180, 870, 8400, 3480);

    outputFrame = named(new QGroupBox(QStringLiteral("生成"), this), "outputFrame");
    setGeometryTwips(outputFrame, 120, 4740, 8760, 2160);
    folderPathEdit = makePathBox("folderPathEdit", outputFrame);
    setGeometryTwips(folderPathEdit, 180, 390, 6780, 360);
    folderButton = named(new QPushButton(QStringLiteral("选择文件夹"), outputFrame), "folderButton");
    setGeometryTwips(folderButton, 7080, 375, 1500, 390);
    prefixCheck =
        named(new QCheckBox(QStringLiteral("在每条音信前加入前缀音频"), outputFrame), "prefixCheck");
    setGeometryTwips(prefixCheck, 180, 900, 4500, 330);
    generateButton = named(new QPushButton(QStringLiteral("开始生成"), outputFrame), "generateButton");
    setGeometryTwips(generateButton, 180, 1440, 3000, 450);
    QFont bold = generateButton->font();
    bold.setBold(true);
    generateButton->setFont(bold);
    cancelButton = named(new QPushButton(QStringLiteral("取消"), outputFrame), "cancelButton");
    setGeometryTwips(cancelButton, 3300, 1440, 1500, 450);
    progressBar = named(new QProgressBar(outputFrame), "progressBar");
    progressBar->setRange(0, 1);
    progressBar->setValue(0);
    progressBar->setFormat(QStringLiteral("%v/%m"));
    progressBar->setTextVisible(false);
    setGeometryTwips(progressBar, 4950, 1500, 3630, 330);

    statusLine = new StatusBar(
        {QStringLiteral("运行状态："), QStringLiteral("请载入名单并选择保存的文件夹...")}, 2, this);
    statusLine->setObjectName(QStringLiteral("statusLine"));
    setGeometryTwips(statusLine, 0, kStatusTop, kWidth, kStatusHeight);
}

void BatchWindow::setStatus(const QString& text) {
    statusLine->setPanelText(2, text);
}

bool BatchWindow::isRunning() const {
    return watcher_.isRunning();
}

void BatchWindow::updateButtons() {
    const bool running = isRunning();
    const bool ready = !list_.rows().isEmpty() && list_.fileProblem().isEmpty() &&
                       list_.badRowCount() < list_.rows().size() && !folderPathEdit->text().isEmpty();
    loadButton->setEnabled(!running);
    folderButton->setEnabled(!running);
    prefixCheck->setEnabled(!running && QFileInfo(prefixPath(ctx_.folder)).isFile());
    generateButton->setEnabled(!running && ready);
    cancelButton->setEnabled(running);
}

void BatchWindow::onLoadButtonClicked() {
    if (listDialog.showOpenDialog() == CommonDialog::Outcome::Chosen) {
        loadList(listDialog.FileName);
    }
}

void BatchWindow::loadList(const QString& path) {
    list_ = BatchList::load(path);
    listPathEdit->setText(path);
    rowTable->setRowCount(0);
    for (const BatchList::Row& row : list_.rows()) {
        const int at = rowTable->rowCount();
        rowTable->insertRow(at);
        const QString state =
            row.problem.isEmpty() ? QStringLiteral("待生成") : QStringLiteral("有误: ") + row.problem;
        const QString cells[] = {QString::number(row.line), row.inputs.recipient, row.fileName, state};
        for (int column = 0; column < 4; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (!row.problem.isEmpty()) {
                item->setForeground(QColor(0xc0, 0x20, 0x20));
            }
            rowTable->setItem(at, column, item);
        }
    }
    progressBar->setRange(0, std::max<int>(1, static_cast<int>(list_.rows().size() - list_.badRowCount())));
    progressBar->setValue(0);
    progressBar->setTextVisible(true);
    if (!list_.fileProblem().isEmpty()) {
        setStatus(list_.fileProblem());
    } else if (list_.badRowCount() > 0) {
        setStatus(QStringLiteral("已载入 %1 行,其中 %2 行有误,生成时将跳过")
                      .arg(list_.rows().size())
                      .arg(list_.badRowCount()));
    } else {
        setStatus(QStringLiteral("已载入 %1 行,全部检查通过").arg(list_.rows().size()));
    }
    updateButtons();
}

void BatchWindow::onFolderButtonClicked() {
    if (const std::optional<QString> folder = ctx_.platform.fileDialogs().existingFolder(
            this, QStringLiteral("请选择保存音信的文件夹"), folderPathEdit->text())) {
        folderPathEdit->setText(*folder);
    }
    updateButtons();
}

int BatchWindow::tableRowOf(int line) const {
    for (int at = 0; at < rowTable->rowCount(); ++at) {
        if (rowTable->item(at, LineColumn)->text() == QString::number(line)) {
            return at;
        }
    }
    return -1;
}

void BatchWindow::onGenerateButtonClicked() {
    const qsizetype bad = list_.badRowCount();
    if (bad > 0 &&
        ctx_.platform.messageBox().show(
            QStringLiteral("名单中有%1行有误,这些行将被跳过。是否继续生成其余的行?").arg(bad),
            MessageBoxStyle::YesNoInformation, MessageTitles::program(), this) != MessageBoxAnswer::Yes) {
        return;
    }
    BatchRun::Setup setup;
    setup.folder = folderPathEdit->text();
    setup.voice = VoiceSettingsStore(ctx_.folder).load();
    if (prefixCheck->isEnabled() && prefixCheck->isChecked() &&
        readRegularFile(prefixPath(ctx_.folder), qint64{1024} * 1024, setup.prefix) != ReadOutcome::Read) {
        setStatus(QStringLiteral("前缀音频无法读取,请在前缀音频设置中重新选择.."));
        return;
    }
    setup.workers = std::max(1, QThread::idealThreadCount());
    const bool external = Endpoints::usesExternalSpeechService();
    pool_ = std::make_unique<ServicePool>(ctx_.endpoints.speechBase, userLexiconPath(ctx_.folder));
    if (!external) {
        setStatus(QStringLiteral("正在准备语音服务..请稍等.."));
        pool_->grow(setup.workers);
    }
    setup.serviceBases = pool_->bases();
    setup.makeClient = [] { return std::make_unique<CurlHttpClient>(); };
    for (int at = 0; at < rowTable->rowCount(); ++at) {
        if (rowTable->item(at, FileColumn)->text().isEmpty()) {
            continue;
        }
        rowTable->item(at, StateColumn)->setText(QStringLiteral("待生成"));
    }
    progressBar->setValue(0);
    cancel_ = false;
    setStatus(QStringLiteral("正在生成..."));
    const BatchList list = list_;
    watcher_.setFuture(QtConcurrent::run([this, list, setup] {
        return BatchRun::run(
            list, setup, cancel_, [this](const BatchRun::Outcome& outcome, int done, int total) {
                QMetaObject::invokeMethod(
                    this, [this, outcome, done, total] { showOutcome(outcome, done, total); },
                    Qt::QueuedConnection);
            });
    }));
    updateButtons();
}

void BatchWindow::showOutcome(const BatchRun::Outcome& outcome, int done, int total) {
    progressBar->setRange(0, total);
    progressBar->setValue(done);
    const int at = tableRowOf(outcome.line);
    if (at >= 0) {
        QTableWidgetItem* state = rowTable->item(at, StateColumn);
        state->setText(outcome.failure.isEmpty() ? QStringLiteral("已生成")
                                                 : QStringLiteral("失败: ") + outcome.failure);
        state->setForeground(outcome.failure.isEmpty() ? QColor(0x20, 0x80, 0x20) : QColor(0xc0, 0x20, 0x20));
    }
    setStatus(QStringLiteral("正在生成 ") + QString::number(done) + QLatin1Char('/') +
              QString::number(total));
}

void BatchWindow::onCancelButtonClicked() {
    cancel_ = true;
    setStatus(QStringLiteral("正在取消..正在生成的行完成后停止.."));
}

void BatchWindow::finishRun() {
    const QList<BatchRun::Outcome> outcomes = watcher_.result();
    pool_.reset();
    QStringList failed;
    for (const BatchRun::Outcome& outcome : outcomes) {
        if (!outcome.failure.isEmpty()) {
            failed.append(QString::number(outcome.line));
        }
    }
    const qsizetype good = list_.rows().size() - list_.badRowCount();
    QString summary = QStringLiteral("已生成 %1/%2 行").arg(outcomes.size() - failed.size()).arg(good);
    if (!failed.isEmpty()) {
        summary += QStringLiteral(",失败: 第%1行").arg(failed.join(QStringLiteral("、")));
    }
    if (outcomes.size() < good) {
        summary += QStringLiteral(",已取消 %1 行").arg(good - outcomes.size());
    }
    setStatus(summary);
    updateButtons();
    Q_EMIT runFinished();
}

void BatchWindow::closeEvent(QCloseEvent* event) {
    cancel_ = true;
    watcher_.waitForFinished();
    event->accept();
}

} // namespace velanote
