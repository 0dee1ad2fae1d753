// Panel and control commands: the exact texts, and what is read of replies.
#include <gtest/gtest.h>

#include <functional>

#include "tests/script_helper/TestComponent.h"
#include "tests/support/RecordingHost.h"

namespace {

using Calls = std::vector<std::string>;

struct CommandCase {
    const char* label;
    const char* componentPath;
    std::function<void(TestComponent&)> call;
    const char* expected;
};

TEST(PanelCommands, TextsAreExact) {
    const CommandCase cases[] = {
        {"textPut", "", [](TestComponent& c) { c.textPut("statesheet", "red", "1", "Take"); },
         "TP 'statesheet=red' '1' 'Take'"},
        {"textPut empty value", "", [](TestComponent& c) { c.textPut("text", "", "1", "Dest"); },
         "TP 'text=' '1' 'Dest'"},
        {"texts go verbatim", "",
         [](TestComponent& c) { c.textPut("text", "a' b=c", "1", "Source"); },
         "TP 'text=a' b=c' '1' 'Source'"},
        {"controlEnable", "", [](TestComponent& c) { c.controlEnable("1", "Undo"); },
         "CE '1' 'Undo'"},
        {"controlDisable", "", [](TestComponent& c) { c.controlDisable("1", "Undo"); },
         "CD '1' 'Undo'"},
        {"hostNotify", "", [](TestComponent& c) { c.hostNotify("deselect=-1"); },
         "HN 'deselect=-1'"},
        {"panelShow without path", "",
         [](TestComponent& c) { c.panelShow("1", "myTakePanel.zant_ui", ""); },
         "PS '1' 'myTakePanel.zant_ui'"},
        {"panelShow with path", "panels/x",
         [](TestComponent& c) { c.panelShow("1", "myTakePanel.zant_ui", ""); },
         "PS '1' 'panels/x/myTakePanel.zant_ui'"},
        {"panelShow keeps a trailing slash", "panels/x/",
         [](TestComponent& c) { c.panelShow("1", "f", "a"); }, "PS '1' 'panels/x//f' 'a'"},
        {"textGet", "",
         [](TestComponent& c) {
             zant_string value;
             c.textGet("value", "1", "alm_1", value);
         },
         "TG '1' 'alm_1' 'value'"},
        {"instanceLookup", "",
         [](TestComponent& c) { c.instanceLookup("rtr.main", nullptr, nullptr); }, "SD 'rtr.main'"},
        {"controlList", "", [](TestComponent& c) { c.controlList("1", "alm_"); }, "XI '1' 'alm_'"},
        {"placeholders in arguments stay", "", [](TestComponent& c) { c.controlList("%2", "%1"); },
         "XI '%2' '%1'"},
    };
    for (const CommandCase& test : cases) {
        SCOPED_TRACE(test.label);
        RecordingHost host;
        TestComponent component(&host, test.componentPath);
        test.call(component);
        EXPECT_EQ(host.commands(), (Calls{test.expected}));
        host.clear();
    }
}

TEST(PanelCommands, PanelShowReportsWhetherTheHostReplied) {
    RecordingHost host;
    TestComponent component(&host);
    EXPECT_FALSE(component.panelShow("1", "f", ""));
    host.answerPrefix("PS", "ok");
    // The host keeps its reply: the recording host fails the test if it comes back.
    EXPECT_TRUE(component.panelShow("1", "f", ""));
}

struct TextGetCase {
    const char* property;
    std::optional<std::string> reply;
    const char* expected;
    bool diagnostic;
};

TEST(PanelCommands, TextGetReadsTheValueOfTheRequestedProperty) {
    const TextGetCase cases[] = {
        {"value", "value=1", "1", false},
        {"value", "value=a=b", "a=b", false},
        {"value", "value=", "", false},
        {"all", "a=1", "a=1", false},
        {"value", "text=1", "", true},
        {"Value", "value=1", "", true},
        // Without '=' the whole reply is the name returned.
        {"value", "value", "", false},
        {"value", "text", "", true},
        {"value", std::nullopt, "", false},
    };
    for (const TextGetCase& test : cases) {
        SCOPED_TRACE(std::string(test.property) + " / " + test.reply.value_or("(null)"));
        RecordingHost host;
        TestComponent component(&host);
        host.answerPrefix("TG", test.reply);
        zant_string result("stale");
        testing::internal::CaptureStderr();
        component.textGet(test.property, "1", "alm_1", result);
        const std::string diagnostic = testing::internal::GetCapturedStderr();
        EXPECT_EQ(std::string(result), test.expected);
#if !defined(_WIN32)
        EXPECT_EQ(!diagnostic.empty(), test.diagnostic) << diagnostic;
#endif
    }
}

#if !defined(_WIN32)
TEST(PanelCommands, TextGetMismatchNamesBothPropertiesTheReplyControlAndPanel) {
    RecordingHost host;
    TestComponent component(&host);
    host.answerPrefix("TG", "text=%2");
    zant_string result;
    testing::internal::CaptureStderr();
    component.textGet("value", "1", "alm_1", result);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "textGet: value returned \"text\" was not the value requested \"value\" (value "
              "returned was \"text=%2\" from control \"alm_1\", on panel \"1\")\n");
}
#endif

struct LookupCase {
    std::optional<std::string> reply;
    bool found;
    int first;
    int second;
};

TEST(PanelCommands, InstanceLookupReadsTheFirstTwoWords) {
    const LookupCase cases[] = {
        {"12 3", true, 12, 3},       {"12", true, 12, 0},
        {"x y", true, 0, 0},         {" 12 3", true, 0, 12},
        {"'12' 3", true, 0, 12},     {"", true, 0, 0},
        {"-4 +7", true, -4, 7},      {"99999999999 1", true, 2147483647, 1},
        {std::nullopt, false, 0, 0},
    };
    for (const LookupCase& test : cases) {
        SCOPED_TRACE(test.reply.value_or("(null)"));
        RecordingHost host;
        TestComponent component(&host);
        host.answerPrefix("SD", test.reply);
        int first = -1;
        int second = -1;
        EXPECT_EQ(component.instanceLookup("x", &first, &second), test.found);
        EXPECT_EQ(first, test.first);
        EXPECT_EQ(second, test.second);
    }
}

TEST(PanelCommands, InstanceLookupWithoutOutArgumentsStillHandsTheReplyBack) {
    RecordingHost host;
    TestComponent component(&host);
    host.answerPrefix("SD", "12 3");
    EXPECT_TRUE(component.instanceLookup("x", nullptr, nullptr));
    host.verify();
}

TEST(PanelCommands, ControlListSplitsAtCommasAsTheyStand) {
    const std::pair<std::optional<std::string>, Calls> cases[] = {
        {"alm_1,alm_2", {"alm_1", "alm_2"}},
        {"alm_1", {"alm_1"}},
        {"alm_1,", {"alm_1", ""}},
        {" a , b", {" a ", " b"}},
        {"", {}},
        {std::nullopt, {}},
    };
    for (const auto& [reply, ids] : cases) {
        SCOPED_TRACE(reply.value_or("(null)"));
        RecordingHost host;
        TestComponent component(&host);
        host.answerPrefix("XI", reply);
        Calls found;
        for (const zant_string& id : component.controlList("1", "alm_")) found.emplace_back(id);
        EXPECT_EQ(found, ids);
    }
}

}  // namespace
