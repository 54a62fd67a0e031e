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

// What a download came to: the body saved, no usable body (failed request, error status or empty
// body), or a body that could not be written to the target.
enum class DownloadOutcome { Saved, NotFetched, NotWritten };

// Blocking HTTP with a connect timeout, a total timeout and a cap on the body size.
class HttpClient {
public:
    virtual ~HttpClient() = default;
    // The reply body of a completed 2xx request as text (UTF-8 unless told), empty on any failure.
    // An address without a scheme is fetched over http.
    virtual QString fetchText(const QString& url) = 0;
    virtual HttpResult get(const QString& url) = 0;
    // Fetches `url` and, only when the request completed with a 2xx status and a non-empty body,
    // writes the body to `path` atomically (a failed write leaves `path` as it was).
    DownloadOutcome download(const QString& url, const QString& path);
};

} // namespace velanote
