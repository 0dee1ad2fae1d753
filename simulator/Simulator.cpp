#include "simulator/Simulator.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <thread>

#include "host/zant_split_message.h"
#include "platform/ProcessEnvironment.h"
#include "routers/RouterFactory.h"
#include "simulator/Words.h"

namespace zant::simulator {

namespace {

// A poll answered with more revertives than this is traced as one line.
constexpr size_t revertivesListed = 4;
// How often a wait in real time looks whether a stop was asked for, and
// whether a real router reported something.
constexpr auto stopPoll = std::chrono::milliseconds(50);
constexpr auto routerPoll = std::chrono::milliseconds(5);
// How long panel_host waits at the start for a real router's status dump.
constexpr int routerStartMs = 5000;
// How long a wait for the routers' reports sleeps before it looks whether a
// stop was asked for.
constexpr int settlePollMs = 20;

std::string counted(int count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string listed(const std::vector<std::string>& texts) {
    if (texts.empty()) return "none";
    std::string result;
    for (const std::string& text : texts) result += "\n      " + text;
    return result;
}

}  // namespace

Simulator::Simulator(const SimulationConfig& config, std::ostream& out)
    : config_(config), trace_(out), host_(world_, trace_) {
    trace_.setClock(&world_.clock());
    trace_.setVerbose(config.verbose);
}

Simulator::~Simulator() {
    zant_destroy_client(component_);
}

bool Simulator::start(std::string& error) {
    if (!world_.installation().load(config_.root, config_.system, error)) return false;
    if (!config_.routers.empty()) {
        if (!startRouters(error)) return false;
    } else if (!zant::platform::setEnvironmentVariable("KV_ROOT", config_.root) ||
               !zant::platform::setEnvironmentVariable("KV_SYSTEM", config_.system)) {
        error = "cannot set KV_ROOT and KV_SYSTEM";
        return false;
    }
    if (!library_.load(config_.library)) {
        error = library_.error();
        return false;
    }
    if (library_.entry() == nullptr) {
        error = config_.library + ": the library has no export " + zantLoadFunctionName;
        return false;
    }
    debugOutput_ = std::make_unique<DebugOutputTap>(true);
    beginAction("load " + config_.library + ", create the component with path \"" +
                config_.componentPath + "\"");
    component_ = library_.entry()(&host_, config_.componentPath.c_str());
    if (component_ == nullptr) {
        error = config_.library + ": load_zant_client_script returned no component";
        return false;
    }
    deliverRevertives();
    endAction();
    return true;
}

bool Simulator::startRouters(std::string& error) {
    Installation& installation = world_.installation();
    scratch_ = std::make_unique<zant::hosting::ScratchInstallation>(config_.system);
    if (!scratch_->copyFrom(installation.folder())) {
        error = "cannot make the scratch copy of the installation " + installation.folder();
        return false;
    }
    const routers::RouterFactory factory = routers::RouterFactory::builtIn();
    routers::RouterFactory::Settings settings;
    settings.deadlineMs = config_.routerDeadlineMs;
    for (const RouterAddress& address : config_.routers) {
        if (installation.router(address.device) == nullptr) {
            error = "--router: " + installation.noDevice(address.device);
            return false;
        }
        std::unique_ptr<Router> router =
            factory.router(address.device, address.where, settings, error);
        if (router == nullptr) {
            error = "--router: " + error;
            return false;
        }
        Router::News news;
        if (!router->start(std::max(routerStartMs, config_.routerDeadlineMs), news, error,
                           [this] { return !stopReason().empty(); })) {
            routerFailed_ = true;
            return false;
        }
        for (const routers::RouterNews& said : news.said) {
            trace_.add(TraceEvent::Kind::note, said.sentence(router->title()));
        }
        trace_.add(TraceEvent::Kind::note,
                   router->title() + ": " + std::to_string(router->sources()) + " inputs, " +
                       std::to_string(router->destinations()) +
                       " outputs; the component reads them from the scratch installation " +
                       scratch_->root());
        if (!scratch_->setDatabaseSizes(address.device, router->sources(),
                                        router->destinations())) {
            error = "cannot write the device file of device " + std::to_string(address.device) +
                    " in " + scratch_->root();
            return false;
        }
        installation.replaceRouter(std::move(router));
    }
    hasRealRouters_ = true;
    return true;
}

bool Simulator::takeInRouters(bool ownAction) {
    std::vector<std::pair<Router*, Router::News>> reports;
    bool redrawn = false;
    for (const auto& entry : world_.installation().routers()) {
        Router& router = *entry.second;
        Router::News news;
        router.takeIn(news);
        redrawn = redrawn || news.redrawn;
        if (news.empty()) continue;
        reports.emplace_back(&router, std::move(news));
    }
    if (reports.empty()) return redrawn;
    // Between steps: a line of its own, but not an action that expectations
    // read (what the last step sent stays what "expect command" checks).
    if (ownAction) trace_.add(TraceEvent::Kind::action, "the routers report");
    for (auto& report : reports) {
        const Router& router = *report.first;
        const std::string title = router.title();
        for (const routers::RouterNews& said : report.second.said) {
            if (!said.error()) trace_.add(TraceEvent::Kind::note, said.sentence(title));
        }
        for (const routers::RouterNews& said : report.second.said) {
            if (said.error()) trace_.error(said.sentence(title));
        }
        world_.queueRevertives(router, report.second.routed);
    }
    if (component_ != nullptr) deliverRevertives();
    if (ownAction) endAction();
    return true;
}

void Simulator::settleRouters() {
    if (!hasRealRouters_) return;
    // Each router gives up on what it asked at its deadline, so this ends;
    // a stop asked for ends it at once.
    for (;;) {
        Router* waiting = nullptr;
        for (const auto& entry : world_.installation().routers()) {
            if (!entry.second->settled()) waiting = entry.second.get();
        }
        if (waiting == nullptr || !stopReason().empty()) return;
        waiting->waitForNews(settlePollMs);
        takeInRouters(false);
    }
}

void Simulator::endAction() {
    host_.endAction();
    if (debugOutput_ == nullptr) return;
    const std::string threw = debugOutput_->take(zantHandlerThrewPrefix);
    if (!threw.empty()) trace_.error("the component: " + threw);
}

std::string Simulator::stopReason() const {
    const char* reason = config_.stopRequested == nullptr ? nullptr : config_.stopRequested();
    return reason == nullptr ? std::string() : reason;
}

void Simulator::finish() {
    const std::string stop = stopReason();
    if (!stop.empty()) trace_.add(TraceEvent::Kind::note, stop + ": the run stops here");
    if (component_ != nullptr) {
        beginAction("destroy the component");
        zant_destroy_client(component_);
        component_ = nullptr;
        endAction();
    }
    host_.reportOutstanding();
}

void Simulator::badStep(const std::string& error) {
    ++badSteps_;
    trace_.add(TraceEvent::Kind::badStep, "error: " + error);
}

std::string Simulator::summary() const {
    std::string parts[3];
    if (failedExpectations_ > 0) {
        parts[0] = counted(failedExpectations_, "expectation failed", "expectations failed");
    }
    if (trace_.errors() > 0) parts[1] = counted(trace_.errors(), "error", "errors");
    if (badSteps_ > 0) parts[2] = counted(badSteps_, "step not understood", "steps not understood");
    std::string text;
    for (const std::string& part : parts) {
        if (!part.empty()) text += (text.empty() ? "" : ", ") + part;
    }
    return text;
}

std::string Simulator::closingLine() const {
    std::string failed = summary();
    if (!failed.empty()) return failed;
    return "all well: " + counted(heldExpectations_, "expectation held", "expectations held") +
           ", no error";
}

std::string Simulator::substituted(const std::string& text) const {
    const std::pair<const char*, const std::string*> variables[] = {
        {"${path}", &config_.componentPath},
        {"${root}", &config_.root},
        {"${system}", &config_.system}};
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
    trace_.add(TraceEvent::Kind::action, description);
}

void Simulator::stepError(const Step& step, const std::string& text) {
    trace_.error(step.where + ": " + text);
}

void Simulator::run(const Step& given) {
    Step step = given;
    step.text = substituted(step.text);
    if (component_ == nullptr && !step.syntax->withoutComponent) {
        stepError(step, "there is no component");
        return;
    }
    // What the routers reported while no step ran (a prompt waiting).
    takeInRouters(true);
    (this->*step.syntax->run)(step);
    settleRouters();
    endAction();
}

void Simulator::sendMessage(const Step& step) {
    beginAction("parent message " + quoted(step.text));
    // The name ends at the first '.' or '=', as the component splits it.
    const size_t nameEnd = step.text.find_first_of(".=");
    const size_t equals = step.text.find('=');
    parentSettings_[step.text.substr(0, nameEnd)] =
        equals == std::string::npos ? std::string() : step.text.substr(equals + 1);
    char* reply = component_->notify(const_cast<char*>(step.text.c_str()), zantParentMessage);
    if (reply == nullptr) {
        lastReply_.reset();
        trace_.add(TraceEvent::Kind::reply, "reply: none");
    } else {
        lastReply_ = std::string(reply);
        trace_.add(TraceEvent::Kind::reply, "reply: " + quoted(*lastReply_));
        component_->notify(reply, zantReleaseReply);
    }
    deliverRevertives();
}

void Simulator::press(const Step& step) {
    pressTimes(step, 1);
}

void Simulator::doublePress(const Step& step) {
    pressTimes(step, 2);
}

void Simulator::pressTimes(const Step& step, int pushes) {
    Panel* panel = world_.panel(pressedPanel);
    Panel::Control* control = panel == nullptr ? nullptr : panel->find(step.control);
    if (control == nullptr) {
        stepError(step,
                  std::string("panel ") + pressedPanel + " has no control '" + step.control + "'");
        return;
    }
    if (control->kind != "button") {
        stepError(step, "'" + step.control + "' is a " + control->kind + ", not a button");
        return;
    }
    for (int i = 0; i < pushes; ++i) {
        // The control may be gone if the component reloaded its panel.
        Panel* current = world_.panel(pressedPanel);
        Panel::Control* target = current == nullptr ? nullptr : current->find(step.control);
        if (target != nullptr) push(*target, step.text);
    }
}

void Simulator::push(Panel::Control& control, const std::string& eventText) {
    beginAction("press " + control.name + " (event " + quoted(eventText) + ")");
    switch (world_.panel(pressedPanel)->push(control, world_.clock().now())) {
        case Panel::Push::ignored:
            trace_.add(TraceEvent::Kind::push,
                       control.name + " is disabled: the push does nothing");
            return;
        case Panel::Push::firstOfTwo:
            trace_.add(TraceEvent::Kind::push,
                       control.name + " needs a double push: waiting for the second push");
            return;
        case Panel::Push::secondFires:
            trace_.add(TraceEvent::Kind::push, "second push: the button fires");
            break;
        case Panel::Push::fires:
            break;
    }
    const std::string id = control.name;
    // The component only reads the split text; it lives for the call.
    std::string text = eventText;
    char emptyText[1] = {'\0'};
    zant_message_record message{};
    zant_split_message(&text[0], emptyText, &message);
    zant_button_record record{0, 0, pressedPanel, id.c_str(), &message};
    component_->notify(&record, zantButton);
    deliverRevertives();
}

void Simulator::wait(const Step& step) {
    advance("wait", step.milliseconds, config_.realtime);
}

void Simulator::runInRealTime(const Step& step) {
    advance("run", step.milliseconds, true);
}

void Simulator::advance(const std::string& name, int64_t milliseconds, bool paced) {
    const int64_t start = world_.clock().now();
    const int64_t until = start + milliseconds;
    const auto wallStart = std::chrono::steady_clock::now();
    // False when a stop is asked for meanwhile: the wait ends there, the
    // clock at the real time that went by.
    const auto sleepUntil = [&](int64_t time) {
        if (!paced) return true;
        const auto deadline = wallStart + std::chrono::milliseconds(time - start);
        for (;;) {
            const auto now = std::chrono::steady_clock::now();
            if (!stopReason().empty()) {
                world_.clock().advanceTo(
                    start +
                    std::chrono::duration_cast<std::chrono::milliseconds>(now - wallStart).count());
                return false;
            }
            if (now >= deadline) return true;
            std::this_thread::sleep_until(
                std::min(deadline, now + (hasRealRouters_ ? routerPoll : stopPoll)));
            takeInRouters(false);
        }
    };
    // The ticks of one wait are one action: expectations after a wait see
    // every command the ticks caused.
    beginAction(name + " " + std::to_string(milliseconds) + (paced ? " ms in real time" : " ms"));
    trace_.flush();
    int timer = 0;
    while (world_.clock().nextTick(until, timer)) {
        if (!sleepUntil(world_.clock().now())) return;
        deliverTick(timer);
        trace_.flush();
    }
    if (!sleepUntil(until)) return;
    world_.clock().advanceTo(until);
}

void Simulator::advanceTo(int64_t time) {
    if (component_ == nullptr) return;
    int timer = 0;
    while (world_.clock().nextTick(time, timer)) {
        host_.beginAction();
        deliverTick(timer);
        endAction();
    }
    world_.clock().advanceTo(time);
    trace_.flush();
}

void Simulator::tick(const Step& step) {
    host_.beginAction();
    deliverTick(step.numbers[0]);
}

void Simulator::deliverTick(int timer) {
    trace_.add(TraceEvent::Kind::tick, "tick of timer " + std::to_string(timer));
    component_->notify(reinterpret_cast<void*>(static_cast<intptr_t>(timer)), zantTimer);
    deliverRevertives();
}

void Simulator::route(const Step& step) {
    beginAction("another panel routes source " + std::to_string(step.numbers[1]) +
                " to destination " + std::to_string(step.numbers[2]) + " on device " +
                std::to_string(step.numbers[0]));
    std::string error;
    if (!world_.connect(step.numbers[0], step.numbers[1], step.numbers[2], error)) {
        stepError(step, error);
        return;
    }
    deliverRevertives();
}

void Simulator::deliverRevertives() {
    auto& pending = world_.pendingRevertives();
    if (pending.empty()) return;
    const bool summarised = pending.size() > revertivesListed;
    if (summarised) {
        trace_.add(TraceEvent::Kind::revertive,
                   std::to_string(pending.size()) + " revertives of device " +
                       std::to_string(pending.front().device) + ", destinations " +
                       std::to_string(pending.front().index) + ".." +
                       std::to_string(pending.back().index));
    }
    while (!pending.empty()) {
        zant_revertive_record record = pending.front();
        pending.pop_front();
        if (!summarised) {
            trace_.add(TraceEvent::Kind::revertive,
                       "revertive of device " + std::to_string(record.device) + ": destination " +
                           std::to_string(record.index) + " carries source " +
                           std::to_string(record.value));
        }
        component_->notify(&record, zantRevertive);
    }
}

void Simulator::show(const Step& step) {
    if (step.text == "all" || step.text == "panel") {
        if (world_.panels().empty()) trace_.add(TraceEvent::Kind::drawing, "no panel is shown");
        for (const auto& panel : world_.panels())
            trace_.add(TraceEvent::Kind::drawing, panel.second.draw(world_.clock().now()));
    }
    if (step.text != "all" && step.text != "router") return;
    const int device = step.numbers[0];
    if (device != 0) {
        const Router* router = world_.installation().router(device);
        if (router == nullptr) {
            stepError(step, world_.installation().noDevice(device));
        } else if (step.numbers[1] > router->sources() &&
                   step.numbers[1] > router->destinations()) {
            stepError(step, "device " + std::to_string(device) + " has sources 1.." +
                                std::to_string(router->sources()) + " and destinations 1.." +
                                std::to_string(router->destinations()) + ": nothing from " +
                                std::to_string(step.numbers[1]) + " on");
        } else {
            trace_.add(TraceEvent::Kind::drawing,
                       router->drawIndices(step.numbers[1] == 0 ? 1 : step.numbers[1],
                                           step.numbers[2] == 0 ? INT_MAX : step.numbers[2]));
        }
        return;
    }
    // Without a device: the routers the component listens to, if any.
    bool anyRegistered = false;
    for (const auto& router : world_.installation().routers()) {
        anyRegistered = anyRegistered || router.second->registrations() != "none";
    }
    if (world_.installation().routers().empty())
        trace_.add(TraceEvent::Kind::drawing, "the installation has no router");
    for (const auto& router : world_.installation().routers()) {
        if (!anyRegistered || router.second->registrations() != "none") {
            trace_.add(TraceEvent::Kind::drawing, router.second->draw());
        }
    }
}

void Simulator::expectation(const Step& step, bool held, const std::string& what,
                            const std::string& actual) {
    if (held) {
        ++heldExpectations_;
        trace_.add(TraceEvent::Kind::held, "ok: " + what);
        return;
    }
    ++failedExpectations_;
    trace_.add(TraceEvent::Kind::failed,
               "FAILED " + step.where + ": expected " + what + "\n    but " + actual);
}

void Simulator::note(const Step& step) {
    trace_.add(TraceEvent::Kind::note, "# " + step.text);
}

void Simulator::help(const Step&) {
    trace_.add(TraceEvent::Kind::help, StepParser::help() + config_.messages.help());
}

void Simulator::quit(const Step&) {
    quit_ = true;
}

void Simulator::expectCommand(const Step& step) {
    expectSent(step, true);
}

void Simulator::expectNoCommand(const Step& step) {
    expectSent(step, false);
}

void Simulator::expectSent(const Step& step, bool wanted) {
    bool sent = false;
    for (const std::string& command : host_.commands()) sent = sent || command == step.text;
    expectation(step, sent == wanted, (wanted ? "the command " : "no command ") + step.text,
                "the last action sent: " + listed(host_.commands()));
}

void Simulator::expectEvent(const Step& step) {
    bool sent = false;
    for (const std::string& event : host_.parentEvents()) sent = sent || event == step.text;
    expectation(step, sent, "the event " + quoted(step.text) + " to the parent",
                "the parent received: " + listed(host_.parentEvents()));
}

void Simulator::expectReply(const Step& step) {
    const bool held =
        step.noReply ? !lastReply_.has_value() : lastReply_.has_value() && *lastReply_ == step.text;
    expectation(step, held, "the reply " + (step.noReply ? "none" : quoted(step.text)),
                "the reply was " + (lastReply_ ? quoted(*lastReply_) : "none"));
}

void Simulator::expectControl(const Step& step) {
    const Panel* panel = world_.panel(pressedPanel);
    const std::string what = step.control + "." + step.property + " = " + quoted(step.text);
    if (panel == nullptr || panel->find(step.control) == nullptr) {
        expectation(
            step, false, what,
            std::string("panel ") + pressedPanel + " has no control '" + step.control + "'");
        return;
    }
    const std::string value = panel->property(step.control, step.property);
    expectation(step, value == step.text, what, "it is " + quoted(value));
}

void Simulator::expectRoute(const Step& step) {
    Router* router = world_.installation().router(step.numbers[0]);
    const std::string what = "destination " + std::to_string(step.numbers[2]) + " of device " +
                             std::to_string(step.numbers[0]) + " to carry source " +
                             std::to_string(step.numbers[1]);
    if (router == nullptr) {
        expectation(step, false, what, world_.installation().noDevice(step.numbers[0]));
        return;
    }
    const int source = router->source(step.numbers[2]);
    expectation(step, source == step.numbers[1], what,
                "it carries " +
                    (source == 0 ? std::string("nothing") : "source " + std::to_string(source)));
}

}  // namespace zant::simulator
