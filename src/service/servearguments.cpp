#include "service/servearguments.h"

#include "commandline/commandoptions.h"
#include "service/redisclipstore.h"
#include "velanote/version.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <algorithm>

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

// One option of `serve`: how it is shown and how its value is taken into the service's options
// (the error when the value is refused, else nothing).
struct ServeOption {
    OptionDeclaration declaration;
    QString (*take)(SpeechService::Options& options, const QString& value);
};

const QList<ServeOption>& serveOptions() {
    static const QList<ServeOption> options = {
        {{QStringLiteral("bind"), QStringLiteral("ADDR"),
          QStringLiteral("IP address to listen on (default 127.0.0.1)")},
         [](SpeechService::Options& o, const QString& value) {
             if (!isIpAddress(value)) {
                 return QStringLiteral("not an IP address: %1").arg(value);
             }
             o.bindAddress = value;
             return QString();
         }},
        {{QStringLiteral("port"), QStringLiteral("N"),
          QStringLiteral("port, 0 for any free one (default 0)")},
         [](SpeechService::Options& o, const QString& value) {
             bool ok = true;
             const uint port = boundedNumber(value, 0, 65535, ok);
             if (!ok) {
                 return QStringLiteral("not a port number: %1").arg(value);
             }
             o.port = static_cast<quint16>(port);
             return QString();
         }},
        {{QStringLiteral("latest-version"), QStringLiteral("TEXT"),
          QStringLiteral("content of the version file (default ") + QLatin1String(kVersionTag) +
              QLatin1Char(')')},
         [](SpeechService::Options& o, const QString& value) {
             if (value.isEmpty()) {
                 return QStringLiteral("--latest-version needs a non-empty text");
             }
             o.latestVersion = value;
             return QString();
         }},
        {{QStringLiteral("cache-mb"), QStringLiteral("N"),
          QStringLiteral("size of the clip store in memory in MiB, 1 to 65536 (default 64)")},
         [](SpeechService::Options& o, const QString& value) {
             bool ok = true;
             const uint megabytes = boundedNumber(value, 1, 65536, ok);
             if (!ok) {
                 return QStringLiteral("--cache-mb takes 1 to 65536, not %1").arg(value);
             }
             o.cacheBytes = static_cast<qint64>(megabytes) * 1024 * 1024;
             return QString();
         }},
        {{QStringLiteral("lexicon"), QStringLiteral("FILE"),
          QStringLiteral("user lexicon of readings, one \"词语<TAB>pin1 yin1\" per line;\n"
                         "read again whenever it changes")},
         [](SpeechService::Options& o, const QString& value) {
             if (value.isEmpty()) {
                 return QStringLiteral("--lexicon needs a file name");
             }
             o.lexiconPath = value;
             return QString();
         }},
        {{QStringLiteral("per-address"), QStringLiteral("N"),
          QStringLiteral("connections one client address may hold, 0 for no limit (default 64)")},
         [](SpeechService::Options& o, const QString& value) {
             bool ok = true;
             o.connectionsPerAddress = boundedNumber(value, 0, 65535, ok);
             return ok ? QString() : QStringLiteral("--per-address takes 0 to 65535, not %1").arg(value);
         }},
        {{QStringLiteral("request-deadline"), QStringLiteral("SECONDS"),
          QStringLiteral("seconds to receive a whole request, 1 to 300 (default 10)")},
         [](SpeechService::Options& o, const QString& value) {
             bool ok = true;
             o.requestDeadlineMs = boundedNumber(value, 1, 300, ok) * 1000;
             return ok ? QString()
                       : QStringLiteral("--request-deadline takes 1 to 300 seconds, not %1").arg(value);
         }},
        {{QStringLiteral("store"), QStringLiteral("URL"),
          QStringLiteral("also keep clips in this Redis, shared with other instances;\n"
                         "URL is redis://HOST:PORT[/DB]")},
         [](SpeechService::Options& o, const QString& value) {
             std::string reason;
             if (!RedisClipStore::parseUrl(value.toStdString(), reason)) {
                 return QString::fromStdString(reason);
             }
             o.storeUrl = value;
             return QString();
         }},
        {{QStringLiteral("store-ttl"), QStringLiteral("TIME"),
          QStringLiteral("how long Redis keeps a clip: seconds, or with s, m, h or d (default 7d)")},
         [](SpeechService::Options& o, const QString& value) {
             o.storeTtlSeconds = durationSeconds(value);
             return o.storeTtlSeconds >= 0
                        ? QString()
                        : QStringLiteral("--store-ttl takes a time such as 3600, 90m or 7d, not %1")
                              .arg(value);
         }},
        {{QStringLiteral("trust-proxy"), QStringLiteral("ADDR"),
          QStringLiteral("requests from this load balancer name their client in X-Real-IP")},
         [](SpeechService::Options& o, const QString& value) {
             if (!isIpAddress(value)) {
                 return QStringLiteral("not an IP address: %1").arg(value);
             }
             o.trustedProxy = value;
             return QString();
         }},
    };
    return options;
}

const CommandOptions& commandOptions() {
    static const CommandOptions options = [] {
        QList<OptionDeclaration> declarations;
        for (const ServeOption& option : serveOptions()) {
            declarations.append(option.declaration);
        }
        return CommandOptions(declarations, CommandOptions::Repetition::Allowed);
    }();
    return options;
}

} // namespace

QString ServeArguments::usage() {
    const QString command = QStringLiteral("usage: velanote serve ");
    return command + commandOptions().synopsis(int(command.size())) + QLatin1Char('\n') +
           commandOptions().descriptions();
}

ServeArguments ServeArguments::parse(const QStringList& arguments) {
    const CommandOptions::Outcome outcome = commandOptions().read(arguments);
    ServeArguments result;
    result.options.connectionsPerAddress = 64;
    result.helpWanted = outcome.flags.contains(CommandOptions::help());
    // Each value is checked in the order given, a later one replacing an earlier; the first value
    // refused, or else the first argument that is not an option, is the error.
    for (const CommandOptions::Value& given : outcome.values) {
        const auto declared =
            std::find_if(serveOptions().begin(), serveOptions().end(),
                         [&given](const ServeOption& o) { return o.declaration.name == given.option; });
        result.error = declared->take(result.options, given.value);
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
