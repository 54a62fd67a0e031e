#include "generation/servicepool.h"

#include "service/speechservice.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>

namespace velanote {

ServicePool::ServicePool(const QString& ownBase, QString lexiconPath) : lexiconPath_(std::move(lexiconPath)) {
    if (!ownBase.isEmpty()) {
        bases_.append(ownBase);
    }
}

ServicePool::~ServicePool() {
    for (QProcess* child : children_) {
        child->terminate();
        if (!child->waitForFinished(5000)) {
            child->kill();
            child->waitForFinished(5000);
        }
        delete child;
    }
}

void ServicePool::grow(int count) {
    if (bases_.isEmpty()) {
        SpeechService::Options options;
        options.lexiconPath = lexiconPath_;
        auto service = std::make_unique<SpeechService>(options);
        if (service->start()) {
            bases_.append(QStringLiteral(" http://127.0.0.1:%1").arg(service->port()));
            inProcess_ = std::move(service);
        }
    }
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/velanote-cli");
    QStringList arguments = {QStringLiteral("serve"), QStringLiteral("--port"), QStringLiteral("0")};
    if (QFileInfo(lexiconPath_).isFile()) {
        arguments << QStringLiteral("--lexicon") << lexiconPath_;
    }
    while (bases_.size() < count && QFileInfo(program).isExecutable()) {
        auto* child = new QProcess;
        child->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child->start(program, arguments);
        // The service prints its address once it listens.
        QByteArray line;
        if (child->waitForStarted(20000)) {
            while (!child->canReadLine() && child->waitForReadyRead(20000)) {
            }
            line = child->readLine().trimmed();
        }
        if (!line.startsWith("http://")) {
            child->kill();
            child->waitForFinished(5000);
            delete child;
            break;
        }
        children_.append(child);
        bases_.append(QLatin1Char(' ') + QString::fromLatin1(line));
    }
}

} // namespace velanote
