#include "simulator/ButtonMessage.h"

#include <gtest/gtest.h>

#include <string>

#include "script_helper/parentMessage.h"

namespace {

std::string text(const char* piece) {
    return piece == nullptr ? std::string("<null>") : std::string(piece);
}

// The host builds the record itself; the component reads it as a
// parentMessage. Both must split every text the same way.
class ButtonMessageSplit : public testing::TestWithParam<std::string> {};

TEST_P(ButtonMessageSplit, MatchesTheComponentsOwnParser) {
    const std::string& source = GetParam();
    ButtonMessage ours(source);
    const parentMessage expected(source.c_str());
    const zant_message_record* record = ours.record();
    EXPECT_EQ(text(record->name), text(expected.name));
    EXPECT_EQ(text(record->value), text(expected.value));
    EXPECT_EQ(record->itemCount, expected.itemCount);
    EXPECT_EQ(record->hasValue, expected.hasValue);
    EXPECT_EQ(record->buffer == nullptr, expected.buffer == nullptr);
    for (int i = 0; i < parentMessage::maxItems; ++i) {
        EXPECT_EQ(text(record->items[i]), text(expected.items[i])) << "item " << i;
    }
}

std::string dots(int count) {
    std::string result = "a";
    for (int i = 0; i < count; ++i) result += ".x";
    return result + "=v";
}

INSTANTIATE_TEST_SUITE_P(Texts, ButtonMessageSplit,
                         testing::Values("", "press", "button=1", "a.b.c=d.e", "a=b=c", "=x", "a.",
                                         "..", dots(31), dots(32), dots(40)),
                         [](const testing::TestParamInfo<ButtonMessageSplit::ParamType>& info) {
                             return std::to_string(info.index);
                         });

}  // namespace
