// Take, Undo and Deselect presses.
#include "tests/quorvex/QuorvexTest.h"

namespace {

// Device 12 with 16 destinations; destination 7 carries source 5; source 3
// and destination 7 are selected and "Take" is armed.
class Buttons : public QuorvexTest {
protected:
    void SetUp() override {
        host.answer("SD 'studio'", "12 0");
        host.answer("RN 12 0 3", "Cam|3");
        host.answer("RN 12 0 5", "VT|5|B");
        host.answer("RN 12 1 7", "TX 7");
        host.answer("RN 12 1 8", "TX 8");
        send({"takeHigh=red", "takeLow=grey", "instance=studio"});
        driver.revertive(12, 7, 5);
        send({"sourceID=3", "destID=7"});
    }

    const Commands takeOf3To7 = {
        "ET 2",
        "TP 'statesheet=red' '1' 'Take'",
        "CD '1' 'Take'",
        "TP 'text=' '1' 'Source'",
        "TP 'text=' '1' 'Dest'",
        "RN 12 0 5",
        "TP 'text=VT 5 B' '1' 'UndoSource'",
        "RN 12 1 7",
        "TP 'text=TX 7' '1' 'UndoDest'",
        "CE '1' 'Undo'",
        "RC 12 3 7 ',' 0",
        "HN 'deselect=-1'",
    };
    const Commands clearUndo = {
        "CD '1' 'Undo'",
        "TP 'text=' '1' 'UndoSource'",
        "TP 'text=' '1' 'UndoDest'",
    };
};

TEST_F(Buttons, TakeStoresTheUndoThenRoutesAndNotifiesTheParent) {
    driver.press("Take");
    EXPECT_EQ(driver.sent(), takeOf3To7);
}

TEST_F(Buttons, UndoRoutesTheStoredSourceBackAndClearsIt) {
    driver.press("Take");
    driver.sent();
    driver.press("Undo");
    Commands expected{"RC 12 5 7 ',' 0"};
    expected.insert(expected.end(), clearUndo.begin(), clearUndo.end());
    EXPECT_EQ(driver.sent(), expected);
    // Nothing is stored any more: a second press does nothing.
    driver.press("Undo");
    EXPECT_EQ(driver.sent(), Commands{});
}

TEST_F(Buttons, PressesOnOtherPanelsOrIdsAreIgnored) {
    const std::pair<const char*, const char*> ignored[] = {
        {"2", "Take"}, {"01", "Take"}, {"", "Take"},   {"1", "take"},
        {"1", "TAKE"}, {"1", "Undo "}, {"1", "Other"},
    };
    for (const auto& [panel, id] : ignored) {
        SCOPED_TRACE(std::string(panel) + "/" + id);
        driver.press(id, panel);
        EXPECT_EQ(driver.sent(), Commands{});
    }
    // The selection survived all of them.
    driver.press("Take");
    EXPECT_EQ(driver.sent(), takeOf3To7);
}

TEST_F(Buttons, ASecondTakeBeforeANewSelectionKeepsTheUndo) {
    driver.press("Take");
    driver.sent();
    driver.press("Take");
    EXPECT_EQ(driver.sent(), Commands{});
    driver.press("Undo");
    EXPECT_THAT(driver.sent(), HasCommandAt(0, "RC 12 5 7 ',' 0"));
}

TEST_F(Buttons, ALaterTakeStoresItsOwnUndo) {
    driver.press("Take");
    driver.revertive(12, 7, 3);  // the router confirms the take
    driver.revertive(12, 8, 9);
    driver.message("destID=8");  // discards the stored undo: it belonged to 7
    driver.message("sourceID=3");
    driver.sent();
    driver.press("Take");
    EXPECT_THAT(driver.sent(),
                testing::AllOf(HasCommandAt(5, "RN 12 0 9"), HasCommandAt(9, "CE '1' 'Undo'"),
                               HasCommandAt(10, "RC 12 3 8 ',' 0")));
    driver.press("Undo");
    EXPECT_THAT(driver.sent(), HasCommandAt(0, "RC 12 9 8 ',' 0"));
}

TEST_F(Buttons, TakeForAnUnreportedDestinationStoresSource0) {
    driver.message("destID=8");
    driver.sent();
    driver.press("Take");
    EXPECT_THAT(driver.sent(), testing::AllOf(HasCommandAt(5, "RN 12 0 0"),
                                              HasCommandAt(6, "TP 'text=' '1' 'UndoSource'")));
    driver.press("Undo");
    EXPECT_THAT(driver.sent(), HasCommandAt(0, "RC 12 0 8 ',' 0"));
}

TEST_F(Buttons, DeselectWhileArmedDisarmsAndNotifies) {
    driver.press("Deselect");
    EXPECT_EQ(driver.sent(), (Commands{"TP 'text=' '1' 'Source'", "TP 'text=' '1' 'Dest'",
                                       "TP 'text=' '1' 'UndoSource'", "TP 'text=' '1' 'UndoDest'",
                                       "CD '1' 'Take'", "ET 2", "HN 'deselect=-1'"}));
}

TEST_F(Buttons, DeselectClearsAStoredUndo) {
    driver.press("Take");
    driver.sent();
    driver.press("Deselect");
    Commands expected{"TP 'text=' '1' 'Source'", "TP 'text=' '1' 'Dest'",
                      "TP 'text=' '1' 'UndoSource'", "TP 'text=' '1' 'UndoDest'"};
    expected.insert(expected.end(), clearUndo.begin(), clearUndo.end());
    expected.push_back("HN 'deselect=-1'");
    EXPECT_EQ(driver.sent(), expected);
    driver.press("Undo");
    EXPECT_EQ(driver.sent(), Commands{});
}

TEST_F(Buttons, DeselectKeepsTheSelection) {
    driver.press("Deselect");
    driver.press("Deselect");
    EXPECT_EQ(driver.sent().size(), 7u + 5u);
    // Take is disarmed, but the selection is still complete: a Take routes it.
    driver.press("Take");
    EXPECT_EQ(driver.sent(), takeOf3To7);
}

// Deselect keeps the indices; the parent then sends only one of them. Take
// must not be armed for a name the sub-panel no longer shows.
TEST_F(Buttons, ASelectionCompletedAfterDeselectShowsBothNamesBeforeArming) {
    const Commands arming = {"CE '1' 'Take'", "TP 'statesheet=red' '1' 'Take'", "ET 2 1000"};
    const std::pair<const char*, Commands> cases[] = {
        {"sourceID=5",
         {"RN 12 0 5", "TP 'text=VT 5 B' '1' 'Source'", "RN 12 1 7", "TP 'text=TX 7' '1' 'Dest'"}},
        {"destID=8",
         {"RN 12 1 8", "TP 'text=TX 8' '1' 'Dest'", "RN 12 0 5", "TP 'text=VT 5 B' '1' 'Source'"}},
    };
    for (const auto& [message, shown] : cases) {
        SCOPED_TRACE(message);
        driver.press("Deselect");
        driver.sent();
        driver.message(message);
        Commands expected = shown;
        expected.insert(expected.end(), arming.begin(), arming.end());
        EXPECT_EQ(driver.sent(), expected);
    }
    // Once shown, a name is not looked up again; an incomplete selection shows
    // nothing more and arms nothing.
    driver.message("sourceID=3");
    EXPECT_EQ(driver.sent(), (Commands{"RN 12 0 3", "TP 'text=Cam 3' '1' 'Source'",
                                       "TP 'statesheet=red' '1' 'Take'", "ET 2 1000"}));
    driver.press("Deselect");
    driver.sent();
    driver.message("sourceID=0");
    EXPECT_EQ(driver.sent(), Commands{"TP 'text=' '1' 'Source'"});
}

using ButtonsWithoutSelection = QuorvexTest;

TEST_F(ButtonsWithoutSelection, TakeAndUndoDoNothing) {
    driver.sent();
    driver.press("Take");
    driver.press("Undo");
    EXPECT_EQ(driver.sent(), Commands{});
}

}  // namespace
