#include "simulator/VirtualClock.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace zant::simulator {

namespace {

std::vector<std::pair<long long, int>> ticksUntil(VirtualClock& clock, long long limit) {
    std::vector<std::pair<long long, int>> ticks;
    int timer = 0;
    while (clock.nextTick(limit, timer)) ticks.emplace_back(clock.now(), timer);
    clock.advanceTo(limit);
    return ticks;
}

TEST(VirtualClock, DeliversTicksInTimeOrderWithTiesToTheTimerStartedFirst) {
    VirtualClock clock;
    clock.start(5, 300);
    clock.start(2, 200);
    const std::vector<std::pair<long long, int>> expected = {
        {200, 2}, {300, 5}, {400, 2}, {600, 5}, {600, 2}};
    EXPECT_EQ(ticksUntil(clock, 600), expected);
    EXPECT_EQ(clock.now(), 600);
}

TEST(VirtualClock, RestartCountsFromNowAndStopOrZeroIntervalEndsTheTimer) {
    VirtualClock clock;
    clock.start(2, 1000);
    clock.advanceTo(700);
    clock.start(2, 1000);  // restarted: next tick at 1700, not 1000
    EXPECT_EQ(ticksUntil(clock, 1699).size(), 0u);
    EXPECT_EQ(ticksUntil(clock, 1700).size(), 1u);
    clock.start(2, 0);
    EXPECT_FALSE(clock.running(2));
    clock.start(3, 10);
    clock.stop(3);
    EXPECT_TRUE(ticksUntil(clock, 5000).empty());
}

TEST(VirtualClock, StampShowsMinutesSecondsAndMilliseconds) {
    VirtualClock clock;
    clock.advanceTo(61234);
    EXPECT_EQ(clock.stamp(), "01:01.234");
    clock.advanceTo(5);  // never backwards
    EXPECT_EQ(clock.now(), 61234);
}

}  // namespace

}  // namespace zant::simulator
