// Whatever an operator and a parent panel do, Take and Undo route exactly
// what the sub-panel shows for them, on the router whose names it shows, and
// never to a destination the router lacks. Seeded random sessions on two
// routers whose names differ, the panel rebuilt only from the commands the
// component sends; presses come only while the panel shows the button
// enabled, as a host delivers them.
//
// A failure prints its seed and steps; ZANT_PROPERTY_SEED=N replays seed N
// alone. The run makes 20,000 steps, a tenth of ZANT_SOAK_NOTIFICATIONS when
// that is set (the memcheck preset lowers it for valgrind).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "hosting/CommandGrammar.h"
#include "hosting/ScratchInstallation.h"
#include "panels/components/Quorvex/Quorvex.h"
#include "tests/quorvex/support/QuorvexCommands.h"
#include "tests/quorvex/support/TakePanelModel.h"
#include "validator/CheckingHost.h"
#include "validator/NotifyDriver.h"

using zant::hosting::CommandGrammar;
using zant::hosting::ParsedCommand;
using zant::validate::CheckingHost;
using zant::validate::NotifyDriver;

namespace {

constexpr int stepsPerSession = 200;

long long stepCount() {
    const char* soak = std::getenv("ZANT_SOAK_NOTIFICATIONS");
    const long long scaled = soak != nullptr ? std::strtoll(soak, nullptr, 10) / 10 : 0;
    return scaled > 0 ? scaled : 20000;
}

struct Router {
    const char* instance;
    int device;
    const char* names;  // every name starts so: the two routers' names differ
    int sources;
    int destinations;
};

const Router routers[] = {{"studio", 12, "Studio|", 16, 16}, {"news", 30, "News|", 24, 40}};
const char* const instances[] = {"studio", "news", "nowhere"};

const Router* routerOf(int device) {
    for (const Router& router : routers) {
        if (router.device == device) return &router;
    }
    return nullptr;
}

// Answers "SD" for the two routers (not "nowhere") and "RN" for every
// source and destination they have; feeds the model every command.
class TwoRouterHost : public CheckingHost {
public:
    TwoRouterHost() { setCommandRule(quorvexCommandError); }

    std::optional<std::string> replyTo(const std::string& command) override {
        std::optional<std::string> reply = answer(command);
        panel.command(command, reply);
        return reply;
    }

    TakePanelModel panel;

private:
    static std::optional<std::string> answer(const std::string& command) {
        for (const Router& router : routers) {
            if (command == std::string("SD '") + router.instance + "'") {
                return std::to_string(router.device) + " 0";
            }
        }
        ParsedCommand lookup;
        if (!CommandGrammar::parse(command, lookup).empty() || lookup.mnemonic != "RN") {
            return std::nullopt;
        }
        const int device = std::stoi(lookup.fields[0]);
        const int database = std::stoi(lookup.fields[1]);
        const int index = std::stoi(lookup.fields[2]);
        const Router* router = routerOf(device);
        if (router == nullptr || index < 1) return std::nullopt;
        if (index > (database == 0 ? router->sources : router->destinations)) return std::nullopt;
        return std::string(router->names) + (database == 0 ? "src " : "dst ") +
               std::to_string(index);
    }
};

class Session {
public:
    explicit Session(uint32_t seed) : random_(seed) {}

    // Runs `steps` random steps; returns the first broken rule, or "".
    std::string run(int steps) {
        std::unique_ptr<zant_client_callback, zant_client_deleter> component(
            new Quorvex(&host_, ""));
        NotifyDriver driver(component.get(), &host_);
        for (int step = 0; step < steps; ++step) {
            std::string error = randomStep(driver);
            if (!error.empty()) return error;
        }
        return {};
    }

    const std::vector<std::string>& steps() const { return steps_; }
    int routed(const std::string& button) { return routed_[button]; }

private:
    int pick(int count) { return static_cast<int>(random_() % static_cast<uint32_t>(count)); }
    int between(int low, int high) { return low + pick(high - low + 1); }
    int largest(bool sources) const {
        return sources ? routers[1].sources : routers[1].destinations;
    }

    std::string randomStep(NotifyDriver& driver) {
        const TakePanelModel before = host_.panel;
        std::string button;
        switch (pick(10)) {
            case 0:
                message(driver, std::string("instance=") + instances[pick(3)]);
                break;
            case 1:
            case 2:
                message(driver, "sourceID=" + std::to_string(between(-1, largest(true) + 2)));
                break;
            case 3:
            case 4:
                message(driver, "destID=" + std::to_string(between(-1, largest(false) + 2)));
                break;
            case 5:
            case 6:
                button = pick(3) == 0 ? "Undo" : "Take";
                if (!before.enabled(button)) button = "Deselect";
                if (button == "Deselect" && pick(3) != 0) button.clear();
                break;
            case 7:
                steps_.push_back("tick");
                driver.tick(2);
                break;
            default: {
                const Router& router = routers[pick(2)];
                const int destination = between(1, router.destinations);
                const int source = between(1, router.sources);
                steps_.push_back("revertive " + std::to_string(router.device) + " " +
                                 std::to_string(destination) + " " + std::to_string(source));
                driver.revertive(router.device, destination, source);
            }
        }
        if (!button.empty()) {
            steps_.push_back("press " + button);
            driver.press("1", button.c_str(), "press");
        }
        return check(before, button);
    }

    void message(NotifyDriver& driver, const std::string& text) {
        steps_.push_back("message " + text);
        driver.message(text.c_str());
    }

    std::string check(const TakePanelModel& before, const std::string& button) {
        if (!host_.violations().empty()) return host_.violations().front();
        const std::vector<TakePanelModel::Crosspoint> sent = host_.panel.takeCrosspoints();
        const bool routes = button == "Take" || button == "Undo";
        if (sent.size() != (routes ? 1u : 0u)) {
            return (routes ? "the press of an enabled " + button + " sent "
                           : std::string("a step without a press of Take or Undo sent ")) +
                   std::to_string(sent.size()) + " crosspoints";
        }
        if (!routes) return {};
        ++routed_[button];
        const TakePanelModel::Crosspoint& crosspoint = sent.front();
        const Router* router = routerOf(crosspoint.device);
        if (button == "Take" && router != nullptr &&
            crosspoint.destination > router->destinations) {
            return "Take to destination " + std::to_string(crosspoint.destination) +
                   " beyond the router";
        }
        return before.routeError(button, crosspoint);
    }

    std::mt19937 random_;
    TwoRouterHost host_;
    std::vector<std::string> steps_;
    std::map<std::string, int> routed_;
};

TEST(TakeUndoProperty, EveryPressRoutesWhatThePanelShowsOnItsRouter) {
    zant::hosting::ScratchInstallation installation;
    for (const Router& router : routers)
        installation.writeRouter(router.device, router.destinations);

    const char* replay = std::getenv("ZANT_PROPERTY_SEED");
    const long long sessions =
        replay != nullptr ? 1 : (stepCount() + stepsPerSession - 1) / stepsPerSession;
    int takes = 0;
    int undos = 0;
    for (long long number = 1; number <= sessions; ++number) {
        const uint32_t seed = replay != nullptr
                                  ? static_cast<uint32_t>(std::strtoul(replay, nullptr, 10))
                                  : static_cast<uint32_t>(number);
        Session session(seed);
        const std::string error = session.run(stepsPerSession);
        takes += session.routed("Take");
        undos += session.routed("Undo");
        if (error.empty()) continue;
        std::ostringstream steps;
        for (const std::string& step : session.steps()) steps << "\n  " << step;
        FAIL() << error << "\nseed " << seed << " (replay: ZANT_PROPERTY_SEED=" << seed
               << "), steps:" << steps.str();
    }
    // The sessions reach both buttons, not only the refusals.
    EXPECT_GT(takes, 0);
    EXPECT_GT(undos, 0);
}

}  // namespace
