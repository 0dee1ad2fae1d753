// panel_host: runs a component library in a simulated panel runtime.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

#include "simulator/Options.h"
#include "simulator/Simulator.h"
#include "simulator/StepParser.h"

namespace {

constexpr int exitFailed = 1;
constexpr int exitBadInput = 2;

bool stdinIsTerminal() {
#if defined(_WIN32)
    return _isatty(_fileno(stdin)) != 0;
#else
    return isatty(fileno(stdin)) != 0;
#endif
}

int badInput(const std::string& error) {
    std::cerr << "panel_host: " << error << "\n";
    return exitBadInput;
}

bool readScenario(const std::string& path, std::string& content, std::string& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = path + ": cannot open the scenario";
        return false;
    }
    std::ostringstream text;
    text << file.rdbuf();
    content = text.str();
    return true;
}

// Steps typed at a prompt: a bad line or a failed step is reported and the
// session goes on.
void interact(Simulator& simulator) {
    std::string line;
    for (int number = 1; !simulator.quitRequested(); ++number) {
        std::cout << "panel_host> " << std::flush;
        if (!std::getline(std::cin, line)) {
            std::cout << "\n";
            break;
        }
        Step step;
        bool empty = false;
        std::string error;
        if (!StepParser::parse(line, "<stdin>:" + std::to_string(number), step, empty, error)) {
            std::cout << "error: " << error << "\n";
        } else if (!empty) {
            simulator.run(step);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    std::string error;
    if (!options.parse(argc, argv, error)) return badInput(error);
    if (options.help) {
        std::cout << Options::usage();
        return 0;
    }

    // The whole scenario is read before anything runs: a bad line stops the
    // run before the component is created.
    std::vector<Step> steps;
    bool interactive = options.interactive;
    if (!options.scenario.empty()) {
        std::string content;
        if (!readScenario(options.scenario, content, error) ||
            !StepParser::parseAll(options.scenario, content, steps, error)) {
            return badInput(error);
        }
    } else if (stdinIsTerminal()) {
        interactive = true;
    } else if (!interactive) {
        std::ostringstream content;
        content << std::cin.rdbuf();
        if (!StepParser::parseAll("<stdin>", content.str(), steps, error)) return badInput(error);
    }

    Simulator simulator(options, std::cout);
    if (!simulator.start(error)) return badInput(error);
    if (!simulator.fatalError().empty() && !interactive) return badInput(simulator.fatalError());

    for (const Step& step : steps) {
        if (simulator.quitRequested()) break;
        simulator.run(step);
        if (!simulator.fatalError().empty()) return badInput(simulator.fatalError());
    }
    if (interactive) interact(simulator);
    simulator.finish();
    std::cout.flush();
    if (interactive && options.scenario.empty()) return 0;
    return simulator.failures() == 0 ? 0 : exitFailed;
}
