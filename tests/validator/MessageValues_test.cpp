// The messages a component declares are learnt with their shapes and sent
// with that shape's values; those only "_commands" lists keep the values
// they had before declarations.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "validator/ComponentProfile.h"
#include "validator/MessageValues.h"

namespace zant::validate {

namespace {

using zant::hosting::MessageDeclaration;
using zant::hosting::MessageShape;

std::vector<std::string>& received() {
    static std::vector<std::string> messages;
    return messages;
}

// Keeps every kind-3 text; its "_commands" reply lists "listed" and "extra".
class ListingComponent : public zant_client_callback {
public:
    char* ZANT_THISCALL notify(void* data, int kind) override {
        if (kind == 5) {
            delete[] static_cast<char*>(data);
            return nullptr;
        }
        if (kind != 3 || data == nullptr) return nullptr;
        const std::string text(static_cast<const char*>(data));
        received().push_back(text);
        if (text != "_commands") return nullptr;
        const char list[] = "listed=[value]\nextra=[value]";
        char* reply = new char[sizeof list];
        std::memcpy(reply, list, sizeof list);
        return reply;
    }
};

zant_client_callback* createListing(zant_host* /*host*/, const char* /*path*/) {
    return new ListingComponent;
}

bool sends(const std::vector<std::string>& texts, const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

TEST(ComponentProfile, LearnsDeclaredMessagesWithTheirShapesBesidesTheListedOnes) {
    const std::vector<MessageDeclaration> declared = {
        {"flag", MessageShape::boolean, "a flag"},
        {"go", MessageShape::none, "a query"},
        {"listed", MessageShape::source, "an index"},
    };
    received().clear();
    const ComponentProfile profile =
        ComponentProfile::probe(createListing, "", {}, declared, ComponentProfile::Stage::messages);

    const std::map<std::string, MessageValues::Shape> expected = {
        {"extra", std::nullopt},
        {"flag", MessageShape::boolean},
        {"go", MessageShape::none},
        {"listed", MessageShape::source},
    };
    EXPECT_EQ(profile.messages, expected);
    // Probed with an ordinary value of the shape: a device or control they
    // name is learnt too.
    for (const char* text : {"flag=true", "go", "listed=1", "extra=1"})
        EXPECT_TRUE(sends(received(), text)) << text;

    // A child process's profile comes back without shapes; the declaration,
    // read again, gives them back.
    ComponentProfile copied = ComponentProfile::parse(profile.serialize());
    copied.declare(declared);
    EXPECT_EQ(copied.messages, expected);
}

struct EdgeCase {
    MessageValues::Shape shape;
    std::vector<std::string> values;  // among the values sent, after "m="
};

TEST(MessageValues, EachShapeIsSentWithItsOwnEdges) {
    const EdgeCase cases[] = {
        {MessageShape::source, {"2147483648", "-2147483649", "x", " 5", "007", "16", "17"}},
        {MessageShape::destination, {"0", "-1", "2147483647", "17"}},
        {MessageShape::boolean, {"true", "false", "FALSE", "fAlSe", "yes", "1", "true "}},
        {MessageShape::all, {"all", "ALL", "al", "allx"}},
        {MessageShape::instance, {"a b", "a=b", "12"}},
        {MessageShape::statesheet, {"a|b", "'red'"}},
        {MessageShape::text, {"line\nline", "''"}},
        {MessageShape::none, {"1"}},
        // Undeclared: the numbers and words sent before declarations.
        {std::nullopt, {"0", "1", "-1", "-2147483648", "99999999999999", "true", "FALSE"}},
    };
    for (const EdgeCase& test : cases) {
        SCOPED_TRACE(test.shape ? zant::hosting::MessagesReader::shapeName(*test.shape)
                                : "undeclared");
        const std::vector<std::string> texts = MessageValues::edges("m", test.shape);
        // Any value may come, whatever the shape: bare, empty, quotes, 64 KiB.
        EXPECT_EQ(texts.front(), "m");
        for (const std::string& value :
             {std::string(), std::string("it's"), std::string("' '"), std::string(1 << 16, 'x')}) {
            EXPECT_TRUE(sends(texts, "m=" + value)) << value.substr(0, 8);
        }
        for (const std::string& value : test.values)
            EXPECT_TRUE(sends(texts, "m=" + value)) << value;
    }
    // A boolean's other edges are no numbers, nor a number's words.
    EXPECT_FALSE(sends(MessageValues::edges("m", MessageShape::boolean), "m=2147483648"));
    EXPECT_FALSE(sends(MessageValues::edges("m", MessageShape::source), "m=true"));
}

TEST(MessageValues, OrdinaryValuesFitTheShape) {
    const std::pair<MessageValues::Shape, std::pair<const char*, const char*>> cases[] = {
        {std::nullopt, {"m=1", "m=0"}},
        {MessageShape::destination, {"m=1", "m=0"}},
        {MessageShape::boolean, {"m=true", "m=false"}},
        {MessageShape::all, {"m=all", "m=all"}},
        {MessageShape::none, {"m", "m"}},
    };
    for (const auto& [shape, values] : cases) {
        EXPECT_EQ(MessageValues::ordinary("m", shape), values.first);
        EXPECT_EQ(MessageValues::ordinary("m", shape, true), values.second);
    }
}

}  // namespace

}  // namespace zant::validate
