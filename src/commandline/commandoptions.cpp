#include "commandline/commandoptions.h"

#include <QCommandLineParser>
#include <QHash>

#include <utility>

namespace velanote {

QString CommandOptions::help() {
    return QStringLiteral("help");
}

CommandOptions::CommandOptions(QStringList valueOptions, QStringList flags, Repetition repetition)
    : valueOptions_(std::move(valueOptions)), flags_(std::move(flags)), repetition_(repetition) {}

CommandOptions::Outcome CommandOptions::read(const QStringList& arguments) const {
    // The parser tells what is wrong but not where. The first fault in argument order is that of
    // the shortest run of leading arguments with a fault, and it lies in the last of them.
    Outcome before;
    for (qsizetype count = 1; count <= arguments.size(); ++count) {
        Outcome leading = readPrefix(arguments.first(count), count == arguments.size());
        if (leading.fault) {
            before.fault = leading.fault;
            return before;
        }
        before = std::move(leading);
    }
    return before;
}

// `arguments` are the whole command line when `complete`, else its first ones; a fault in them
// lies in the last argument.
CommandOptions::Outcome CommandOptions::readPrefix(const QStringList& arguments, bool complete) const {
    using Kind = Fault::Kind;
    QCommandLineParser parser;
    for (const QString& name : valueOptions_) {
        parser.addOption(QCommandLineOption(name, QString(), QStringLiteral("value")));
    }
    for (const QString& name : flags_) {
        parser.addOption(QCommandLineOption(name));
    }
    parser.addOption(QCommandLineOption(QStringList{QStringLiteral("h"), help()}));
    // The parser takes the first argument for the program's name.
    const bool parsed = parser.parse(QStringList{QString()} + arguments);

    Outcome outcome;
    const QString last = arguments.isEmpty() ? QString() : arguments.constLast();
    // Only `--name` names an option here; `-x` is no option, whatever its letters.
    const auto notTaken = [&last](const QString& option) {
        return last.startsWith(QLatin1String("--")) ? Fault{Kind::UnknownOption, option, last}
                                                    : Fault{Kind::StrayArgument, QString(), last};
    };
    if (!parser.positionalArguments().isEmpty()) {
        outcome.fault = Fault{Kind::StrayArgument, QString(), last};
    } else if (!parser.unknownOptionNames().isEmpty()) {
        outcome.fault = notTaken(parser.unknownOptionNames().constLast());
    } else if (!parsed) {
        // A flag given a value, or a value option as the last argument: a value may still follow
        // when more arguments come.
        const QString option = parser.optionNames().constLast();
        if (!valueOptions_.contains(option)) {
            outcome.fault = notTaken(option);
        } else if (complete) {
            outcome.fault = Fault{Kind::MissingValue, option, last};
        }
    }

    // The parser keeps the names in argument order and each option's values in order: matched
    // up, they give the values in argument order.
    QHash<QString, qsizetype> seen;
    for (const QString& option : parser.optionNames()) {
        if (!valueOptions_.contains(option)) {
            continue;
        }
        const QStringList values = parser.values(option);
        qsizetype& count = seen[option];
        if (count == values.size()) {
            continue; // the last argument, its value not yet read
        }
        if (count > 0 && repetition_ == Repetition::Refused) {
            outcome.fault = Fault{Kind::RepeatedOption, option, QString()};
            break;
        }
        outcome.values.append({option, values.at(count++)});
    }
    for (const QString& flag : flags_ + QStringList{help()}) {
        if (parser.isSet(flag)) {
            outcome.flags.append(flag);
        }
    }
    return outcome;
}

} // namespace velanote
