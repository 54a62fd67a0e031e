#include "generation/composition.h"

#include "generation/traditionaltable.h"
#include "service/speechquery.h"

#include <QByteArray>
#include <QList>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <array>

namespace velanote {

namespace {
const QString CRLF = QStringLiteral("\r\n");
} // namespace

std::optional<InputCheckFailure> MessageComposer::check(const MessageInputs& in) {
    if (in.sender.isEmpty()) {
        return InputCheckFailure{1, InputField::Sender, QStringLiteral("请输入您的名字[即发送人]")};
    }
    if (in.recipient.isEmpty()) {
        return InputCheckFailure{2, InputField::Recipient, QStringLiteral("请输入对方的名字[即接收人]")};
    }
    if (in.relation.isEmpty()) {
        return InputCheckFailure{3, InputField::Relation,
                                 QStringLiteral("请选择或输入您与对方的关系[即对方对您的称呼]")};
    }
    if (in.message.isEmpty()) {
        return InputCheckFailure{4, InputField::Message,
                                 QStringLiteral("请输入您要对对方说的话，或祝福都可")};
    }
    if (in.message.size() > MaxMessageLength) {
        return InputCheckFailure{5, InputField::Message,
                                 QStringLiteral("为了防止程序错误!请您输入在100字以内的祝福语")};
    }
    return std::nullopt;
}

QString MessageComposer::previewText(const MessageInputs& in) {
    const QString blankLine = CRLF + QLatin1String(" ") + CRLF;
    return QStringLiteral("生成后语音提示将为:") + blankLine + QStringLiteral("亲爱的[") + in.recipient +
           QStringLiteral("]您好,您的[") + in.relation + QStringLiteral("]：[") + in.sender +
           QLatin1String("]") + blankLine + QStringLiteral("通过Vela声笺对您说：[") + in.message +
           QLatin1String("]") + blankLine + QStringLiteral("以上为预览内容,是否确认生成音信?");
}

QString MessageComposer::spokenSentence(const MessageInputs& in) {
    return QStringLiteral("亲爱的") + in.recipient + QStringLiteral("，您好，您的") + in.relation +
           QStringLiteral("：") + in.sender + QStringLiteral("，通过Vela声笺对您说：") + in.message +
           QLatin1Char('"');
}

QString MessageComposer::exampleText(const QString& sender, const QString& relation) {
    return QStringLiteral("例如您现在选择或者输入了“") + relation + QStringLiteral("”") + CRLF +
           QLatin1String(" ") + CRLF + QStringLiteral("语音则会跟对方说：您的") + relation +
           QLatin1String("(") + sender + QLatin1String(")");
}

QString MessageComposer::finalSentence(const MessageInputs& in) {
    return ToTraditionalChinese(spokenSentence(in));
}

QString ToTraditionalChinese(const QString& text) {
    if (text.isEmpty()) {
        return text;
    }
    // The GBK encoder writes "?" for each character that GBK cannot hold.
    QStringEncoder toGbk("GBK");
    QStringDecoder fromGbk("GBK");
    const QByteArray gbk = toGbk.encode(text);
    const QString narrowed = fromGbk.decode(gbk);
    const QByteArray utf8 = narrowed.toUtf8();
    const std::string traditional =
        TraditionalTable::builtIn().convert(std::string_view(utf8.constData(), std::size_t(utf8.size())));
    return QString::fromUtf8(traditional.data(), qsizetype(traditional.size()));
}

std::optional<UnspeakableInput> MessageComposer::unspeakable(const MessageInputs& in,
                                                             const QString& sentence) {
    const std::array<std::pair<QString, const QString*>, 4> fields = {
        {{QStringLiteral("sender"), &in.sender},
         {QStringLiteral("recipient"), &in.recipient},
         {QStringLiteral("relation"), &in.relation},
         {QStringLiteral("message"), &in.message}}};
    for (const auto& [name, value] : fields) {
        const QList<uint> characters = value->toUcs4();
        if (std::any_of(characters.begin(), characters.end(),
                        [](uint c) { return SpeechQuery::isRefusedControl(static_cast<char32_t>(c)); })) {
            return UnspeakableInput{name, false, SpeechQuery::maxCharacters};
        }
    }
    if (static_cast<std::size_t>(sentence.toUcs4().size()) > SpeechQuery::maxCharacters) {
        const auto longest = std::max_element(fields.begin(), fields.end(), [](const auto& a, const auto& b) {
            return a.second->size() < b.second->size();
        });
        return UnspeakableInput{longest->first, true, SpeechQuery::maxCharacters};
    }
    return std::nullopt;
}

} // namespace velanote
