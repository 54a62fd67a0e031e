#pragma once
#include "velanote/version.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace velanote {

class ClipStore;

// The embedded text-to-speech service: HTTP on a loopback port, Mandarin speech as MP3.
class SpeechService {
public:
    struct Options {
        QString bindAddress = QStringLiteral("127.0.0.1");
        quint16 port = 0; // 0: an ephemeral port
        QString latestVersion = QString::fromLatin1(kVersionTag);
        qint64 cacheBytes = 64LL * 1024 * 1024;
        bool logRequests = false; // one line per request on stderr
        QString lexiconPath;      // the user's lexicon of readings; problems in it go to stderr
        // Connections one client address may hold; 0 for no limit, as on loopback where every
        // local program shares one address.
        uint connectionsPerAddress = 0;
        uint requestDeadlineMs = 10000; // to receive a whole request, however slowly it trickles
        QString storeUrl;               // redis://HOST:PORT[/DB] to share clips; empty: memory only
        qint64 storeTtlSeconds = 7LL * 24 * 3600;
        QString trustedProxy;        // a load balancer whose X-Real-IP names the client
        bool anyPortIfTaken = false; // when `port` is taken, an ephemeral port instead
        // Where clips are kept beyond memory when there is no shared store (not owned; it must
        // outlive the service).
        ClipStore* localStore = nullptr;
    };

    explicit SpeechService(Options options);
    SpeechService();
    ~SpeechService();
    SpeechService(const SpeechService&) = delete;
    SpeechService& operator=(const SpeechService&) = delete;

    bool start();
    void stop();
    bool isRunning() const;
    quint16 port() const;
    // How many texts were synthesised, as opposed to served from the store.
    quint64 synthesisCount() const;
    // Why the last start() failed.
    QString errorString() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// `velanote serve [options]` (see ServeArguments::usage), given the words after "serve": serves
// until SIGINT or SIGTERM and returns the exit code (2 for bad arguments).
int runServeCommand(const QStringList& arguments);

} // namespace velanote
