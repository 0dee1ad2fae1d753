#include "simulator/SimulatedHost.h"

#include "hosting/CommandGrammar.h"
#include "hosting/LayoutReader.h"
#include "simulator/Words.h"

namespace zant::simulator {

using zant::hosting::HandBack;

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
    const CommandText parsed(text);
    commands_.push_back(parsed.text());
    note_.clear();
    faults_.clear();
    const size_t eventsBefore = parentEvents_.size();
    char* result = command(parsed);
    std::string line = parsed.text();
    // The reply of "PS" is only tested for null: its text is not shown.
    const zant::hosting::CommandForm* form = zant::hosting::CommandGrammar::find(parsed.mnemonic());
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

char* SimulatedHost::command(const CommandText& command) {
    // The grammar says which mnemonics exist; each has its handler here.
    using Handler = char* (SimulatedHost::*)(const CommandText&);
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
    const auto handler = handlers.find(command.mnemonic());
    if (zant::hosting::CommandGrammar::find(command.mnemonic()) == nullptr ||
        handler == handlers.end()) {
        fault("unknown command \"" + command.text() + "\"");
        return nullptr;
    }
    return (this->*handler->second)(command);
}

char* SimulatedHost::detach(const CommandText& command) {
    // "AS" takes no field; anything after it makes another, unknown command.
    if (command.text() != "AS") {
        fault("unknown command \"" + command.text() + "\"");
        return nullptr;
    }
    note("the component detaches from the host");
    return nullptr;
}

char* SimulatedHost::reply(const CommandText& command, const std::string& text) {
    return ledger_.issue(command.text(), text);
}

void SimulatedHost::malformed(const CommandText& command) {
    fault("malformed command \"" + command.text() + "\": expected " +
          zant::hosting::CommandGrammar::find(command.mnemonic())->usage);
}

void SimulatedHost::note(const std::string& text) {
    note_ = text;
}

void SimulatedHost::fault(const std::string& text) {
    faults_.push_back(text);
}

Panel::Control* SimulatedHost::control(const CommandText& command, const std::string& panelId,
                                       const std::string& controlId) {
    Panel* target = world_.panel(panelId);
    if (target == nullptr) {
        if (unloadedPanels_.count(panelId) != 0) {
            note("panel '" + panelId + "' did not load");
        } else {
            fault(command.mnemonic() + ": there is no panel '" + panelId + "'");
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

Router* SimulatedHost::router(const CommandText& command, int device) {
    Router* found = world_.installation().router(device);
    if (found == nullptr) {
        fault(command.mnemonic() + ": " + world_.installation().noDevice(device));
    }
    return found;
}

// Panels and controls ---------------------------------------------------------

char* SimulatedHost::panelShow(const CommandText& command) {
    std::vector<std::string> fields;
    if (!command.quotedFields(0, 0, fields) || fields.size() < 2 || fields.size() > 3) {
        malformed(command);
        return nullptr;
    }
    Panel loaded(fields[0], fields[1]);
    std::vector<zant::hosting::LayoutControl> controls;
    std::string error;
    if (!zant::hosting::LayoutReader::load(fields[1], controls, error)) {
        note("the layout does not load");
        if (layoutError_.empty()) layoutError_ = error;
        unloadedPanels_.insert(fields[0]);
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
    world_.panels()[fields[0]] = loaded;
    unloadedPanels_.erase(fields[0]);
    missingReported_.erase(fields[0]);
    missingNew_.erase(fields[0]);
    note("panel " + fields[0] + " shows " + std::to_string(loaded.controls().size()) + " controls");
    return reply(command, fields[0]);
}

char* SimulatedHost::textPut(const CommandText& command) {
    std::vector<std::string> fields;
    if (!command.quotedFields(3, 0, fields)) {
        malformed(command);
        return nullptr;
    }
    const size_t equals = fields[0].find('=');
    if (equals == std::string::npos || equals == 0) {
        malformed(command);
        return nullptr;
    }
    Panel::Control* target = control(command, fields[1], fields[2]);
    if (target != nullptr)
        target->properties[fields[0].substr(0, equals)] = fields[0].substr(equals + 1);
    return nullptr;
}

char* SimulatedHost::textGet(const CommandText& command) {
    std::vector<std::string> fields;
    if (!command.quotedFields(3, 2, fields)) {
        malformed(command);
        return nullptr;
    }
    if (control(command, fields[0], fields[1]) == nullptr) return nullptr;
    const Panel& target = world_.panels()[fields[0]];
    if (fields[2] == "all") return reply(command, target.allProperties(fields[1]));
    return reply(command, fields[2] + "=" + target.property(fields[1], fields[2]));
}

char* SimulatedHost::enableControl(const CommandText& command) {
    return enable(command, true);
}

char* SimulatedHost::disableControl(const CommandText& command) {
    return enable(command, false);
}

char* SimulatedHost::enable(const CommandText& command, bool enabled) {
    std::vector<std::string> fields;
    if (!command.quotedFields(2, 1, fields)) {
        malformed(command);
        return nullptr;
    }
    Panel::Control* target = control(command, fields[0], fields[1]);
    if (target != nullptr) {
        target->enabled = enabled;
        if (!enabled) target->armedForSecondPush = false;
    }
    return nullptr;
}

char* SimulatedHost::hostNotify(const CommandText& command) {
    std::vector<std::string> fields;
    if (!command.quotedFields(1, 0, fields)) {
        malformed(command);
        return nullptr;
    }
    parentEvents_.push_back(fields[0]);
    note("the parent panel receives the event \"" + fields[0] + "\"");
    return nullptr;
}

char* SimulatedHost::instanceLookup(const CommandText& command) {
    std::vector<std::string> fields;
    if (!command.quotedFields(1, 0, fields)) {
        malformed(command);
        return nullptr;
    }
    int device = 0;
    if (!world_.installation().device(fields[0], device)) {
        note("no instance of that name");
        return nullptr;
    }
    return reply(command, std::to_string(device));
}

char* SimulatedHost::controlList(const CommandText& command) {
    std::vector<std::string> fields;
    if (!command.quotedFields(2, 1, fields)) {
        malformed(command);
        return nullptr;
    }
    Panel* target = world_.panel(fields[0]);
    if (target == nullptr) {
        if (unloadedPanels_.count(fields[0]) == 0)
            fault("XI: there is no panel '" + fields[0] + "'");
        return nullptr;
    }
    return reply(command, target->matching(fields[1]));
}

// Routers -----------------------------------------------------------------------

char* SimulatedHost::crosspoint(const CommandText& command) {
    // RC device source destination ',extra' flag
    const std::string& rest = command.rest();
    const size_t quote = rest.find('\'');
    const size_t lastSpace = rest.rfind(' ');
    std::vector<int> numbers;
    if (quote == std::string::npos || lastSpace == std::string::npos || lastSpace < quote ||
        !CommandText("RC " + rest.substr(0, quote == 0 ? 0 : quote - 1)).numbers(numbers) ||
        numbers.size() != 3) {
        malformed(command);
        return nullptr;
    }
    const std::string extra = rest.substr(quote, lastSpace - quote);
    const std::string flag = rest.substr(lastSpace + 1);
    if (extra.size() < 3 || extra[1] != ',' || extra.back() != '\'' ||
        (flag != "0" && flag != "1")) {
        malformed(command);
        return nullptr;
    }
    std::string error;
    if (!world_.connect(numbers[0], numbers[1], numbers[2], error)) {
        fault("RC: " + error);
        return nullptr;
    }
    std::string sourceName;
    std::string destinationName;
    Router* target = world_.installation().router(numbers[0]);
    target->name(Router::sourceDatabase, numbers[1], sourceName);
    target->name(Router::destinationDatabase, numbers[2], destinationName);
    note("device " + std::to_string(numbers[0]) + ": " + destinationName + " <- " + sourceName);
    return nullptr;
}

char* SimulatedHost::routerName(const CommandText& command) {
    std::vector<int> numbers;
    if (!command.numbers(numbers) || numbers.size() != 3) {
        malformed(command);
        return nullptr;
    }
    Router* target = router(command, numbers[0]);
    if (target == nullptr) return nullptr;
    std::string name;
    if (!target->name(numbers[1], numbers[2], name)) {
        note("no such name");
        return nullptr;
    }
    return reply(command, name);
}

char* SimulatedHost::routerPoll(const CommandText& command) {
    std::vector<int> numbers;
    if (!command.numbers(numbers) || numbers.size() != 3) {
        malformed(command);
        return nullptr;
    }
    Router* target = router(command, numbers[0]);
    if (target == nullptr) return nullptr;
    const int first = numbers[1] < 1 ? 1 : numbers[1];
    const int last = numbers[2] > target->destinations() ? target->destinations() : numbers[2];
    for (int destination = first; destination <= last; ++destination) {
        world_.pendingRevertives().push_back(
            zant_revertive_record{numbers[0], 0, destination, target->source(destination)});
    }
    note(first <= last ? std::to_string(last - first + 1) + " revertives to follow"
                       : std::string("no destination in that range"));
    return nullptr;
}

char* SimulatedHost::routerRegister(const CommandText& command) {
    std::string rest = command.rest();
    const std::string addField = " 'ADD'";
    const bool add = rest.size() > addField.size() &&
                     rest.compare(rest.size() - addField.size(), addField.size(), addField) == 0;
    if (add) rest.erase(rest.size() - addField.size());
    std::vector<int> numbers;
    if (!CommandText("RR " + rest).numbers(numbers) || numbers.size() != 3) {
        malformed(command);
        return nullptr;
    }
    Router* target = router(command, numbers[0]);
    if (target == nullptr) return nullptr;
    target->registerRange(numbers[1], numbers[2], add);
    note("registered for " + target->registrations());
    return nullptr;
}

char* SimulatedHost::routerUnregister(const CommandText& command) {
    std::vector<int> numbers;
    if (!command.numbers(numbers) || numbers.size() != 1) {
        malformed(command);
        return nullptr;
    }
    Router* target = router(command, numbers[0]);
    if (target == nullptr) return nullptr;
    target->unregisterAll();
    // Revertives not yet delivered for a device the component left are dropped.
    for (auto it = world_.pendingRevertives().begin(); it != world_.pendingRevertives().end();) {
        it = it->device == numbers[0] ? world_.pendingRevertives().erase(it) : it + 1;
    }
    return nullptr;
}

char* SimulatedHost::timer(const CommandText& command) {
    std::vector<int> numbers;
    if (!command.numbers(numbers) || numbers.empty() || numbers.size() > 2) {
        malformed(command);
        return nullptr;
    }
    if (numbers.size() == 2 && numbers[1] >= 1) {
        world_.clock().start(numbers[0], numbers[1]);
        note("timer " + std::to_string(numbers[0]) + " every " + std::to_string(numbers[1]) +
             " ms");
    } else {
        const bool wasRunning = world_.clock().running(numbers[0]);
        world_.clock().stop(numbers[0]);
        note("timer " + std::to_string(numbers[0]) +
             (wasRunning ? " stopped" : " was not running"));
    }
    return nullptr;
}

}  // namespace zant::simulator
