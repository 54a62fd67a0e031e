#include "speech/speechservice.h"

#include "speech/espeakengine.h"
#include "speech/microhttpserver.h"
#include "speech/speechrenderer.h"
#include "speech/speechroutes.h"

#include <cstdio>
#include <mutex>

namespace velanote {

namespace {
void reportToStderr(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
}
} // namespace

struct SpeechService::Impl {
    Options options;
    SpeechRenderer renderer;
    SpeechRoutes routes;
    MicroHttpServer server;
    std::mutex logMutex;
    QString error;

    explicit Impl(Options o)
        : options(std::move(o)),
          renderer(static_cast<std::size_t>(std::max<qint64>(options.cacheBytes, 0)),
                   std::make_shared<ReadingSource>(options.lexiconPath, reportToStderr)),
          routes(renderer, options.latestVersion.toStdString()),
          server(
              MicroHttpServer::Settings{options.bindAddress.toStdString(), options.port},
              [this](const HttpRequest& request) { return routes.handle(request); },
              [this](const std::string& line) { log(line); }) {}

    void log(const std::string& line) {
        if (!options.logRequests) {
            return;
        }
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
    std::string error;
    if (!impl_->server.start(error)) {
        impl_->error = QString::fromStdString(error);
        return false;
    }
    impl_->error.clear();
    // Loads the voice now, so that the first request does not pay for it.
    EspeakEngine::instance().warmUp();
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
