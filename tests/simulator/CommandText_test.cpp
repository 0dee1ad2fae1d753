#include "simulator/CommandText.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace zant::simulator {

namespace {

struct QuotedCase {
    const char* text;
    int count;
    int freeField;
    bool parses;
    std::vector<std::string> fields;
};

void PrintTo(const QuotedCase& c, std::ostream* out) {
    *out << c.text;
}

class QuotedFields : public testing::TestWithParam<QuotedCase> {};

TEST_P(QuotedFields, CutsAtQuoteSpaceQuoteAndKeepsTheRestInTheFreeField) {
    const QuotedCase& c = GetParam();
    std::vector<std::string> fields;
    EXPECT_EQ(CommandText(c.text).quotedFields(c.count, c.freeField, fields), c.parses) << c.text;
    if (c.parses) {
        EXPECT_EQ(fields, c.fields) << c.text;
    }
}

// Values are sent verbatim: quotes, spaces and "' '" may occur inside them.
INSTANTIATE_TEST_SUITE_P(
    Commands, QuotedFields,
    testing::Values(
        QuotedCase{"TP 'text=CAM 1' '1' 'Source'", 3, 0, true, {"text=CAM 1", "1", "Source"}},
        QuotedCase{"TP 'text=it's' '1' 'Source'", 3, 0, true, {"text=it's", "1", "Source"}},
        QuotedCase{"TP 'text=a' 'b' '1' 'Source'", 3, 0, true, {"text=a' 'b", "1", "Source"}},
        QuotedCase{"TP 'text=' '1' 'Source'", 3, 0, true, {"text=", "1", "Source"}},
        QuotedCase{"TG '1' 'Take' 'a' 'b'", 3, 2, true, {"1", "Take", "a' 'b"}},
        QuotedCase{"HN 'deselect=-1'", 1, 0, true, {"deselect=-1"}},
        QuotedCase{"HN 'a' 'b'", 1, 0, true, {"a' 'b"}},
        QuotedCase{"PS '1' 'x/y.zant_ui'", 0, 0, true, {"1", "x/y.zant_ui"}},
        QuotedCase{"CD '1'", 2, 1, false, {}}, QuotedCase{"CD 1 Take", 2, 1, false, {}},
        QuotedCase{"CD '1' 'Take", 2, 1, false, {}}, QuotedCase{"AS", 1, 0, false, {}}),
    [](const testing::TestParamInfo<QuotedFields::ParamType>& info) {
        return std::to_string(info.index);
    });

TEST(CommandNumbers, AcceptsOnlyPlainDecimalIntegers) {
    std::vector<int> values;
    EXPECT_TRUE(CommandText("RC 12 -3 7").numbers(values));
    EXPECT_EQ(values, (std::vector<int>{12, -3, 7}));
    for (const char* bad :
         {"RP 12 1 x", "RP 12  1", "RP 12 1 ", "RU 99999999999", "RU -", "RU +4"}) {
        EXPECT_FALSE(CommandText(bad).numbers(values)) << bad;
    }
    EXPECT_TRUE(CommandText("AS").numbers(values));
    EXPECT_TRUE(values.empty());
}

}  // namespace

}  // namespace zant::simulator
