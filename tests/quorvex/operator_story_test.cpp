// The operator's story end to end, and a router larger than 200 destinations.
#include "hosting/ScratchInstallation.h"
#include "tests/quorvex/ComponentDriver.h"

namespace {

TEST(OperatorStory, SelectTakeRevertiveUndo) {
    zant::hosting::ScratchInstallation installation;
    installation.writeRouter(12, 16);
    RecordingHost host;
    host.answer("SD 'studio-a'", "12 0");
    host.answer("RN 12 0 3", "CAM|3");
    host.answer("RN 12 0 9", "VTR 9");
    host.answer("RN 12 1 7", "MON|7");
    ComponentDriver driver(&host, "panels/components/Quorvex");
    driver.sent();

    driver.message("bgndStyle=dark");
    driver.message("takeHigh=red");
    driver.message("takeLow=off");
    driver.message("instance=studio-a");
    EXPECT_EQ(driver.sent(), (Commands{"TP 'statesheet=dark' '1' 'Background'", "SD 'studio-a'",
                                       "RR 12 1 16", "RP 12 1 16"}));
    // The poll's answer: destination 7 carries source 9.
    for (int destination = 1; destination <= 16; ++destination) {
        driver.revertive(12, destination, destination == 7 ? 9 : 1);
    }
    driver.revertive(30, 7, 2);  // another router's revertive changes nothing

    driver.message("sourceID=3");
    driver.message("destID=7");
    EXPECT_EQ(driver.sent(), (Commands{"RN 12 0 3", "TP 'text=CAM 3' '1' 'Source'", "RN 12 1 7",
                                       "TP 'text=MON 7' '1' 'Dest'", "CE '1' 'Take'",
                                       "TP 'statesheet=red' '1' 'Take'", "ET 2 1000"}));
    driver.tick();
    driver.tick();
    EXPECT_EQ(driver.sent(),
              (Commands{"TP 'statesheet=off' '1' 'Take'", "TP 'statesheet=red' '1' 'Take'"}));

    driver.press("Take");
    EXPECT_EQ(driver.sent(), (Commands{"ET 2", "TP 'statesheet=red' '1' 'Take'", "CD '1' 'Take'",
                                       "TP 'text=' '1' 'Source'", "TP 'text=' '1' 'Dest'",
                                       "RN 12 0 9", "TP 'text=VTR 9' '1' 'UndoSource'", "RN 12 1 7",
                                       "TP 'text=MON 7' '1' 'UndoDest'", "CE '1' 'Undo'",
                                       "RC 12 3 7 ',' 0", "HN 'deselect=-1'"}));
    driver.revertive(12, 7, 3);

    driver.press("Undo");
    EXPECT_EQ(driver.sent(),
              (Commands{"RC 12 9 7 ',' 0", "CD '1' 'Undo'", "TP 'text=' '1' 'UndoSource'",
                        "TP 'text=' '1' 'UndoDest'"}));
    driver.destroy();
    EXPECT_EQ(driver.sent(), (Commands{"RU 12", "AS"}));
}

struct LargeRouterCase {
    int destinations;  // the device's destination count
    int destination;   // taken
    int undoSource;    // what Undo restores
};

TEST(LargeRouter, UndoRestoresTheReportedSourceAbove200) {
    const LargeRouterCase cases[] = {
        {256, 200, 44},
        {256, 201, 44},
        {256, 256, 44},
        {4096, 4096, 44},
        // Beyond the largest router we size for (within the device's count).
        {70000, 65535, 44},
        {70000, 65536, 0},
    };
    for (const LargeRouterCase& test : cases) {
        SCOPED_TRACE(std::to_string(test.destinations) + "/" + std::to_string(test.destination));
        zant::hosting::ScratchInstallation installation;
        installation.writeRouter(40, test.destinations);
        RecordingHost host;
        host.answer("SD 'big'", "40");
        ComponentDriver driver(&host);
        driver.message("instance=big");
        // Revertives out of range are dropped, never written.
        driver.revertive(40, test.destination, 44);
        driver.revertive(40, -1, 45);
        driver.revertive(40, 1 << 30, 46);
        driver.message("sourceID=3");
        const std::string destination = "destID=" + std::to_string(test.destination);
        driver.message(destination.c_str());
        driver.sent();
        driver.press("Take");
        driver.press("Undo");
        EXPECT_THAT(driver.sent(),
                    HasCommandAt(12, "RC 40 " + std::to_string(test.undoSource) + " " +
                                         std::to_string(test.destination) + " ',' 0"));
    }
}

}  // namespace
