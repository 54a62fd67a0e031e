#include "commandline/commandoptions.h"

#include <QCommandLineParser>
#include <QHash>

#include <algorithm>
#include <utility>

namespace velanote {

QString CommandOptions::help() {
    return QStringLiteral("help");
}

CommandOptions::CommandOptions(QStringList valueOptions, QStringList flags, Repetition repetition)
    : valueOptions_(std::move(valueOptions)), flags_(std::move(flags)), repetition_(repetition) {}

CommandOptions::CommandOptions(QList<OptionDeclaration> declarations, Repetition repetition)
    : declarations_(std::move(declarations)), repetition_(repetition) {
    for (const OptionDeclaration& option : std::as_const(declarations_)) {
        (option.valueName.isEmpty() ? flags_ : valueOptions_).append(option.name);
    }
}

namespace {

QString written(const OptionDeclaration& option) {
    QString text = QStringLiteral("--") + option.name;
    if (!option.valueName.isEmpty()) {
        text += QLatin1Char(' ') + option.valueName;
    }
    return text;
}

} // namespace

QString CommandOptions::synopsis(int indent, int width) const {
    QStringList pieces;
    for (qsizetype i = 0; i < declarations_.size(); ++i) {
        const OptionDeclaration& option = declarations_.at(i);
        if (option.required) {
            pieces.append(written(option));
            continue;
        }
        QStringList together{written(option)};
        while (option.alternatives != 0 && i + 1 < declarations_.size() &&
               declarations_.at(i + 1).alternatives == option.alternatives) {
            together.append(written(declarations_.at(++i)));
        }
        pieces.append(QLatin1Char('[') + together.join(QStringLiteral(" | ")) + QLatin1Char(']'));
    }
    QString text;
    qsizetype column = indent;
    for (const QString& piece : std::as_const(pieces)) {
        if (column > indent && column + 1 + piece.size() > width) {
            text += QLatin1Char('\n') + QString(indent, QLatin1Char(' '));
            column = indent;
        } else if (column > indent) {
            text += QLatin1Char(' ');
            ++column;
        }
        text += piece;
        column += piece.size();
    }
    return text;
}

QString CommandOptions::descriptions() const {
    qsizetype column = 0;
    for (const OptionDeclaration& option : declarations_) {
        column = std::max(column, written(option).size());
    }
    QString text;
    for (const OptionDeclaration& option : declarations_) {
        if (option.description.isEmpty()) {
            continue;
        }
        const QString continued = QLatin1Char('\n') + QString(column + 4, QLatin1Char(' '));
        text += QStringLiteral("  ") + written(option).leftJustified(column + 2) +
                QString(option.description).replace(QLatin1Char('\n'), continued) + QLatin1Char('\n');
    }
    return text;
}

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
