#pragma once
#include <QString>
#include <QStringList>

#include <functional>

namespace velanote {

// `velanote speak --sender S --recipient R --relation K --message M [--prefix FILE | --jingle N]
//  --output FILE [--dry-run]`: one voice message from the command line, over the same checks,
// sentence and service client as the main window. Progress goes to `out`, errors to `err`, one
// line per call. Needs a QCoreApplication (or QApplication) while it runs.
// Exit codes: 0 done, 2 bad options or inputs, 3 service or network failure, 4 file failure.
class SpeakCommand {
public:
    using Writer = std::function<void(const QString& line)>;
    SpeakCommand(Writer out, Writer err);

    // `arguments` are those after the word "speak".
    int run(const QStringList& arguments);

    static QString usage();

private:
    Writer out_;
    Writer err_;
};

// Runs SpeakCommand with stdout and stderr; returns the exit code.
int runSpeakCommand(const QStringList& arguments);

} // namespace velanote
