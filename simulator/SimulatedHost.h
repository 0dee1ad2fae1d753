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
#include "hosting/ReplyLedger.h"
#include "simulator/CommandText.h"
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
    char* command(const CommandText& command);
    char* release(const char* reply);
    char* panelShow(const CommandText& command);
    char* textPut(const CommandText& command);
    char* textGet(const CommandText& command);
    char* enableControl(const CommandText& command);
    char* disableControl(const CommandText& command);
    char* enable(const CommandText& command, bool enabled);
    char* hostNotify(const CommandText& command);
    char* instanceLookup(const CommandText& command);
    char* controlList(const CommandText& command);
    char* crosspoint(const CommandText& command);
    char* routerName(const CommandText& command);
    char* routerPoll(const CommandText& command);
    char* routerRegister(const CommandText& command);
    char* routerUnregister(const CommandText& command);
    char* timer(const CommandText& command);
    char* detach(const CommandText& command);

    // The control addressed by a command; an error line when unknown.
    Panel::Control* control(const CommandText& command, const std::string& panelId,
                            const std::string& controlId);
    Router* router(const CommandText& command, int device);
    char* reply(const CommandText& command, const std::string& text);
    // A fault quoting the grammar's usage line of the command's mnemonic.
    void malformed(const CommandText& command);
    void note(const std::string& text);
    void fault(const std::string& text);

    // Filled while one command runs, printed after its trace line.
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
