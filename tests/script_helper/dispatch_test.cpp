// How `notify` turns the host's notifications into handler calls, and the
// memory rules of kind-3 replies.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "tests/script_helper/TestComponent.h"
#include "tests/support/RecordingHost.h"

namespace {

using Calls = std::vector<std::string>;

void* word(intptr_t value) {
    return reinterpret_cast<void*>(value);
}

TEST(Dispatch, EachKindReachesItsHandler) {
    RecordingHost host;
    TestComponent component(&host);
    zant_revertive_record revertive{12, 99, 7, 3};
    parentMessage text("alarm=3");
    zant_button_record button{0, 0, "1", "Take", &text};

    EXPECT_EQ(component.notify(&revertive, 1), nullptr);
    EXPECT_EQ(component.notify(&button, 2), nullptr);
    EXPECT_EQ(component.notify(word(2), 4), nullptr);
    EXPECT_EQ(component.notify(word(41), 6), nullptr);
    EXPECT_EQ(component.notify(word(42), 7), nullptr);
    EXPECT_EQ(component.calls, (Calls{"revertive 12 7 3", "button 1 Take alarm=3", "timer 2",
                                      "event6 41", "event7 42"}));
    EXPECT_TRUE(host.commands().empty());
}

TEST(Dispatch, UnknownKindsAndNullRecordsCallNothing) {
    TestComponent component(nullptr);
    for (int kind : {0, 8, -1, 1000}) {
        EXPECT_EQ(component.notify(word(1), kind), nullptr) << kind;
    }
    EXPECT_EQ(component.notify(nullptr, 1), nullptr);
    EXPECT_EQ(component.notify(nullptr, 2), nullptr);
    EXPECT_EQ(component.notify(nullptr, 5), nullptr);
    EXPECT_TRUE(component.calls.empty());
}

TEST(Dispatch, NullTextsInAButtonRecordReadAsEmpty) {
    TestComponent component(nullptr);
    zant_button_record button{0, 0, nullptr, nullptr, nullptr};
    component.notify(&button, 2);
    EXPECT_EQ(component.calls, (Calls{"button   ="}));
}

TEST(Dispatch, ParentMessageReplyIsAMallocedCopyFreedByKind5) {
    TestComponent component(nullptr);
    component.reply = "ab";
    char* reply = component.notify(const_cast<char*>("return=all"), 3);
    ASSERT_NE(reply, nullptr);
    EXPECT_EQ(std::memcmp(reply, "ab", 3), 0);
    // Freed here; a leak or a mismatched free shows under the sanitizers.
    EXPECT_EQ(component.notify(reply, 5), nullptr);
    EXPECT_EQ(component.calls, (Calls{"message return=all"}));
}

TEST(Dispatch, EmptyReplyIsNoReplyAndNullTextIsAnEmptyMessage) {
    TestComponent component(nullptr);
    EXPECT_EQ(component.notify(nullptr, 3), nullptr);
    EXPECT_EQ(component.notify(const_cast<char*>(""), 3), nullptr);
    EXPECT_EQ(component.calls, (Calls{"message =", "message ="}));
}

TEST(Dispatch, NothingIsThrownIntoTheHost) {
    TestComponent component(nullptr);
    component.throwOnMessage = true;
    testing::internal::CaptureStderr();
    EXPECT_EQ(component.notify(const_cast<char*>("x=1"), 3), nullptr);
    const std::string shown = testing::internal::GetCapturedStderr();
#if !defined(_WIN32)
    // Windows builds write to the debugger, which no test reads.
    EXPECT_EQ(shown,
              std::string(zantHandlerThrewPrefix) + " in notify of kind 3; nothing was answered\n");
#endif
}

TEST(Dispatch, WithoutAlarmFilterAlarmButtonsReachOnButton) {
    RecordingHost host;
    TestComponent component(&host);
    parentMessage alarm("alarm=3");
    zant_button_record actionAll{0, 0, "1", "ActionAll", &alarm};
    zant_button_record ackAll{0, 0, "1", "AckAll", &alarm};
    component.notify(&actionAll, 2);
    component.notify(&ackAll, 2);
    EXPECT_EQ(component.calls, (Calls{"button 1 ActionAll alarm=3", "button 1 AckAll alarm=3"}));
    EXPECT_TRUE(host.commands().empty());
}

TEST(Lifecycle, DestructionSendsAsOnceAndConstructionNothing) {
    RecordingHost host;
    {
        TestComponent component(&host, "panels/x");
        EXPECT_TRUE(host.calls().empty());
    }
    EXPECT_EQ(host.commands(), (Calls{"AS"}));
}

TEST(Lifecycle, WithoutHostNothingIsSent) {
    TestComponent component(nullptr);
    component.textPut("text", "x", "1", "Source");
    component.routerPoll(1, 1, 16);
    zant_string name("kept");
    component.routerName(1, 0, 1, name);
    EXPECT_EQ(name, "kept");
    EXPECT_TRUE(component.panelShow("1", "f", ""));
    zant_string value("old");
    component.textGet("value", "1", "x", value);
    EXPECT_EQ(value, "");
    int first = 5;
    int second = 6;
    EXPECT_FALSE(component.instanceLookup("x", &first, &second));
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 0);
    EXPECT_EQ(component.controlList("1", "alm_").count(), 0);
}

}  // namespace
