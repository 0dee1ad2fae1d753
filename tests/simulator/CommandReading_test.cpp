// panel_host and zant_validate stand for the same host: a command text that
// one of them reads must be read by the other, and one that one refuses as
// malformed the other must refuse too. Each text below goes through both
// tools' own entry points (the simulated host's `execute`, the checking
// host's `execute`), not through a shared function, so that a tool reading
// commands its own way again fails here.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "hosting/CommandGrammar.h"
#include "simulator/SimulatedHost.h"
#include "validator/CheckingHost.h"

namespace zant::simulator {

namespace {

bool simulatorAccepts(const std::string& command) {
    std::ostringstream out;
    Trace trace{out};
    World world;
    std::string error;
    EXPECT_TRUE(world.installation().load(PANEL_HOST_EXAMPLES "/installation", "main", error))
        << error;
    SimulatedHost host{world, trace};
    host.execute("PS '1' '" PANEL_HOST_LAYOUT "'", zant_host::modeCommand);
    char* reply = host.execute(command.c_str(), zant_host::modeCommand);
    if (reply != nullptr && zant::hosting::CommandGrammar::handedBack(command))
        host.execute(reply, zant_host::modeRelease);
    const std::string said = out.str();
    return said.find("malformed command") == std::string::npos &&
           said.find("unknown command") == std::string::npos;
}

bool validatorAccepts(const std::string& command) {
    zant::validate::CheckingHost host;
    host.execute(command.c_str(), zant_host::modeCommand);
    return host.violations().empty();
}

struct Reading {
    std::string command;
    bool wellFormed;
};

void PrintTo(const Reading& reading, std::ostream* out) {
    *out << '"' << reading.command.substr(0, 60) << '"';
}

class BothTools : public testing::TestWithParam<Reading> {};

TEST_P(BothTools, ReadTheCommandAlike) {
    const Reading& reading = GetParam();
    EXPECT_EQ(simulatorAccepts(reading.command), reading.wellFormed) << "panel_host";
    EXPECT_EQ(validatorAccepts(reading.command), reading.wellFormed) << "zant_validate";
}

const std::string longText(70000, 'x');

INSTANTIATE_TEST_SUITE_P(
    Corpus, BothTools,
    testing::Values(
        // What the helper's operations send, and text fields holding quotes.
        Reading{"AS", true}, Reading{"RU 12", true}, Reading{"RU -4", true}, Reading{"ET 2", true},
        Reading{"ET 2 1000", true}, Reading{"ET 2 0", true}, Reading{"RP 12 1 16", true},
        Reading{"RR 12 1 16", true}, Reading{"RR 12 1 16 'ADD'", true}, Reading{"RN 12 0 3", true},
        Reading{"RN 12 1 -2147483648", true}, Reading{"RN 12 0 2147483647", true},
        Reading{"RN 99 0 1", true},  // no such device: well-formed all the same
        Reading{"RC 12 3 7 ',' 0", true}, Reading{"RC 12 3 7 ',it's' 1", true},
        Reading{"RC 12 3 7 ',a' 'b' 0", true}, Reading{"CE '1' 'Take'", true},
        Reading{"CD '1' 'Undo'", true}, Reading{"CE '' ''", true},
        Reading{"TP 'text=' '1' 'Source'", true}, Reading{"TP 'text=it's' '1' 'Source'", true},
        Reading{"TP 'text=a' 'b' '1' 'Source'", true}, Reading{"HN 'deselect=-1'", true},
        Reading{"HN 'a' 'b'", true}, Reading{"HN ''", true},
        Reading{"PS '2' '" PANEL_HOST_LAYOUT "'", true},
        Reading{"PS '2' '" PANEL_HOST_LAYOUT "' 'extra'", true}, Reading{"SD 'studioA'", true},
        Reading{"SD 'a'b'", true}, Reading{"XI '1' 'Undo*'", true},
        Reading{"TG '1' 'Source' 'text'", true}, Reading{"TG '1' 'Source' 'all'", true},
        Reading{"TP 'text=" + longText + "' '1' 'Source'", true},
        // A last quoted field holds no quote: it cannot swallow the rest.
        Reading{"TG '1' 'Status' 'text' 'more'", false}, Reading{"CE '1' 'Send' 'more'", false},
        Reading{"XI '1' 'a' 'b'", false},
        // Numbers are plain signed decimal within the int range.
        Reading{"RN 012 0 1", false}, Reading{"RU +12", false}, Reading{"RU -0", false},
        Reading{"RU 2147483648", false}, Reading{"RU -2147483649", false},
        Reading{"RU 1" + std::string(100, '0'), false}, Reading{"RU 0x1F", false},
        Reading{"RU 1.5", false}, Reading{"ET 2 1e3", false},
        // Fields missing, extra, empty, or apart by other than one space.
        Reading{"RN 12 0", false}, Reading{"RN 12 0 1 2", false}, Reading{"RP 12  1 16", false},
        Reading{"RP 12 1 16 ", false}, Reading{"RU\t12", false}, Reading{"ET", false},
        Reading{"ET 2 1000 3", false}, Reading{"RU ", false}, Reading{"AS ", false},
        Reading{"AS 1", false}, Reading{"ASX", false}, Reading{"CE '1'", false},
        Reading{"CE '1' Take", false}, Reading{"CE 1 'Take'", false},
        Reading{"CE '1' 'Take", false}, Reading{"CE '1''Take'", false},
        Reading{"CE '1'  'Take'", false}, Reading{"HN x", false}, Reading{"HN '", false},
        Reading{"PS '1'", false}, Reading{"TG '1' 'Take'", false},
        // Each field's own rule.
        Reading{"RR 12 1 4 'XYZ'", false}, Reading{"RR 12 1 4 ADD", false},
        Reading{"RC 12 3 7 'x' 0", false}, Reading{"RC 12 3 7 ',' 2", false},
        Reading{"RC 12 3 7 ',' 01", false}, Reading{"RC 12 3 ',' 0", false},
        Reading{"TP 'text' '1' 'Source'", false}, Reading{"TP '=x' '1' 'Source'", false},
        Reading{"TP 't'x=1' '1' 'Source'", false},
        // Mnemonics the host does not know; a NUL ends the text.
        Reading{"", false}, Reading{"R", false}, Reading{"ZZ 1", false},
        Reading{"rn 12 0 1", false}, Reading{std::string("CE '1'\0 'Take'", 14), false},
        Reading{std::string("CE '1' 'Take'\0 'more'", 21), true}, Reading{"RU " + longText, false}),
    [](const testing::TestParamInfo<Reading>& info) { return std::to_string(info.index); });

}  // namespace

}  // namespace zant::simulator
