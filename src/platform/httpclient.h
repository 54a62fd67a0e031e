#pragma once
#include <QByteArray>
#include <QString>

namespace velanote {

// Result of a GET: whether a reply arrived whole, its HTTP status and its body.
struct HttpResult {
    bool completed = false;
    int status = 0;
    QByteArray body;
    bool ok() const { return completed && status >= 200 && status < 300; }
};

// Blocking HTTP with a connect timeout, a total timeout and a cap on the body size.
class HttpClient {
public:
    virtual ~HttpClient() = default;
    // The reply body of a completed 2xx request as text (UTF-8 unless told), empty on any failure.
    // An address without a scheme is fetched over http.
    virtual QString fetchText(const QString& url) = 0;
    virtual HttpResult get(const QString& url) = 0;
    // Downloads to a temporary file beside `path` and renames it over `path` only when the request
    // completed with a 2xx status and a non-empty body. Returns whether `path` now holds the body.
    virtual bool download(const QString& url, const QString& path) = 0;
};

} // namespace velanote
