#include "service/loopbackclient.h"
#include "service/speechquery.h"

#include <curl/curl.h>

namespace velanote::testing {

namespace {

std::size_t appendBody(char* data, std::size_t size, std::size_t count, void* target) {
    static_cast<std::string*>(target)->append(data, size * count);
    return size * count;
}

} // namespace

LoopbackClient::LoopbackClient(unsigned port, std::string from)
    : base_("http://127.0.0.1:" + std::to_string(port)), from_(std::move(from)), curl_(curl_easy_init()) {}

LoopbackClient::~LoopbackClient() {
    curl_easy_cleanup(static_cast<CURL*>(curl_));
}

LoopbackReply LoopbackClient::send(const std::string& method, const std::string& target,
                                   const std::string* body) {
    auto* curl = static_cast<CURL*>(curl_);
    curl_easy_reset(curl);
    LoopbackReply reply;
    const std::string url = base_ + target;
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PATH_AS_IS, 1L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 30L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, appendBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply.body);
    if (!from_.empty()) {
        curl_easy_setopt(curl, CURLOPT_INTERFACE, ("host!" + from_).c_str());
    }
    if (method == "HEAD") {
        curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
    } else if (method != "GET") {
        curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, method.c_str());
    }
    if (body != nullptr) {
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body->data());
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, static_cast<long>(body->size()));
        curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, method.c_str());
    }
    reply.completed = curl_easy_perform(curl) == CURLE_OK;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &reply.status);
    char* type = nullptr;
    if (curl_easy_getinfo(curl, CURLINFO_CONTENT_TYPE, &type) == CURLE_OK && type != nullptr) {
        reply.contentType = type;
    }
    curl_off_t length = -1;
    if (curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) == CURLE_OK) {
        reply.contentLength = static_cast<double>(length);
    }
    return reply;
}

LoopbackReply LoopbackClient::get(const std::string& target) {
    return send("GET", target, nullptr);
}

LoopbackReply LoopbackClient::head(const std::string& target) {
    return send("HEAD", target, nullptr);
}

LoopbackReply LoopbackClient::speak(const std::string& utf8Text) {
    return get("/text2speech.php?&text=" + SpeechQuery::encodeComponent(utf8Text));
}

} // namespace velanote::testing
