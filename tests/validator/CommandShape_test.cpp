// The shape checker must refuse what a slip in any component's formatting
// would send, and accept every form the helper's operations produce.
#include <gtest/gtest.h>

#include "validator/CommandShape.h"

namespace zant::validate {

namespace {

TEST(CommandShape, TellsWellFormedFromMalformed) {
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
    for (const char* text : wellFormed) EXPECT_EQ(CommandShape::check(text), "") << text;

    const char* const malformed[] = {
        "",
        "A",
        "ZZ 1",
        "AS ",
        "ASX",
        "RU",
        "RU  4",
        "RU 4 ",
        "RU 04",
        "RU -0",
        "RU +4",
        "RU 2147483648",
        "ET 2 x",
        "ET 1 2 3",
        "RP 1 2",
        "RN 1 2",
        "RR 5 1 16 ADD",
        "RC 12 3 7 ',' 2",
        "RC 1 2 ',' 0",
        "CE '1'  'Take'",
        "CE '1' Go",
        "CE 'a'b' 'c'",
        "TP 'text=' '1'",
        "TP 'text' '1' 'Source'",
        "TP '=x' '1' 'a'",
        "TP 'text=' '1' 'Source",
        "HN x",
        "SD 'a",
        "PS '1'",
        "XI '1'",
        "TG '1' 'a'",
    };
    for (const char* text : malformed) EXPECT_NE(CommandShape::check(text), "") << text;
}

TEST(CommandShape, NamesThePanelAndTheControlField) {
    ShapedCommand command;
    ASSERT_EQ(CommandShape::check("TP 'text=a' 'b' 'c'", command), "");
    EXPECT_EQ(command.fields[command.panelField], "b");
    EXPECT_EQ(command.fields[command.controlField], "c");
    ASSERT_EQ(CommandShape::check("RC 1 2 3 ',x' 0", command), "");
    EXPECT_EQ(command.controlField, -1);
}

}  // namespace

}  // namespace zant::validate
