#include "service/speechroutes.h"

#include "service/clipprovider.h"
#include "service/fairqueue.h"
#include "service/servicemetrics.h"
#include "service/speechquery.h"

#include <algorithm>
#include <exception>

namespace velanote {

namespace {

constexpr std::string_view homePage = R"(<!DOCTYPE html>
<html lang="zh-CN">
<head><meta charset="utf-8"><title>velanote 语音服务</title></head>
<body>
<h1>velanote 语音服务</h1>
<p>把文字读成普通话语音（MP3）。</p>
<p><code>/text2speech.php?&amp;text=…</code></p>
<p>可选参数：<code>&amp;rate=</code> 语速 50–200，<code>&amp;pitch=</code> 音调 50–150，
<code>&amp;volume=</code> 音量 10–200（均为百分比，100 为正常），<code>&amp;voice=male|female</code>。</p>
</body>
</html>
)";

// The route named in the request counters; unknown paths share one name so that the set stays small.
std::string routeName(std::string_view path) {
    if (path == "/text2speech.php") {
        return "speak";
    }
    if (path.starts_with("/tts/")) {
        return "clip";
    }
    if (path == "/") {
        return "home";
    }
    if (path == "/soft/velasoftjc/sjnt/jc.txt") {
        return "version";
    }
    if (path == "/healthz") {
        return "healthz";
    }
    if (path == "/metrics") {
        return "metrics";
    }
    return "other";
}

HttpReply spokenReply(const SpeechClip& clip) {
    return HttpReply::text(200, "outurl=./tts/" + clip.id + ".mp3&bytes=" + std::to_string(clip.mp3->size()) +
                                    "&ms=" + std::to_string(clip.durationMs));
}

} // namespace

SpeechRoutes::SpeechRoutes(Parts parts, std::string latestVersion)
    : parts_(std::move(parts)), latestVersion_(std::move(latestVersion)) {}

bool SpeechRoutes::isClipId(std::string_view id) {
    return id.size() == 40 && std::all_of(id.begin(), id.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

HttpReply SpeechRoutes::handle(const HttpRequest& request) {
    const std::size_t mark = request.target.find('?');
    const std::string_view path = request.target.substr(0, mark);
    const std::string_view query =
        mark == std::string_view::npos ? std::string_view() : request.target.substr(mark + 1);
    std::string name = request.target.size() > maxTargetLength ? "other" : routeName(path);
    HttpReply reply = route(request, path, query);
    if (!reply.later) {
        parts_.metrics.countRequest(name, reply.status);
        return reply;
    }
    // Counted once the answer is there.
    reply.later = [later = std::move(reply.later), &metrics = parts_.metrics,
                   name = std::move(name)](HttpReply::Deliver deliver) {
        later([&metrics, name, deliver = std::move(deliver)](HttpReply delivered) {
            metrics.countRequest(name, delivered.status);
            deliver(std::move(delivered));
        });
    };
    return reply;
}

HttpReply SpeechRoutes::route(const HttpRequest& request, std::string_view path, std::string_view query) {
    if (request.target.size() > maxTargetLength) {
        return HttpReply::text(414, "address too long\n");
    }
    if (request.hasBody) {
        return HttpReply::text(413, "request bodies are not accepted\n");
    }
    if (request.method != "GET" && request.method != "HEAD") {
        HttpReply reply = HttpReply::text(405, "only GET and HEAD are allowed\n");
        reply.headers.emplace_back("Allow", "GET, HEAD");
        return reply;
    }
    if (path == "/text2speech.php") {
        return speak(query, request.client);
    }
    if (path.starts_with("/tts/")) {
        return clip(path.substr(5));
    }
    if (path == "/") {
        HttpReply reply;
        reply.contentType = "text/html; charset=utf-8";
        reply.body = std::make_shared<const std::string>(homePage);
        return reply;
    }
    if (path == "/soft/velasoftjc/sjnt/jc.txt") {
        return HttpReply::text(200, latestVersion_);
    }
    if (path == "/healthz") {
        return health();
    }
    if (path == "/metrics") {
        ServiceMetrics::Gauges gauges;
        gauges.bytesHeld = parts_.renderer.bytesHeld();
        gauges.queueLength = parts_.queue.length();
        if (parts_.readGauges) {
            parts_.readGauges(gauges);
        }
        HttpReply reply = HttpReply::text(200, parts_.metrics.text(gauges));
        reply.contentType = "text/plain; version=0.0.4; charset=utf-8";
        return reply;
    }
    return HttpReply::text(404, "not found\n");
}

HttpReply SpeechRoutes::health() const {
    if (!parts_.engineStarted()) {
        return HttpReply::text(503, "the speech engine does not work\n");
    }
    if (lastSynthesisFailed_) {
        return HttpReply::text(503, "the last synthesis failed\n");
    }
    return HttpReply::text(200, "ok\n");
}

HttpReply SpeechRoutes::speak(std::string_view rawQuery, std::string_view client) {
    SpeechQuery query = SpeechQuery::parse(rawQuery);
    if (!query.error.empty()) {
        return HttpReply::text(400, query.error + "\n");
    }
    if (const std::optional<SpeechClip> stored = parts_.renderer.storedFor(query.text, query.voice)) {
        return spokenReply(*stored);
    }
    HttpReply reply;
    reply.later = [this, text = std::move(query.text), voice = query.voice,
                   client = std::string(client)](HttpReply::Deliver deliver) {
        parts_.queue.submit(
            client, [this, text, voice, deliver = std::move(deliver)] { deliver(synthesise(text, voice)); });
    };
    return reply;
}

HttpReply SpeechRoutes::synthesise(const std::u32string& text, const VoiceSettings& voice) {
    try {
        const SpeechClip clip = parts_.renderer.clipFor(text, voice);
        lastSynthesisFailed_ = false;
        return spokenReply(clip);
    } catch (const std::exception& e) {
        lastSynthesisFailed_ = true;
        return HttpReply::text(500, std::string("speech synthesis failed: ") + e.what() + "\n");
    }
}

HttpReply SpeechRoutes::clip(std::string_view name) const {
    constexpr std::string_view suffix = ".mp3";
    if (!name.ends_with(suffix) || !isClipId(name.substr(0, name.size() - suffix.size()))) {
        return HttpReply::text(404, "not found\n");
    }
    const auto stored = parts_.renderer.stored(std::string(name.substr(0, name.size() - suffix.size())));
    if (!stored) {
        return HttpReply::text(404, "not found\n");
    }
    HttpReply reply;
    reply.contentType = "audio/mpeg";
    reply.body = stored->mp3;
    reply.headers.emplace_back("Cache-Control", "max-age=86400, immutable");
    return reply;
}

} // namespace velanote
