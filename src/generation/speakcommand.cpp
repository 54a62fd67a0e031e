#include "generation/speakcommand.h"

#include "app/endpoints.h"
#include "app/messageaudio.h"
#include "app/programfolder.h"
#include "app/resourcestore.h"
#include "commandline/commandoptions.h"
#include "generation/batchlist.h"
#include "generation/batchrun.h"
#include "generation/composition.h"
#include "generation/filebytes.h"
#include "generation/pinyincommand.h"
#include "generation/serviceclient.h"
#include "generation/servicepool.h"
#include "platform/atomicfile.h"
#include "platform/desktophttpclient.h"
#include "platform/samefile.h"
#include "service/speechquery.h"
#include "service/speechservice.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QThread>

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>

#include <unistd.h>

namespace velanote {

namespace {

constexpr int ExitDone = 0;
constexpr int ExitUsage = 2;
constexpr int ExitService = 3;
constexpr int ExitFile = 4;

// Largest file taken by --prefix.
constexpr qint64 MaxPrefixBytes = qint64{1024} * 1024;

// The options of speak, each declared once; a value option may be given once.
const CommandOptions& speakOptions() {
    static const CommandOptions options(
        {
            {QStringLiteral("sender"), QStringLiteral("发送人"), {}, true},
            {QStringLiteral("recipient"), QStringLiteral("接收人"), {}, true},
            {QStringLiteral("relation"), QStringLiteral("称呼"), {}, true},
            {QStringLiteral("message"), QStringLiteral("祝福语"), {}, true},
            {QStringLiteral("prefix"), QStringLiteral("前缀文件"), {}, false, 1},
            {QStringLiteral("jingle"), QStringLiteral("1..10"), {}, false, 1},
            {QStringLiteral("output"), QStringLiteral("输出文件"),
             QStringLiteral("音信写到此文件; - 把MP3写到标准输出(进度信息改写到标准错误),可接管道"), true},
            {QStringLiteral("dry-run"), {}, QStringLiteral("只显示预览、语音文本和请求地址,不发送请求")},
            {QStringLiteral("rate"), QStringLiteral("50..200"),
             QStringLiteral("语速,正常速度的百分比(默认 100)")},
            {QStringLiteral("pitch"), QStringLiteral("50..150"), QStringLiteral("音调,百分比(默认 100)")},
            {QStringLiteral("volume"), QStringLiteral("10..200"), QStringLiteral("音量,百分比(默认 100)")},
            {QStringLiteral("voice"), QStringLiteral("male|female"),
             QStringLiteral("male 男声(默认) 或 female 女声")},
            {QStringLiteral("batch"), QStringLiteral("名单.csv"),
             QStringLiteral("按名单批量生成: UTF-8 CSV,首行为列名 sender,recipient,relation,message[,file],\n"
                            "每行一条音信,文件名取 file 列,否则取接收人;先检查每一行,有误的行连同行号列出,\n"
                            "有误时不生成任何音信,除非给出 --skip-bad")},
            {QStringLiteral("output-dir"), QStringLiteral("输出文件夹"),
             QStringLiteral("批量生成的音信存放的文件夹")},
            {QStringLiteral("skip-bad"), {}, QStringLiteral("跳过名单中有误的行,生成其余各行")},
            {QStringLiteral("jobs"), QStringLiteral("N"),
             QStringLiteral("同时合成的行数(默认及上限为处理器核数)")},
        },
        CommandOptions::Repetition::Refused);
    return options;
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
    const std::optional<UnspeakableInput> fault = MessageComposer::unspeakable(in, sentence);
    if (!fault) {
        return std::nullopt;
    }
    return fault->tooLong
               ? QStringLiteral("语音文本超过%1个字符,请缩短 --%2").arg(fault->limit).arg(fault->field)
               : QStringLiteral("--%1 含有控制字符,无法朗读").arg(fault->field);
}

// Reads --rate, --pitch, --volume and --voice into `voice`; the message for the first bad one.
std::optional<QString> readVoiceSettings(const QHash<QString, QString>& v, VoiceSettings& voice) {
    for (const std::string_view name : VoiceSettings::names) {
        const QString option = QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
        if (!v.contains(option) ||
            voice.set(name, v.value(option).toStdString()) == VoiceSettings::Outcome::set) {
            continue;
        }
        if (const auto range = VoiceSettings::rangeOf(name)) {
            return QStringLiteral("--%1 的取值应为 %2 到 %3 的整数")
                .arg(option)
                .arg(range->low)
                .arg(range->high);
        }
        return QStringLiteral("--%1 的取值应为 male 或 female").arg(option);
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
    const CommandOptions& options = speakOptions();
    const QString single = QStringLiteral("用法: velanote speak ");
    const QString batch = QStringLiteral("       velanote speak ");
    const int indent = CommandOptions::columns(single);
    // A single message takes every option but those of a batch.
    const QStringList singleOptions = {
        QStringLiteral("sender"),  QStringLiteral("recipient"), QStringLiteral("relation"),
        QStringLiteral("message"), QStringLiteral("prefix"),    QStringLiteral("jingle"),
        QStringLiteral("output"),  QStringLiteral("dry-run"),   QStringLiteral("rate"),
        QStringLiteral("pitch"),   QStringLiteral("volume"),    QStringLiteral("voice")};
    return single + options.synopsis(indent, 100, singleOptions) + QLatin1Char('\n') + batch +
           options.written(QStringLiteral("batch")) + QLatin1Char(' ') +
           options.written(QStringLiteral("output-dir")) +
           QStringLiteral(" [%1] [%2]\n")
               .arg(options.written(QStringLiteral("skip-bad")), options.written(QStringLiteral("jobs"))) +
           QString(indent, QLatin1Char(' ')) +
           QStringLiteral("[%1 | %2] [语音选项] [%3]\n")
               .arg(options.written(QStringLiteral("prefix")), options.written(QStringLiteral("jingle")),
                    options.written(QStringLiteral("dry-run"))) +
           options.descriptions() +
           QStringLiteral("退出码: 0 成功(批量时每一行都已生成), 2 参数或输入有误(名单中有误的行), 3 "
                          "语音服务或网络失败,\n"
                          "        4 文件失败");
}

int SpeakCommand::run(const QStringList& arguments) {
    Given given;
    if (const std::optional<int> ended = readGiven(arguments, given)) {
        return *ended;
    }
    if (given.values.contains(QStringLiteral("batch"))) {
        return runBatch(given);
    }
    Order order;
    if (const std::optional<int> ended = readOrder(given, order)) {
        return *ended;
    }
    Prefix prefix;
    if (const std::optional<int> ended = checkFiles(given, order, prefix)) {
        return *ended;
    }
    return given.dryRun ? showDryRun(given, order) : speakAndSave(given, order, prefix);
}

std::optional<int> SpeakCommand::readGiven(const QStringList& arguments, Given& given) const {
    const CommandOptions::Outcome options = speakOptions().read(arguments);
    if (options.fault) {
        err_(faultMessage(*options.fault));
        err_(usage());
        return ExitUsage;
    }
    if (options.flags.contains(CommandOptions::help())) {
        out_(usage());
        return ExitDone;
    }
    for (const auto& [option, value] : options.values) {
        given.values.insert(option, value);
    }
    given.flags = options.flags;
    given.dryRun = options.flags.contains(QStringLiteral("dry-run"));
    const QHash<QString, QString>& v = given.values;
    if (v.contains(QStringLiteral("prefix")) && v.contains(QStringLiteral("jingle"))) {
        err_(QStringLiteral("--prefix 与 --jingle 只能选其一"));
        err_(usage());
        return ExitUsage;
    }
    if (v.contains(QStringLiteral("jingle"))) {
        bool ok = false;
        given.jingle = v.value(QStringLiteral("jingle")).toInt(&ok);
        if (!ok || given.jingle < 1 || given.jingle > 10) {
            err_(QStringLiteral("--jingle 的取值应为 1 到 10 的整数"));
            err_(usage());
            return ExitUsage;
        }
    }
    if (const std::optional<QString> bad = readVoiceSettings(v, given.voice)) {
        err_(*bad);
        err_(usage());
        return ExitUsage;
    }
    return std::nullopt;
}

std::optional<int> SpeakCommand::readOrder(const Given& given, Order& order) const {
    const QHash<QString, QString>& v = given.values;
    for (const QString& batchOnly :
         {QStringLiteral("output-dir"), QStringLiteral("jobs"), QStringLiteral("skip-bad")}) {
        if (v.contains(batchOnly) || given.flags.contains(batchOnly)) {
            err_(QStringLiteral("--%1 只用于 --batch").arg(batchOnly));
            err_(usage());
            return ExitUsage;
        }
    }
    order.inputs = {v.value(QStringLiteral("sender")), v.value(QStringLiteral("recipient")),
                    v.value(QStringLiteral("relation")), v.value(QStringLiteral("message"))};
    if (const auto failure = MessageComposer::check(order.inputs)) {
        err_(failure->status);
        const QStringList required = {QStringLiteral("sender"), QStringLiteral("recipient"),
                                      QStringLiteral("relation"), QStringLiteral("message")};
        if (std::any_of(required.begin(), required.end(),
                        [&v](const QString& name) { return !v.contains(name); })) {
            err_(usage());
        }
        return ExitUsage;
    }
    order.output = v.value(QStringLiteral("output"));
    if (!given.dryRun && order.output.isEmpty()) {
        err_(QStringLiteral("缺少 --output 输出文件"));
        err_(usage());
        return ExitUsage;
    }
    order.sentence = MessageComposer::finalSentence(order.inputs);
    if (const auto fault = unspeakableInput(order.inputs, order.sentence)) {
        err_(*fault);
        return ExitUsage;
    }
    return std::nullopt;
}

std::optional<int> SpeakCommand::checkFiles(const Given& given, const Order& order, Prefix& prefix) const {
    if (const std::optional<int> failed = loadPrefix(given, progressFor(order), prefix)) {
        return failed;
    }
    const QString& output = order.output;
    const bool toFile = !output.isEmpty() && !order.toStandardOutput();
    if (toFile && !prefix.path.isEmpty() && isSameFile(prefix.path, output)) {
        err_(QStringLiteral("合成路径不能与前缀音频相同!请重新选择..: ") + output);
        return ExitFile;
    }
    if (toFile && !isReplaceableFilePath(output)) {
        err_(QStringLiteral("无法写入输出文件(文件夹不存在或不可写,或目标是文件夹、链接或特殊文件;"
                            "写到标准输出请用 --output -): ") +
             output);
        return ExitFile;
    }
    return std::nullopt;
}

int SpeakCommand::showDryRun(const Given& given, const Order& order) const {
    // The embedded service takes a free port only when it starts, so a dry run names the port by a
    // placeholder; an outside service is named as the real run would use it.
    const bool externalService = Endpoints::usesExternalSpeechService();
    const QString base = externalService ? Endpoints::forLocalService(0).speechBase
                                         : QStringLiteral(" http://127.0.0.1:<端口>");
    out_(QStringLiteral("预览内容:"));
    out_(MessageComposer::previewText(order.inputs).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    out_(QStringLiteral("语音文本: ") + order.sentence);
    out_(QStringLiteral("reading: ") + spokenReading(order.sentence));
    out_(QStringLiteral("请求地址: ") +
         withoutLeadingBlank(SpeechRequest::address(base, UTF8EncodeURI(order.sentence), given.voice)));
    if (given.jingle > 0) {
        out_(QStringLiteral("前缀音频: 程序目录\\sc\\%1.mp3").arg(given.jingle));
    } else if (given.values.contains(QStringLiteral("prefix"))) {
        out_(QStringLiteral("前缀音频: ") + given.values.value(QStringLiteral("prefix")));
    }
    if (!order.output.isEmpty()) {
        out_(QStringLiteral("输出文件: ") + order.output);
    }
    out_(externalService ? QStringLiteral("(未发送任何请求)")
                         : QStringLiteral("(使用内置语音服务,<端口>在启动时分配;未发送任何请求)"));
    return ExitDone;
}

int SpeakCommand::speakAndSave(const Given& given, const Order& order, const Prefix& prefix) const {
    const Writer& progress = progressFor(order);
    removeStaleTemporaryFiles(ProgramFolder::locate().path());
    SpeechService::Options serviceOptions;
    serviceOptions.lexiconPath = userLexiconPath(ProgramFolder::locate());
    SpeechService service(serviceOptions);
    Endpoints endpoints = Endpoints::forLocalService(0);
    if (!Endpoints::usesExternalSpeechService()) {
        progress(QStringLiteral("正在启动内置语音服务..."));
        if (!service.start()) {
            err_(QStringLiteral("内置语音服务无法启动"));
            return ExitService;
        }
        endpoints = Endpoints::forLocalService(service.port());
    }
    progress(QStringLiteral("语音服务: ") + withoutLeadingBlank(endpoints.speechBase));

    CurlHttpClient client;
    progress(QStringLiteral("正在生成Vela声笺...发送者:[") + order.inputs.sender +
             QStringLiteral("] | 接收者:[") + order.inputs.recipient + QLatin1String("]"));
    const QString request =
        SpeechRequest::address(endpoints.speechBase, UTF8EncodeURI(order.sentence), given.voice).trimmed();
    // No window waits on these requests, so they run right here rather than on a worker.
    const SpokenMessage spoken = SpeechRequest::speak(client, request, endpoints.speechBase);
    if (spoken.failure != SpokenMessage::Failure::none) {
        err_(spoken.failureText(endpoints.speechBase));
        return ExitService;
    }
    progress(QStringLiteral("Vela声笺生成成功!音信地址: ") + withoutLeadingBlank(spoken.address));
    if (!prefix.bytes.isEmpty()) {
        progress(QStringLiteral("正在合成前缀音频: ") + prefix.path);
    }
    const QByteArray message = prefix.bytes + spoken.mp3;
    if (order.toStandardOutput()) {
        if (!(data_ ? data_(message) : writeToStandardOutput(message))) {
            err_(QStringLiteral("音信文件无法写到标准输出"));
            return ExitFile;
        }
        progress(QStringLiteral("音信文件已写到标准输出 (%1 字节)").arg(message.size()));
        return ExitDone;
    }
    if (!writeFileAtomically(order.output, message)) {
        const QString reason = writeFailureReason();
        err_(QStringLiteral("音信文件保存失败!请检查保存路径..: ") + order.output +
             (reason.isEmpty() ? QString() : QStringLiteral(" (") + reason + QLatin1Char(')')));
        return ExitFile;
    }
    progress(QStringLiteral("音信文件已保存: %1 (%2 字节)").arg(order.output).arg(message.size()));
    return ExitDone;
}

int SpeakCommand::runBatch(const Given& given) {
    const QHash<QString, QString>& v = given.values;
    const QStringList& flags = given.flags;
    for (const QString& singleOnly :
         {QStringLiteral("sender"), QStringLiteral("recipient"), QStringLiteral("relation"),
          QStringLiteral("message"), QStringLiteral("output")}) {
        if (v.contains(singleOnly)) {
            err_(QStringLiteral("--batch 不能与 --%1 同用").arg(singleOnly));
            err_(usage());
            return ExitUsage;
        }
    }
    const int cores = std::max(1, QThread::idealThreadCount());
    int jobs = cores;
    if (v.contains(QStringLiteral("jobs"))) {
        bool ok = false;
        jobs = v.value(QStringLiteral("jobs")).toInt(&ok);
        if (!ok || jobs < 1 || jobs > cores) {
            err_(QStringLiteral("--jobs 的取值应为 1 到 %1 的整数").arg(cores));
            err_(usage());
            return ExitUsage;
        }
    }
    const QString folder = v.value(QStringLiteral("output-dir"));
    const bool dryRun = given.dryRun;
    if (folder.isEmpty() && !dryRun) {
        err_(QStringLiteral("缺少 --output-dir 输出文件夹"));
        err_(usage());
        return ExitUsage;
    }
    const BatchList list = BatchList::load(v.value(QStringLiteral("batch")));
    for (const QString& problem : list.problems()) {
        err_(problem);
    }
    if (!list.fileProblem().isEmpty()) {
        return ExitUsage;
    }
    const qsizetype bad = list.badRowCount();
    const qsizetype good = list.rows().size() - bad;
    if (bad > 0 && !flags.contains(QStringLiteral("skip-bad"))) {
        err_(QStringLiteral("名单中有%1行有误,未生成任何音信;请改正后重试,或用 --skip-bad 跳过这些行")
                 .arg(bad));
        return ExitUsage;
    }
    if (dryRun) {
        for (const BatchList::Row& row : list.rows()) {
            if (row.problem.isEmpty()) {
                out_(
                    QStringLiteral("第%1行: %2 -> %3").arg(row.line).arg(row.inputs.recipient, row.fileName));
            }
        }
        out_(QStringLiteral("共%1行可生成,%2行有误(未发送任何请求)").arg(good).arg(bad));
        return ExitDone;
    }
    if (!QDir().mkpath(folder)) {
        err_(QStringLiteral("无法创建输出文件夹: ") + folder);
        return ExitFile;
    }
    Prefix prefix;
    if (const std::optional<int> failed = loadPrefix(given, err_, prefix)) {
        return *failed;
    }

    const bool externalService = Endpoints::usesExternalSpeechService();
    ServicePool pool(externalService ? Endpoints::forLocalService(0).speechBase : QString(),
                     userLexiconPath(ProgramFolder::locate()));
    if (!externalService) {
        err_(QStringLiteral("正在启动内置语音服务..."));
        pool.grow(static_cast<int>(std::min<qsizetype>(jobs, std::max<qsizetype>(good, 1))));
        if (pool.bases().isEmpty()) {
            err_(QStringLiteral("内置语音服务无法启动"));
            return ExitService;
        }
    }
    err_(QStringLiteral("语音服务: %1 个,同时生成 %2 行").arg(pool.bases().size()).arg(jobs));

    BatchRun::Setup setup;
    setup.folder = folder;
    setup.serviceBases = pool.bases();
    setup.workers = jobs;
    setup.voice = given.voice;
    setup.prefix = prefix.bytes;
    setup.makeClient = [] { return std::make_unique<CurlHttpClient>(); };
    QElapsedTimer clock;
    clock.start();
    const Writer& status = statusLine_ ? statusLine_ : err_;
    status(batchProgressText(0, static_cast<int>(good), 0));
    const std::atomic<bool> never{false};
    const QList<BatchRun::Outcome> outcomes =
        BatchRun::run(list, setup, never, [&](const BatchRun::Outcome&, int done, int total) {
            status(batchProgressText(done, total, clock.elapsed()));
        });
    if (statusLine_) {
        err_(QString());
    }
    QStringList failed;
    bool serviceFailed = false;
    for (const BatchRun::Outcome& outcome : outcomes) {
        if (!outcome.failure.isEmpty()) {
            err_(QStringLiteral("第%1行: %2").arg(outcome.line).arg(outcome.failure));
            failed.append(QString::number(outcome.line));
            serviceFailed = serviceFailed || outcome.serviceFailed;
        }
    }
    out_(QStringLiteral("已生成 %1/%2 行,用时 %3 秒,保存在: %4")
             .arg(good - failed.size())
             .arg(list.rows().size())
             .arg(double(clock.elapsed()) / 1000.0, 0, 'f', 1)
             .arg(folder));
    if (!failed.isEmpty()) {
        err_(QStringLiteral("生成失败的行: 第%1行").arg(failed.join(QStringLiteral("、"))));
        return serviceFailed ? ExitService : ExitFile;
    }
    if (bad > 0) {
        err_(QStringLiteral("跳过的有误行: %1行").arg(bad));
        return ExitUsage;
    }
    return ExitDone;
}

std::optional<int> SpeakCommand::loadPrefix(const Given& given, const Writer& progress,
                                            Prefix& prefix) const {
    const QHash<QString, QString>& v = given.values;
    const int jingle = given.jingle;
    QString& prefixPath = prefix.path;
    QByteArray& bytes = prefix.bytes;
    if (jingle > 0 && !given.dryRun) {
        const ProgramFolder folder = ProgramFolder::locate();
        progress(QStringLiteral("正在准备程序目录: ") + folder.path());
        prepareProgramFolder(folder);
        const Jingle builtIn = builtInJingle(folder, jingle);
        if (builtIn.damaged) {
            err_(QStringLiteral("程序目录中的前缀音频已损坏且无法修复,改用程序内置的前缀音频: ") +
                 builtIn.path);
        }
        prefixPath = builtIn.path;
        bytes = builtIn.bytes;
    } else if (v.contains(QStringLiteral("prefix"))) {
        prefixPath = v.value(QStringLiteral("prefix"));
        switch (readRegularFile(prefixPath, MaxPrefixBytes, bytes)) {
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
            bytes.clear();
            break;
        case ReadOutcome::Failed:
            bytes.clear();
            break;
        }
        if (bytes.isEmpty()) {
            err_(QStringLiteral("未找到前缀音频文件或文件为空: ") + prefixPath);
            return ExitFile;
        }
        if (!MessageAudio::hasMessageFormat(bytes)) {
            err_(QStringLiteral("前缀音频的格式不能与语音相接,须为") + MessageAudio::formatName() +
                 QStringLiteral(": ") + prefixPath);
            return ExitFile;
        }
    }
    return std::nullopt;
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
    if (isatty(fileno(stderr)) != 0) {
        command.setStatusLine([](const QString& line) {
            const QByteArray bytes = QString(QStringLiteral("\r\x1b[K") + line).toUtf8();
            std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
            std::fflush(stderr);
        });
    }
    return command.run(arguments);
}

} // namespace velanote
