// The console control handler's verdict on each console event (Windows). A
// test cannot make a console send one, and the handler of a console close
// blocks until the process ends: what it records is tested here, and a
// Ctrl-C that Wine makes from SIGINT in tests/simulator/router_stop_test.sh.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/StopSignal.h"

namespace {

TEST(StopSignal, EveryConsoleEventThatEndsARunIsAStopNamedAfterIt) {
    EXPECT_FALSE(StopSignal::requested());
    EXPECT_STREQ(StopSignal::name(), "");
    // Not an event that ends anything: left to the next handler.
    EXPECT_FALSE(StopSignal::onConsoleEvent(7));
    EXPECT_FALSE(StopSignal::requested());
    const struct {
        DWORD event;
        const char* name;
    } events[] = {{CTRL_C_EVENT, "CTRL_C_EVENT"},
                  {CTRL_BREAK_EVENT, "CTRL_BREAK_EVENT"},
                  {CTRL_CLOSE_EVENT, "CTRL_CLOSE_EVENT"},
                  {CTRL_LOGOFF_EVENT, "CTRL_LOGOFF_EVENT"},
                  {CTRL_SHUTDOWN_EVENT, "CTRL_SHUTDOWN_EVENT"}};
    for (const auto& test : events) {
        EXPECT_TRUE(StopSignal::onConsoleEvent(test.event)) << test.name;
        EXPECT_TRUE(StopSignal::requested()) << test.name;
        EXPECT_EQ(std::string(StopSignal::name()), test.name);
    }
}

}  // namespace
