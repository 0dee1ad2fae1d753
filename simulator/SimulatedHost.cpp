#include "simulator/SimulatedHost.h"

#include <algorithm>

#include "hosting/CommandGrammar.h"
#include "hosting/LayoutReader.h"
#include "simulator/Words.h"

namespace zant::simulator {

using zant::hosting::HandBack;
using zant::hosting::ParsedCommand;

SimulatedHost::SimulatedHost(World& world, Trace& trace) : world_(world), trace_(trace) {}

void SimulatedHost::beginAction() {
    commands_.clear();
    parentEvents_.clear();
}

void SimulatedHost::endAction() {
    for (const auto& entry : missingNew_) {
        std::string names;
        for (const std::string& name : entry.second) names += (names.empty() ? "" : ", ") + name;
        const Panel* target = world_.panel(entry.first);
        trace_.error("panel '" + entry.first + "' (" +
                     (target == nullptr ? std::string("no layout") : target->layoutFile()) +
                     ") lacks controls that the component uses: " + names);
    }
    missingNew_.clear();
}

char* SimulatedHost::execute(const char* text, int mode) {
    if (mode == modeRelease) return release(text);
    if (mode != modeCommand) {
        trace_.error("execute with unknown mode " + std::to_string(mode));
        return nullptr;
    }
    if (text == nullptr) {
        trace_.error("execute of a null command text");
        return nullptr;
    }
    running_ = text;
    commands_.push_back(running_);
    note_.clear();
    faults_.clear();
    const size_t eventsBefore = parentEvents_.size();
    char* result = command(running_);
    std::string line = running_;
    // The reply of "PS" is only tested for null: its text is not shown.
    const zant::hosting::CommandForm* form =
        zant::hosting::CommandGrammar::find(running_.substr(0, 2));
    const HandBack handBack = form == nullptr ? HandBack::never : form->handBack;
    if (result != nullptr && handBack != HandBack::testedOnly) line += "  => " + quoted(result);
    if (result == nullptr && handBack == HandBack::once) line += "  => null";
    if (!note_.empty()) line += "   (" + note_ + ")";
    trace_.add(TraceEvent::Kind::command, line);
    if (parentEvents_.size() > eventsBefore) {
        trace_.add(TraceEvent::Kind::parentEvent, parentEvents_.back());
    }
    for (const std::string& fault : faults_) trace_.error(fault);
    return result;
}

char* SimulatedHost::release(const char* text) {
    using Outcome = zant::hosting::ReplyLedger::Outcome;
    const zant::hosting::ReplyLedger::Release released = ledger_.release(text);
    switch (released.outcome) {
        case Outcome::ok:
        case Outcome::notHandedBack:
            if (trace_.verbose())
                trace_.add(TraceEvent::Kind::handedBack,
                           "handed back: reply of " + released.command);
            break;
        case Outcome::nullReply:
            if (trace_.verbose()) trace_.add(TraceEvent::Kind::handedBack, "handed back: null");
            break;
        case Outcome::twice:
            trace_.error("the reply of \"" + released.command + "\" was handed back twice");
            break;
        case Outcome::unknown:
            trace_.error("a pointer that is no reply of the host was handed back");
            break;
    }
    return nullptr;
}

void SimulatedHost::reportOutstanding() {
    for (const std::string& command : ledger_.outstanding()) {
        trace_.error("the reply of \"" + command + "\" was never handed back");
    }
}

SimulatedHost::Handler SimulatedHost::handlerOf(const std::string& mnemonic) {
    static const std::map<std::string, Handler> handlers = {
        {"PS", &SimulatedHost::panelShow},        {"TP", &SimulatedHost::textPut},
        {"TG", &SimulatedHost::textGet},          {"CE", &SimulatedHost::enableControl},
        {"CD", &SimulatedHost::disableControl},   {"HN", &SimulatedHost::hostNotify},
        {"SD", &SimulatedHost::instanceLookup},   {"XI", &SimulatedHost::controlList},
        {"RC", &SimulatedHost::crosspoint},       {"RN", &SimulatedHost::routerName},
        {"RP", &SimulatedHost::routerPoll},       {"RR", &SimulatedHost::routerRegister},
        {"RU", &SimulatedHost::routerUnregister}, {"ET", &SimulatedHost::timer},
        {"AS", &SimulatedHost::detach},
    };
    const auto found = handlers.find(mnemonic);
    return found == handlers.end() ? nullptr : found->second;
}

char* SimulatedHost::command(const std::string& text) {
    using zant::hosting::CommandGrammar;
    zant::hosting::ParsedCommand parsed;
    const std::string error = CommandGrammar::parse(text, parsed);
    const Handler handler = parsed.form == nullptr ? nullptr : handlerOf(parsed.mnemonic);
    if (handler == nullptr) {
        fault("unknown command \"" + text + "\"");
        return nullptr;
    }
    if (!error.empty()) {
        fault("malformed command \"" + text + "\": expected " + parsed.form->usage);
        return nullptr;
    }
    // A device is resolved to its router once, for every command naming one.
    Router* router = nullptr;
    if (parsed.deviceField >= 0) {
        router = world_.installation().router(parsed.device());
        if (router == nullptr) {
            fault(parsed.mnemonic + ": " + world_.installation().noDevice(parsed.device()));
            return nullptr;
        }
    }
    return (this->*handler)(parsed, router);
}

char* SimulatedHost::detach(const ParsedCommand& /*command*/, Router* /*router*/) {
    note("the component detaches from the host");
    return nullptr;
}

char* SimulatedHost::reply(const std::string& text) {
    return ledger_.issue(running_, text);
}

void SimulatedHost::note(const std::string& text) {
    note_ = text;
}

void SimulatedHost::fault(const std::string& text) {
    faults_.push_back(text);
}

Panel::Control* SimulatedHost::control(const ParsedCommand& command) {
    const std::string& panelId = command.text(static_cast<size_t>(command.panelField));
    const std::string& controlId = command.text(static_cast<size_t>(command.controlField));
    Panel* target = world_.panel(panelId);
    if (target == nullptr) {
        if (unloadedPanels_.count(panelId) != 0) {
            note("panel '" + panelId + "' did not load");
        } else {
            fault(command.mnemonic + ": there is no panel '" + panelId + "'");
        }
        return nullptr;
    }
    Panel::Control* found = target->find(controlId);
    if (found == nullptr) {
        note("panel '" + panelId + "' has no control '" + controlId + "'");
        if (missingReported_[panelId].insert(controlId).second) {
            missingNew_[panelId].push_back(controlId);
        }
    }
    return found;
}

// Panels and controls ---------------------------------------------------------

char* SimulatedHost::panelShow(const ParsedCommand& command, Router* /*router*/) {
    const std::string& panelId = command.text(0);
    const std::string& file = command.text(1);
    Panel loaded(panelId, file);
    std::vector<zant::hosting::LayoutControl> controls;
    std::string error;
    if (!zant::hosting::LayoutReader::load(file, controls, error)) {
        note("the layout does not load");
        if (layoutError_.empty()) layoutError_ = error;
        unloadedPanels_.insert(panelId);
        return nullptr;
    }
    for (const zant::hosting::LayoutControl& read : controls) {
        Panel::Control control;
        control.kind = read.kind;
        control.name = read.name;
        control.properties = read.properties;
        // Every control starts enabled; the reader has refused duplicates.
        loaded.add(control);
    }
    world_.panels()[panelId] = loaded;
    unloadedPanels_.erase(panelId);
    missingReported_.erase(panelId);
    missingNew_.erase(panelId);
    note("panel " + panelId + " shows " + std::to_string(loaded.controls().size()) + " controls");
    return reply(panelId);
}

char* SimulatedHost::textPut(const ParsedCommand& command, Router* /*router*/) {
    const std::string& assignment = command.text(0);
    const size_t equals = assignment.find('=');
    Panel::Control* target = control(command);
    if (target != nullptr)
        target->properties[assignment.substr(0, equals)] = assignment.substr(equals + 1);
    return nullptr;
}

char* SimulatedHost::textGet(const ParsedCommand& command, Router* /*router*/) {
    if (control(command) == nullptr) return nullptr;
    const Panel& target = world_.panels()[command.text(0)];
    const std::string& property = command.text(2);
    if (property == "all") return reply(target.allProperties(command.text(1)));
    return reply(property + "=" + target.property(command.text(1), property));
}

char* SimulatedHost::enableControl(const ParsedCommand& command, Router* /*router*/) {
    enable(command, true);
    return nullptr;
}

char* SimulatedHost::disableControl(const ParsedCommand& command, Router* /*router*/) {
    enable(command, false);
    return nullptr;
}

void SimulatedHost::enable(const ParsedCommand& command, bool enabled) {
    Panel::Control* target = control(command);
    if (target != nullptr) {
        target->enabled = enabled;
        if (!enabled) target->armedForSecondPush = false;
    }
}

char* SimulatedHost::hostNotify(const ParsedCommand& command, Router* /*router*/) {
    parentEvents_.push_back(command.text(0));
    note("the parent panel receives the event \"" + command.text(0) + "\"");
    return nullptr;
}

char* SimulatedHost::instanceLookup(const ParsedCommand& command, Router* /*router*/) {
    int device = 0;
    if (!world_.installation().device(command.text(0), device)) {
        note("no instance of that name");
        return nullptr;
    }
    return reply(std::to_string(device));
}

char* SimulatedHost::controlList(const ParsedCommand& command, Router* /*router*/) {
    const std::string& panelId = command.text(0);
    Panel* target = world_.panel(panelId);
    if (target == nullptr) {
        if (unloadedPanels_.count(panelId) == 0) fault("XI: there is no panel '" + panelId + "'");
        return nullptr;
    }
    return reply(target->matching(command.text(1)));
}

// Routers -----------------------------------------------------------------------

char* SimulatedHost::crosspoint(const ParsedCommand& command, Router* router) {
    const int device = command.device();
    const int source = command.number(1);
    const int destination = command.number(2);
    std::string error;
    if (!world_.connect(device, source, destination, error)) {
        fault("RC: " + error);
        return nullptr;
    }
    std::string sourceName;
    std::string destinationName;
    router->name(Router::sourceDatabase, source, sourceName);
    router->name(Router::destinationDatabase, destination, destinationName);
    note("device " + std::to_string(device) + ": " + destinationName + " <- " + sourceName);
    return nullptr;
}

char* SimulatedHost::routerName(const ParsedCommand& command, Router* router) {
    std::string name;
    if (!router->name(command.number(1), command.number(2), name)) {
        note("no such name");
        return nullptr;
    }
    return reply(name);
}

char* SimulatedHost::routerPoll(const ParsedCommand& command, Router* router) {
    const int first = command.number(1) < 1 ? 1 : command.number(1);
    const int last = std::min(command.number(2), router->destinations());
    for (int destination = first; destination <= last; ++destination) {
        world_.pendingRevertives().push_back(
            zant_revertive_record{command.device(), 0, destination, router->source(destination)});
    }
    note(first <= last ? std::to_string(last - first + 1) + " revertives to follow"
                       : std::string("no destination in that range"));
    return nullptr;
}

char* SimulatedHost::routerRegister(const ParsedCommand& command, Router* router) {
    const bool add = command.has(3);
    router->registerRange(command.number(1), command.number(2), add);
    note("registered for " + router->registrations());
    return nullptr;
}

char* SimulatedHost::routerUnregister(const ParsedCommand& command, Router* router) {
    router->unregisterAll();
    // Revertives not yet delivered for a device the component left are dropped.
    auto& pending = world_.pendingRevertives();
    for (auto it = pending.begin(); it != pending.end();) {
        it = it->device == command.device() ? pending.erase(it) : it + 1;
    }
    return nullptr;
}

char* SimulatedHost::timer(const ParsedCommand& command, Router* /*router*/) {
    const int timer = command.number(0);
    if (command.has(1) && command.number(1) >= 1) {
        world_.clock().start(timer, command.number(1));
        note("timer " + std::to_string(timer) + " every " + std::to_string(command.number(1)) +
             " ms");
    } else {
        const bool wasRunning = world_.clock().running(timer);
        world_.clock().stop(timer);
        note("timer " + std::to_string(timer) + (wasRunning ? " stopped" : " was not running"));
    }
    return nullptr;
}

}  // namespace zant::simulator
