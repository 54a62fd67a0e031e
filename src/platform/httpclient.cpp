#include "platform/httpclient.h"

#include "platform/atomicfile.h"

namespace velanote {

DownloadOutcome HttpClient::download(const QString& url, const QString& path) {
    const HttpResult r = get(url);
    if (!r.ok() || r.body.isEmpty()) {
        return DownloadOutcome::NotFetched;
    }
    return writeFileAtomically(path, r.body) ? DownloadOutcome::Saved : DownloadOutcome::NotWritten;
}

} // namespace velanote
