#pragma once
#include "platform/platform.h"
#include "velanote/version.h"

#include <QString>

#include <functional>

class QWidget;

namespace velanote {

// Compares the program's own version with the version file on the maker's site. The automatic
// run reports on the status line, the manual run in message boxes; a file naming another version
// asks whether to update and ends the program whatever the answer.
class UpdateCheck {
public:
    enum class Verdict { Failed, Current, OtherVersion };
    enum class Outcome { Failed, Current, ProgramEnded };

    // Fetches the body of an address; empty when nothing usable arrived.
    using Fetcher = std::function<QString(const QString& url)>;

    UpdateCheck(Platform& platform, QString versionUrl, QString forumUrl);

    // Replaces the blocking fetch through the platform's HTTP client (e.g. by one that keeps the
    // window painting while it waits).
    void setFetcher(Fetcher fetcher) { fetcher_ = std::move(fetcher); }

    static QString ownVersion() { return QString::fromLatin1(kVersionTag); }
    // The reply without its trailing line breaks and blanks.
    static QString normalizedReply(const QString& body);
    static Verdict judge(const QString& reply);
    static QString updateQuestion(const QString& reply);

    // The check run one second after the main window loads; `setStatus` writes the status line.
    Outcome runAutomatic(const std::function<void(const QString&)>& setStatus, QWidget* parent);
    // The check run from the menu.
    Outcome runManual(QWidget* parent);

private:
    QString fetchReply();
    // Asks the update question; opens the forum on Yes and ends the program on either answer.
    void askAndEnd(const QString& reply, QWidget* parent);

    Platform& platform_;
    QString versionUrl_;
    QString forumUrl_;
    Fetcher fetcher_;
};

} // namespace velanote
