#pragma once
#include "platform/httpclient.h"

namespace velanote {

// Blocking HTTP over libcurl: redirects followed, a connect timeout, a total timeout and a cap on
// the body, which is checked as the bytes arrive (a missing Content-Length does not escape it).
class CurlHttpClient : public HttpClient {
public:
    struct Limits {
        long connectTimeoutMs = 10'000;
        long totalTimeoutMs = 60'000;
        qint64 maxBodyBytes = qint64{16} * 1024 * 1024;
    };

    CurlHttpClient() = default;
    explicit CurlHttpClient(Limits limits) : limits_(limits) {}

    QString fetchText(const QString& url) override;
    HttpResult get(const QString& url) override;

    const Limits& limits() const { return limits_; }
    void setLimits(const Limits& limits) { limits_ = limits; }

    // The address as it is handed to libcurl: surrounding blanks removed, http:// added when
    // there is no scheme.
    static QByteArray requestAddress(const QString& url);

private:
    Limits limits_;
};

} // namespace velanote
