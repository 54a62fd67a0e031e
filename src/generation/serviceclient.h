#pragma once
#include "synthesis/voicesettings.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace velanote {

class HttpClient;

// Percent-encodes text for the speech request: A-Z a-z 0-9 and "-_.~" pass, every other ASCII
// character becomes %XX, and each non-ASCII 16-bit unit (surrogates included) becomes its two- or
// three-byte UTF-8 form, one unit at a time.
QString UTF8EncodeURI(const QString& text);

// Decodes bytes in the named character set; "GB2312" is read with its superset GB18030.
QString decodeGbk(const QByteArray& bytes, const QString& charset);

// What asking the speech service for one message came to: its MP3, or why there is none.
struct SpokenMessage {
    enum class Failure { none, unreachable, refused, unreadableReply, notFetched };
    Failure failure = Failure::none;
    int status = 0;  // the request's HTTP status
    QString detail;  // the service's reason when refused, the reply when unreadable
    QString address; // the message address, once the reply named it
    QByteArray mp3;

    // The failure in the words the command line and the batch window show; empty when none.
    QString failureText(const QString& base) const;
};

// Builds the speech request and reads the speech service's reply.
class SpeechRequest {
public:
    // base (" http://host") + "/text2speech.php?&text=" + the encoded sentence, then the voice
    // settings that differ from normal ("&rate=120&voice=female").
    static QString address(const QString& base, const QString& encodedSentence,
                           const VoiceSettings& voice = {});
    // The message address named by a reply: only when the reply's first "&" field begins with
    // "outurl=."; every "outurl=." of that field is then replaced by `base`.
    static std::optional<QString> parseReply(const QString& reply, const QString& base);
    // Sends the request and reads the message address from the reply; the MP3 is not fetched.
    static SpokenMessage ask(HttpClient& http, const QString& requestAddress, const QString& base);
    // The address `ask` found; nothing on a failed request, a status other than 2xx or a reply
    // that is not a result.
    static std::optional<QString> messageAddress(HttpClient& http, const QString& requestAddress,
                                                 const QString& base);
    // Fetches the MP3 at a message address: the body of a 2xx reply that is not empty, else nothing.
    static std::optional<QByteArray> fetchSpeech(HttpClient& http, const QString& messageAddress);
    // Sends the request, reads the reply and fetches the MP3 it names.
    static SpokenMessage speak(HttpClient& http, const QString& requestAddress, const QString& base);
};

} // namespace velanote
