#include "platform/desktophttpclient.h"

#include "platform/atomicfile.h"
#include "velanote/version.h"

#include <curl/curl.h>

#include <QRegularExpression>

#include <memory>
#include <mutex>

namespace velanote {

namespace {

void initialiseCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Reception {
    QByteArray body;
    qint64 cap = 0;
    bool overCap = false;
};

size_t receive(char* data, size_t size, size_t count, void* user) {
    auto* r = static_cast<Reception*>(user);
    const size_t n = size * count;
    if (r->body.size() + qint64(n) > r->cap) {
        r->overCap = true;
        return 0; // makes libcurl stop with CURLE_WRITE_ERROR
    }
    r->body.append(data, qsizetype(n));
    return n;
}

struct EasyDeleter {
    void operator()(CURL* c) const { curl_easy_cleanup(c); }
};

} // namespace

QByteArray CurlHttpClient::requestAddress(const QString& url) {
    const QString text = url.trimmed();
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    if (!text.isEmpty() && !scheme.match(text).hasMatch()) {
        return "http://" + text.toUtf8();
    }
    return text.toUtf8();
}

HttpResult CurlHttpClient::get(const QString& url) {
    HttpResult result;
    const QByteArray address = requestAddress(url);
    if (address.isEmpty()) {
        return result;
    }
    initialiseCurlOnce();
    std::unique_ptr<CURL, EasyDeleter> curl(curl_easy_init());
    if (!curl) {
        return result;
    }
    Reception reception;
    reception.cap = limits_.maxBodyBytes;
    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, address.constData());
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, limits_.connectTimeoutMs);
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, limits_.totalTimeoutMs);
    curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(limits_.maxBodyBytes));
    curl_easy_setopt(c, CURLOPT_ACCEPT_ENCODING, "");
    static const std::string userAgent = std::string("velanote/") + kVersion;
    curl_easy_setopt(c, CURLOPT_USERAGENT, userAgent.c_str());
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &receive);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &reception);

    const CURLcode code = curl_easy_perform(c);
    long status = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
    result.status = int(status);
    if (code != CURLE_OK || reception.overCap) {
        return result;
    }
    result.completed = true;
    result.body = std::move(reception.body);
    return result;
}

QString CurlHttpClient::fetchText(const QString& url) {
    const HttpResult r = get(url);
    return r.ok() ? QString::fromUtf8(r.body) : QString();
}

} // namespace velanote
