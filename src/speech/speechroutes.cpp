#include "speech/speechroutes.h"

#include "speech/speechquery.h"
#include "speech/speechrenderer.h"

#include <algorithm>
#include <exception>

namespace velanote {

namespace {

constexpr const char* plainText = "text/plain; charset=utf-8";

constexpr std::string_view homePage = R"(<!DOCTYPE html>
<html lang="zh-CN">
<head><meta charset="utf-8"><title>velanote 语音服务</title></head>
<body>
<h1>velanote 语音服务</h1>
<p>把文字读成普通话语音（MP3）。</p>
<p><code>/text2speech.php?&amp;text=…</code></p>
</body>
</html>
)";

} // namespace

HttpReply HttpReply::text(int status, std::string body) {
    HttpReply reply;
    reply.status = status;
    reply.contentType = plainText;
    reply.body = std::make_shared<const std::string>(std::move(body));
    return reply;
}

SpeechRoutes::SpeechRoutes(SpeechRenderer& renderer, std::string latestVersion)
    : renderer_(renderer), latestVersion_(std::move(latestVersion)) {}

bool SpeechRoutes::isClipId(std::string_view id) {
    return id.size() == 40 && std::all_of(id.begin(), id.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

HttpReply SpeechRoutes::handle(const HttpRequest& request) const {
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
    const std::size_t mark = request.target.find('?');
    const std::string_view path = request.target.substr(0, mark);
    const std::string_view query =
        mark == std::string_view::npos ? std::string_view() : request.target.substr(mark + 1);

    if (path == "/text2speech.php") {
        return speak(query);
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
    return HttpReply::text(404, "not found\n");
}

HttpReply SpeechRoutes::speak(std::string_view rawQuery) const {
    const SpeechQuery query = SpeechQuery::parse(rawQuery);
    if (!query.error.empty()) {
        return HttpReply::text(400, query.error + "\n");
    }
    try {
        const SpeechClip clip = renderer_.clipFor(query.text);
        return HttpReply::text(200, "outurl=./tts/" + clip.id +
                                        ".mp3&bytes=" + std::to_string(clip.mp3->size()) +
                                        "&ms=" + std::to_string(clip.durationMs));
    } catch (const std::exception& e) {
        return HttpReply::text(500, std::string("speech synthesis failed: ") + e.what() + "\n");
    }
}

HttpReply SpeechRoutes::clip(std::string_view name) const {
    constexpr std::string_view suffix = ".mp3";
    if (!name.ends_with(suffix) || !isClipId(name.substr(0, name.size() - suffix.size()))) {
        return HttpReply::text(404, "not found\n");
    }
    const auto stored = renderer_.stored(std::string(name.substr(0, name.size() - suffix.size())));
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
