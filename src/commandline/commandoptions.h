#pragma once
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace velanote {

// The options one command takes, read from its arguments by QCommandLineParser: value options
// (`--name VALUE`, `--name=VALUE`), flags (`--name`) and help (`-h`, `--help`). A command takes no
// other arguments; `--` ends the options. Reading prints nothing and exits nothing: the outcome is
// data, from which each command words its own messages.
class CommandOptions {
public:
    enum class Repetition { Allowed, Refused }; // of a value option given more than once

    // The flag that `-h` and `--help` set.
    static QString help();

    struct Value {
        QString option; // its name, without dashes
        QString value;
    };

    struct Fault {
        enum class Kind {
            // `--name` or `--name=VALUE` that the command does not take, or a flag given a value
            UnknownOption,
            // any other argument that is not an option: a word, `-`, `-x`
            StrayArgument,
            // a value option as the last argument
            MissingValue,
            // a value option given again where repetition is refused
            RepeatedOption,
        };
        Kind kind;
        QString option;   // the option's name without dashes: not for a stray argument
        QString argument; // the argument as written: not for a repeated option
    };

    struct Outcome {
        QList<Value> values;        // in argument order; with a fault, those before it
        QStringList flags;          // those given; with a fault, those before it
        std::optional<Fault> fault; // the first one in argument order
    };

    CommandOptions(QStringList valueOptions, QStringList flags, Repetition repetition);

    Outcome read(const QStringList& arguments) const;

private:
    Outcome readPrefix(const QStringList& arguments, bool complete) const;

    QStringList valueOptions_;
    QStringList flags_;
    Repetition repetition_;
};

} // namespace velanote
