// Take and Undo route only what the sub-panel shows, on the router whose
// names it shows: a selection made before the router, a change of router
// under an armed Take or a stored undo, a destination the router lacks.
#include "tests/quorvex/QuorvexTest.h"

namespace {

const Commands arming = {"CE '1' 'Take'", "TP 'statesheet=red' '1' 'Take'", "ET 2 1000"};
const Commands disarming = {"TP 'statesheet=red' '1' 'Take'", "CD '1' 'Take'", "ET 2"};
const Commands undoCleared = {"CD '1' 'Undo'", "TP 'text=' '1' 'UndoSource'",
                              "TP 'text=' '1' 'UndoDest'"};

Commands joined(std::initializer_list<Commands> parts) {
    Commands all;
    for (const Commands& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

// A host that knows device 12 ("studio", "studio-b"; its signals "Src" and
// "Dst") and device 30 ("news"; "News src" and "News dst", 64 destinations).
class ShownRoute : public QuorvexTest {
protected:
    explicit ShownRoute(int destinations = 16) : QuorvexTest(destinations) {
        installation.writeRouter(30, 64);
        answerRouter12(host);
        host.answer("SD 'studio-b'", "12");
        host.answer("SD 'news'", "30");
        host.answerPrefix("RN 30 0 ", "News|src");
        host.answerPrefix("RN 30 1 ", "News|dst");
        driver.message("takeHigh=red");
    }
    // A message, or "Take", or "ticks" (the ten ticks that end the flashing).
    void run(const std::vector<const char*>& steps) {
        for (const char* text : steps) {
            const std::string step(text);
            if (step == "Take") {
                driver.press("Take");
            } else if (step == "ticks") {
                for (int tick = 0; tick < 10; ++tick) driver.tick();
            } else {
                driver.message(step.c_str());
            }
        }
    }
};

struct CompletingCase {
    const char* completing;  // the message that completes the selection
    Commands shown;          // the names it shows before Take is armed
};

void PrintTo(const CompletingCase& c, std::ostream* out) {
    *out << c.completing;
}

class ShownRouteCompleting : public ShownRoute,
                             public testing::WithParamInterface<CompletingCase> {};

TEST_P(ShownRouteCompleting, ASelectionMadeBeforeTheRouterIsShownBeforeTakeArms) {
    run({"sourceID=3", "destID=7", "instance=studio"});
    driver.sent();
    driver.message(GetParam().completing);
    EXPECT_EQ(driver.sent(), joined({GetParam().shown, arming}));
}

INSTANTIATE_TEST_SUITE_P(
    ShownRoute, ShownRouteCompleting,
    testing::Values(CompletingCase{"destID=7",
                                   {"RN 12 1 7", "TP 'text=Dst' '1' 'Dest'", "RN 12 0 3",
                                    "TP 'text=Src' '1' 'Source'"}},
                    CompletingCase{"sourceID=3",
                                   {"RN 12 0 3", "TP 'text=Src' '1' 'Source'", "RN 12 1 7",
                                    "TP 'text=Dst' '1' 'Dest'"}}));

struct RouterChangeCase {
    const char* label;
    std::vector<const char*> before;  // on device 12, after "instance=studio"
    Commands afterDeviceCommands;     // sent after "SD", "RU", "RR" and "RP"
    bool sourceKept;                  // else a Take forgot it
};

void PrintTo(const RouterChangeCase& c, std::ostream* out) {
    *out << c.label;
}

class ShownRouteChange : public ShownRoute, public testing::WithParamInterface<RouterChangeCase> {};

TEST_P(ShownRouteChange, AnotherRouterDisarmsTakeDropsTheUndoAndShowsItsOwnNames) {
    const RouterChangeCase& test = GetParam();
    const Commands switchTo30 = {"SD 'news'", "RU 12", "RR 30 1 64", "RP 30 1 64"};
    SCOPED_TRACE(test.label);
    run({"instance=studio"});
    run(test.before);
    driver.sent();
    driver.message("instance=news");
    EXPECT_EQ(driver.sent(), joined({switchTo30, test.afterDeviceCommands}));
    driver.press("Undo");
    EXPECT_EQ(driver.sent(), Commands{});
    // Completing the selection shows a kept name from device 30 first.
    if (!test.sourceKept) run({"sourceID=3"});
    driver.sent();
    driver.message("destID=7");
    const Commands keptSourceShown = {"RN 30 0 3", "TP 'text=News src' '1' 'Source'"};
    EXPECT_EQ(driver.sent(), joined({{"RN 30 1 7", "TP 'text=News dst' '1' 'Dest'"},
                                     test.sourceKept ? keptSourceShown : Commands{},
                                     arming}));
    driver.press("Take");
    EXPECT_THAT(driver.sent(), HasCommandAt(10, "RC 30 3 7 ',' 0"));
}

INSTANTIATE_TEST_SUITE_P(
    ShownRoute, ShownRouteChange,
    testing::Values(
        RouterChangeCase{"armed", {"sourceID=3", "destID=7"}, disarming, true},
        RouterChangeCase{"undo stored", {"sourceID=3", "destID=7", "Take"}, undoCleared, false},
        RouterChangeCase{"flashing over", {"sourceID=3", "destID=7", "ticks"}, {}, true},
        RouterChangeCase{"source only", {"sourceID=3"}, {}, true}));

TEST_F(ShownRoute, ASecondNameOfTheSameRouterKeepsTakeAndTheUndo) {
    run({"instance=studio", "sourceID=3", "destID=7", "Take", "sourceID=4", "destID=8"});
    driver.sent();
    driver.message("instance=studio-b");
    EXPECT_EQ(driver.sent(), (Commands{"SD 'studio-b'", "RU 12", "RR 12 1 16", "RP 12 1 16"}));
    driver.press("Take");
    EXPECT_THAT(driver.sent(), HasCommandAt(10, "RC 12 4 8 ',' 0"));
}

struct DestinationCase {
    int destinations;  // in the device file; 0 writes none
    int destination;
    bool arms;
};

void PrintTo(const DestinationCase& c, std::ostream* out) {
    *out << c.destinations << " destinations, destination " << c.destination;
}

class ShownRouteDestination : public ShownRoute,
                              public testing::WithParamInterface<DestinationCase> {
protected:
    ShownRouteDestination() : ShownRoute(GetParam().destinations) {}
};

TEST_P(ShownRouteDestination, TakeIsNotArmedForADestinationBeyondTheRouter) {
    const DestinationCase& test = GetParam();
    const std::string index = std::to_string(test.destination);
    SCOPED_TRACE(std::to_string(test.destinations) + "/" + index);
    run({"instance=studio", "sourceID=3", "destID=5", "Take"});
    driver.sent();
    // The name is still looked up and the stored undo still dropped.
    driver.message(("destID=" + index).c_str());
    EXPECT_EQ(driver.sent(),
              joined({{"RN 12 1 " + index}, undoCleared, {"TP 'text=Dst' '1' 'Dest'"}}));
    driver.message("sourceID=3");
    EXPECT_EQ(driver.sent(), joined({{"RN 12 0 3", "TP 'text=Src' '1' 'Source'"},
                                     test.arms ? arming : Commands{}}));
    driver.press("Take");
    EXPECT_EQ(driver.sent().empty(), !test.arms);
}

INSTANTIATE_TEST_SUITE_P(ShownRoute, ShownRouteDestination,
                         testing::Values(DestinationCase{16, 16, true},
                                         DestinationCase{16, 17, false},
                                         DestinationCase{16, 99, false},
                                         DestinationCase{0, 99, true}));

TEST_F(ShownRoute, ADestinationBeyondTheRouterDisarmsAnArmedTake) {
    run({"instance=studio", "sourceID=3", "destID=7"});
    driver.sent();
    driver.message("destID=17");
    EXPECT_EQ(driver.sent(), joined({{"RN 12 1 17", "TP 'text=Dst' '1' 'Dest'"}, disarming}));
    driver.press("Take");
    EXPECT_EQ(driver.sent(), Commands{});
}

}  // namespace
