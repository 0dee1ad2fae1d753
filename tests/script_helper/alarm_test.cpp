// The alarm buttons: with the filter on, "ActionAll" and "AckAll" set every
// "alm_" control of panel "1" instead of reaching onButton.
#include <gtest/gtest.h>

#include "tests/script_helper/TestComponent.h"
#include "tests/support/CommandListMatchers.h"
#include "tests/support/RecordingHost.h"

namespace {

using Calls = std::vector<std::string>;

struct AlarmCase {
    const char* label;
    const char* id;
    const char* text;  // the event's "name=value"
    Calls expected;
};

TEST(AlarmButtons, SetEveryAlarmControl) {
    const AlarmCase cases[] = {
        {"one-character level",
         "ActionAll",
         "alarm=3",
         {"XI '1' 'alm_'", "TP 'alarm=3' '1' 'alm_1'", "TP 'value=3' '1' 'alm_1'",
          "TP 'alarm=3' '1' 'alm_2'", "TP 'value=3' '1' 'alm_2'"}},
        {"two characters set only the alarm",
         "ActionAll",
         "alarm=12",
         {"XI '1' 'alm_'", "TP 'alarm=12' '1' 'alm_1'", "TP 'alarm=12' '1' 'alm_2'"}},
        // alm_1 reads back state 1, alm_2 state 3: only alm_1 is acknowledged.
        {"ack",
         "ActionAll",
         "alarm=ack",
         {"XI '1' 'alm_'", "TP 'alarm=ack' '1' 'alm_1'", "TG '1' 'alm_1' 'value'",
          "TP 'value=4' '1' 'alm_1'", "TP 'alarm=ack' '1' 'alm_2'", "TG '1' 'alm_2' 'value'"}},
        {"AckAll is the level 4",
         "AckAll",
         "press=1",
         {"XI '1' 'alm_'", "TP 'alarm=4' '1' 'alm_1'", "TG '1' 'alm_1' 'value'",
          "TP 'value=4' '1' 'alm_1'", "TP 'alarm=4' '1' 'alm_2'", "TG '1' 'alm_2' 'value'"}},
    };
    for (const AlarmCase& test : cases) {
        SCOPED_TRACE(test.label);
        RecordingHost host;
        host.answer("XI '1' 'alm_'", "alm_1,alm_2");
        host.answer("TG '1' 'alm_1' 'value'", "value=1");
        host.answer("TG '1' 'alm_2' 'value'", "value=3");
        TestComponent component(&host);
        component.setAlarmFilter(true);
        parentMessage text(test.text);
        zant_button_record button{0, 0, "1", test.id, &text};
        component.notify(&button, 2);
        EXPECT_EQ(host.commands(), test.expected);
        EXPECT_TRUE(component.calls.empty());
        host.clear();
    }
}

TEST(AlarmButtons, AcknowledgeOnlyStatesOutsideZeroAndTwoToFive) {
    const std::pair<const char*, bool> cases[] = {
        {"value=0", false}, {"value=1", true},  {"value=2", false}, {"value=5", false},
        {"value=6", true},  {"value=-1", true}, {"other=1", false},
    };
    for (const auto& [state, acknowledged] : cases) {
        SCOPED_TRACE(state);
        RecordingHost host;
        host.answer("XI '1' 'alm_'", "alm_1");
        host.answer("TG '1' 'alm_1' 'value'", state);
        TestComponent component(&host);
        testing::internal::CaptureStderr();
        component.alarmAll("ack");
        testing::internal::GetCapturedStderr();
        EXPECT_EQ(testing::Matches(EndsWithCommand("TP 'value=4' '1' 'alm_1'"))(host.commands()),
                  acknowledged);
        host.clear();
    }
}

TEST(AlarmButtons, OtherEventsStillReachOnButton) {
    RecordingHost host;
    TestComponent component(&host);
    component.setAlarmFilter(true);
    parentMessage text("press=1");
    zant_button_record actionAll{0, 0, "1", "ActionAll", &text};
    zant_button_record take{0, 0, "1", "Take", &text};
    component.notify(&actionAll, 2);
    component.notify(&take, 2);
    EXPECT_EQ(component.calls, (Calls{"button 1 ActionAll press=1", "button 1 Take press=1"}));
    EXPECT_TRUE(host.commands().empty());
}

TEST(AlarmButtons, NoControlListMeansNothingMoreIsSent) {
    RecordingHost host;
    TestComponent component(&host);
    component.alarmAll("3");
    EXPECT_EQ(host.commands(), (Calls{"XI '1' 'alm_'"}));
}

}  // namespace
