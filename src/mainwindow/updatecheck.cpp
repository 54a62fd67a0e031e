#include "mainwindow/updatecheck.h"

#include "app/messagetitles.h"

namespace velanote {

namespace {} // namespace

UpdateCheck::UpdateCheck(Platform& platform, QString versionUrl, QString forumUrl)
    : platform_(platform), versionUrl_(std::move(versionUrl)), forumUrl_(std::move(forumUrl)) {}

QString UpdateCheck::normalizedReply(const QString& body) {
    qsizetype end = body.size();
    while (end > 0) {
        const QChar c = body.at(end - 1);
        if (c != u'\r' && c != u'\n' && c != u' ' && c != u'\t') {
            break;
        }
        --end;
    }
    return body.left(end);
}

UpdateCheck::Verdict UpdateCheck::judge(const QString& reply) {
    if (reply.isEmpty()) {
        return Verdict::Failed;
    }
    return reply == ownVersion() ? Verdict::Current : Verdict::OtherVersion;
}

QString UpdateCheck::updateQuestion(const QString& reply) {
    return QStringLiteral("您当前使用的为旧版软件!") + QLatin1String("\r\n \r\n") +
           QStringLiteral("最新版本为:【") + reply + QStringLiteral("】是否更新?");
}

QString UpdateCheck::fetchReply() {
    const QString body = fetcher_ ? fetcher_(versionUrl_) : platform_.http().fetchText(versionUrl_);
    return normalizedReply(body);
}

void UpdateCheck::askAndEnd(const QString& reply, QWidget* parent) {
    const MessageBoxAnswer answer = platform_.messageBox().show(
        updateQuestion(reply), MessageBoxStyle::YesNoInformation, MessageTitles::program(), parent);
    if (answer == MessageBoxAnswer::Yes) {
        platform_.shell().openAddress(forumUrl_);
    }
    platform_.shell().endProgram();
}

UpdateCheck::Outcome UpdateCheck::runAutomatic(const std::function<void(const QString&)>& setStatus,
                                               QWidget* parent) {
    const QString reply = fetchReply();
    switch (judge(reply)) {
    case Verdict::Failed:
        setStatus(QStringLiteral("检测失败!请检查您的网络连接!."));
        return Outcome::Failed;
    case Verdict::Current:
        setStatus(QStringLiteral("程序加载完毕..."));
        return Outcome::Current;
    case Verdict::OtherVersion:
        break;
    }
    askAndEnd(reply, parent);
    return Outcome::ProgramEnded;
}

UpdateCheck::Outcome UpdateCheck::runManual(QWidget* parent) {
    const QString reply = fetchReply();
    switch (judge(reply)) {
    case Verdict::Failed:
        platform_.messageBox().show(QStringLiteral("检测失败!请检查您的网络连接!"),
                                    MessageBoxStyle::OkExclamation, MessageTitles::program(), parent);
        return Outcome::Failed;
    case Verdict::Current:
        platform_.messageBox().show(QStringLiteral("当前为最新版本!"), MessageBoxStyle::OkInformation,
                                    MessageTitles::program(), parent);
        return Outcome::Current;
    case Verdict::OtherVersion:
        break;
    }
    askAndEnd(reply, parent);
    return Outcome::ProgramEnded;
}

} // namespace velanote
