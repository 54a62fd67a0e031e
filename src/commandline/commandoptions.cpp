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

QString writtenOption(const OptionDeclaration& option) {
    QString text = QStringLiteral("--") + option.name;
    if (!option.valueName.isEmpty()) {
        text += QLatin1Char(' ') + option.valueName;
    }
    return text;
}

} // namespace

QString CommandOptions::written(const QString& name) const {
    for (const OptionDeclaration& option : declarations_) {
        if (option.name == name) {
            return writtenOption(option);
        }
    }
    return QStringLiteral("--") + name;
}

int CommandOptions::columns(const QString& text) {
    int count = 0;
    for (const char32_t c : text.toUcs4()) {
        count +=
            c >= 0x1100 && (c <= 0x115F || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
                            (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
                            (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || c >= 0x20000)
                ? 2
                : 1;
    }
    return count;
}

QString CommandOptions::synopsis(int indent, int width, const QStringList& only) const {
    QList<OptionDeclaration> shown;
    for (const OptionDeclaration& option : declarations_) {
        if (only.isEmpty() || only.contains(option.name)) {
            shown.append(option);
        }
    }
    QStringList pieces;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const OptionDeclaration& option = shown.at(i);
        if (option.required) {
            pieces.append(writtenOption(option));
            continue;
        }
        QStringList together{writtenOption(option)};
        while (option.alternatives != 0 && i + 1 < shown.size() &&
               shown.at(i + 1).alternatives == option.alternatives) {
            together.append(writtenOption(shown.at(++i)));
        }
        pieces.append(QLatin1Char('[') + together.join(QStringLiteral(" | ")) + QLatin1Char(']'));
    }
    QString text;
    int column = indent;
    for (const QString& piece : std::as_const(pieces)) {
        if (column > indent && column + 1 + columns(piece) > width) {
            text += QLatin1Char('\n') + QString(indent, QLatin1Char(' '));
            column = indent;
        } else if (column > indent) {
            text += QLatin1Char(' ');
            ++column;
        }
        text += piece;
        column += columns(piece);
    }
    return text;
}

QString CommandOptions::descriptions() const {
    int column = 0;
    for (const OptionDeclaration& option : declarations_) {
        column = std::max(column, columns(writtenOption(option)));
    }
    QString text;
    for (const OptionDeclaration& option : declarations_) {
        if (option.description.isEmpty()) {
            continue;
        }
        const QString continued = QLatin1Char('\n') + QString(column + 4, QLatin1Char(' '));
        const QString written = writtenOption(option);
        text += QStringLiteral("  ") + written + QString(column + 2 - columns(written), QLatin1Char(' ')) +
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
