// One simulated run: the installation, the virtual clock, the host, the
// loaded component library and the one component created from it, driven
// step by step.
#ifndef SIMULATOR_SIMULATOR_H
#define SIMULATOR_SIMULATOR_H

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "hosting/ScratchInstallation.h"
#include "platform/ComponentLibrary.h"
#include "platform/DebugOutputTap.h"
#include "simulator/SimulatedHost.h"
#include "simulator/SimulationConfig.h"
#include "simulator/StepParser.h"
#include "simulator/Trace.h"
#include "simulator/World.h"

namespace zant::simulator {

class Simulator {
public:
    // The panel whose buttons steps press and whose controls they check: the
    // one the component shows its sub-panel in.
    static constexpr const char* pressedPanel = "1";

    Simulator(const SimulationConfig& config, std::ostream& out);
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Reads the installation, sets KV_ROOT and KV_SYSTEM, loads the library
    // and creates the component. False with a one-line `error` on a fault.
    bool start(std::string& error);
    // The fault of start() was a real router's (not there, no state within
    // the start's time): the run failed, its input was not bad.
    bool routerFailed() const { return routerFailed_; }
    // Carries out one step read by StepParser, through its row's handler.
    // Faults of the step are traced and counted.
    void run(const Step& step);
    // A step line that could not be read (at the prompt): traced and counted.
    void badStep(const std::string& error);
    // Destroys the component and reports the replies never handed back.
    void finish();

    // Takes in what the real routers reported since the last call: their
    // errors and notes are traced, their routes become revertives for the
    // component. Between steps (`ownAction`) it is traced under a line of
    // its own. Whether anything changed that shows (a name or a lock too).
    bool takeInRouters(bool ownAction);
    // Whether a router of the installation is a real one.
    bool hasRealRouters() const { return hasRealRouters_; }

    // Moves the virtual clock on to `time`, delivering the ticks due by then
    // as they fall due, without a step of its own: the clock of a face that
    // runs in real time.
    void advanceTo(int64_t time);

    World& world() { return world_; }
    const World& world() const { return world_; }
    Trace& trace() { return trace_; }
    const SimulationConfig& config() const { return config_; }
    // The value last sent with each parent message name ("NAME=3": NAME -> "3").
    const std::map<std::string, std::string>& parentSettings() const { return parentSettings_; }

    // A fault after which a scenario cannot go on (a layout that failed).
    const std::string& fatalError() const { return host_.layoutError(); }
    // A quit step, or a stop asked for from outside.
    bool quitRequested() const { return quit_ || !stopReason().empty(); }
    // Failed expectations and error lines of the trace.
    int failures() const { return failedExpectations_ + trace_.errors(); }
    int badSteps() const { return badSteps_; }
    // "2 expectations failed, 20 errors"; empty when all went well.
    std::string summary() const;
    // The run's last line: the summary, or what held when all went well.
    std::string closingLine() const;

    // The steps' handlers, named by the rows of the step table; run() calls
    // them with ${...} already replaced and ends the action after them.
    void sendMessage(const Step& step);
    void press(const Step& step);
    void doublePress(const Step& step);
    void wait(const Step& step);
    void runInRealTime(const Step& step);
    void tick(const Step& step);
    void route(const Step& step);
    void show(const Step& step);
    void note(const Step& step);
    void expectCommand(const Step& step);
    void expectNoCommand(const Step& step);
    void expectEvent(const Step& step);
    void expectReply(const Step& step);
    void expectControl(const Step& step);
    void expectRoute(const Step& step);
    void help(const Step& step);
    void quit(const Step& step);

private:
    // ${path}, ${root} and ${system} replaced by the options' values.
    std::string substituted(const std::string& text) const;
    void beginAction(const std::string& description);
    void pressTimes(const Step& step, int pushes);
    void push(Panel::Control& control, const std::string& eventText);
    // Advances the clock, delivering the due ticks; `paced` waits for each
    // tick's time on the wall clock. `name` is the step's, for the trace.
    void advance(const std::string& name, int64_t milliseconds, bool paced);
    void deliverTick(int timer);
    // An expect command (`wanted`) or expect no-command step.
    void expectSent(const Step& step, bool wanted);
    void deliverRevertives();
    // Connects the real routers of the options, in the place of the
    // installation's, and makes the scratch copy of the installation that
    // gives the component their sizes.
    bool startRouters(std::string& error);
    bool routerFailed_ = false;
    // Waits, up to the deadline, until the real routers have answered and
    // reported what the action asked of them.
    void settleRouters();
    void stepError(const Step& step, const std::string& text);
    std::string stopReason() const;
    // Ends the host's action; a handler that threw meanwhile is an error.
    void endAction();
    void expectation(const Step& step, bool held, const std::string& what,
                     const std::string& actual);

    SimulationConfig config_;
    World world_;
    Trace trace_;
    SimulatedHost host_;
    ComponentLibrary library_;
    zant_client_callback* component_ = nullptr;
    // The component's debugger output, read after each action for the line
    // the helper writes when a handler threw.
    std::unique_ptr<DebugOutputTap> debugOutput_;
    // Where the component reads its routers' sizes when a real router stands
    // in for one: a copy of the installation with the router's own sizes.
    std::unique_ptr<zant::hosting::ScratchInstallation> scratch_;
    bool hasRealRouters_ = false;
    std::optional<std::string> lastReply_;
    std::map<std::string, std::string> parentSettings_;
    bool quit_ = false;
    int failedExpectations_ = 0;
    int heldExpectations_ = 0;
    int badSteps_ = 0;
};

}  // namespace zant::simulator

#endif  // SIMULATOR_SIMULATOR_H
