// The component against hosts that answer badly: none at all, null to
// everything, malformed or enormous replies. Whatever the host answers, the
// component must not crash or touch memory outside a reply, must hand every
// reply of "TG", "SD", "XI" and "RN" back exactly once (and that of "PS"
// never), must not lose a kind-3 reply, and must send only well-formed
// command texts. Leaks and out-of-bounds accesses are caught by the asan and
// memcheck presets, which run these same tests.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "hosting/CommandGrammar.h"
#include "panels/components/Quorvex/Quorvex.h"
#include "tests/quorvex/support/QuorvexCommands.h"
#include "tests/support/CommandListMatchers.h"
#include "validator/CheckingHost.h"
#include "validator/NotifyDriver.h"

using zant::hosting::CommandGrammar;
using zant::hosting::ParsedCommand;
using zant::validate::CheckingHost;
using zant::validate::NotifyDriver;

namespace {

using ReplyPolicy = std::function<std::optional<std::string>(const std::string& command)>;

// Answers by a policy, checks Quorvex's own command rules and remembers the
// longest command it was sent.
class FaultHost : public CheckingHost {
public:
    explicit FaultHost(ReplyPolicy policy) : policy_(std::move(policy)) {
        setCommandRule(quorvexCommandError);
    }
    std::optional<std::string> replyTo(const std::string& command) override {
        longest_ = std::max(longest_, command.size());
        return policy_(command);
    }
    size_t longest() const { return longest_; }

private:
    ReplyPolicy policy_;
    size_t longest_ = 0;
};

const std::string oneMegabyte(1 << 20, 'n');
// Long enough to overrun any fixed buffer; short enough for valgrind.
const std::string longText(1 << 16, 'l');

// Answers `mnemonic` with `reply` and every other command with `otherwise`.
ReplyPolicy answering(const std::string& mnemonic, const std::optional<std::string>& reply,
                      const std::optional<std::string>& otherwise = std::nullopt) {
    return [=](const std::string& command) {
        return command.compare(0, 2, mnemonic) == 0 ? reply : otherwise;
    };
}

// "SD" resolves to device 12; "RN" as given.
ReplyPolicy namesAre(const std::optional<std::string>& name) {
    return [=](const std::string& command) -> std::optional<std::string> {
        if (command.compare(0, 2, "SD") == 0) return std::string("12 16");
        if (command.compare(0, 2, "RN") == 0) return name;
        return std::nullopt;
    };
}

// Everything a parent panel, an operator and the router can send, in an
// order that walks the component through all its states, with odd inputs
// mixed in.
void runSession(NotifyDriver& driver) {
    driver.message("_events");
    driver.message("_commands");
    driver.message("return=all");
    driver.message("instance=studio.a");
    driver.message("instance=studio.a");
    for (int index = -2; index <= 210; index += 3) driver.revertive(12, index, index + 1);
    driver.revertive(13, 7, 99);
    driver.message("sourceID=5");
    driver.message("destID=7");
    driver.tick(2);
    driver.tick(2);
    driver.tick(7);
    driver.press("1", "Take", "push");
    driver.press("1", "Undo");
    driver.press("1", "Take");  // nothing selected any more
    driver.message("sourceID=3");
    driver.message("destID=300");  // beyond the route table
    driver.press("1", "Take");
    driver.press("1", "Undo");
    driver.press("1", "Undo");
    driver.message("takeHigh=red");
    driver.message("takeLow=it's");
    driver.message("bgndStyle=a'b' 'c");
    driver.message("takeDouble=TRUE");
    driver.message("undoDouble=nope");
    driver.message("instance=other");
    driver.message("sourceID=-2147483648");
    driver.message("destID=99999999999999");
    driver.message("sourceID=1");
    driver.message("destID=1");
    for (int tick = 0; tick < 12; ++tick) driver.tick(2);
    driver.press("2", "Take");
    driver.press("1", "take");
    driver.press(nullptr, nullptr);
    driver.press("1", "Deselect", "");
    driver.message(nullptr);
    driver.message("");
    driver.message("=x");
    driver.message("a.b.c.d=e=f");
    driver.message("return=all");
    driver.word(zantEvent6, 41);
    driver.word(zantEvent7, -1);
    for (int kind : {0, 8, -1, 1 << 30}) driver.word(kind, 0x10);
    driver.message(("instance=" + longText).c_str());
    driver.message(("takeHigh=" + longText).c_str());
    driver.message("return=all");
}

struct FaultCase {
    const char* name;
    bool withHost;
    ReplyPolicy policy;
    // Further checks on what the host saw; may be empty.
    std::function<void(const FaultHost&)> check;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const FaultCase& fault, std::ostream* out) {
    *out << fault.name;
}

class FaultHosts : public testing::TestWithParam<FaultCase> {};

TEST_P(FaultHosts, ComponentKeepsTheBoundaryRules) {
    const FaultCase& fault = GetParam();
    FaultHost host(fault.policy);
    FaultHost* hostOrNull = fault.withHost ? &host : nullptr;
    {
        std::unique_ptr<zant_client_callback, zant_client_deleter> component(
            new Quorvex(hostOrNull, "panels/take"));
        NotifyDriver driver(component.get(), hostOrNull);
        driver.holdReplies(2);  // hand kind-3 replies back late, as a busy host does
        runSession(driver);
        driver.releaseAll();
        EXPECT_EQ(driver.repliesGiven(), driver.repliesReleased());
        EXPECT_GT(driver.repliesGiven(), 0);
        EXPECT_EQ(driver.violations(), std::vector<std::string>());
    }
    EXPECT_EQ(host.violations(), std::vector<std::string>());
    EXPECT_EQ(host.mustComeBack(), 0);
    if (fault.withHost) {
        EXPECT_THAT(host.recent(), EndsWithCommand("AS"));
    } else {
        EXPECT_EQ(host.commandCount(), 0);
    }
    if (fault.check) fault.check(host);
}

void noDeviceTaken(const FaultHost& host) {
    EXPECT_EQ(host.sent("RR"), 0);
    EXPECT_EQ(host.sent("RC"), 0);
}

void deviceTaken(const FaultHost& host) {
    EXPECT_GT(host.sent("RR"), 0);
    EXPECT_GT(host.sent("RC"), 0);
}

const std::string garbage = "\x01' '=,|%1 %s %n\xff\t";

INSTANTIATE_TEST_SUITE_P(
    Reliability, FaultHosts,
    testing::Values(
        FaultCase{"NoHost", false, nullptr, nullptr},
        FaultCase{"NullToEverything", true, [](const std::string&) { return std::nullopt; },
                  noDeviceTaken},
        FaultCase{"EmptyToEverything", true,
                  [](const std::string&) { return std::optional<std::string>(""); }, noDeviceTaken},
        FaultCase{"GarbageToEverything", true,
                  [](const std::string&) { return std::optional<std::string>(garbage); },
                  noDeviceTaken},
        FaultCase{"DeviceNotANumber", true, answering("SD", "abc 12"), noDeviceTaken},
        FaultCase{"DeviceAfterALeadingSpace", true, answering("SD", " 12 16"), noDeviceTaken},
        FaultCase{"DeviceQuoted", true, answering("SD", "'12' '16"), noDeviceTaken},
        FaultCase{"DeviceOutOfRange", true, answering("SD", "1000 1"), noDeviceTaken},
        FaultCase{"DeviceBeyondInt", true, answering("SD", "99999999999999999999 1"),
                  noDeviceTaken},
        FaultCase{"DeviceNegative", true, answering("SD", "-12"), noDeviceTaken},
        FaultCase{"DeviceWithTrailingText", true, answering("SD", "12abc"), deviceTaken},
        FaultCase{"WellFormedReplies", true, namesAre("Cam|1"), deviceTaken},
        FaultCase{"NullNames", true, namesAre(std::nullopt), deviceTaken},
        FaultCase{"EmptyNames", true, namesAre(""), deviceTaken},
        FaultCase{"NamesOfQuotesAndPipes", true, namesAre("'|'|''"), deviceTaken},
        FaultCase{"OneMegabyteNames", true, namesAre(oneMegabyte),
                  [](const FaultHost& host) {
                      deviceTaken(host);
                      // The whole name reaches the panel: nothing cut, nothing lost.
                      EXPECT_GE(host.longest(), oneMegabyte.size() + 20);
                  }},
        FaultCase{"LongTextToEverything", true,
                  [](const std::string&) { return std::optional<std::string>(longText); },
                  noDeviceTaken}),
    [](const testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

// A component that lets the helper handle the alarm buttons, which read the
// replies of "XI" and "TG".
class AlarmComponent : public zant_script_helper {
public:
    explicit AlarmComponent(zant_host* host) : zant_script_helper(host, "") { alarmFilter = true; }
    void onButton(zant_button_event* /*event*/) override {}
    int onRevertive(zant_revertive_event* /*revertive*/) override { return 0; }
    zant_string onParentMessage(parentMessage* /*message*/) override { return zant_string(); }
    void onTimer(int /*timer*/) override {}
};

struct AlarmFault {
    const char* name;
    std::optional<std::string> controls;  // reply to "XI"
    std::optional<std::string> value;     // reply to "TG"
};

void PrintTo(const AlarmFault& fault, std::ostream* out) {
    *out << fault.name;
}

class AlarmFaults : public testing::TestWithParam<AlarmFault> {};

TEST_P(AlarmFaults, RepliesComeBackOnceAndCommandsStayWellFormed) {
    const AlarmFault& fault = GetParam();
    FaultHost host([&](const std::string& command) -> std::optional<std::string> {
        if (command.compare(0, 2, "XI") == 0) return fault.controls;
        if (command.compare(0, 2, "TG") == 0) return fault.value;
        return std::nullopt;
    });
    {
        AlarmComponent component(&host);
        NotifyDriver driver(&component, &host);
        driver.press("1", "AckAll");
        driver.press("1", "ActionAll", "alarm=ack");
        driver.press("1", "ActionAll", "alarm=2");
        driver.press("1", "ActionAll", "alarm=");
        EXPECT_EQ(driver.violations(), std::vector<std::string>());
    }
    EXPECT_EQ(host.violations(), std::vector<std::string>());
    EXPECT_EQ(host.mustComeBack(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Reliability, AlarmFaults,
    testing::Values(AlarmFault{"NoReplies", std::nullopt, std::nullopt},
                    AlarmFault{"EmptyIds", ",,", "value=1"}, AlarmFault{"EmptyList", "", "value=1"},
                    AlarmFault{"ValueWithoutEquals", "alm_1,alm_2", "value"},
                    AlarmFault{"EmptyValue", "alm_1", ""},
                    AlarmFault{"OtherProperty", "alm_1", "text=1"},
                    AlarmFault{"ValueNotANumber", "alm_1", "value=x"},
                    AlarmFault{"ThousandEmptyIds", std::string(1000, ','), "value=4"},
                    AlarmFault{"OneMegabyteValue", "alm_1", "value=" + oneMegabyte}),
    [](const testing::TestParamInfo<AlarmFault>& info) { return std::string(info.param.name); });

// The checks above are only as good as the command rules: they must refuse
// what a slip in Quorvex's formatting code would send, though well-formed.
TEST(QuorvexCommands, RefuseWellFormedCommandsTheSubPanelNeverSends) {
    const char* const accepted[] = {
        "TP 'text=it's' '1' 'Source'",
        "TP 'doublepush=false' '1' 'Undo'",
        "TP 'alarm=ack' '1' ''",
        "HN 'deselect=-1'",
        "PS '1' 'panels/x/myTakePanel.zant_ui'",
        "RC 12 3 7 ',' 0",
        "RR 5 1 16 'ADD'",
        "XI '1' 'alm_'",
        "RN 12 1 5",
        "CE '1' 'Take'",
    };
    const char* const refused[] = {
        "CE '1' 'take'",
        "CE '2' 'Take'",
        "TP 'size=1' '1' 'Take'",
        "TP 'doublepush=True' '1' 'Take'",
        "TP 'text=' '1' 'Other'",
        "HN 'x'",
        "PS '1' 'other'",
        "XI '1' 'x'",
        "RN 1 2 3",
        "RC 12 3 7 ',it's' 0",
        "TG '2' 'a' 'value'",
    };
    for (const char* text : accepted) {
        ParsedCommand command;
        ASSERT_EQ(CommandGrammar::parse(text, command), "") << text;
        EXPECT_EQ(quorvexCommandError(command), "") << text;
    }
    for (const char* text : refused) {
        ParsedCommand command;
        ASSERT_EQ(CommandGrammar::parse(text, command), "") << text;
        EXPECT_NE(quorvexCommandError(command), "") << text;
    }
}

}  // namespace
