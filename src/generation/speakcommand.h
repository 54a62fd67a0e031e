#pragma once
#include "generation/composition.h"
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
    // The options given, with those that a single message and a batch share read and checked.
    struct Given {
        QHash<QString, QString> values; // option -> value
        QStringList flags;
        int jingle = 0;
        VoiceSettings voice;
        bool dryRun = false;
    };
    // One message as the options ask for it, once checked.
    struct Order {
        MessageInputs inputs;
        QString sentence;
        QString output; // a file, "-" for standard output, or empty in a dry run
        bool toStandardOutput() const { return output == QLatin1String("-"); }
    };
    // The jingle or prefix file chosen, read.
    struct Prefix {
        QByteArray bytes;
        QString path;
    };

    // Each stage returns the exit code when the command ends there.
    std::optional<int> readGiven(const QStringList& arguments, Given& given) const;
    std::optional<int> readOrder(const Given& given, Order& order) const;
    // Files first, so nothing is asked of the service when the result could not be written.
    std::optional<int> checkFiles(const Given& given, const Order& order, Prefix& prefix) const;
    int showDryRun(const Given& given, const Order& order) const;
    int speakAndSave(const Given& given, const Order& order, const Prefix& prefix) const;
    // Where progress goes: standard error when standard output carries the MP3.
    const Writer& progressFor(const Order& order) const { return order.toStandardOutput() ? err_ : out_; }

    int runBatch(const Given& given);
    // Reads the jingle or prefix file chosen; the exit code when it cannot be had.
    // A dry run does not prepare the program folder for a jingle.
    std::optional<int> loadPrefix(const Given& given, const Writer& progress, Prefix& prefix) const;

    Writer statusLine_;
    Writer out_;
    Writer err_;
    DataWriter data_;
};

// Runs SpeakCommand with stdout and stderr; returns the exit code.
int runSpeakCommand(const QStringList& arguments);

} // namespace velanote
