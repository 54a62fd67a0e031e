#include "speech/servearguments.h"

#include "app/version.h"
#include "speech/redisclipstore.h"

#include <arpa/inet.h>
#include <netinet/in.h>

namespace velanote {

namespace {

bool isIpAddress(const QString& text) {
    const QByteArray bytes = text.toLatin1();
    in6_addr scratch{};
    return inet_pton(AF_INET, bytes.constData(), &scratch) == 1 ||
           inet_pton(AF_INET6, bytes.constData(), &scratch) == 1;
}

// "90", "90s", "15m", "12h" or "7d" as seconds; -1 when it is none of these.
qint64 durationSeconds(const QString& text) {
    static const QList<QPair<QChar, qint64>> units = {
        {QLatin1Char('s'), 1}, {QLatin1Char('m'), 60}, {QLatin1Char('h'), 3600}, {QLatin1Char('d'), 86400}};
    QString digits = text;
    qint64 unit = 1;
    for (const auto& [suffix, seconds] : units) {
        if (text.endsWith(suffix)) {
            digits.chop(1);
            unit = seconds;
        }
    }
    bool ok = false;
    const qint64 value = digits.toLongLong(&ok);
    return ok && value > 0 && value <= 3650LL * 86400 / unit ? value * unit : -1;
}

uint boundedNumber(const QString& text, uint lowest, uint highest, bool& ok) {
    const uint value = text.toUInt(&ok);
    ok = ok && value >= lowest && value <= highest;
    return value;
}

} // namespace

QString ServeArguments::usage() {
    return QStringLiteral(
               "usage: velanote serve [--bind ADDR] [--port N] [--latest-version TEXT] [--cache-mb N]\n"
               "                      [--lexicon FILE] [--per-address N] [--request-deadline SECONDS]\n"
               "                      [--store redis://HOST:PORT[/DB]] [--store-ttl TIME] [--trust-proxy "
               "ADDR]\n"
               "  --bind ADDR            IP address to listen on (default 127.0.0.1)\n"
               "  --port N               port, 0 for any free one (default 0)\n"
               "  --latest-version TEXT  content of the version file (default ") +
           QLatin1String(kVersionTag) +
           QStringLiteral(
               ")\n"
               "  --cache-mb N           size of the clip store in memory in MiB, 1 to 65536 (default 64)\n"
               "  --lexicon FILE         user lexicon of readings, one \"词语<TAB>pin1 yin1\" per line;\n"
               "                         read again whenever it changes\n"
               "  --per-address N        connections one client address may hold, 0 for no limit (default "
               "64)\n"
               "  --request-deadline S   seconds to receive a whole request, 1 to 300 (default 10)\n"
               "  --store URL            also keep clips in this Redis, shared with other instances\n"
               "  --store-ttl TIME       how long Redis keeps a clip: seconds, or with s, m, h or d (default "
               "7d)\n"
               "  --trust-proxy ADDR     requests from this load balancer name their client in X-Real-IP\n");
}

ServeArguments ServeArguments::parse(const QStringList& arguments) {
    ServeArguments result;
    result.options.connectionsPerAddress = 64;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString name = arguments[i];
        QString value;
        bool hasValue = false;
        if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
            result.helpWanted = true;
            continue;
        }
        if (const qsizetype eq = name.indexOf(QLatin1Char('='));
            name.startsWith(QLatin1String("--")) && eq > 0) {
            value = name.mid(eq + 1);
            name = name.left(eq);
            hasValue = true;
        }
        static const QStringList known = {
            QStringLiteral("--bind"),           QStringLiteral("--port"),
            QStringLiteral("--latest-version"), QStringLiteral("--cache-mb"),
            QStringLiteral("--per-address"),    QStringLiteral("--request-deadline"),
            QStringLiteral("--store"),          QStringLiteral("--store-ttl"),
            QStringLiteral("--trust-proxy"),    QStringLiteral("--lexicon")};
        if (!known.contains(name)) {
            result.error = QStringLiteral("unknown argument: %1").arg(arguments[i]);
            return result;
        }
        if (!hasValue) {
            if (i + 1 >= arguments.size()) {
                result.error = QStringLiteral("%1 needs a value").arg(name);
                return result;
            }
            value = arguments[++i];
        }
        bool ok = true;
        if (name == QLatin1String("--bind") || name == QLatin1String("--trust-proxy")) {
            if (!isIpAddress(value)) {
                result.error = QStringLiteral("not an IP address: %1").arg(value);
                return result;
            }
            (name == QLatin1String("--bind") ? result.options.bindAddress : result.options.trustedProxy) =
                value;
        } else if (name == QLatin1String("--port")) {
            const uint port = boundedNumber(value, 0, 65535, ok);
            if (!ok) {
                result.error = QStringLiteral("not a port number: %1").arg(value);
                return result;
            }
            result.options.port = static_cast<quint16>(port);
        } else if (name == QLatin1String("--latest-version")) {
            if (value.isEmpty()) {
                result.error = QStringLiteral("--latest-version needs a non-empty text");
                return result;
            }
            result.options.latestVersion = value;
        } else if (name == QLatin1String("--lexicon")) {
            if (value.isEmpty()) {
                result.error = QStringLiteral("--lexicon needs a file name");
                return result;
            }
            result.options.lexiconPath = value;
        } else if (name == QLatin1String("--cache-mb")) {
            const uint megabytes = boundedNumber(value, 1, 65536, ok);
            if (!ok) {
                result.error = QStringLiteral("--cache-mb takes 1 to 65536, not %1").arg(value);
                return result;
            }
            result.options.cacheBytes = static_cast<qint64>(megabytes) * 1024 * 1024;
        } else if (name == QLatin1String("--per-address")) {
            result.options.connectionsPerAddress = boundedNumber(value, 0, 65535, ok);
            if (!ok) {
                result.error = QStringLiteral("--per-address takes 0 to 65535, not %1").arg(value);
                return result;
            }
        } else if (name == QLatin1String("--request-deadline")) {
            result.options.requestDeadlineMs = boundedNumber(value, 1, 300, ok) * 1000;
            if (!ok) {
                result.error = QStringLiteral("--request-deadline takes 1 to 300 seconds, not %1").arg(value);
                return result;
            }
        } else if (name == QLatin1String("--store")) {
            std::string reason;
            if (!RedisClipStore::parseUrl(value.toStdString(), reason)) {
                result.error = QString::fromStdString(reason);
                return result;
            }
            result.options.storeUrl = value;
        } else {
            result.options.storeTtlSeconds = durationSeconds(value);
            if (result.options.storeTtlSeconds < 0) {
                result.error =
                    QStringLiteral("--store-ttl takes a time such as 3600, 90m or 7d, not %1").arg(value);
                return result;
            }
        }
    }
    return result;
}

} // namespace velanote
