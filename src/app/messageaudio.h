#pragma once
#include <QByteArray>
#include <QString>

namespace velanote {

// The audio format of a voice message. A prefix is joined in front of the speech by plain
// concatenation, so it must be MPEG audio of the speech's own format, or the player loses the
// speech or plays it at the wrong speed.
class MessageAudio {
public:
    // The format, as named in messages to the user.
    static QString formatName();
    // True when the bytes, after an ID3v2 tag if there is one, begin with whole MPEG frames of the
    // message's format (the first few are checked).
    static bool hasMessageFormat(const QByteArray& bytes);
};

} // namespace velanote
