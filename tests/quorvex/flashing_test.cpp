// The flashing of an armed "Take" on timer 2, and ticks of other timers.
#include "tests/quorvex/QuorvexTest.h"

namespace {

class Flashing : public QuorvexTest {
protected:
    void SetUp() override {
        answerRouter12(host);
        send({"takeHigh=H", "takeLow=L", "instance=studio", "sourceID=3", "destID=7"});
    }
};

TEST_F(Flashing, TenTicksAlternateThenDisarm) {
    const Commands low = {"TP 'statesheet=L' '1' 'Take'"};
    const Commands high = {"TP 'statesheet=H' '1' 'Take'"};
    for (int tick = 1; tick <= 9; ++tick) {
        SCOPED_TRACE(tick);
        driver.tick();
        EXPECT_EQ(driver.sent(), tick % 2 == 1 ? low : high);
    }
    driver.tick();
    EXPECT_EQ(driver.sent(), (Commands{"ET 2", "CD '1' 'Take'"}));
    // Disarmed: Deselect has no Take to disable.
    driver.press("Deselect");
    EXPECT_EQ(driver.sent().size(), 5u);
}

TEST_F(Flashing, ANewSelectionRestartsTheCount) {
    for (int tick = 0; tick < 9; ++tick) driver.tick();
    driver.message("sourceID=4");
    driver.sent();
    for (int tick = 0; tick < 9; ++tick) driver.tick();
    EXPECT_EQ(driver.sent().size(), 9u);
    driver.tick();
    EXPECT_EQ(driver.sent(), (Commands{"ET 2", "CD '1' 'Take'"}));
}

TEST_F(Flashing, OtherTimersAreStoppedAtTheirFirstTick) {
    for (int timer : {1, 7, 0, -3}) {
        SCOPED_TRACE(timer);
        driver.tick(timer);
        EXPECT_EQ(driver.sent(), (Commands{"ET " + std::to_string(timer)}));
    }
    // The flashing count was not touched.
    for (int tick = 0; tick < 9; ++tick) driver.tick();
    driver.sent();
    driver.tick();
    EXPECT_THAT(driver.sent(), HasCommandAt(0, "ET 2"));
}

TEST_F(Flashing, ALateTickAfterTheFlashingStoppedSetsTheStatesheetByParity) {
    driver.press("Deselect");
    driver.sent();
    driver.tick();  // count 9
    EXPECT_EQ(driver.sent(), (Commands{"TP 'statesheet=L' '1' 'Take'"}));
    driver.tick();  // count 8
    EXPECT_EQ(driver.sent(), (Commands{"TP 'statesheet=H' '1' 'Take'"}));
}

TEST_F(Flashing, TicksPastZeroKeepAlternatingWithoutDisablingAgain) {
    for (int tick = 0; tick < 10; ++tick) driver.tick();
    driver.sent();
    driver.tick();  // count -1
    EXPECT_EQ(driver.sent(), (Commands{"TP 'statesheet=L' '1' 'Take'"}));
    driver.tick();  // count -2
    EXPECT_EQ(driver.sent(), (Commands{"TP 'statesheet=H' '1' 'Take'"}));
}

}  // namespace
