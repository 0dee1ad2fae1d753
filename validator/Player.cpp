#include "validator/Player.h"

#include <algorithm>
#include <chrono>
#include <memory>

#include "platform/DebugOutputTap.h"
#include "validator/HeapMeter.h"
#include "validator/NotifyDriver.h"

namespace zant::validate {

namespace {

const char* text(const std::optional<std::string>& value) {
    return value ? value->c_str() : nullptr;
}

// The first violation, from `from` on, of one of `rules`.
const Violation* firstOf(const std::vector<Violation>& violations, size_t from,
                         const std::set<Rule>& rules) {
    for (size_t i = from; i < violations.size(); ++i) {
        if (rules.count(violations[i].rule) != 0) return &violations[i];
    }
    return nullptr;
}

// Watches the violations of the host and the driver for one phase of a run.
class Watch {
public:
    Watch(const CheckingHost& host, const NotifyDriver* driver) : host_(host), driver_(driver) {}

    // True, with the violation in `result`, when one of `rules` was broken
    // since the last call.
    bool broken(const std::set<Rule>& rules, long step, PlayResult& result) {
        const Violation* found = firstOf(host_.allViolations(), hostSeen_, rules);
        if (found == nullptr && driver_ != nullptr) {
            found = firstOf(driver_->allViolations(), driverSeen_, rules);
        }
        hostSeen_ = host_.allViolations().size();
        if (driver_ != nullptr) driverSeen_ = driver_->allViolations().size();
        if (found == nullptr || result.failed) return false;
        result.failed = true;
        result.step = step;
        result.what = found->what;
        return true;
    }

private:
    const CheckingHost& host_;
    const NotifyDriver* driver_;
    size_t hostSeen_ = 0;
    size_t driverSeen_ = 0;
};

}  // namespace

void Player::send(NotifyDriver& driver, const Step& step, PlayResult& result) const {
    const auto start = std::chrono::steady_clock::now();
    int kind = 0;
    switch (step.kind) {
        case Step::Kind::revertive:
            kind = zantRevertive;
            driver.revertive(step.number[0], step.number[1], step.number[2]);
            break;
        case Step::Kind::press:
            kind = zantButton;
            driver.press(text(step.panel), text(step.id), text(step.text));
            break;
        case Step::Kind::message:
            kind = zantParentMessage;
            driver.message(text(step.text));
            break;
        case Step::Kind::tick:
            kind = zantTimer;
            driver.tick(step.number[0]);
            break;
        case Step::Kind::word:
            kind = step.number[0];
            driver.word(step.number[0], step.number[1]);
            break;
    }
    if (config_.timed && kind >= 1 && kind <= 7) {
        const std::chrono::duration<double, std::micro> took =
            std::chrono::steady_clock::now() - start;
        result.micros[kind].push_back(took.count());
    }
}

PlayResult Player::play(const std::vector<Step>& steps, const std::vector<size_t>* only) {
    PlayResult result;
    if (config_.timed) result.micros.resize(8);
    board_.reset();
    ValidatorHost host(config_.replies, config_.layout, &board_);
    if (!config_.layout.empty()) host.setLayoutControls(config_.layout);
    ValidatorHost* hostOrNull = config_.nullHost ? nullptr : &host;
    std::unique_ptr<DebugOutputTap> tap;
    if (config_.notifyRules.count(Rule::threw) != 0) {
        tap = std::make_unique<DebugOutputTap>(config_.echoDebugOutput);
    }
    zant_client_callback* component = entry_(hostOrNull, config_.componentPath.c_str());
    if (component == nullptr) {
        result.failed = true;
        result.step = ProgressBoard::construction;
        result.what = "the export returned null";
        return result;
    }
    Watch lifecycle(host, nullptr);
    lifecycle.broken(config_.lifecycleRules, ProgressBoard::construction, result);
    {
        NotifyDriver driver(component, hostOrNull);
        driver.inspectReplies(config_.inspectReplies);
        Watch notifications(host, &driver);
        notifications.broken({}, 0, result);  // construction is the other watch's
        const size_t count = only != nullptr ? only->size() : steps.size();
        size_t index = 0;
        for (size_t i = 0; i < count && !result.failed; ++i) {
            index = only != nullptr ? (*only)[i] : i;
            board_.setStep(static_cast<long>(index));
            host.reseed(steps[index].replySeed);
            send(driver, steps[index], result);
            notifications.broken(config_.notifyRules, static_cast<long>(index), result);
            const std::string threw = tap ? tap->take(zantHandlerThrewPrefix) : std::string();
            if (!threw.empty() && !result.failed) {
                result.failed = true;
                result.step = static_cast<long>(index);
                result.what = "the debugger output says \"" + threw + "\"";
            }
            if (std::find(config_.heapMarks.begin(), config_.heapMarks.end(), i) !=
                config_.heapMarks.end()) {
                result.heap.push_back(HeapMeter::inUse() - host.heldBytes() -
                                      driver.unfreedReplyBytes());
            }
        }
        result.heap.resize(config_.heapMarks.size(), 0);
        driver.releaseAll();
        // Replies still held come back after the last step played.
        notifications.broken(config_.notifyRules, static_cast<long>(index), result);
        result.unfreedReplyBytes = driver.unfreedReplyBytes();
    }
    lifecycle.broken({}, 0, result);  // notifications were the other watch's
    board_.setStep(ProgressBoard::destruction);
    zant_destroy_client(component);
    lifecycle.broken(config_.lifecycleRules, ProgressBoard::destruction, result);
    result.hostBytes = host.heldBytes();
    return result;
}

}  // namespace zant::validate
