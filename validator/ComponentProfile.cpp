#include "validator/ComponentProfile.h"

#include <sstream>

#include "hosting/CommandGrammar.h"
#include "hosting/LayoutReader.h"
#include "validator/NotifyDriver.h"
#include "validator/ValidatorHost.h"

namespace zant::validate {

using zant::hosting::CommandGrammar;
using zant::hosting::ParsedCommand;

namespace {

constexpr size_t maxNames = 64;
constexpr size_t maxNameLength = 64;

bool usableName(const std::string& name) {
    if (name.empty() || name.size() > maxNameLength) return false;
    for (char c : name) {
        if (static_cast<unsigned char>(c) < 32) return false;
    }
    return true;
}

void add(std::set<std::string>& names, const std::string& name) {
    if (names.size() < maxNames && usableName(name)) names.insert(name);
}

void add(std::map<std::string, MessageValues::Shape>& messages, const std::string& name) {
    if (messages.size() < maxNames && usableName(name)) messages.emplace(name, std::nullopt);
}

void add(std::set<int>& numbers, const std::string& text) {
    if (numbers.size() < maxNames) numbers.insert(std::stoi(text));
}

// A host that learns the names of every command it is sent, and reads the
// layouts that "PS" names unless one was given.
class ProbeHost : public ValidatorHost {
public:
    ProbeHost(ComponentProfile& profile, const std::set<std::string>& layout)
        : ValidatorHost(Replies::plausible, layout, nullptr),
          profile_(profile),
          readsLayouts_(layout.empty()) {}

protected:
    void onCommand(const std::string& command) override {
        profile_.learn(command);
        ParsedCommand shaped;
        if (!readsLayouts_ || !CommandGrammar::parse(command, shaped).empty() ||
            shaped.mnemonic != "PS" || profile_.layoutFiles.count(shaped.fields[1]) != 0) {
            return;
        }
        std::vector<zant::hosting::LayoutControl> read;
        std::string error;
        if (!zant::hosting::LayoutReader::load(shaped.fields[1], read, error)) {
            if (profile_.layoutProblem.empty()) profile_.layoutProblem = error;
            return;
        }
        profile_.layoutFiles.insert(shaped.fields[1]);
        for (const zant::hosting::LayoutControl& control : read) {
            profile_.layoutControls.insert(control.name);
            profile_.controls.insert(control.name);
        }
    }

private:
    ComponentProfile& profile_;
    bool readsLayouts_;
};

}  // namespace

void ComponentProfile::learn(const std::string& command) {
    ParsedCommand shaped;
    if (!CommandGrammar::parse(command, shaped).empty()) return;
    if (shaped.panelField >= 0) add(panels, shaped.fields[shaped.panelField]);
    if (shaped.controlField >= 0) add(controls, shaped.fields[shaped.controlField]);
    if (shaped.mnemonic == "ET") add(timers, shaped.fields[0]);
    if (shaped.mnemonic == "RR" || shaped.mnemonic == "RP" || shaped.mnemonic == "RN" ||
        shaped.mnemonic == "RU" || shaped.mnemonic == "RC") {
        add(devices, shaped.fields[0]);
    }
}

std::vector<std::string> ComponentProfile::listItems(const std::string& reply) {
    std::vector<std::string> items;
    std::istringstream lines(reply);
    for (std::string line; std::getline(lines, line);) {
        items.push_back(line.substr(0, line.find('=')));
    }
    return items;
}

void ComponentProfile::declare(const std::vector<zant::hosting::MessageDeclaration>& declared) {
    for (const zant::hosting::MessageDeclaration& message : declared)
        messages[message.name] = message.shape;
}

ComponentProfile ComponentProfile::probe(
    zant_load_function entry, const std::string& path, const std::set<std::string>& layout,
    const std::vector<zant::hosting::MessageDeclaration>& declared, Stage stage) {
    ComponentProfile profile;
    profile.declare(declared);
    profile.controls = layout;
    profile.layoutControls = layout;
    ProbeHost host(profile, layout);
    zant_client_callback* component = entry(&host, path.c_str());
    if (component == nullptr) return profile;
    if (stage != Stage::construction) {
        NotifyDriver driver(component, &host);
        for (const std::string& item : listItems(driver.message("_commands"))) {
            add(profile.messages, item);
        }
        for (const std::string& item : listItems(driver.message("_events"))) {
            add(profile.events, item);
        }
        // What the messages and presses send names more controls and timers.
        if (stage != Stage::lists) {
            for (const auto& [name, shape] : profile.messages)
                driver.message(MessageValues::ordinary(name, shape).c_str());
        }
        if (stage == Stage::presses) {
            const std::set<std::string> controls = profile.controls;
            const std::string panel = profile.panels.empty() ? "1" : *profile.panels.begin();
            for (const std::string& control : controls)
                driver.press(panel.c_str(), control.c_str());
            const std::set<int> timers = profile.timers;
            for (int timer : timers) driver.tick(timer);
        }
    }
    zant_destroy_client(component);
    return profile;
}

std::string ComponentProfile::serialize() const {
    std::string text;
    const auto names = [&](const char* kind, const std::set<std::string>& set) {
        for (const std::string& name : set) text += std::string(kind) + ' ' + name + '\n';
    };
    const auto numbers = [&](const char* kind, const std::set<int>& set) {
        for (int number : set) text += std::string(kind) + ' ' + std::to_string(number) + '\n';
    };
    names("panel", panels);
    names("control", controls);
    for (const auto& message : messages) text += "message " + message.first + '\n';
    names("event", events);
    numbers("timer", timers);
    numbers("device", devices);
    names("layout-file", layoutFiles);
    names("layout-control", layoutControls);
    if (!layoutProblem.empty()) text += "layout-problem " + layoutProblem + '\n';
    return text;
}

ComponentProfile ComponentProfile::parse(const std::string& text) {
    ComponentProfile profile;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        // From a child process on Windows, text mode ends lines with CR LF.
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t space = line.find(' ');
        if (space == std::string::npos) continue;
        const std::string kind = line.substr(0, space);
        const std::string name = line.substr(space + 1);
        if (kind == "panel") profile.panels.insert(name);
        if (kind == "control") profile.controls.insert(name);
        if (kind == "message") profile.messages.emplace(name, std::nullopt);
        if (kind == "event") profile.events.insert(name);
        if (kind == "timer") profile.timers.insert(std::stoi(name));
        if (kind == "device") profile.devices.insert(std::stoi(name));
        if (kind == "layout-file") profile.layoutFiles.insert(name);
        if (kind == "layout-control") profile.layoutControls.insert(name);
        if (kind == "layout-problem") profile.layoutProblem = name;
    }
    return profile;
}

std::string ComponentProfile::exercised() const {
    std::set<int> routers = devices;
    routers.insert(ValidatorHost::device);
    return std::to_string(controls.size()) + " controls pressed (" +
           std::to_string(layoutControls.size()) + " from the layout), " +
           std::to_string(messages.size()) + " messages sent, " + std::to_string(timers.size()) +
           " timers ticked, revertives of " + std::to_string(routers.size()) + " devices";
}

std::vector<Step> ComponentProfile::tour() const {
    std::vector<Step> steps = {Step::message("_events"), Step::message("_commands")};
    for (const auto& [name, shape] : messages)
        steps.push_back(Step::message(MessageValues::ordinary(name, shape)));
    const std::string panel = panels.empty() ? "1" : *panels.begin();
    for (const std::string& control : controls) {
        steps.push_back(Step::press(panel, control, std::string("1")));
    }
    for (int timer : timers) steps.push_back(Step::tick(timer));
    std::set<int> routers = devices;
    routers.insert(ValidatorHost::device);
    for (int device : routers) {
        for (int index = 0; index < 4; ++index) steps.push_back(Step::revertive(device, index, 1));
    }
    for (const auto& [name, shape] : messages)
        steps.push_back(Step::message(MessageValues::ordinary(name, shape, true)));
    return steps;
}

}  // namespace zant::validate
