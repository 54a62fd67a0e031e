#pragma once
#include "synthesis/voicesettings.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <QHash>

#include <functional>
#include <optional>

namespace velanote {

// `velanote speak --sender S --recipient R --relation K --message M [--prefix FILE | --jingle N]
//  --output FILE|- [--dry-run]`: one voice message from the command line, over the same checks,
// sentence and service client as the main window. Progress goes to `out`, errors to `err`, one
// line per call; with `--output -` the MP3 goes to `data` and progress to `err`, so the command
// can be piped. Needs a QCoreApplication (or QApplication) while it runs.
// `--batch FILE.csv --output-dir DIR [--skip-bad] [--jobs N]` makes one message per row of a list
// instead (see BatchList), several rows at a time, with the progress on `err`.
// Exit codes: 0 done (every row of a batch), 2 bad options or inputs (a batch with bad rows),
// 3 service or network failure, 4 file failure.
class SpeakCommand {
public:
    using Writer = std::function<void(const QString& line)>;
    using DataWriter = std::function<bool(const QByteArray& bytes)>;
    SpeakCommand(Writer out, Writer err, DataWriter data = {});

    // `arguments` are those after the word "speak".
    int run(const QStringList& arguments);

    static QString usage();

    // Where a batch's progress goes on a terminal: each call replaces the line shown. Without it
    // the progress goes to `err` one line at a time.
    void setStatusLine(Writer statusLine) { statusLine_ = std::move(statusLine); }

private:
    int runBatch(const QHash<QString, QString>& v, int jingle, const VoiceSettings& voice,
                 const QStringList& flags);
    // Reads the jingle or prefix file chosen; the exit code when it cannot be had.
    // A dry run does not prepare the program folder for a jingle.
    std::optional<int> loadPrefix(const QHash<QString, QString>& v, int jingle, bool dryRun,
                                  const Writer& progress, QByteArray& prefix, QString& prefixPath) const;

    Writer statusLine_;
    Writer out_;
    Writer err_;
    DataWriter data_;
};

// Runs SpeakCommand with stdout and stderr; returns the exit code.
int runSpeakCommand(const QStringList& arguments);

} // namespace velanote
