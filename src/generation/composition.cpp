#include "generation/composition.h"

#include <QByteArray>
#include <QList>
#include <QStringDecoder>
#include <QStringEncoder>

#include <opencc/opencc.h>

#include <mutex>

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
    const QString blankLine = CRLF + " " + CRLF;
    return QStringLiteral("生成后语音提示将为:") + blankLine + QStringLiteral("亲爱的[") + in.recipient +
           QStringLiteral("]您好,您的[") + in.relation + QStringLiteral("]：[") + in.sender + "]" +
           blankLine + QStringLiteral("通过Vela声笺对您说：[") + in.message + "]" + blankLine +
           QStringLiteral("以上为预览内容,是否确认生成音信?");
}

QString MessageComposer::spokenSentence(const MessageInputs& in) {
    return QStringLiteral("亲爱的") + in.recipient + QStringLiteral("，您好，您的") + in.relation +
           QStringLiteral("：") + in.sender + QStringLiteral("，通过Vela声笺对您说：") + in.message + '"';
}

QString MessageComposer::exampleText(const QString& sender, const QString& relation) {
    return QStringLiteral("例如您现在选择或者输入了“") + relation + QStringLiteral("”") + CRLF + " " + CRLF +
           QStringLiteral("语音则会跟对方说：您的") + relation + "(" + sender + ")";
}

QString MessageComposer::finalSentence(const MessageInputs& in) {
    return ToTraditionalChinese(spokenSentence(in));
}

namespace {

// One OpenCC converter for the program's life; OpenCC conversions are serialised.
class SimplifiedToTraditional {
public:
    static SimplifiedToTraditional& instance() {
        static SimplifiedToTraditional converter;
        return converter;
    }

    // Nothing when OpenCC or its configuration is unavailable.
    std::optional<QByteArray> convert(const QByteArray& utf8) {
        if (handle_ == opencc_t(-1)) {
            return std::nullopt;
        }
        const std::lock_guard<std::mutex> lock(mutex_);
        // OpenCC reads C strings, so each piece between NUL characters is converted on its own.
        QByteArray result;
        const QList<QByteArray> pieces = utf8.split('\0');
        for (qsizetype i = 0; i < pieces.size(); ++i) {
            if (i > 0) {
                result.append('\0');
            }
            if (pieces[i].isEmpty()) {
                continue;
            }
            char* out = opencc_convert_utf8(handle_, pieces[i].constData(), size_t(pieces[i].size()));
            if (out == nullptr) {
                return std::nullopt;
            }
            result.append(out);
            opencc_convert_utf8_free(out);
        }
        return result;
    }

private:
    SimplifiedToTraditional() : handle_(opencc_open("/usr/share/opencc/s2t.json")) {}
    ~SimplifiedToTraditional() {
        if (handle_ != opencc_t(-1)) {
            opencc_close(handle_);
        }
    }

    opencc_t handle_;
    std::mutex mutex_;
};

} // namespace

QString ToTraditionalChinese(const QString& text) {
    if (text.isEmpty()) {
        return text;
    }
    // The GBK encoder writes "?" for each character that GBK cannot hold.
    QStringEncoder toGbk("GBK");
    QStringDecoder fromGbk("GBK");
    const QByteArray gbk = toGbk.encode(text);
    const QString narrowed = fromGbk.decode(gbk);
    const auto traditional = SimplifiedToTraditional::instance().convert(narrowed.toUtf8());
    return traditional ? QString::fromUtf8(*traditional) : narrowed;
}

} // namespace velanote
