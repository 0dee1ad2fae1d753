// Construction and destruction of the component.
#include "hosting/ScratchInstallation.h"
#include "tests/quorvex/ComponentDriver.h"

namespace {

const Commands constructionCommands = {
    "CD '1' 'Take'",
    "CD '1' 'Undo'",
    "TP 'text=' '1' 'Source'",
    "TP 'text=' '1' 'Dest'",
    "TP 'text=' '1' 'UndoSource'",
    "TP 'text=' '1' 'UndoDest'",
    "TP 'doublepush=true' '1' 'Take'",
    "TP 'doublepush=false' '1' 'Undo'",
};

Commands withPanelLoad(const std::string& load) {
    Commands commands{load};
    commands.insert(commands.end(), constructionCommands.begin(), constructionCommands.end());
    return commands;
}

TEST(Lifecycle, ConstructionLoadsThePanelAndSendsTheInitialStates) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "PS '1' 'myTakePanel.zant_ui'"},
        {"panels/components/Quorvex", "PS '1' 'panels/components/Quorvex/myTakePanel.zant_ui'"},
        {nullptr, "PS '1' 'myTakePanel.zant_ui'"},
    };
    for (const auto& [path, load] : cases) {
        SCOPED_TRACE(load);
        RecordingHost host;
        ComponentDriver driver(&host, path);
        EXPECT_EQ(driver.sent(), withPanelLoad(load));
        driver.destroy();
        EXPECT_EQ(driver.sent(), (Commands{"AS"}));
    }
}

TEST(Lifecycle, DestructionUnregistersTheDeviceInUse) {
    zant::hosting::ScratchInstallation installation;
    for (int device : {1, 12, 999}) {
        SCOPED_TRACE(device);
        RecordingHost host;
        host.answer("SD 'studio'", std::to_string(device));
        ComponentDriver driver(&host);
        driver.message("instance=studio");
        driver.sent();
        driver.destroy();
        EXPECT_EQ(driver.sent(), (Commands{"RU " + std::to_string(device), "AS"}));
    }
}

TEST(Lifecycle, WithoutAHostEverythingIsSilent) {
    ComponentDriver driver(nullptr, nullptr);
    ASSERT_NE(driver.component(), nullptr);
    driver.message("instance=studio");
    driver.message("sourceID=3");
    driver.message("destID=4");
    driver.press("Take");
    driver.press("Undo");
    driver.press("Deselect");
    driver.tick();
    driver.revertive(0, 5, 1);
    EXPECT_EQ(driver.message("return=all"),
              "bgndStyle=\ntakeHigh=\ntakeLow=\ntakeDouble=True\nundoDouble=False");
}

TEST(Lifecycle, EachExportCallCreatesAnIndependentComponent) {
    zant::hosting::ScratchInstallation installation;
    RecordingHost host;
    answerRouter12(host);
    ComponentDriver first(&host);
    ComponentDriver second(&host);
    first.message("takeHigh=red");
    EXPECT_EQ(second.message("return=all"),
              "bgndStyle=\ntakeHigh=\ntakeLow=\ntakeDouble=True\nundoDouble=False");
}

}  // namespace
