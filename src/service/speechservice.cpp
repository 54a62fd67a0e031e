#include "service/speechservice.h"

#include "service/clipprovider.h"
#include "service/fairqueue.h"
#include "service/microhttpserver.h"
#include "service/redisclipstore.h"
#include "service/servicemetrics.h"
#include "service/speechroutes.h"
#include "synthesis/espeakengine.h"

#include <chrono>
#include <cstdio>
#include <future>
#include <mutex>

namespace velanote {

namespace {

MicroHttpServer::Settings serverSettings(const SpeechService::Options& options) {
    MicroHttpServer::Settings settings;
    settings.bindAddress = options.bindAddress.toStdString();
    settings.port = options.port;
    settings.perAddressLimit = options.connectionsPerAddress;
    settings.requestDeadlineMs = options.requestDeadlineMs;
    settings.trustedProxy = options.trustedProxy.toStdString();
    return settings;
}

} // namespace

struct SpeechService::Impl {
    Options options;
    std::mutex logMutex;
    QString error;
    ServiceMetrics metrics;
    std::unique_ptr<RedisClipStore> shared;
    ClipProvider renderer;
    std::shared_future<bool> engineStarted;
    SpeechRoutes routes;
    MicroHttpServer server;
    // Last: its worker runs jobs that use the members above, and ends first.
    FairQueue queue;

    explicit Impl(Options o)
        : options(std::move(o)), shared(makeSharedStore()),
          renderer(static_cast<std::size_t>(std::max<qint64>(options.cacheBytes, 0)),
                   std::make_shared<ReadingSource>(options.lexiconPath,
                                                   [this](const std::string& line) { warn(line); }),
                   shared ? static_cast<ClipStore*>(shared.get()) : options.localStore, &metrics),
          routes(SpeechRoutes::Parts{renderer, queue, metrics, [this] { return engineWorks(); },
                                     [this](ServiceMetrics::Gauges& gauges) { readGauges(gauges); }},
                 options.latestVersion.toStdString()),
          server(
              serverSettings(options), [this](const HttpRequest& request) { return routes.handle(request); },
              [this](const std::string& line) { log(line); }) {}

    std::unique_ptr<RedisClipStore> makeSharedStore() {
        if (options.storeUrl.isEmpty()) {
            return nullptr;
        }
        std::string reason;
        const auto address = RedisClipStore::parseUrl(options.storeUrl.toStdString(), reason);
        if (!address) {
            error = QString::fromStdString(reason);
            return nullptr;
        }
        return std::make_unique<RedisClipStore>(*address, std::chrono::seconds(options.storeTtlSeconds),
                                                [this](const std::string& line) { warn(line); });
    }

    void readGauges(ServiceMetrics::Gauges& gauges) {
        gauges.openConnections = server.openConnections();
        gauges.droppedConnections = server.drops().totals();
        if (shared) {
            gauges.sharedStoreUp = shared->isUp();
        }
    }

    bool engineWorks() const {
        return engineStarted.valid() &&
               engineStarted.wait_for(std::chrono::seconds(2)) == std::future_status::ready &&
               engineStarted.get();
    }

    void log(const std::string& line) {
        if (options.logRequests) {
            warn(line);
        }
    }

    // Trouble with the shared store is worth a line even when requests are not logged.
    void warn(const std::string& line) {
        std::lock_guard lock(logMutex);
        std::fprintf(stderr, "%s\n", line.c_str());
        std::fflush(stderr);
    }
};

SpeechService::SpeechService(Options options) : impl_(std::make_unique<Impl>(std::move(options))) {}

SpeechService::SpeechService() : SpeechService(Options{}) {}

SpeechService::~SpeechService() {
    stop();
}

bool SpeechService::start() {
    if (impl_->server.isRunning()) {
        return true;
    }
    if (!impl_->options.storeUrl.isEmpty() && !impl_->shared) {
        return false; // the reason was set when the address was read
    }
    // Loads the voice now, so that the first request does not pay for it.
    impl_->engineStarted = EspeakEngine::instance().warmUp().share();
    std::string error;
    bool started = impl_->server.start(error);
    if (!started && impl_->options.anyPortIfTaken && impl_->options.port != 0) {
        impl_->server.usePort(0);
        started = impl_->server.start(error);
    }
    if (!started) {
        impl_->error = QString::fromStdString(error);
        return false;
    }
    impl_->error.clear();
    return true;
}

void SpeechService::stop() {
    impl_->server.stop();
}

bool SpeechService::isRunning() const {
    return impl_->server.isRunning();
}

quint16 SpeechService::port() const {
    return impl_->server.port();
}

QString SpeechService::errorString() const {
    return impl_->error;
}

quint64 SpeechService::synthesisCount() const {
    return impl_->renderer.synthesisCount();
}

} // namespace velanote
