#include "simulator/Words.h"

#include <gtest/gtest.h>

#include "simulator/ComponentMessages.h"

namespace zant::simulator {

namespace {

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
