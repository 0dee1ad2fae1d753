// The grammar's reading of commands, and its hand-back column against the
// components' copy of it.
#include "hosting/CommandGrammar.h"

#include <gtest/gtest.h>

#include <string>

#include "host/zant_host.h"

namespace {

using zant::hosting::CommandForm;
using zant::hosting::CommandGrammar;
using zant::hosting::HandBack;
using zant::hosting::ParsedCommand;

TEST(CommandGrammar, ZantReplyHandedBackAgreesWithEveryRow) {
    for (const CommandForm* form = CommandGrammar::begin(); form != CommandGrammar::end(); ++form) {
        const bool comesBack = form->handBack == HandBack::once;
        EXPECT_EQ(zant_reply_handed_back(form->mnemonic), comesBack) << form->mnemonic;
        EXPECT_EQ(CommandGrammar::handedBack(form->mnemonic), comesBack) << form->mnemonic;
        EXPECT_EQ(std::string(form->usage).rfind(form->mnemonic, 0), 0u) << form->usage;
    }
}

TEST(CommandGrammar, HandedBackReadsTheMnemonicOfAWholeCommand) {
    const struct {
        const char* command;
        bool handedBack;
    } cases[] = {
        {"RN 12 0 3", true},  {"SD 'studioA'", true}, {"PS '1' 'f'", false}, {"RNX 1", false},
        {"rn 12 0 3", false}, {"ZZ", false},          {"R", false},          {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CommandGrammar::handedBack(c.command), c.handedBack) << c.command;
        EXPECT_EQ(CommandGrammar::handedBack(c.command), zant_reply_handed_back(c.command))
            << c.command;
    }
}

// The parse must refuse what a slip in any component's formatting would send,
// and accept every form the helper's operations produce.
TEST(CommandGrammar, TellsWellFormedFromMalformed) {
    const char* const wellFormed[] = {
        "AS",
        "RU -4",
        "ET 2",
        "ET 2 1000",
        "RP 12 1 0",
        "RR 5 1 16",
        "RR 5 1 16 'ADD'",
        "RN 12 0 -2147483648",
        "RC 12 3 7 ',' 0",
        "RC 12 3 7 ',it's' 1",
        "CE 'main' 'Any control'",
        "TP 'text=' '1' 'Source'",
        "TP 'text=it's' '1' 'Source'",
        "TP 'alarm=ack' '1' ''",
        "HN 'done='x''",
        "PS '1' 'panels/x/a.zant_ui'",
        "PS '1' 'a.zant_ui' 'extra'",
        "SD 'a'b'",
        "XI '1' 'alm_'",
        "TG '1' 'alm_1' 'value'",
    };
    ParsedCommand command;
    for (const char* text : wellFormed) EXPECT_EQ(CommandGrammar::parse(text, command), "") << text;

    const struct {
        const char* text;
        bool knownMnemonic;
    } malformed[] = {
        {"", false},
        {"A", false},
        {"ZZ 1", false},
        {"ASX", false},
        {"AS ", true},
        {"RU", true},
        {"RU  4", true},
        {"RU 4 ", true},
        {"RU 04", true},
        {"RU -0", true},
        {"RU +4", true},
        {"RU 2147483648", true},
        {"ET 2 x", true},
        {"ET 1 2 3", true},
        {"RP 1 2", true},
        {"RN 1 2", true},
        {"RR 5 1 16 ADD", true},
        {"RR 5 1 16 'add'", true},
        {"RC 12 3 7 ',' 2", true},
        {"RC 12 3 7 'x' 0", true},
        {"RC 1 2 ',' 0", true},
        {"CE '1'  'Take'", true},
        {"CE '1' Go", true},
        {"CE 'a'b' 'c'", true},
        {"TP 'text=' '1'", true},
        {"TP 'text' '1' 'Source'", true},
        {"TP '=x' '1' 'a'", true},
        {"TP 'text=' '1' 'Source", true},
        {"HN x", true},
        {"SD 'a", true},
        {"PS '1'", true},
        {"XI '1'", true},
        {"TG '1' 'a'", true},
    };
    for (const auto& c : malformed) {
        EXPECT_NE(CommandGrammar::parse(c.text, command), "") << c.text;
        EXPECT_EQ(command.form != nullptr, c.knownMnemonic) << c.text;
    }
}

TEST(CommandGrammar, ParsedFieldsAreTyped) {
    ParsedCommand command;
    ASSERT_EQ(CommandGrammar::parse("TP 'text=a' 'b' 'c'", command), "");
    EXPECT_EQ(command.text(static_cast<size_t>(command.panelField)), "b");
    EXPECT_EQ(command.text(static_cast<size_t>(command.controlField)), "c");
    EXPECT_EQ(command.device(), 0);

    ASSERT_EQ(CommandGrammar::parse("RC 12 -3 7 ',x' 1", command), "");
    EXPECT_EQ(command.controlField, -1);
    EXPECT_EQ(command.device(), 12);
    EXPECT_EQ(command.number(1), -3);
    EXPECT_EQ(command.text(3), ",x");
    EXPECT_EQ(command.number(4), 1);

    // Optional fields: present only when given; taken whenever they fit.
    ASSERT_EQ(CommandGrammar::parse("RR 5 1 16", command), "");
    EXPECT_FALSE(command.has(3));
    ASSERT_EQ(CommandGrammar::parse("PS '1' 'a' 'b'", command), "");
    EXPECT_EQ(command.text(1), "a");
    EXPECT_EQ(command.text(2), "b");
}

TEST(CommandGrammar, ReadsNumbersAsPlainSignedDecimalInts) {
    const struct {
        const char* text;
        bool isNumber;
        int value;
    } cases[] = {
        {"0", true, 0},
        {"7", true, 7},
        {"-7", true, -7},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, -2147483647 - 1},
        {"2147483648", false, 0},
        {"-2147483649", false, 0},
        {"99999999999999999999", false, 0},
        {"", false, 0},
        {"-", false, 0},
        {"-0", false, 0},
        {"00", false, 0},
        {"012", false, 0},
        {"+1", false, 0},
        {" 1", false, 0},
        {"1 ", false, 0},
        {"1x", false, 0},
        {"0x1", false, 0},
    };
    for (const auto& c : cases) {
        int value = -99;
        EXPECT_EQ(CommandGrammar::readNumber(c.text, value), c.isNumber) << c.text;
        if (c.isNumber) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
}

}  // namespace
