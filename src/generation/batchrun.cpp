#include "generation/batchrun.h"

#include "generation/serviceclient.h"
#include "platform/atomicfile.h"
#include "platform/httpclient.h"

#include <QDir>

#include <mutex>
#include <thread>
#include <vector>

namespace velanote {

namespace {

struct Job {
    int line = 0;
    QString encodedSentence;
    QString path;
};

QString minutesAndSeconds(qint64 ms) {
    const qint64 seconds = (ms + 500) / 1000;
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

QList<BatchRun::Outcome> BatchRun::run(const BatchList& list, const Setup& setup,
                                       const std::atomic<bool>& cancel, const RowDone& rowDone) {
    // The sentences are composed here, before any worker starts.
    std::vector<Job> jobs;
    for (const BatchList::Row& row : list.rows()) {
        if (row.problem.isEmpty()) {
            jobs.push_back({row.line, UTF8EncodeURI(MessageComposer::finalSentence(row.inputs)),
                            QDir(setup.folder).filePath(row.fileName)});
        }
    }
    std::vector<Outcome> outcomes(jobs.size());
    std::vector<char> begun(jobs.size(), 0);
    std::atomic<std::size_t> next{0};
    std::mutex doneMutex;
    int done = 0;
    const auto work = [&](const QString& base) {
        const std::unique_ptr<HttpClient> client = setup.makeClient();
        for (std::size_t i = next++; i < jobs.size() && !cancel.load(); i = next++) {
            const Job& job = jobs[i];
            begun[i] = 1;
            Outcome& outcome = outcomes[i];
            outcome.line = job.line;
            outcome.path = job.path;
            const QString request = SpeechRequest::address(base, job.encodedSentence, setup.voice);
            const SpokenMessage spoken = SpeechRequest::speak(*client, request, base);
            if (spoken.failure != SpokenMessage::Failure::none) {
                outcome.failure = spoken.failureText(base);
                outcome.serviceFailed = true;
            } else if (!writeFileAtomically(job.path, setup.prefix + spoken.mp3)) {
                outcome.failure = QStringLiteral("音信文件保存失败!请检查保存路径..: ") + job.path;
            }
            std::lock_guard lock(doneMutex);
            ++done;
            if (rowDone) {
                rowDone(outcome, done, static_cast<int>(jobs.size()));
            }
        }
    };
    const std::size_t workers =
        std::max<std::size_t>(1, std::min<std::size_t>(static_cast<std::size_t>(setup.workers), jobs.size()));
    std::vector<std::thread> threads;
    threads.reserve(workers);
    for (std::size_t w = 0; w < workers; ++w) {
        threads.emplace_back(work,
                             setup.serviceBases.at(static_cast<qsizetype>(w) % setup.serviceBases.size()));
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    QList<Outcome> finished;
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        if (begun[i] != 0) {
            finished.append(outcomes[i]);
        }
    }
    return finished;
}

QString batchProgressText(int done, int total, qint64 elapsedMs) {
    QString text = QStringLiteral("%1/%2 已用 %3").arg(done).arg(total).arg(minutesAndSeconds(elapsedMs));
    if (done > 0 && done < total) {
        text += QStringLiteral(" 剩余约 ") + minutesAndSeconds(elapsedMs * (total - done) / done);
    }
    return text;
}

} // namespace velanote
