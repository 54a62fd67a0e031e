#include "service/servearguments.h"

#include "commandline/commandoptions.h"
#include "service/redisclipstore.h"
#include "velanote/version.h"

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

// Sets one option from its value; the error when the value is refused, else nothing.
QString take(SpeechService::Options& options, const QString& option, const QString& value) {
    bool ok = true;
    if (option == QLatin1String("bind") || option == QLatin1String("trust-proxy")) {
        if (!isIpAddress(value)) {
            return QStringLiteral("not an IP address: %1").arg(value);
        }
        (option == QLatin1String("bind") ? options.bindAddress : options.trustedProxy) = value;
    } else if (option == QLatin1String("port")) {
        const uint port = boundedNumber(value, 0, 65535, ok);
        if (!ok) {
            return QStringLiteral("not a port number: %1").arg(value);
        }
        options.port = static_cast<quint16>(port);
    } else if (option == QLatin1String("latest-version")) {
        if (value.isEmpty()) {
            return QStringLiteral("--latest-version needs a non-empty text");
        }
        options.latestVersion = value;
    } else if (option == QLatin1String("lexicon")) {
        if (value.isEmpty()) {
            return QStringLiteral("--lexicon needs a file name");
        }
        options.lexiconPath = value;
    } else if (option == QLatin1String("cache-mb")) {
        const uint megabytes = boundedNumber(value, 1, 65536, ok);
        if (!ok) {
            return QStringLiteral("--cache-mb takes 1 to 65536, not %1").arg(value);
        }
        options.cacheBytes = static_cast<qint64>(megabytes) * 1024 * 1024;
    } else if (option == QLatin1String("per-address")) {
        options.connectionsPerAddress = boundedNumber(value, 0, 65535, ok);
        if (!ok) {
            return QStringLiteral("--per-address takes 0 to 65535, not %1").arg(value);
        }
    } else if (option == QLatin1String("request-deadline")) {
        options.requestDeadlineMs = boundedNumber(value, 1, 300, ok) * 1000;
        if (!ok) {
            return QStringLiteral("--request-deadline takes 1 to 300 seconds, not %1").arg(value);
        }
    } else if (option == QLatin1String("store")) {
        std::string reason;
        if (!RedisClipStore::parseUrl(value.toStdString(), reason)) {
            return QString::fromStdString(reason);
        }
        options.storeUrl = value;
    } else {
        options.storeTtlSeconds = durationSeconds(value);
        if (options.storeTtlSeconds < 0) {
            return QStringLiteral("--store-ttl takes a time such as 3600, 90m or 7d, not %1").arg(value);
        }
    }
    return {};
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
    static const CommandOptions commandOptions(
        {QStringLiteral("bind"), QStringLiteral("port"), QStringLiteral("latest-version"),
         QStringLiteral("cache-mb"), QStringLiteral("per-address"), QStringLiteral("request-deadline"),
         QStringLiteral("store"), QStringLiteral("store-ttl"), QStringLiteral("trust-proxy"),
         QStringLiteral("lexicon")},
        {}, CommandOptions::Repetition::Allowed);
    const CommandOptions::Outcome outcome = commandOptions.read(arguments);
    ServeArguments result;
    result.options.connectionsPerAddress = 64;
    result.helpWanted = outcome.flags.contains(CommandOptions::help());
    // Each value is checked in the order given, a later one replacing an earlier; the first value
    // refused, or else the first argument that is not an option, is the error.
    for (const auto& [option, value] : outcome.values) {
        result.error = take(result.options, option, value);
        if (!result.error.isEmpty()) {
            return result;
        }
    }
    if (const auto& fault = outcome.fault) {
        result.error = fault->kind == CommandOptions::Fault::Kind::MissingValue
                           ? QStringLiteral("%1 needs a value").arg(fault->argument)
                           : QStringLiteral("unknown argument: %1").arg(fault->argument);
    }
    return result;
}

} // namespace velanote
