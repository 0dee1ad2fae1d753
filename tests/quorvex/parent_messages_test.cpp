// Messages from the parent panel: settings, queries and their replies.
#include "tests/quorvex/QuorvexTest.h"

namespace {

const char* const freshSettings =
    "bgndStyle=\ntakeHigh=\ntakeLow=\ntakeDouble=True\nundoDouble=False";

struct MessageCase {
    std::vector<const char*> messages;  // sent in order; the last one is checked
    Commands expectedSent;              // by the last message
    std::optional<std::string> expectedReply;
};

TEST(ParentMessages, RepliesAndCommandsOfEachMessage) {
    const MessageCase cases[] = {
        {{"return=all"}, {}, freshSettings},
        {{"return"}, {}, std::nullopt},
        {{"return=ALL"}, {}, std::nullopt},
        {{"return=takeHigh"}, {}, std::nullopt},
        {{"Return=all"}, {}, std::nullopt},
        {{"_events"}, {}, "deselect=-1"},
        {{"_events=x"}, {}, "deselect=-1"},
        {{"_commands"}, {}, "sourceID=[value]\ndestID=[value]"},
        {{"unknown=1"}, {}, std::nullopt},
        {{""}, {}, std::nullopt},
        {{"bgndStyle=blue"}, {"TP 'statesheet=blue' '1' 'Background'"}, std::nullopt},
        {{"bgndStyle"}, {"TP 'statesheet=' '1' 'Background'"}, std::nullopt},
        {{"takeHigh=red"}, {}, std::nullopt},
        {{"takeLow=grey"}, {}, std::nullopt},
        {{"takeDouble=FALSE"}, {"TP 'doublepush=false' '1' 'Take'"}, std::nullopt},
        {{"takeDouble=true"}, {"TP 'doublepush=true' '1' 'Take'"}, std::nullopt},
        {{"takeDouble=no"}, {}, std::nullopt},
        {{"takeDouble=1"}, {}, std::nullopt},
        {{"takeDouble"}, {}, std::nullopt},
        {{"undoDouble=True"}, {"TP 'doublepush=true' '1' 'Undo'"}, std::nullopt},
        {{"undoDouble=fAlSe"}, {"TP 'doublepush=false' '1' 'Undo'"}, std::nullopt},
        {{"bgndStyle=b", "takeHigh=red", "takeLow=x.y=z", "takeDouble=FALSE", "undoDouble=TRUE",
          "return=all"},
         {},
         "bgndStyle=b\ntakeHigh=red\ntakeLow=x.y=z\ntakeDouble=False\nundoDouble=True"},
        {{"takeDouble=maybe", "return=all"}, {}, freshSettings},
        {{"sourceID=5"}, {"TP 'text=' '1' 'Source'"}, std::nullopt},
        {{"sourceid=5"}, {}, std::nullopt},
        {{"destID=5"}, {"TP 'text=' '1' 'Dest'"}, std::nullopt},
        {{"Instance=x"}, {}, std::nullopt},
        {{"instance="}, {}, std::nullopt},
        {{"instance=nowhere"}, {"SD 'nowhere'"}, std::nullopt},
        {{"instance=nowhere", "instance=nowhere"}, {"SD 'nowhere'"}, std::nullopt},
    };
    for (const MessageCase& test : cases) {
        SCOPED_TRACE(test.messages.back());
        RecordingHost host;
        ComponentDriver driver(&host);
        for (size_t i = 0; i + 1 < test.messages.size(); ++i) driver.message(test.messages[i]);
        driver.sent();
        EXPECT_EQ(driver.message(test.messages.back()), test.expectedReply);
        EXPECT_EQ(driver.sent(), test.expectedSent);
    }
}

struct InstanceCase {
    const char* label;
    std::optional<std::string> lookupReply;
    Commands expectedSent;
};

TEST(ParentMessages, InstanceTakesOnOnlyDevicesFrom1To999) {
    const InstanceCase cases[] = {
        {"no reply", std::nullopt, {"SD 'X'"}},
        {"device 0", "0 1", {"SD 'X'"}},
        {"device 1000", "1000", {"SD 'X'"}},
        {"not a number", "router", {"SD 'X'"}},
        {"device 999", "999 4", {"SD 'X'", "RR 999 1 0", "RP 999 1 0"}},
        {"device 12", "12 4", {"SD 'X'", "RR 12 1 16", "RP 12 1 16"}},
    };
    for (const InstanceCase& test : cases) {
        SCOPED_TRACE(test.label);
        zant::hosting::ScratchInstallation installation;
        installation.writeRouter(12, 16);
        RecordingHost host;
        host.answer("SD 'X'", test.lookupReply);
        ComponentDriver driver(&host);
        driver.sent();
        EXPECT_EQ(driver.message("instance=X"), std::nullopt);
        EXPECT_EQ(driver.sent(), test.expectedSent);
    }
}

// Messages on a component with a router, each test from the same set-up.
using InstanceAndSelection = QuorvexTest;

TEST_F(InstanceAndSelection, InstanceSwitchingUnregistersThePreviousDevice) {
    installation.writeRouter(30, 64);
    host.answer("SD 'studio'", "12");
    host.answer("SD 'studio-b'", "12");
    host.answer("SD 'news'", "30");
    host.answer("SD 'rtr.main'", "30");
    send({"instance=studio"});

    driver.message("instance=studio");
    EXPECT_EQ(driver.sent(), Commands{});
    driver.message("instance=studio-b");
    EXPECT_EQ(driver.sent(), (Commands{"SD 'studio-b'", "RU 12", "RR 12 1 16", "RP 12 1 16"}));
    driver.message("instance=news");
    EXPECT_EQ(driver.sent(), (Commands{"SD 'news'", "RU 12", "RR 30 1 64", "RP 30 1 64"}));
    driver.message("instance=rtr.main");
    EXPECT_EQ(driver.sent(), (Commands{"SD 'rtr.main'", "RU 30", "RR 30 1 64", "RP 30 1 64"}));
    driver.destroy();
    EXPECT_EQ(driver.sent(), (Commands{"RU 30", "AS"}));
}

TEST_F(InstanceAndSelection, ANewDeviceStartsWithAnEmptyRouteTable) {
    host.answer("SD 'studio'", "12");
    host.answer("SD 'studio-b'", "12");
    driver.message("instance=studio");
    driver.revertive(12, 7, 5);
    send({"instance=studio-b", "sourceID=3", "destID=7"});
    driver.press("Take");
    EXPECT_THAT(driver.sent(), HasCommandAt(5, "RN 12 0 0"));
}

TEST_F(InstanceAndSelection, SelectionShowsNamesWithBarsAsSpacesAndArmsTake) {
    host.answer("SD 'studio'", "12");
    host.answer("RN 12 0 5", "Cam|5||L");
    host.answer("RN 12 1 7", "TX|7");
    send({"instance=studio"});
    driver.message("sourceID=5");
    EXPECT_EQ(driver.sent(), (Commands{"RN 12 0 5", "TP 'text=Cam 5  L' '1' 'Source'"}));
    driver.message("destID=7");
    EXPECT_EQ(driver.sent(), (Commands{"RN 12 1 7", "TP 'text=TX 7' '1' 'Dest'", "CE '1' 'Take'",
                                       "TP 'statesheet=' '1' 'Take'", "ET 2 1000"}));
    // Re-selecting restarts the flashing; "CE" only on the first arming.
    driver.message("sourceID.x=5");
    EXPECT_EQ(driver.sent(), (Commands{"RN 12 0 5", "TP 'text=Cam 5  L' '1' 'Source'",
                                       "TP 'statesheet=' '1' 'Take'", "ET 2 1000"}));
}

TEST(ParentMessages, ASelectionBelow1EmptiesItsTextAndDisarmsTake) {
    zant::hosting::ScratchInstallation installation;
    installation.writeRouter(12, 16);
    const std::pair<const char*, const char*> cases[] = {
        {"sourceID=0", "Source"}, {"sourceID=-1", "Source"}, {"sourceID=abc", "Source"},
        {"destID=0", "Dest"},     {"destID=-3", "Dest"},
    };
    for (const auto& [message, control] : cases) {
        SCOPED_TRACE(message);
        RecordingHost host;
        answerRouter12(host);
        host.answer("SD 'studio'", "12");
        ComponentDriver driver(&host);
        driver.message("takeHigh=red");
        driver.message("instance=studio");
        driver.message("sourceID=3");
        driver.message("destID=7");
        driver.sent();
        driver.message(message);
        EXPECT_EQ(driver.sent(),
                  (Commands{std::string("TP 'text=' '1' '") + control + "'",
                            "TP 'statesheet=red' '1' 'Take'", "CD '1' 'Take'", "ET 2"}));
        // Disarmed for good: a Take press does not route to index 0 or below.
        driver.press("Take");
        EXPECT_EQ(driver.sent(), Commands{});
    }
}

TEST_F(InstanceAndSelection, ANewValidSelectionDiscardsTheStoredUndo) {
    answerRouter12(host);
    send({"instance=studio", "sourceID=3", "destID=7"});
    driver.press("Take");
    driver.sent();
    // Below 1 keeps the undo; a valid source discards it before its name shows.
    driver.message("sourceID=0");
    EXPECT_EQ(driver.sent(), (Commands{"TP 'text=' '1' 'Source'"}));
    driver.message("sourceID=4");
    EXPECT_EQ(driver.sent(), (Commands{"RN 12 0 4", "CD '1' 'Undo'", "TP 'text=' '1' 'UndoSource'",
                                       "TP 'text=' '1' 'UndoDest'", "TP 'text=Src' '1' 'Source'"}));
}

TEST_F(InstanceAndSelection, ASelectionBeforeAnyDeviceLooksUpNoNameAndDoesNotArm) {
    answerRouter12(host);
    driver.sent();
    driver.message("sourceID=5");
    driver.message("destID=6");
    EXPECT_EQ(driver.sent(), (Commands{"TP 'text=' '1' 'Source'", "TP 'text=' '1' 'Dest'"}));
    // Taking on a device later neither fills the names nor arms "Take".
    driver.message("instance=studio");
    EXPECT_EQ(driver.sent(), (Commands{"SD 'studio'", "RR 12 1 16", "RP 12 1 16"}));
    driver.message("destID=6");
    EXPECT_THAT(driver.sent(), EndsWithCommand("ET 2 1000"));
}

}  // namespace
