#include "speech/servearguments.h"

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

} // namespace

QString ServeArguments::usage() {
    return QStringLiteral(
        "usage: velanote serve [--bind ADDR] [--port N] [--latest-version TEXT] [--cache-mb N]\n"
        "                      [--lexicon FILE]\n"
        "  --bind ADDR            IP address to listen on (default 127.0.0.1)\n"
        "  --port N               port, 0 for any free one (default 0)\n"
        "  --latest-version TEXT  content of the version file (default V6.0)\n"
        "  --cache-mb N           size of the clip store in MiB, 1 to 65536 (default 64)\n"
        "  --lexicon FILE         user lexicon of readings, one \"词语<TAB>pin1 yin1\" per line;\n"
        "                         read again whenever it changes\n");
}

ServeArguments ServeArguments::parse(const QStringList& arguments) {
    ServeArguments result;
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
        const bool known = name == QLatin1String("--bind") || name == QLatin1String("--port") ||
                           name == QLatin1String("--latest-version") || name == QLatin1String("--cache-mb") ||
                           name == QLatin1String("--lexicon");
        if (!known) {
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
        if (name == QLatin1String("--bind")) {
            if (!isIpAddress(value)) {
                result.error = QStringLiteral("not an IP address: %1").arg(value);
                return result;
            }
            result.options.bindAddress = value;
        } else if (name == QLatin1String("--port")) {
            bool ok = false;
            const uint port = value.toUInt(&ok);
            if (!ok || port > 65535) {
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
        } else {
            bool ok = false;
            const uint megabytes = value.toUInt(&ok);
            if (!ok || megabytes < 1 || megabytes > 65536) {
                result.error = QStringLiteral("--cache-mb takes 1 to 65536, not %1").arg(value);
                return result;
            }
            result.options.cacheBytes = static_cast<qint64>(megabytes) * 1024 * 1024;
        }
    }
    return result;
}

} // namespace velanote
