#include "simulator/Words.h"

#include <gtest/gtest.h>

#include "simulator/ComponentMessages.h"

namespace zant::simulator {

namespace {

TEST(ParseInteger, AcceptsOnlyDecimalIntegersWithinTheIntRange) {
    const struct {
        const char* text;
        bool parses;
        int value;
    } cases[] = {
        {"12", true, 12},         {"-3", true, -3},
        {"007", true, 7},         {"2147483647", true, 2147483647},
        {"2147483648", false, 0}, {"99999999999", false, 0},
        {"-", false, 0},          {"+4", false, 0},
        {"", false, 0},           {"1 ", false, 0},
        {"x", false, 0},
    };
    for (const auto& c : cases) {
        int value = 0;
        EXPECT_EQ(parseInteger(c.text, value), c.parses) << c.text;
        if (c.parses) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
}

TEST(Printable, EscapesControlsAndStrayBytesButKeepsUtf8) {
    const std::pair<std::string, std::string> cases[] = {
        {"CAM 3|Jib", "CAM 3|Jib"},
        {"a\nb\tc\rd", "a\\nb\\tc\\rd"},
        {"pre\x8fss", "pre\\x8fss"},
        {"\x1b[31m", "\\x1b[31m"},
        {"\x7f", "\\x7f"},
        {"Caf\xc3\xa9 \xe2\x82\xac", "Caf\xc3\xa9 \xe2\x82\xac"},
        {"\xc3", "\\xc3"},                    // cut short at the end
        {"\xc0\xaf", "\\xc0\\xaf"},           // overlong
        {"\xed\xa0\x80", "\\xed\\xa0\\x80"},  // surrogate
        {"\xc2\x85", "\\xc2\\x85"},           // a C1 control
    };
    for (const auto& c : cases) EXPECT_EQ(printable(c.first), c.second) << c.second;
}

TEST(ComponentMessages, SuggestTheMessageAStepWasMeantToBe) {
    ComponentMessages messages;
    std::string error;
    ASSERT_TRUE(messages.load(PANEL_HOST_COMPONENT_PATH, "libQuorvex.so", error)) << error;
    const std::pair<const char*, const char*> cases[] = {
        {"instance studioA", "message instance=studioA"},
        {"sourceid 3", "message sourceID=3"},
        {"destID=7", "message destID=7"},
        {"return", "message return=all"},
        {"_events", "message _events"},
        {"presss Take", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(messages.suggestion(c.first), c.second);
}

}  // namespace

}  // namespace zant::simulator
