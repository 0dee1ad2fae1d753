// The simulated panel runtime as the component sees it: the `zant_host` whose
// `execute` carries out the component's command texts against the world (its
// panels, the routers of the installation, the timers of the clock), traces
// each command with its reply, and checks the hand-back of replies.
//
// Revertives that a command causes ("RC", "RP") are queued, not delivered from
// inside `execute`: the component's handler runs to its end first, as with
// the field host. The caller delivers them once `notify` has returned.
#ifndef SIMULATOR_SIMULATED_HOST_H
#define SIMULATOR_SIMULATED_HOST_H

#include <map>
#include <set>
#include <string>
#include <vector>

#include "host/zant_host.h"
#include "hosting/ParsedCommand.h"
#include "hosting/ReplyLedger.h"
#include "simulator/Panel.h"
#include "simulator/Trace.h"
#include "simulator/World.h"

namespace zant::simulator {

class SimulatedHost : public zant_host {
public:
    SimulatedHost(World& world, Trace& trace);

    char* execute(const char* text, int mode) override;

    // Starts a new action: forgets the commands and parent events recorded
    // for the previous one.
    void beginAction();
    // Ends an action: the controls that the component addressed on a panel
    // whose layout lacks them, not reported before, are reported in one
    // error line a panel.
    void endAction();
    const std::vector<std::string>& commands() const { return commands_; }
    const std::vector<std::string>& parentEvents() const { return parentEvents_; }

    // A layout that could not be loaded; empty when none failed. Such a fault
    // ends a run: nothing the component does afterwards can be judged, so
    // the commands to that panel add no error lines of their own.
    const std::string& layoutError() const { return layoutError_; }

    // Reports, as error lines, the replies never handed back.
    void reportOutstanding();

private:
    // One handler a row of the command grammar: it gets the command read
    // (fields typed) and, where the row names a device, its router.
    using Handler = char* (SimulatedHost::*)(const zant::hosting::ParsedCommand& command,
                                             Router* router);
    static Handler handlerOf(const std::string& mnemonic);

    char* command(const std::string& text);
    char* release(const char* reply);
    char* panelShow(const zant::hosting::ParsedCommand& command, Router* router);
    char* textPut(const zant::hosting::ParsedCommand& command, Router* router);
    char* textGet(const zant::hosting::ParsedCommand& command, Router* router);
    char* enableControl(const zant::hosting::ParsedCommand& command, Router* router);
    char* disableControl(const zant::hosting::ParsedCommand& command, Router* router);
    char* hostNotify(const zant::hosting::ParsedCommand& command, Router* router);
    char* instanceLookup(const zant::hosting::ParsedCommand& command, Router* router);
    char* controlList(const zant::hosting::ParsedCommand& command, Router* router);
    char* crosspoint(const zant::hosting::ParsedCommand& command, Router* router);
    char* routerName(const zant::hosting::ParsedCommand& command, Router* router);
    char* routerPoll(const zant::hosting::ParsedCommand& command, Router* router);
    char* routerRegister(const zant::hosting::ParsedCommand& command, Router* router);
    char* routerUnregister(const zant::hosting::ParsedCommand& command, Router* router);
    char* timer(const zant::hosting::ParsedCommand& command, Router* router);
    char* detach(const zant::hosting::ParsedCommand& command, Router* router);

    void enable(const zant::hosting::ParsedCommand& command, bool enabled);
    // The control addressed by a command; an error line when unknown.
    Panel::Control* control(const zant::hosting::ParsedCommand& command);
    // A reply to the command running, which the ledger then expects back.
    char* reply(const std::string& text);
    void note(const std::string& text);
    void fault(const std::string& text);

    // Filled while one command runs, printed after its trace line.
    std::string running_;
    std::string note_;
    std::vector<std::string> faults_;

    World& world_;
    Trace& trace_;
    zant::hosting::ReplyLedger ledger_;
    std::vector<std::string> commands_;
    std::vector<std::string> parentEvents_;
    std::string layoutError_;
    std::set<std::string> unloadedPanels_;
    // Per panel: the missing controls already reported, and those to report.
    std::map<std::string, std::set<std::string>> missingReported_;
    std::map<std::string, std::vector<std::string>> missingNew_;
};

}  // namespace zant::simulator

#endif  // SIMULATOR_SIMULATED_HOST_H
