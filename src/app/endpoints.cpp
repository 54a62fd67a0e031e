#include "app/endpoints.h"

#include <QUrl>

namespace velanote {

Endpoints Endpoints::forLocalService(quint16 port) {
    Endpoints e;
    // Port 9 (discard) is never served here, so an absent service reads as off line.
    const QString host = QStringLiteral("127.0.0.1:%1").arg(port == 0 ? 9 : port);
    e.speechBase = QLatin1String(" http://") + host;
    e.probeHost = host;
    e.versionUrl = QLatin1String("http://") + host + QLatin1String("/soft/velasoftjc/sjnt/jc.txt");
    e.forumUrl = QStringLiteral("http://bbs.velasoft.example/");
    e.boardUrl = QStringLiteral("http://tieba.velasoft.example/f?kw=vela");
    e.blogUrl = QStringLiteral("http://blog.velasoft.example/");
    e.chatUrl = QStringLiteral("tencent://message/?uin=10001&Site=velasoft.example&Menu=yes");
    e.searchBase = QStringLiteral("https://www.baidu.com");
    e.authorAccount = QStringLiteral("10001");

    if (usesExternalSpeechService()) {
        e.useSpeechService(qEnvironmentVariable("VELANOTE_SPEECH_URL").trimmed());
    }
    const QString update = qEnvironmentVariable("VELANOTE_UPDATE_URL").trimmed();
    if (!update.isEmpty()) {
        e.versionUrl = update;
    }
    return e;
}

void Endpoints::useSpeechService(const QString& url) {
    QString u = url.trimmed();
    while (u.endsWith(QLatin1Char('/'))) {
        u.chop(1);
    }
    if (!u.contains(QLatin1String("://"))) {
        u.prepend(QLatin1String("http://"));
    }
    const QUrl parsed(u);
    speechBase = QLatin1Char(' ') + u;
    probeHost =
        parsed.port() > 0 ? QStringLiteral("%1:%2").arg(parsed.host()).arg(parsed.port()) : parsed.host();
}

bool Endpoints::usesExternalSpeechService() {
    return !qEnvironmentVariable("VELANOTE_SPEECH_URL").trimmed().isEmpty();
}

} // namespace velanote
