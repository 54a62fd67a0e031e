#pragma once
#include <QString>

#include <optional>

namespace velanote {

// The four values of a voice message, exactly as typed.
struct MessageInputs {
    QString sender;    // senderEdit
    QString recipient; // recipientEdit
    QString relation;  // relationCombo
    QString message;   // messageEdit
};

// Which input a failed check sends the user back to.
enum class InputField { Sender, Recipient, Relation, Message };

struct InputCheckFailure {
    int step = 0; // 1..5, in the order the checks run
    InputField focus = InputField::Sender;
    QString status;
};

// An input the speech service would refuse: the field at fault ("sender", "recipient", "relation"
// or "message") and whether it holds a control character or makes the sentence too long.
struct UnspeakableInput {
    QString field;
    bool tooLong = false;
    std::size_t limit = 0; // the most characters the service speaks
};

// Longest accepted message, in 16-bit text units.
constexpr int MaxMessageLength = 100;

// Composes the texts of a voice message from its inputs.
class MessageComposer {
public:
    // The first failing input check, or nothing when all five pass.
    static std::optional<InputCheckFailure> check(const MessageInputs& in);
    // The text of the Yes/No preview box (lines end in CRLF).
    static QString previewText(const MessageInputs& in);
    // The sentence the voice speaks, before the traditional-character mapping.
    static QString spokenSentence(const MessageInputs& in);
    // The text of the "实例" box.
    static QString exampleText(const QString& sender, const QString& relation);
    // The spoken sentence in its final, traditional-character form.
    static QString finalSentence(const MessageInputs& in);
    // What the speech service would refuse in these inputs and their final sentence: a control
    // character, or a sentence over its length (blamed on the longest field); else nothing.
    static std::optional<UnspeakableInput> unspeakable(const MessageInputs& in, const QString& sentence);
};

// Maps text to traditional characters: characters that GBK cannot hold become "?", then the
// simplified characters are replaced by traditional ones (OpenCC s2t).
QString ToTraditionalChinese(const QString& text);

} // namespace velanote
