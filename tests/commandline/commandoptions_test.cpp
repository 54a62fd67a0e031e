#include "commandline/commandoptions.h"

#include <gtest/gtest.h>

using velanote::CommandOptions;

namespace {

// "name=value" for each value, "+flag" for each flag, then "!kind option argument" for a fault.
std::string described(const CommandOptions::Outcome& outcome) {
    QStringList parts;
    for (const auto& [option, value] : outcome.values) {
        parts << option + '=' + value;
    }
    for (const QString& flag : outcome.flags) {
        parts << '+' + flag;
    }
    if (const auto& fault = outcome.fault) {
        static const char* const kinds[] = {"!unknown", "!stray", "!missing", "!repeated"};
        parts << kinds[static_cast<int>(fault->kind)] << fault->option << fault->argument;
    }
    return parts.join(' ').trimmed().toStdString();
}

struct Case {
    QStringList arguments;
    const char* outcome;
};

void expectOutcomes(const CommandOptions& options, std::initializer_list<Case> cases) {
    for (const Case& c : cases) {
        EXPECT_EQ(described(options.read(c.arguments)), c.outcome) << c.arguments.join(' ').toStdString();
    }
}

} // namespace

TEST(CommandOptions, ReadsValuesAndFlagsAndNamesTheFirstFaultInArgumentOrder) {
    const CommandOptions once({"sender", "output"}, {"dry-run"}, CommandOptions::Repetition::Refused);
    expectOutcomes(once,
                   {
                       {{"--sender", "--x", "--output=a=b", "--dry-run"}, "sender=--x output=a=b +dry-run"},
                       {{"--sender=", "-h"}, "sender= +help"},
                       {{"--help", "--sender", "a", "--"}, "sender=a +help"},
                       {{"stray", "--volume", "3"}, "!stray  stray"},
                       {{"--volume=3", "stray"}, "!unknown volume --volume=3"},
                       {{"--sender", "a", "--sender", "b", "--volume"}, "sender=a !repeated sender"},
                       {{"--sender", "a", "--sender"}, "sender=a !missing sender --sender"},
                       {{"--sender", "a", "--output", "--dry-run=yes"}, "sender=a output=--dry-run=yes"},
                       {{"--dry-run=yes", "--output"}, "!unknown dry-run --dry-run=yes"},
                       {{"--=x"}, "!unknown  --=x"},
                       {{"-sender", "a"}, "!stray  -sender"},
                       {{"-hx"}, "!stray  -hx"},
                       {{"-h=x"}, "!stray  -h=x"},
                       {{"-"}, "!stray  -"},
                       {{"--", "--sender", "a"}, "!stray  --sender"},
                   });
}

TEST(CommandOptions, RepeatedValuesComeInArgumentOrderWhereAllowed) {
    const CommandOptions repeatable({"port", "bind"}, {}, CommandOptions::Repetition::Allowed);
    expectOutcomes(repeatable,
                   {
                       {{"--port", "1", "--bind=b", "--port", "2"}, "port=1 bind=b port=2"},
                       {{"--port", "x", "--verbose", "--port", "y"}, "port=x !unknown verbose --verbose"},
                       {{"--bind", "b", "--port"}, "bind=b !missing port --port"},
                   });
}

// The usage comes from the same declarations the parsing does: required options bare, the others
// in brackets, alternatives joined, wrapped under the command; descriptions in one column.
TEST(CommandOptions, DeclarationsGiveTheParsingAndTheUsage) {
    const CommandOptions declared({{"sender", "发送人", "who sends it", true},
                                   {"prefix", "FILE", "", false, 1},
                                   {"jingle", "N", "a built-in jingle,\none to ten", false, 1},
                                   {"dry-run", "", "only show what would be sent"}},
                                  CommandOptions::Repetition::Refused);
    expectOutcomes(declared, {{{"--sender", "a", "--dry-run", "--jingle", "2"}, "sender=a jingle=2 +dry-run"},
                              {{"--dry-run=1"}, "!unknown dry-run --dry-run=1"}});
    EXPECT_EQ(declared.synopsis(4), "--sender 发送人 [--prefix FILE | --jingle N] [--dry-run]");
    EXPECT_EQ(declared.synopsis(4, 40), "--sender 发送人\n    [--prefix FILE | --jingle N]\n    [--dry-run]");
    EXPECT_EQ(declared.synopsis(4, 100, {"jingle", "dry-run"}), "[--jingle N] [--dry-run]");
    // Wide characters take two columns each.
    EXPECT_EQ(declared.descriptions(), "  --sender 发送人  who sends it\n"
                                       "  --jingle N       a built-in jingle,\n"
                                       "                   one to ten\n"
                                       "  --dry-run        only show what would be sent\n");
}
