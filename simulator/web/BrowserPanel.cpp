#include "simulator/web/BrowserPanel.h"

#include <algorithm>
#include <cctype>

#include <nlohmann/json.hpp>

#include "simulator/StepParser.h"
#include "simulator/TextTrace.h"
#include "simulator/VirtualClock.h"
#include "simulator/Words.h"

namespace zant::simulator {

using nlohmann::json;
using zant::hosting::MessageShape;
using zant::hosting::MessagesReader;

namespace {

const char* kindName(TraceEvent::Kind kind) {
    using Kind = TraceEvent::Kind;
    switch (kind) {
        case Kind::action:
            return "action";
        case Kind::tick:
            return "tick";
        case Kind::revertive:
            return "revertive";
        case Kind::command:
            return "command";
        case Kind::reply:
            return "reply";
        case Kind::push:
            return "push";
        case Kind::handedBack:
            return "handed-back";
        case Kind::parentEvent:
            return "event";
        case Kind::held:
            return "held";
        case Kind::failed:
            return "failed";
        case Kind::drawing:
            return "drawing";
        case Kind::error:
            return "error";
        case Kind::note:
            return "note";
        case Kind::help:
            return "help";
        case Kind::badStep:
            return "bad-step";
    }
    return "";
}

bool sameLetters(const std::string& text, const char* word) {
    const std::string other = word;
    return text.size() == other.size() &&
           std::equal(text.begin(), text.end(), other.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == b;
           });
}

// Why the component would ignore `value` for a message whose values are of
// the declared `shape`; empty when it takes it.
std::string refusedValue(MessageShape shape, const std::string& value) {
    int number = 0;
    const bool index = shape == MessageShape::source || shape == MessageShape::destination;
    if (index && !parseInteger(value, number)) return "an index is a whole number";
    if (shape == MessageShape::boolean && !sameLetters(value, "true") &&
        !sameLetters(value, "false")) {
        return "the value is true or false";
    }
    if (shape == MessageShape::all && value != "all") return "the only value is all";
    return std::string();
}

json messagesState(const ComponentMessages& messages) {
    json declared = json::array();
    for (const ComponentMessages::Message& message : messages.messages()) {
        declared.push_back({{"name", message.name},
                            {"shape", MessagesReader::shapeName(message.shape)},
                            {"description", message.description}});
    }
    return declared;
}

bool hasControlCharacter(const std::string& text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return true;
    }
    return false;
}

// The member `name` of `request` as a string or an integer; false when it is
// missing or of another type.
bool member(const json& request, const char* name, std::string& value) {
    const auto found = request.find(name);
    if (found == request.end() || !found->is_string()) return false;
    value = found->get<std::string>();
    return true;
}

bool member(const json& request, const char* name, int64_t& value) {
    const auto found = request.find(name);
    if (found == request.end() || !found->is_number_integer()) return false;
    value = found->get<int64_t>();
    return true;
}

json routerState(const Router& router) {
    json sources = json::array();
    json destinations = json::array();
    for (int index = 1; index <= router.sources(); ++index) {
        std::string name;
        router.name(Router::sourceDatabase, index, name);
        sources.push_back({{"index", index}, {"name", name}});
    }
    for (int index = 1; index <= router.destinations(); ++index) {
        std::string name;
        router.name(Router::destinationDatabase, index, name);
        json destination = {{"index", index}, {"name", name}, {"source", router.source(index)}};
        // U unlocked, O locked by this host, L by another client.
        switch (router.lock(index)) {
            case routers::Lock::none:
                break;
            case routers::Lock::unlocked:
                destination["lock"] = "U";
                break;
            case routers::Lock::ours:
                destination["lock"] = "O";
                break;
            case routers::Lock::theirs:
                destination["lock"] = "L";
                break;
        }
        if (router.levelsDisagree(index)) destination["levels"] = "disagree";
        destinations.push_back(destination);
    }
    json state = {{"device", router.device()},
                  {"sources", sources},
                  {"destinations", destinations},
                  {"registered", router.registrations()}};
    // A real router: where it is and whether the connection holds.
    const std::string connection = router.connection();
    if (!connection.empty()) state["connection"] = connection;
    return state;
}

json panelState(const Panel& panel, int64_t now) {
    json controls = json::array();
    for (const Panel::Control& control : panel.controls()) {
        controls.push_back({{"name", control.name},
                            {"kind", control.kind},
                            {"enabled", control.enabled},
                            {"properties", control.properties},
                            {"doublePush", control.doublePush()},
                            {"waitsForSecond", Panel::waitsForSecond(control, now)}});
    }
    return {{"id", panel.id()}, {"controls", controls}};
}

}  // namespace

BrowserPanel::BrowserPanel(Simulator& simulator, bool realtime)
    : simulator_(simulator), realtime_(realtime) {
    simulator_.trace().subscribe(this);
}

BrowserPanel::~BrowserPanel() {
    simulator_.trace().unsubscribe(this);
}

void BrowserPanel::onEvent(const TraceEvent& event) {
    recent_.push_back(Entry{++sequence_, event});
    if (recent_.size() > recentEvents) recent_.pop_front();
    if (collecting_ && event.kind == TraceEvent::Kind::error) stepErrors_.push_back(event.text);
}

BrowserPanel::Answer BrowserPanel::refuse(int status, const std::string& error) {
    simulator_.badStep("browser: " + error);
    simulator_.trace().flush();
    return Answer{status, json{{"ok", false}, {"error", error}}.dump(
                              -1, ' ', false, json::error_handler_t::replace)};
}

BrowserPanel::Answer BrowserPanel::refuse(const std::string& error) {
    return refuse(400, error);
}

BrowserPanel::Answer BrowserPanel::perform(const std::string& line) {
    Step step;
    bool empty = false;
    std::string error;
    if (!StepParser::parse(line, "", false, simulator_.config().messages, step, empty, error)) {
        return refuse(error);
    }
    step.where = "browser";
    stepErrors_.clear();
    collecting_ = true;
    simulator_.run(step);
    collecting_ = false;
    simulator_.trace().flush();
    if (stepErrors_.empty()) return Answer{200, json{{"ok", true}}.dump()};
    std::string errors;
    for (const std::string& error : stepErrors_) errors += (errors.empty() ? "" : "; ") + error;
    return Answer{422, json{{"ok", false}, {"error", errors}}.dump()};
}

BrowserPanel::Answer BrowserPanel::handle(const std::string& text) {
    if (text.size() > largestRequest) {
        return refuse(
            413, "the request is larger than " + std::to_string(largestRequest / 1024) + " KiB");
    }
    const json request = json::parse(text, nullptr, false);
    if (request.is_discarded() || !request.is_object()) {
        return refuse("malformed request: expected a JSON object");
    }
    std::string action;
    if (!member(request, "do", action)) return refuse("malformed request: no \"do\"");
    if (action == "message") {
        std::string name;
        std::string value;
        if (!member(request, "name", name) || !member(request, "value", value)) {
            return refuse("malformed request: a message has a \"name\" and a \"value\"");
        }
        // A component that declares no messages takes any: the page then
        // offers a free-form message.
        const ComponentMessages& messages = simulator_.config().messages;
        const ComponentMessages::Message* message = messages.find(name);
        if (message == nullptr && !messages.messages().empty()) {
            return refuse(404, "the component has no message \"" + name + "\"");
        }
        if (name.empty() || name.find('=') != std::string::npos || hasControlCharacter(name)) {
            return refuse("a message name is not empty and holds no '=' or control character");
        }
        const MessageShape shape = message == nullptr ? MessageShape::text : message->shape;
        int device = 0;
        if (shape == MessageShape::instance &&
            !simulator_.world().installation().device(value, device)) {
            return refuse(
                404, name + "=" + value + ": the installation has no instance \"" + value + "\"");
        }
        if (hasControlCharacter(value)) {
            return refuse("the value of " + name + " holds a control character");
        }
        const std::string refused = refusedValue(shape, value);
        if (!refused.empty()) return refuse(name + "=" + value + ": " + refused);
        // A message without a value goes as the bare name, as a parent sends it.
        const bool bare = value.empty() && (message == nullptr || shape == MessageShape::none);
        return perform("message " + (bare ? name : name + "=" + value));
    }
    if (action == "press") {
        std::string name;
        if (!member(request, "control", name)) {
            return refuse("malformed request: a press names a \"control\"");
        }
        const Panel* panel = simulator_.world().panel(Simulator::pressedPanel);
        const Panel::Control* control = panel == nullptr ? nullptr : panel->find(name);
        if (control == nullptr || control->kind != "button") {
            return refuse(404, "panel 1 has no button \"" + name + "\"");
        }
        return perform("press " + name);
    }
    if (action == "wait") {
        int64_t milliseconds = 0;
        if (!member(request, "ms", milliseconds)) {
            return refuse("malformed request: a wait takes \"ms\", a whole number");
        }
        return perform("wait " + std::to_string(milliseconds) + "ms");
    }
    if (action == "route") {
        int64_t numbers[3] = {0, 0, 0};
        if (!member(request, "device", numbers[0]) || !member(request, "source", numbers[1]) ||
            !member(request, "destination", numbers[2])) {
            return refuse(
                "malformed request: a route has a \"device\", \"source\" and "
                "\"destination\"");
        }
        return perform("route " + std::to_string(numbers[0]) + " " + std::to_string(numbers[1]) +
                       " " + std::to_string(numbers[2]));
    }
    if (action == "realtime") {
        const auto on = request.find("on");
        if (on == request.end() || !on->is_boolean()) {
            return refuse("malformed request: realtime takes \"on\": true or false");
        }
        realtime_ = on->get<bool>();
        return perform(realtime_ ? "note the clock runs in real time"
                                 : "note the clock moves only when told to");
    }
    return refuse("unknown request \"" + action + "\"");
}

std::string BrowserPanel::state() const {
    const World& world = simulator_.world();
    const int64_t now = world.clock().now();
    json panels = json::array();
    for (const auto& panel : world.panels()) panels.push_back(panelState(panel.second, now));
    json routers = json::array();
    for (const auto& router : world.installation().routers()) {
        routers.push_back(routerState(*router.second));
    }
    json instances = json::array();
    for (const auto& instance : world.installation().instances()) {
        instances.push_back({{"name", instance.first}, {"device", instance.second}});
    }
    json styles = json::object();
    for (const auto& style : world.installation().styles()) {
        styles[style.first] = {{"background", style.second.background},
                               {"text", style.second.text}};
    }
    json trace = json::array();
    for (const Entry& entry : recent_) {
        // The text trace shows an event for the parent inside its command's
        // line; the page gives it a line of its own.
        const std::string line = entry.event.kind == TraceEvent::Kind::parentEvent
                                     ? "    event for the parent: " + entry.event.text
                                     : TextTrace::format(entry.event);
        if (line.empty()) continue;
        trace.push_back(
            {{"sequence", entry.sequence}, {"kind", kindName(entry.event.kind)}, {"line", line}});
    }
    const json state = {{"time", now},
                        {"stamp", VirtualClock::stampOf(now)},
                        {"realtime", realtime_},
                        {"secondPushWindow", Panel::secondPushWindow},
                        {"panels", panels},
                        {"routers", routers},
                        {"instances", instances},
                        {"styles", styles},
                        {"messages", messagesState(simulator_.config().messages)},
                        {"parent", simulator_.parentSettings()},
                        {"trace", trace},
                        {"summary", simulator_.summary()}};
    // Text from the component or the installation may hold any byte.
    return state.dump(-1, ' ', false, json::error_handler_t::replace);
}

}  // namespace zant::simulator
