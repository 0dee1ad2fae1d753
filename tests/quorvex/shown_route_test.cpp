// Take and Undo route only what the sub-panel shows, on the router whose
// names it shows: a selection made before the router, a change of router
// under an armed Take or a stored undo, a destination the router lacks.
#include "hosting/ScratchInstallation.h"
#include "tests/quorvex/ComponentDriver.h"

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
// "Dst") and device 30 ("news"; "News src" and "News dst").
struct Session {
    Session() {
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

    RecordingHost host;
    ComponentDriver driver{&host};
};

class ShownRoute : public testing::Test {
protected:
    void SetUp() override {
        installation.writeRouter(12, 16);
        installation.writeRouter(30, 64);
    }
    zant::hosting::ScratchInstallation installation;
};

TEST_F(ShownRoute, ASelectionMadeBeforeTheRouterIsShownBeforeTakeArms) {
    const std::pair<const char*, Commands> cases[] = {
        {"destID=7",
         {"RN 12 1 7", "TP 'text=Dst' '1' 'Dest'", "RN 12 0 3", "TP 'text=Src' '1' 'Source'"}},
        {"sourceID=3",
         {"RN 12 0 3", "TP 'text=Src' '1' 'Source'", "RN 12 1 7", "TP 'text=Dst' '1' 'Dest'"}},
    };
    for (const auto& [completing, shown] : cases) {
        SCOPED_TRACE(completing);
        Session session;
        session.run({"sourceID=3", "destID=7", "instance=studio"});
        session.driver.sent();
        session.driver.message(completing);
        EXPECT_EQ(session.driver.sent(), joined({shown, arming}));
    }
}

struct RouterChangeCase {
    const char* label;
    std::vector<const char*> before;  // on device 12, after "instance=studio"
    Commands afterDeviceCommands;     // sent after "SD", "RU", "RR" and "RP"
    bool sourceKept;                  // else a Take forgot it
};

TEST_F(ShownRoute, AnotherRouterDisarmsTakeDropsTheUndoAndShowsItsOwnNames) {
    const Commands switchTo30 = {"SD 'news'", "RU 12", "RR 30 1 64", "RP 30 1 64"};
    const RouterChangeCase cases[] = {
        {"armed", {"sourceID=3", "destID=7"}, disarming, true},
        {"undo stored", {"sourceID=3", "destID=7", "Take"}, undoCleared, false},
        {"flashing over", {"sourceID=3", "destID=7", "ticks"}, {}, true},
        {"source only", {"sourceID=3"}, {}, true},
    };
    for (const RouterChangeCase& test : cases) {
        SCOPED_TRACE(test.label);
        Session session;
        session.run({"instance=studio"});
        session.run(test.before);
        session.driver.sent();
        session.driver.message("instance=news");
        EXPECT_EQ(session.driver.sent(), joined({switchTo30, test.afterDeviceCommands}));
        session.driver.press("Undo");
        EXPECT_EQ(session.driver.sent(), Commands{});
        // Completing the selection shows a kept name from device 30 first.
        if (!test.sourceKept) session.run({"sourceID=3"});
        session.driver.sent();
        session.driver.message("destID=7");
        const Commands keptSourceShown = {"RN 30 0 3", "TP 'text=News src' '1' 'Source'"};
        EXPECT_EQ(session.driver.sent(), joined({{"RN 30 1 7", "TP 'text=News dst' '1' 'Dest'"},
                                                 test.sourceKept ? keptSourceShown : Commands{},
                                                 arming}));
        session.driver.press("Take");
        EXPECT_THAT(session.driver.sent(), HasCommandAt(10, "RC 30 3 7 ',' 0"));
    }
}

TEST_F(ShownRoute, ASecondNameOfTheSameRouterKeepsTakeAndTheUndo) {
    Session session;
    session.run({"instance=studio", "sourceID=3", "destID=7", "Take", "sourceID=4", "destID=8"});
    session.driver.sent();
    session.driver.message("instance=studio-b");
    EXPECT_EQ(session.driver.sent(),
              (Commands{"SD 'studio-b'", "RU 12", "RR 12 1 16", "RP 12 1 16"}));
    session.driver.press("Take");
    EXPECT_THAT(session.driver.sent(), HasCommandAt(10, "RC 12 4 8 ',' 0"));
}

struct DestinationCase {
    int destinations;  // in the device file; 0 writes none
    int destination;
    bool arms;
};

TEST(ShownRouteDestination, TakeIsNotArmedForADestinationBeyondTheRouter) {
    const DestinationCase cases[] = {
        {16, 16, true},
        {16, 17, false},
        {16, 99, false},
        {0, 99, true},
    };
    for (const DestinationCase& test : cases) {
        const std::string index = std::to_string(test.destination);
        SCOPED_TRACE(std::to_string(test.destinations) + "/" + index);
        zant::hosting::ScratchInstallation installation;
        if (test.destinations > 0) installation.writeRouter(12, test.destinations);
        Session session;
        session.run({"instance=studio", "sourceID=3", "destID=5", "Take"});
        session.driver.sent();
        // The name is still looked up and the stored undo still dropped.
        session.driver.message(("destID=" + index).c_str());
        EXPECT_EQ(session.driver.sent(),
                  joined({{"RN 12 1 " + index}, undoCleared, {"TP 'text=Dst' '1' 'Dest'"}}));
        session.driver.message("sourceID=3");
        EXPECT_EQ(session.driver.sent(), joined({{"RN 12 0 3", "TP 'text=Src' '1' 'Source'"},
                                                 test.arms ? arming : Commands{}}));
        session.driver.press("Take");
        EXPECT_EQ(session.driver.sent().empty(), !test.arms);
    }
}

TEST_F(ShownRoute, ADestinationBeyondTheRouterDisarmsAnArmedTake) {
    Session session;
    session.run({"instance=studio", "sourceID=3", "destID=7"});
    session.driver.sent();
    session.driver.message("destID=17");
    EXPECT_EQ(session.driver.sent(),
              joined({{"RN 12 1 17", "TP 'text=Dst' '1' 'Dest'"}, disarming}));
    session.driver.press("Take");
    EXPECT_EQ(session.driver.sent(), Commands{});
}

}  // namespace
