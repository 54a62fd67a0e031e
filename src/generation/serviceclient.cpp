#include "generation/serviceclient.h"

#include "platform/httpclient.h"

#include <QStringDecoder>

namespace velanote {

namespace {

bool passesUnescaped(char16_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == '.' || c == '~';
}

void appendByte(QString& out, unsigned byte) {
    static const char hex[] = "0123456789ABCDEF";
    out.append(QLatin1Char('%'));
    out.append(QLatin1Char(hex[(byte >> 4) & 0xF]));
    out.append(QLatin1Char(hex[byte & 0xF]));
}

const QString OutUrlMarker = QStringLiteral("outurl=.");

} // namespace

QString UTF8EncodeURI(const QString& text) {
    QString out;
    out.reserve(text.size() * 3);
    for (const QChar ch : text) {
        const unsigned c = ch.unicode();
        if (c < 0x80) {
            if (passesUnescaped(char16_t(c))) {
                out.append(ch);
            } else {
                appendByte(out, c);
            }
        } else if (c < 0x800) {
            appendByte(out, 0xC0 | (c >> 6));
            appendByte(out, 0x80 | (c & 0x3F));
        } else {
            appendByte(out, 0xE0 | (c >> 12));
            appendByte(out, 0x80 | ((c >> 6) & 0x3F));
            appendByte(out, 0x80 | (c & 0x3F));
        }
    }
    return out;
}

QString decodeGbk(const QByteArray& bytes, const QString& charset) {
    QString name = charset.trimmed();
    if (name.compare(QLatin1String("GB2312"), Qt::CaseInsensitive) == 0 ||
        name.compare(QLatin1String("GBK"), Qt::CaseInsensitive) == 0) {
        name = QStringLiteral("GB18030");
    }
    QStringDecoder decoder(name.toLatin1().constData());
    if (!decoder.isValid()) {
        return QString::fromUtf8(bytes);
    }
    return decoder.decode(bytes);
}

QString SpeechRequest::address(const QString& base, const QString& encodedSentence,
                               const VoiceSettings& voice) {
    return base + QStringLiteral("/text2speech.php?&text=") + encodedSentence +
           QString::fromStdString(voice.query());
}

std::optional<QString> SpeechRequest::parseReply(const QString& reply, const QString& base) {
    const QString first = reply.section(QLatin1Char('&'), 0, 0);
    if (!first.startsWith(OutUrlMarker)) {
        return std::nullopt;
    }
    QString address = first;
    address.replace(OutUrlMarker, base, Qt::CaseSensitive);
    return address;
}

std::optional<QString> SpeechRequest::messageAddress(HttpClient& http, const QString& requestAddress,
                                                     const QString& base) {
    const SpokenMessage answered = ask(http, requestAddress, base);
    if (answered.failure != SpokenMessage::Failure::none) {
        return std::nullopt;
    }
    return answered.address;
}

std::optional<QByteArray> SpeechRequest::fetchSpeech(HttpClient& http, const QString& messageAddress) {
    const HttpResult reply = http.get(messageAddress.trimmed());
    if (!reply.ok() || reply.body.isEmpty()) {
        return std::nullopt;
    }
    return reply.body;
}

SpokenMessage SpeechRequest::ask(HttpClient& http, const QString& requestAddress, const QString& base) {
    SpokenMessage spoken;
    const HttpResult reply = http.get(requestAddress.trimmed());
    spoken.status = reply.status;
    if (!reply.completed) {
        spoken.failure = SpokenMessage::Failure::unreachable;
        return spoken;
    }
    if (!reply.ok()) {
        // The service's own first line says why, e.g. a text it cannot speak.
        spoken.failure = SpokenMessage::Failure::refused;
        spoken.detail = QString::fromUtf8(reply.body).section(QLatin1Char('\n'), 0, 0).trimmed().left(200);
        return spoken;
    }
    const QString replyText = decodeGbk(reply.body, QStringLiteral("GB2312"));
    const std::optional<QString> address = parseReply(replyText, base);
    if (!address) {
        spoken.failure = SpokenMessage::Failure::unreadableReply;
        spoken.detail = replyText.left(200);
        return spoken;
    }
    spoken.address = *address;
    return spoken;
}

SpokenMessage SpeechRequest::speak(HttpClient& http, const QString& requestAddress, const QString& base) {
    SpokenMessage spoken = ask(http, requestAddress, base);
    if (spoken.failure != SpokenMessage::Failure::none) {
        return spoken;
    }
    const std::optional<QByteArray> mp3 = fetchSpeech(http, spoken.address);
    if (!mp3) {
        spoken.failure = SpokenMessage::Failure::notFetched;
        return spoken;
    }
    spoken.mp3 = *mp3;
    return spoken;
}

QString SpokenMessage::failureText(const QString& base) const {
    switch (failure) {
    case Failure::none:
        return {};
    case Failure::unreachable:
        return QStringLiteral("Vela声笺生成失败!无法连接语音服务: ") + base.trimmed();
    case Failure::refused:
        return QStringLiteral("Vela声笺生成失败!语音服务返回 HTTP %1").arg(status) +
               (detail.isEmpty() ? QString() : QStringLiteral(": ") + detail);
    case Failure::unreadableReply:
        return QStringLiteral("Vela声笺生成失败!语音服务的回复无法识别: ") + detail;
    case Failure::notFetched:
        return QStringLiteral("音信文件下载失败!请检查网络后重试..: ") + address.trimmed();
    }
    return {};
}

} // namespace velanote
