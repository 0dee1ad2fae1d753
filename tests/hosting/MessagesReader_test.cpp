#include "hosting/MessagesReader.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

using zant::hosting::MessageDeclaration;
using zant::hosting::MessageShape;
using zant::hosting::MessagesReader;

struct DeclarationCase {
    const char* content;
    const char* error;  // "" when the declaration loads
};

void PrintTo(const DeclarationCase& c, std::ostream* out) {
    *out << (*c.error == '\0' ? "loads" : c.error);
}

class Declarations : public testing::TestWithParam<DeclarationCase> {};

TEST_P(Declarations, LoadOrFailWithFileAndLine) {
    std::vector<MessageDeclaration> messages;
    std::string error;
    const bool loaded =
        MessagesReader::parse("c.zant_messages", GetParam().content, messages, error);
    EXPECT_EQ(loaded ? std::string() : error, GetParam().error);
    if (!loaded) {
        EXPECT_TRUE(messages.empty()) << "a failed load adds nothing";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, Declarations,
    testing::Values(
        DeclarationCase{"# comment\n\n  raise text the lamp to raise\r\n_events none a reply\n",
                        ""},
        DeclarationCase{"raise text lamp\n\nlevel number how loud\n",
                        "c.zant_messages:3: unknown value shape 'number' (known: source, "
                        "destination, instance, statesheet, boolean, all, text, none)"},
        DeclarationCase{"raise\n",
                        "c.zant_messages:1: message 'raise' without a value shape "
                        "(known: source, destination, instance, statesheet, boolean, "
                        "all, text, none)"},
        DeclarationCase{"raise text   \n",
                        "c.zant_messages:1: message 'raise' without a description"},
        DeclarationCase{"raise=1 text lamp\n",
                        "c.zant_messages:1: a message name holds no '=', got 'raise=1'"},
        DeclarationCase{"raise text a\nraise all b\n",
                        "c.zant_messages:2: message 'raise' is declared twice"}),
    [](const testing::TestParamInfo<Declarations::ParamType>& info) {
        return std::to_string(info.index);
    });

TEST(Declarations, MessagesKeepFileOrderShapeAndDescription) {
    std::vector<MessageDeclaration> messages;
    std::string error;
    ASSERT_TRUE(MessagesReader::parse(
        "c.zant_messages", "destID destination select\tdestination  INDEX \nflag boolean on\n",
        messages, error));
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].name, "destID");
    EXPECT_EQ(messages[0].shape, MessageShape::destination);
    EXPECT_EQ(messages[0].description, "select\tdestination  INDEX");
    EXPECT_EQ(std::string(MessagesReader::placeholder(messages[1].shape)), "true|false");
}

TEST(Declarations, AreNamedAfterTheLibraryInTheComponentsFolder) {
    const std::pair<const char*, const char*> cases[] = {
        {"/b/libAlarmPanel.so", "F/AlarmPanel.zant_messages"},
        {"C:\\b\\AlarmPanel.dll", "F/AlarmPanel.zant_messages"},
        {"libra.dll", "F/libra.zant_messages"},
        {"Quorvex", "F/Quorvex.zant_messages"},
    };
    for (const auto& c : cases) EXPECT_EQ(MessagesReader::pathFor("F", c.first), c.second);
}

TEST(Declarations, AFolderIsNoDeclaration) {
    std::vector<MessageDeclaration> messages;
    std::string error;
    EXPECT_FALSE(MessagesReader::load(".", messages, error));
    EXPECT_NE(error.find(".: cannot open the message declaration"), std::string::npos) << error;
}

}  // namespace
