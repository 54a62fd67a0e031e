#pragma once
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace velanote {

// One option of a command, declared once: the command's parsing and its usage text both come from
// the list of its declarations.
struct OptionDeclaration {
    QString name;        // without dashes
    QString valueName;   // the value's name in the usage; empty for a flag
    QString description; // for the usage; "\n" continues it on a line of its own under the first
    bool required = false;
    // Options that share a non-zero number exclude each other and show as "[--a A | --b B]".
    int alternatives = 0;
};

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
    CommandOptions(QList<OptionDeclaration> declarations, Repetition repetition);

    Outcome read(const QStringList& arguments) const;

    // "--name VALUE [--other VALUE] [--flag]", in declaration order (only the options named in
    // `only` when it is not empty), wrapped before `width` columns; lines after the first are
    // indented by `indent` columns, as under "usage: command ".
    QString synopsis(int indent, int width = 100, const QStringList& only = {}) const;
    // "--name VALUE" of a declared option, as the usage writes it.
    QString written(const QString& name) const;
    // "  --name VALUE  description", one option with a description a line, the descriptions in one
    // column.
    QString descriptions() const;

    // The columns a text takes on a terminal: two for each wide (East Asian) character.
    static int columns(const QString& text);

private:
    Outcome readPrefix(const QStringList& arguments, bool complete) const;

    QList<OptionDeclaration> declarations_;
    QStringList valueOptions_;
    QStringList flags_;
    Repetition repetition_;
};

} // namespace velanote
