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

QString SpeechRequest::address(const QString& base, const QString& encodedSentence) {
    return base + QStringLiteral("/text2speech.php?&text=") + encodedSentence;
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
    const HttpResult reply = http.get(requestAddress.trimmed());
    if (!reply.ok()) {
        return std::nullopt;
    }
    return parseReply(decodeGbk(reply.body, QStringLiteral("GB2312")), base);
}

std::optional<QByteArray> SpeechRequest::fetchSpeech(HttpClient& http, const QString& messageAddress) {
    const HttpResult reply = http.get(messageAddress.trimmed());
    if (!reply.ok() || reply.body.isEmpty()) {
        return std::nullopt;
    }
    return reply.body;
}

} // namespace velanote
