#pragma once
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class QProcess;

namespace velanote {

class SpeechService;

// Speech services for a batch. The synthesiser keeps global state, so one process speaks one text
// at a time; to speak several at once the pool adds services in processes of their own
// ("velanote-cli serve" beside the running program), each with its own synthesiser. An outside
// service (VELANOTE_SPEECH_URL) is used alone, as it is.
class ServicePool {
public:
    // `ownBase` is a service this process already runs, or empty; `lexiconPath` is handed to the
    // added services when that file exists.
    ServicePool(const QString& ownBase, QString lexiconPath);
    ~ServicePool();
    ServicePool(const ServicePool&) = delete;
    ServicePool& operator=(const ServicePool&) = delete;

    // Brings the pool to `count` services, as far as they start (each start waits at most 20 s);
    // an in-process service is started first when there is no own one.
    void grow(int count);
    // " http://127.0.0.1:port" of each running service.
    const QStringList& bases() const { return bases_; }

private:
    QString lexiconPath_;
    QStringList bases_;
    std::unique_ptr<SpeechService> inProcess_;
    QList<QProcess*> children_;
};

} // namespace velanote
