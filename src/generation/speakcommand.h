#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

namespace velanote {

// `velanote speak --sender S --recipient R --relation K --message M [--prefix FILE | --jingle N]
//  --output FILE|- [--dry-run]`: one voice message from the command line, over the same checks,
// sentence and service client as the main window. Progress goes to `out`, errors to `err`, one
// line per call; with `--output -` the MP3 goes to `data` and progress to `err`, so the command
// can be piped. Needs a QCoreApplication (or QApplication) while it runs.
// Exit codes: 0 done, 2 bad options or inputs, 3 service or network failure, 4 file failure.
class SpeakCommand {
public:
    using Writer = std::function<void(const QString& line)>;
    using DataWriter = std::function<bool(const QByteArray& bytes)>;
    SpeakCommand(Writer out, Writer err, DataWriter data = {});

    // `arguments` are those after the word "speak".
    int run(const QStringList& arguments);

    static QString usage();

private:
    Writer out_;
    Writer err_;
    DataWriter data_;
};

// Runs SpeakCommand with stdout and stderr; returns the exit code.
int runSpeakCommand(const QStringList& arguments);

} // namespace velanote
