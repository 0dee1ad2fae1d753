#include "simulator/Simulator.h"

#include <cstdint>
#include <cstdlib>

#include "simulator/ButtonMessage.h"

namespace {

const char* const componentPanel = "1";
// How long a double-push button waits for its second push.
constexpr int64_t secondPushWindow = 2000;
// A poll answered with more revertives than this is traced as one line.
constexpr size_t revertivesListed = 4;

bool setEnvironment(const char* name, const std::string& value) {
#if defined(_WIN32)
    return _putenv_s(name, value.c_str()) == 0;
#else
    return setenv(name, value.c_str(), 1) == 0;
#endif
}

std::string shown(const std::string& text) {
    std::string result = "\"";
    for (char c : text) result += c == '\n' ? std::string("\\n") : std::string(1, c);
    return result + "\"";
}

std::string listed(const std::vector<std::string>& texts) {
    if (texts.empty()) return "none";
    std::string result;
    for (const std::string& text : texts) result += "\n      " + text;
    return result;
}

}  // namespace

Simulator::Simulator(const Options& options, std::ostream& out)
    : options_(options), trace_(out), host_(installation_, clock_, trace_) {
    trace_.setVerbose(options.verbose);
}

Simulator::~Simulator() {
    if (component_ != nullptr) delete component_;
}

bool Simulator::start(std::string& error) {
    if (!installation_.load(options_.root, options_.system, error)) return false;
    if (!setEnvironment("KV_ROOT", options_.root) ||
        !setEnvironment("KV_SYSTEM", options_.system)) {
        error = "cannot set KV_ROOT and KV_SYSTEM";
        return false;
    }
    if (!library_.load(options_.library)) {
        error = library_.error();
        return false;
    }
    beginAction("load " + options_.library + ", create the component with path \"" +
                options_.componentPath + "\"");
    component_ = library_.entry()(&host_, options_.componentPath.c_str());
    if (component_ == nullptr) {
        error = options_.library + ": load_zant_client_script returned no component";
        return false;
    }
    deliverRevertives();
    return true;
}

void Simulator::finish() {
    if (component_ != nullptr) {
        beginAction("destroy the component");
        delete component_;
        component_ = nullptr;
    }
    host_.reportOutstanding();
}

std::string Simulator::substituted(const std::string& text) const {
    const std::pair<const char*, const std::string*> variables[] = {
        {"${path}", &options_.componentPath},
        {"${root}", &options_.root},
        {"${system}", &options_.system}};
    std::string result = text;
    for (const auto& variable : variables) {
        const std::string name = variable.first;
        for (size_t at = result.find(name); at != std::string::npos;
             at = result.find(name, at + variable.second->size())) {
            result.replace(at, name.size(), *variable.second);
        }
    }
    return result;
}

void Simulator::beginAction(const std::string& description) {
    host_.beginAction();
    trace_.event(clock_.stamp(), description);
}

void Simulator::stepError(const Step& step, const std::string& text) {
    trace_.error(step.where + ": " + text);
}

void Simulator::run(const Step& given) {
    Step step = given;
    step.text = substituted(step.text);
    if (component_ == nullptr && step.kind != Step::Kind::help && step.kind != Step::Kind::quit) {
        stepError(step, "there is no component");
        return;
    }
    switch (step.kind) {
        case Step::Kind::message:
            sendMessage(step);
            break;
        case Step::Kind::press:
            press(step, 1);
            break;
        case Step::Kind::doublePress:
            press(step, 2);
            break;
        case Step::Kind::wait:
            wait(step.milliseconds);
            break;
        case Step::Kind::tick:
            tick(step.numbers[0]);
            break;
        case Step::Kind::route:
            route(step);
            break;
        case Step::Kind::show:
            show(step);
            break;
        case Step::Kind::note:
            trace_.plain("# " + step.text);
            break;
        case Step::Kind::help:
            trace_.plain(StepParser::help());
            break;
        case Step::Kind::quit:
            quit_ = true;
            break;
        default:
            expect(step);
            break;
    }
}

void Simulator::sendMessage(const Step& step) {
    beginAction("parent message " + shown(step.text));
    char* reply = component_->notify(const_cast<char*>(step.text.c_str()), zantParentMessage);
    if (reply == nullptr) {
        lastReply_.reset();
        trace_.detail("reply: none");
    } else {
        lastReply_ = std::string(reply);
        trace_.detail("reply: " + shown(*lastReply_));
        component_->notify(reply, zantReleaseReply);
    }
    deliverRevertives();
}

void Simulator::press(const Step& step, int pushes) {
    Panel* panel = host_.panel(componentPanel);
    Panel::Control* control = panel == nullptr ? nullptr : panel->find(step.control);
    if (control == nullptr) {
        stepError(step, std::string("panel ") + componentPanel + " has no control '" +
                            step.control + "'");
        return;
    }
    if (control->kind != "button") {
        stepError(step, "'" + step.control + "' is a " + control->kind + ", not a button");
        return;
    }
    for (int i = 0; i < pushes; ++i) {
        // The control may be gone if the component reloaded its panel.
        Panel* current = host_.panel(componentPanel);
        Panel::Control* target = current == nullptr ? nullptr : current->find(step.control);
        if (target != nullptr) push(*target, step.text);
    }
}

void Simulator::push(Panel::Control& control, const std::string& eventText) {
    beginAction("press " + control.name + " (event " + shown(eventText) + ")");
    if (!control.enabled) {
        trace_.detail(control.name + " is disabled: the push does nothing");
        return;
    }
    Panel* panel = host_.panel(componentPanel);
    const auto properties = control.properties.find("doublepush");
    const bool doublePush = properties != control.properties.end() && properties->second == "true";
    const bool secondPush =
        control.armedForSecondPush && clock_.now() - control.firstPushTime <= secondPushWindow;
    for (const Panel::Control& other : panel->controls()) {
        panel->find(other.name)->armedForSecondPush = false;
    }
    if (doublePush && !secondPush) {
        control.armedForSecondPush = true;
        control.firstPushTime = clock_.now();
        trace_.detail(control.name + " needs a double push: waiting for the second push");
        return;
    }
    if (doublePush) trace_.detail("second push: the button fires");
    const std::string id = control.name;
    ButtonMessage message(eventText);
    zant_button_record record{0, 0, componentPanel, id.c_str(), message.record()};
    component_->notify(&record, zantButton);
    deliverRevertives();
}

void Simulator::wait(int64_t milliseconds) {
    const int64_t until = clock_.now() + milliseconds;
    // The ticks of one wait are one action: expectations after a wait see
    // every command the ticks caused.
    beginAction("wait " + std::to_string(milliseconds) + " ms");
    int timer = 0;
    while (clock_.nextTick(until, timer)) deliverTick(timer);
    clock_.advanceTo(until);
}

void Simulator::tick(int timer) {
    host_.beginAction();
    deliverTick(timer);
}

void Simulator::deliverTick(int timer) {
    trace_.event(clock_.stamp(), "tick of timer " + std::to_string(timer));
    component_->notify(reinterpret_cast<void*>(static_cast<intptr_t>(timer)), zantTimer);
    deliverRevertives();
}

void Simulator::route(const Step& step) {
    beginAction("another panel routes source " + std::to_string(step.numbers[1]) +
                " to destination " + std::to_string(step.numbers[2]) + " on device " +
                std::to_string(step.numbers[0]));
    std::string error;
    if (!host_.connect(step.numbers[0], step.numbers[1], step.numbers[2], error)) {
        stepError(step, error);
        return;
    }
    deliverRevertives();
}

void Simulator::deliverRevertives() {
    auto& pending = host_.pendingRevertives();
    if (pending.empty()) return;
    const bool summarised = pending.size() > revertivesListed;
    if (summarised) {
        trace_.event(clock_.stamp(), std::to_string(pending.size()) + " revertives of device " +
                                         std::to_string(pending.front().device) +
                                         ", destinations " + std::to_string(pending.front().index) +
                                         ".." + std::to_string(pending.back().index));
    }
    while (!pending.empty()) {
        zant_revertive_record record = pending.front();
        pending.pop_front();
        if (!summarised) {
            trace_.event(clock_.stamp(), "revertive of device " + std::to_string(record.device) +
                                             ": destination " + std::to_string(record.index) +
                                             " carries source " + std::to_string(record.value));
        }
        component_->notify(&record, zantRevertive);
    }
}

void Simulator::show(const Step& step) {
    if (step.text == "all" || step.text == "panel") {
        if (host_.panels().empty()) trace_.block("no panel is shown");
        for (const auto& panel : host_.panels()) trace_.block(panel.second.draw());
    }
    if (step.text == "all" || step.text == "router") {
        // Without a device: the routers the component listens to, if any.
        bool anyRegistered = false;
        for (const auto& router : installation_.routers()) {
            anyRegistered = anyRegistered || router.second.registrations() != "none";
        }
        for (const auto& router : installation_.routers()) {
            const bool wanted = step.numbers[0] != 0
                                    ? router.first == step.numbers[0]
                                    : !anyRegistered || router.second.registrations() != "none";
            if (wanted) trace_.block(router.second.draw());
        }
    }
}

void Simulator::expectation(const Step& step, bool held, const std::string& what,
                            const std::string& actual) {
    if (held) {
        trace_.detail("ok: " + what);
        return;
    }
    ++failedExpectations_;
    trace_.plain("FAILED " + step.where + ": expected " + what + "\n    but " + actual);
}

void Simulator::expect(const Step& step) {
    switch (step.kind) {
        case Step::Kind::expectCommand:
        case Step::Kind::expectNoCommand: {
            bool sent = false;
            for (const std::string& command : host_.commands()) sent = sent || command == step.text;
            const bool wanted = step.kind == Step::Kind::expectCommand;
            expectation(step, sent == wanted, (wanted ? "the command " : "no command ") + step.text,
                        "the last action sent: " + listed(host_.commands()));
            break;
        }
        case Step::Kind::expectEvent: {
            bool sent = false;
            for (const std::string& event : host_.parentEvents()) sent = sent || event == step.text;
            expectation(step, sent, "the event " + shown(step.text) + " to the parent",
                        "the parent received: " + listed(host_.parentEvents()));
            break;
        }
        case Step::Kind::expectReply: {
            const bool held = step.noReply ? !lastReply_.has_value()
                                           : lastReply_.has_value() && *lastReply_ == step.text;
            expectation(step, held, "the reply " + (step.noReply ? "none" : shown(step.text)),
                        "the reply was " + (lastReply_ ? shown(*lastReply_) : "none"));
            break;
        }
        case Step::Kind::expectControl: {
            const Panel* panel = host_.panel(componentPanel);
            const std::string what = step.control + "." + step.property + " = " + shown(step.text);
            if (panel == nullptr || panel->find(step.control) == nullptr) {
                expectation(step, false, what,
                            std::string("panel ") + componentPanel + " has no control '" +
                                step.control + "'");
                break;
            }
            const std::string value = panel->property(step.control, step.property);
            expectation(step, value == step.text, what, "it is " + shown(value));
            break;
        }
        case Step::Kind::expectRoute: {
            Router* router = installation_.router(step.numbers[0]);
            const std::string what = "destination " + std::to_string(step.numbers[2]) +
                                     " of device " + std::to_string(step.numbers[0]) +
                                     " to carry source " + std::to_string(step.numbers[1]);
            if (router == nullptr) {
                expectation(step, false, what,
                            "the installation has no device " + std::to_string(step.numbers[0]));
                break;
            }
            const int source = router->source(step.numbers[2]);
            expectation(step, source == step.numbers[1], what,
                        "it carries " + (source == 0 ? std::string("nothing")
                                                     : "source " + std::to_string(source)));
            break;
        }
        default:
            break;
    }
}
