#include "simulator/SimulatedHost.h"

#include "hosting/CommandGrammar.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <sstream>
#include <string>

namespace zant::simulator {

namespace {

class SimulatedHostTest : public testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(installation.load(PANEL_HOST_EXAMPLES "/installation", "main", error)) << error;
        char* shown = host.execute("PS '1' '" PANEL_HOST_LAYOUT "'", zant_host::modeCommand);
        ASSERT_NE(shown, nullptr) << out.str();
    }

    // Runs a command as the component does: copies the reply and hands it
    // back. std::nullopt for a null reply.
    // Each command is an action of its own.
    std::optional<std::string> run(const std::string& command) {
        char* reply = host.execute(command.c_str(), zant_host::modeCommand);
        host.endAction();
        if (reply == nullptr) return std::nullopt;
        std::string copy(reply);
        host.execute(reply, zant_host::modeRelease);
        return copy;
    }

    std::ostringstream out;
    Trace trace{out};
    World world;
    Installation& installation = world.installation();
    VirtualClock& clock = world.clock();
    SimulatedHost host{world, trace};
};

struct CommandCase {
    const char* command;
    std::optional<std::string> reply;
    bool fault;  // an error line in the trace
};

void PrintTo(const CommandCase& c, std::ostream* out) {
    *out << c.command;
}

class PanelCommands : public SimulatedHostTest, public testing::WithParamInterface<CommandCase> {};

TEST_P(PanelCommands, AnswerFromThePanelAndReportWhatTheyCannotAddress) {
    ASSERT_EQ(run("TP 'text=it's' '1' 'Source'"), std::nullopt);
    ASSERT_EQ(run("CD '1' 'Undo'"), std::nullopt);
    const CommandCase& c = GetParam();
    EXPECT_EQ(run(c.command), c.reply) << c.command;
    EXPECT_EQ(trace.errors(), c.fault ? 1 : 0) << out.str();
}

INSTANTIATE_TEST_SUITE_P(
    Commands, PanelCommands,
    testing::Values(CommandCase{"TG '1' 'Source' 'text'", std::string("text=it's"), false},
                    CommandCase{"TG '1' 'Undo' 'enabled'", std::string("enabled=false"), false},
                    CommandCase{"TG '1' 'Take' 'statesheet'", std::string("statesheet="), false},
                    CommandCase{"TG '1' 'Source' 'all'", std::string("enabled=true,text=it's"),
                                false},
                    CommandCase{"XI '1' 'Undo*'", std::string("Undo,UndoSource,UndoDest"), false},
                    CommandCase{"XI '1' 'Alarm*'", std::string(""), false},
                    CommandCase{"SD 'studioA'", std::string("12"), false},
                    CommandCase{"SD 'nobody'", std::nullopt, false},
                    CommandCase{"RN 12 0 3", std::string("CAM 3|Jib"), false},
                    CommandCase{"RN 12 1 16", std::string("EDIT 2"), false},
                    CommandCase{"RN 12 0 0", std::nullopt, false},
                    CommandCase{"RN 12 0 17", std::nullopt, false},
                    CommandCase{"RN 99 0 1", std::nullopt, true},
                    CommandCase{"TG '2' 'Take' 'text'", std::nullopt, true},
                    CommandCase{"TP 'text=x' '1' 'Volume'", std::nullopt, true},
                    CommandCase{"TP 'text' '1' 'Source'", std::nullopt, true},
                    CommandCase{"CE '1'", std::nullopt, true},
                    CommandCase{"RC 12 3 17 ',' 0", std::nullopt, true},
                    CommandCase{"RC 12 3 3 ',' 2", std::nullopt, true},
                    CommandCase{"ET 2 x", std::nullopt, true},
                    CommandCase{"ZZ 1", std::nullopt, true}),
    [](const testing::TestParamInfo<PanelCommands::ParamType>& info) {
        return std::to_string(info.index);
    });

// Each mnemonic of the grammar reaches a handler, which quotes its usage line
// when the fields are missing.
TEST_F(SimulatedHostTest, EveryMnemonicOfTheGrammarIsHandled) {
    using zant::hosting::CommandGrammar;
    for (const auto* form = CommandGrammar::begin(); form != CommandGrammar::end(); ++form) {
        if (std::string(form->fields).empty()) continue;
        run(form->mnemonic);
        EXPECT_NE(out.str().find(std::string("malformed command \"") + form->mnemonic +
                                 "\": expected " + form->usage),
                  std::string::npos)
            << out.str();
    }
}

TEST_F(SimulatedHostTest, RevertivesGoOnlyToRegisteredDestinationsAndWaitForDelivery) {
    run("RR 12 1 4");
    run("RC 12 9 3 ',' 0");
    run("RC 12 9 5 ',' 0");  // not registered: routed, no revertive
    ASSERT_EQ(world.pendingRevertives().size(), 1u);
    EXPECT_EQ(world.pendingRevertives().front().index, 3);
    EXPECT_EQ(world.pendingRevertives().front().value, 9);
    EXPECT_EQ(installation.router(12)->source(5), 9);

    run("RR 12 5 5 'ADD'");
    run("RC 12 8 5 ',' 0");
    EXPECT_EQ(world.pendingRevertives().size(), 2u);

    run("RP 12 15 99");  // clamped to the router's 16 destinations
    EXPECT_EQ(world.pendingRevertives().size(), 4u);
    EXPECT_EQ(world.pendingRevertives().back().value, 14);

    run("RU 12");  // the component left the device: its revertives are dropped
    EXPECT_TRUE(world.pendingRevertives().empty());
    run("RC 12 1 3 ',' 0");
    EXPECT_TRUE(world.pendingRevertives().empty());
    EXPECT_EQ(trace.errors(), 0) << out.str();
}

TEST_F(SimulatedHostTest, TimersFollowET) {
    run("ET 2 1000");
    EXPECT_EQ(clock.interval(2), 1000);
    run("ET 2");
    EXPECT_FALSE(clock.running(2));
    run("ET 3 0");
    EXPECT_FALSE(clock.running(3));
}

TEST_F(SimulatedHostTest, ReportsRepliesHandedBackTwiceUnknownOrNever) {
    char* name = host.execute("RN 12 0 1", zant_host::modeCommand);
    host.execute(name, zant_host::modeRelease);
    host.execute(name, zant_host::modeRelease);
    EXPECT_EQ(trace.errors(), 1);
    char foreign[] = "x";
    host.execute(foreign, zant_host::modeRelease);
    EXPECT_EQ(trace.errors(), 2);
    host.execute(nullptr, zant_host::modeRelease);  // null is allowed
    EXPECT_EQ(trace.errors(), 2);

    host.execute("TG '1' 'Take' 'text'", zant_host::modeCommand);
    host.reportOutstanding();
    EXPECT_EQ(trace.errors(), 3);
    EXPECT_NE(out.str().find("the reply of \"TG '1' 'Take' 'text'\" was never handed back"),
              std::string::npos)
        << out.str();
}

TEST_F(SimulatedHostTest, ALayoutThatFailsIsTheOneErrorAndItsPanelCausesNoCascade) {
    EXPECT_EQ(run("PS '2' '/no/such/layout.zant_ui'"), std::nullopt);
    EXPECT_EQ(host.layoutError(),
              "/no/such/layout.zant_ui: cannot open the layout file: No such file or directory");
    EXPECT_EQ(world.panel("2"), nullptr);
    run("CE '2' 'Take'");
    run("XI '2' '*'");
    EXPECT_EQ(trace.errors(), 0) << out.str();
}

TEST_F(SimulatedHostTest, ControlsMissingFromTheLayoutAreReportedOnceInOneLine) {
    host.beginAction();
    for (const char* command : {"CE '1' 'Volume'", "TP 'text=x' '1' 'Gain'", "CD '1' 'Volume'"}) {
        host.execute(command, zant_host::modeCommand);
    }
    host.endAction();
    run("CE '1' 'Volume'");
    EXPECT_EQ(trace.errors(), 1) << out.str();
    EXPECT_NE(out.str().find("error: panel '1' (" PANEL_HOST_LAYOUT
                             ") lacks controls that the component uses: Volume, Gain\n"),
              std::string::npos)
        << out.str();
}

}  // namespace

}  // namespace zant::simulator
