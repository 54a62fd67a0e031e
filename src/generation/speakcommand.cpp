#include "generation/speakcommand.h"

#include "app/endpoints.h"
#include "app/messageaudio.h"
#include "app/programfolder.h"
#include "app/resourcestore.h"
#include "commandline/commandoptions.h"
#include "generation/composition.h"
#include "generation/filebytes.h"
#include "generation/pinyincommand.h"
#include "generation/serviceclient.h"
#include "platform/atomicfile.h"
#include "platform/desktophttpclient.h"
#include "platform/samefile.h"
#include "service/speechquery.h"
#include "service/speechservice.h"

#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>

namespace velanote {

namespace {

constexpr int ExitDone = 0;
constexpr int ExitUsage = 2;
constexpr int ExitService = 3;
constexpr int ExitFile = 4;

// Largest file taken by --prefix.
constexpr qint64 MaxPrefixBytes = qint64{1024} * 1024;

// Reads the options; a value option may be given once.
CommandOptions::Outcome readOptions(const QStringList& arguments) {
    static const CommandOptions commandOptions(
        {QStringLiteral("sender"), QStringLiteral("recipient"), QStringLiteral("relation"),
         QStringLiteral("message"), QStringLiteral("prefix"), QStringLiteral("jingle"),
         QStringLiteral("output")},
        {QStringLiteral("dry-run")}, CommandOptions::Repetition::Refused);
    return commandOptions.read(arguments);
}

QString faultMessage(const CommandOptions::Fault& fault) {
    switch (fault.kind) {
    case CommandOptions::Fault::Kind::UnknownOption:
        return QStringLiteral("未知选项: --%1").arg(fault.option);
    case CommandOptions::Fault::Kind::StrayArgument:
        return QStringLiteral("无法识别的参数: %1").arg(fault.argument);
    case CommandOptions::Fault::Kind::MissingValue:
        return QStringLiteral("选项 --%1 缺少取值").arg(fault.option);
    case CommandOptions::Fault::Kind::RepeatedOption:
        return QStringLiteral("选项 --%1 重复出现").arg(fault.option);
    }
    return {};
}

// The speech service refuses control characters and texts over its length. A command line says so
// before anything starts, naming the option to change.
std::optional<QString> unspeakableInput(const MessageInputs& in, const QString& sentence) {
    const std::array<std::pair<QString, const QString*>, 4> fields = {
        {{QStringLiteral("sender"), &in.sender},
         {QStringLiteral("recipient"), &in.recipient},
         {QStringLiteral("relation"), &in.relation},
         {QStringLiteral("message"), &in.message}}};
    for (const auto& [name, value] : fields) {
        const QList<uint> characters = value->toUcs4();
        if (std::any_of(characters.begin(), characters.end(),
                        [](uint c) { return SpeechQuery::isRefusedControl(static_cast<char32_t>(c)); })) {
            return QStringLiteral("--%1 含有控制字符,无法朗读").arg(name);
        }
    }
    if (static_cast<std::size_t>(sentence.toUcs4().size()) > SpeechQuery::maxCharacters) {
        const auto longest = std::max_element(fields.begin(), fields.end(), [](const auto& a, const auto& b) {
            return a.second->size() < b.second->size();
        });
        return QStringLiteral("语音文本超过%1个字符,请缩短 --%2")
            .arg(SpeechQuery::maxCharacters)
            .arg(longest->first);
    }
    return std::nullopt;
}

QString withoutLeadingBlank(const QString& address) {
    return address.trimmed();
}

} // namespace

SpeakCommand::SpeakCommand(Writer out, Writer err, DataWriter data)
    : out_(std::move(out)), err_(std::move(err)), data_(std::move(data)) {}

QString SpeakCommand::usage() {
    return QStringLiteral(
        "用法: velanote speak --sender 发送人 --recipient 接收人 --relation 称呼 --message 祝福语\n"
        "                     [--prefix 前缀文件 | --jingle 1..10] --output 输出文件 [--dry-run]\n"
        "  --output -  把MP3写到标准输出(进度信息改写到标准错误),可接管道\n"
        "  --dry-run  只显示预览、语音文本和请求地址,不发送请求\n"
        "退出码: 0 成功, 2 参数或输入有误, 3 语音服务或网络失败, 4 文件失败");
}

int SpeakCommand::run(const QStringList& arguments) {
    const CommandOptions::Outcome options = readOptions(arguments);
    if (options.fault) {
        err_(faultMessage(*options.fault));
        err_(usage());
        return ExitUsage;
    }
    if (options.flags.contains(CommandOptions::help())) {
        out_(usage());
        return ExitDone;
    }
    QHash<QString, QString> v; // option -> value
    for (const auto& [option, value] : options.values) {
        v.insert(option, value);
    }
    const bool dryRun = options.flags.contains(QStringLiteral("dry-run"));
    const MessageInputs in{v.value(QStringLiteral("sender")), v.value(QStringLiteral("recipient")),
                           v.value(QStringLiteral("relation")), v.value(QStringLiteral("message"))};
    if (const auto failure = MessageComposer::check(in)) {
        err_(failure->status);
        const QStringList required = {QStringLiteral("sender"), QStringLiteral("recipient"),
                                      QStringLiteral("relation"), QStringLiteral("message")};
        for (const QString& name : required) {
            if (!v.contains(name)) {
                err_(usage());
                break;
            }
        }
        return ExitUsage;
    }
    if (v.contains(QStringLiteral("prefix")) && v.contains(QStringLiteral("jingle"))) {
        err_(QStringLiteral("--prefix 与 --jingle 只能选其一"));
        err_(usage());
        return ExitUsage;
    }
    int jingle = 0;
    if (v.contains(QStringLiteral("jingle"))) {
        bool ok = false;
        jingle = v.value(QStringLiteral("jingle")).toInt(&ok);
        if (!ok || jingle < 1 || jingle > 10) {
            err_(QStringLiteral("--jingle 的取值应为 1 到 10 的整数"));
            err_(usage());
            return ExitUsage;
        }
    }
    const QString output = v.value(QStringLiteral("output"));
    if (!dryRun && output.isEmpty()) {
        err_(QStringLiteral("缺少 --output 输出文件"));
        err_(usage());
        return ExitUsage;
    }

    const QString sentence = MessageComposer::finalSentence(in);
    const QString encoded = UTF8EncodeURI(sentence);
    const bool externalService = !qEnvironmentVariable("VELANOTE_SPEECH_URL").trimmed().isEmpty();

    if (const auto fault = unspeakableInput(in, sentence)) {
        err_(*fault);
        return ExitUsage;
    }

    // Files first, so nothing is asked of the service when the result could not be written; a dry
    // run checks them alike.
    const bool toStandardOutput = output == QLatin1String("-");
    const Writer& progress = toStandardOutput ? err_ : out_; // standard output carries only the MP3
    QByteArray prefix;
    QString prefixPath;
    if (jingle > 0 && !dryRun) {
        const ProgramFolder folder = ProgramFolder::locate();
        progress(QStringLiteral("正在准备程序目录: ") + folder.path());
        prepareProgramFolder(folder);
        const Jingle builtIn = builtInJingle(folder, jingle);
        if (builtIn.damaged) {
            err_(QStringLiteral("程序目录中的前缀音频已损坏且无法修复,改用程序内置的前缀音频: ") +
                 builtIn.path);
        }
        prefixPath = builtIn.path;
        prefix = builtIn.bytes;
    } else if (v.contains(QStringLiteral("prefix"))) {
        prefixPath = v.value(QStringLiteral("prefix"));
        switch (readRegularFile(prefixPath, MaxPrefixBytes, prefix)) {
        case ReadOutcome::Read:
            break;
        case ReadOutcome::TooLarge:
            err_(QStringLiteral("前缀音频文件超过1MB: ") + prefixPath);
            return ExitFile;
        case ReadOutcome::NotARegularFile:
            if (QFileInfo::exists(prefixPath)) {
                err_(QStringLiteral("前缀音频不是普通文件(是文件夹、设备或管道): ") + prefixPath);
                return ExitFile;
            }
            prefix.clear();
            break;
        case ReadOutcome::Failed:
            prefix.clear();
            break;
        }
        if (prefix.isEmpty()) {
            err_(QStringLiteral("未找到前缀音频文件或文件为空: ") + prefixPath);
            return ExitFile;
        }
        if (!MessageAudio::hasMessageFormat(prefix)) {
            err_(QStringLiteral("前缀音频的格式不能与语音相接,须为") + MessageAudio::formatName() +
                 QStringLiteral(": ") + prefixPath);
            return ExitFile;
        }
    }
    if (!prefixPath.isEmpty() && !output.isEmpty() && !toStandardOutput && isSameFile(prefixPath, output)) {
        err_(QStringLiteral("合成路径不能与前缀音频相同!请重新选择..: ") + output);
        return ExitFile;
    }
    if (!output.isEmpty() && !toStandardOutput && !isReplaceableFilePath(output)) {
        err_(QStringLiteral("无法写入输出文件(文件夹不存在或不可写,或目标是文件夹、链接或特殊文件;"
                            "写到标准输出请用 --output -): ") +
             output);
        return ExitFile;
    }

    if (dryRun) {
        // The embedded service takes a free port only when it starts, so a dry run names the port
        // by a placeholder; an outside service is named as the real run would use it.
        const QString base = externalService ? Endpoints::forLocalService(0).speechBase
                                             : QStringLiteral(" http://127.0.0.1:<端口>");
        out_(QStringLiteral("预览内容:"));
        out_(MessageComposer::previewText(in).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        out_(QStringLiteral("语音文本: ") + sentence);
        out_(QStringLiteral("reading: ") + spokenReading(sentence));
        out_(QStringLiteral("请求地址: ") + withoutLeadingBlank(SpeechRequest::address(base, encoded)));
        if (jingle > 0) {
            out_(QStringLiteral("前缀音频: 程序目录\\sc\\%1.mp3").arg(jingle));
        } else if (v.contains(QStringLiteral("prefix"))) {
            out_(QStringLiteral("前缀音频: ") + v.value(QStringLiteral("prefix")));
        }
        if (!output.isEmpty()) {
            out_(QStringLiteral("输出文件: ") + output);
        }
        out_(externalService ? QStringLiteral("(未发送任何请求)")
                             : QStringLiteral("(使用内置语音服务,<端口>在启动时分配;未发送任何请求)"));
        return ExitDone;
    }

    removeStaleTemporaryFiles(ProgramFolder::locate().path());
    SpeechService::Options serviceOptions;
    serviceOptions.lexiconPath = userLexiconPath(ProgramFolder::locate());
    SpeechService service(serviceOptions);
    Endpoints endpoints = Endpoints::forLocalService(0);
    if (!externalService) {
        progress(QStringLiteral("正在启动内置语音服务..."));
        if (!service.start()) {
            err_(QStringLiteral("内置语音服务无法启动"));
            return ExitService;
        }
        endpoints = Endpoints::forLocalService(service.port());
    }
    progress(QStringLiteral("语音服务: ") + withoutLeadingBlank(endpoints.speechBase));

    CurlHttpClient client;
    HttpClient& http = client;
    progress(QStringLiteral("正在生成Vela声笺...发送者:[") + in.sender + QStringLiteral("] | 接收者:[") +
             in.recipient + QLatin1String("]"));
    const QString request = SpeechRequest::address(endpoints.speechBase, encoded).trimmed();
    // No window waits on these requests, so they run right here rather than on a worker.
    const HttpResult reply = http.get(request);
    if (!reply.completed) {
        err_(QStringLiteral("Vela声笺生成失败!无法连接语音服务: ") +
             withoutLeadingBlank(endpoints.speechBase));
        return ExitService;
    }
    if (!reply.ok()) {
        // The service's own first line says why, e.g. a text it cannot speak.
        const QString reason =
            QString::fromUtf8(reply.body).section(QLatin1Char('\n'), 0, 0).trimmed().left(200);
        err_(QStringLiteral("Vela声笺生成失败!语音服务返回 HTTP %1").arg(reply.status) +
             (reason.isEmpty() ? QString() : QStringLiteral(": ") + reason));
        return ExitService;
    }
    const QString replyText = decodeGbk(reply.body, QStringLiteral("GB2312"));
    const auto address = SpeechRequest::parseReply(replyText, endpoints.speechBase);
    if (!address) {
        err_(QStringLiteral("Vela声笺生成失败!语音服务的回复无法识别: ") + replyText.left(200));
        return ExitService;
    }
    progress(QStringLiteral("Vela声笺生成成功!音信地址: ") + withoutLeadingBlank(*address));

    progress(QStringLiteral("正在下载音信文件..."));
    const QString& messageAddress = *address;
    const auto speech = SpeechRequest::fetchSpeech(http, messageAddress);
    if (!speech) {
        err_(QStringLiteral("音信文件下载失败!请检查网络后重试..: ") + withoutLeadingBlank(messageAddress));
        return ExitService;
    }
    if (!prefix.isEmpty()) {
        progress(QStringLiteral("正在合成前缀音频: ") + prefixPath);
    }
    const QByteArray message = prefix + *speech;
    if (toStandardOutput) {
        if (!(data_ ? data_(message) : writeToStandardOutput(message))) {
            err_(QStringLiteral("音信文件无法写到标准输出"));
            return ExitFile;
        }
        progress(QStringLiteral("音信文件已写到标准输出 (%1 字节)").arg(message.size()));
        return ExitDone;
    }
    if (!writeFileAtomically(output, message)) {
        const QString reason = writeFailureReason();
        err_(QStringLiteral("音信文件保存失败!请检查保存路径..: ") + output +
             (reason.isEmpty() ? QString() : QStringLiteral(" (") + reason + QLatin1Char(')')));
        return ExitFile;
    }
    progress(QStringLiteral("音信文件已保存: %1 (%2 字节)").arg(output).arg(message.size()));
    return ExitDone;
}

int runSpeakCommand(const QStringList& arguments) {
    const auto writeLine = [](std::FILE* stream) {
        return [stream](const QString& line) {
            const QByteArray bytes = QString(line + QLatin1Char('\n')).toUtf8();
            std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
            std::fflush(stream);
        };
    };
    SpeakCommand command(writeLine(stdout), writeLine(stderr));
    return command.run(arguments);
}

} // namespace velanote
