#pragma once
#include "generation/batchlist.h"
#include "synthesis/voicesettings.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>

namespace velanote {

class HttpClient;

// Makes the messages of a batch's good rows in a folder, several rows at a time: each worker asks
// its speech service for a row's speech, joins the prefix in front and writes the file. A row that
// fails is reported and the others go on. Used alike by the command line and the batch window.
class BatchRun {
public:
    struct Setup {
        QString folder;
        QStringList serviceBases; // " http://host:port" each; worker i uses base i modulo their number
        int workers = 1;
        VoiceSettings voice;
        QByteArray prefix; // joined in front of each message; may be empty
        std::function<std::unique_ptr<HttpClient>()> makeClient; // one client per worker
    };
    struct Outcome {
        int line = 0;
        QString path;
        QString failure;            // empty when the file was made
        bool serviceFailed = false; // the failure was the service's, not the file's
    };
    // Called on the worker's thread after each row, with the rows finished so far.
    using RowDone = std::function<void(const Outcome& outcome, int done, int total)>;

    // Makes every good row of `list` unless `cancel` is set, which stops the rows not yet begun.
    // Blocks until the workers are done; the outcomes are in the list's order, those not begun left
    // out.
    static QList<Outcome> run(const BatchList& list, const Setup& setup, const std::atomic<bool>& cancel,
                              const RowDone& rowDone = {});
};

// What the progress line says: "12/50 已用 0:05 剩余约 0:15"; no time left before the first row.
QString batchProgressText(int done, int total, qint64 elapsedMs);

} // namespace velanote
