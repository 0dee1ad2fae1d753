// panel_host: runs a component library in a simulated panel runtime.
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "hosting/TextFile.h"
#include "platform/StopSignal.h"
#include "simulator/LineReader.h"
#include "simulator/Options.h"
#include "simulator/Simulator.h"
#include "simulator/StepParser.h"
#include "simulator/Words.h"
#if defined(PANEL_HOST_SERVE)
#include "simulator/web/BrowserPanel.h"
#include "simulator/web/WebServer.h"
#endif

namespace zant::simulator {

namespace {

constexpr int exitFailed = 1;
constexpr int exitBadInput = 2;

int badInput(const std::string& error) {
    std::cout.flush();
    std::cerr << "panel_host: " << printable(error) << "\n";
    return exitBadInput;
}

// A start that failed: a real router that could not be driven failed the
// run; anything else was bad input.
int startFailed(const Simulator& simulator, const std::string& error) {
    if (!simulator.routerFailed()) return badInput(error);
    std::cout.flush();
    std::cerr << "panel_host: " << printable(error) << "\n";
    return exitFailed;
}

// The steps of a scenario file or of piped standard input. Nothing to run is
// bad input: a run that did nothing must not pass.
bool readSteps(const std::string& name, const std::string& content,
               const ComponentMessages& messages, std::vector<Step>& steps, std::string& error) {
    if (!StepParser::parseAll(name, content, messages, steps, error)) return false;
    if (!steps.empty()) return true;
    error = name + ": no step to run";
    return false;
}

// Steps typed at a prompt: a bad line or a failed step is reported, counted
// and the session goes on; a layout that does not load ends it.
void interact(Simulator& simulator) {
    LineReader reader;
    if (LineReader::stdinIsTerminal()) {
        std::cout << "One step a line: help lists the steps and the parent messages, quit ends.\n";
    }
    std::string line;
    for (int number = 1; !simulator.quitRequested(); ++number) {
        if (!reader.read("panel_host> ", line)) {
            std::cout << "\n";
            break;
        }
        Step step;
        bool empty = false;
        std::string error;
        if (!StepParser::parse(line, "<stdin>:" + std::to_string(number), true,
                               simulator.config().messages, step, empty, error)) {
            simulator.badStep(error);
        } else if (!empty) {
            simulator.run(step);
            if (!simulator.fatalError().empty()) return;
        }
    }
}

// Destroys the component and tells how the run went, in the summary line
// and the exit status.
int finish(Simulator& simulator) {
    simulator.finish();
    std::cout << simulator.closingLine() << "\n";
    std::cout.flush();
    if (simulator.badSteps() > 0) return exitBadInput;
    return simulator.failures() == 0 ? 0 : exitFailed;
}

#if defined(PANEL_HOST_SERVE)
bool stopRequested() {
    return StopSignal::requested();
}

// --serve: the scenario first, then the browser face until SIGINT or SIGTERM;
// the component is then destroyed as a host destroys it.
int serve(const Options& options, const std::vector<Step>& steps) {
    WebServer server;
    std::string error;
    if (!server.bind(options.servePort, error)) return badInput(error);
    std::cout << "serving http://127.0.0.1:" << server.port() << "/" << std::endl;

    // The page moves the clock; the simulation itself never sleeps.
    SimulationConfig config = options.simulation;
    config.realtime = false;
    Simulator simulator(config, std::cout);
    // The page's trace begins with the component's creation.
    BrowserPanel panel(simulator, options.simulation.realtime);
    if (!simulator.start(error)) return startFailed(simulator, error);
    for (const Step& step : steps) {
        if (simulator.quitRequested() || !simulator.fatalError().empty()) break;
        simulator.run(step);
    }
    if (!simulator.fatalError().empty()) return badInput(simulator.fatalError());
    server.serve(panel, simulator, stopRequested);
    return finish(simulator);
}
#endif

}  // namespace

int run(int argc, char** argv) {
    Options options;
    std::string error;
    if (!options.parse(argc, argv, error)) return badInput(error);
    if (options.help) {
        std::cout << options.usage();
        return 0;
    }
    // Ctrl-C or SIGTERM ends the run as a host ends: the component is
    // destroyed, traced, and the exit status is the run's.
    StopSignal::install();
    options.simulation.stopRequested = StopSignal::name;

    // The whole scenario is read before anything runs: a bad line stops the
    // run before the component is created.
    std::vector<Step> steps;
    bool interactive = options.interactive;
    const bool serving = options.servePort >= 0;
    if (!options.scenario.empty()) {
        std::string content;
        if (!zant::hosting::TextFile::read(options.scenario, "scenario", content, error) ||
            !readSteps(options.scenario, content, options.simulation.messages, steps, error)) {
            return badInput(error);
        }
    } else if (!serving && LineReader::stdinIsTerminal()) {
        interactive = true;
    } else if (!serving && !interactive) {
        std::ostringstream content;
        content << std::cin.rdbuf();
        if (!readSteps("<stdin>", content.str(), options.simulation.messages, steps, error))
            return badInput(error);
    }

    if (serving) {
#if defined(PANEL_HOST_SERVE)
        return serve(options, steps);
#else
        return badInput("--serve: this build of panel_host has no browser panel");
#endif
    }

    Simulator simulator(options.simulation, std::cout);
    if (!simulator.start(error)) return startFailed(simulator, error);
    if (!simulator.fatalError().empty()) return badInput(simulator.fatalError());

    for (const Step& step : steps) {
        if (simulator.quitRequested()) break;
        simulator.run(step);
        if (!simulator.fatalError().empty()) return badInput(simulator.fatalError());
    }
    if (interactive) interact(simulator);
    if (!simulator.fatalError().empty()) return badInput(simulator.fatalError());
    return finish(simulator);
}

}  // namespace zant::simulator

int main(int argc, char** argv) {
    return zant::simulator::run(argc, argv);
}
