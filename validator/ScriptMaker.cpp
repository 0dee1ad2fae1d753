#include "validator/ScriptMaker.h"

#include <climits>
#include <iterator>

#include "validator/ValidatorHost.h"

namespace zant::validate {

namespace {

template <typename Set>
typename Set::value_type pick(const Set& set, size_t at) {
    auto it = set.begin();
    std::advance(it, static_cast<long>(at % set.size()));
    return *it;
}

}  // namespace

int ScriptMaker::between(int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random_);
}

std::string ScriptMaker::word() {
    static const char* const words[] = {"",     "1",     "0",  "-1",  "true", "false",
                                        "push", "a b",   "x'", "=",   "12",   "release",
                                        "ack",  "a.b=c", "%1", "256", "-5",   "on"};
    return words[between(0, static_cast<int>(std::size(words)) - 1)];
}

Step ScriptMaker::seeded(Step step) {
    step.replySeed = static_cast<uint32_t>(random_());
    return step;
}

std::vector<Step> ScriptMaker::random(size_t length) {
    std::set<int> devices = profile_.devices;
    devices.insert(ValidatorHost::device);
    std::vector<Step> steps;
    steps.reserve(length);
    while (steps.size() < length) {
        const int pick100 = between(0, 99);
        if (pick100 < 35) {
            const int device = between(0, 9) == 0
                                   ? between(-5, 1000)
                                   : pick(devices, static_cast<size_t>(between(0, 63)));
            steps.push_back(seeded(Step::revertive(device, between(-3, 300), between(-3, 300))));
        } else if (pick100 < 55) {
            std::optional<std::string> panel =
                profile_.panels.empty() || between(0, 9) == 0
                    ? std::optional<std::string>(word())
                    : pick(profile_.panels, static_cast<size_t>(between(0, 63)));
            std::optional<std::string> id =
                profile_.controls.empty() || between(0, 9) == 0
                    ? std::optional<std::string>(word())
                    : pick(profile_.controls, static_cast<size_t>(between(0, 63)));
            std::optional<std::string> text(word());
            const int shape = between(0, 19);
            if (shape == 0) panel.reset();
            if (shape == 1) id.reset();
            if (shape == 2) text.reset();
            steps.push_back(seeded(Step::press(panel, id, text)));
        } else if (pick100 < 80) {
            std::string text;
            const int form = between(0, 9);
            if (form == 0) {
                text = between(0, 1) == 0 ? "_commands" : "_events";
            } else if (form == 1 || profile_.messages.empty()) {
                text = word() + "=" + word();
            } else {
                text = pick(profile_.messages, static_cast<size_t>(between(0, 63))).first + "=" +
                       (between(0, 1) == 0 ? std::to_string(between(-3, 300)) : word());
            }
            steps.push_back(seeded(Step::message(text)));
        } else if (pick100 < 95) {
            const int timer = profile_.timers.empty() || between(0, 9) == 0
                                  ? between(-1, 10)
                                  : pick(profile_.timers, static_cast<size_t>(between(0, 63)));
            steps.push_back(seeded(Step::tick(timer)));
        } else {
            steps.push_back(seeded(Step::word(between(6, 7), between(INT_MIN, INT_MAX))));
        }
    }
    return steps;
}

std::vector<Step> ScriptMaker::edges() {
    const std::string panel = profile_.panels.empty() ? "1" : *profile_.panels.begin();
    const std::string control = profile_.controls.empty() ? "" : *profile_.controls.begin();
    std::vector<Step> steps = {
        Step::word(0, 0),
        Step::word(8, 1),
        Step::word(-1, 0),
        Step::word(INT_MIN, 0),
        Step::word(zantRevertive, 0),
        Step::word(zantButton, 0),
        Step::revertive(INT_MIN, INT_MIN, INT_MIN),
        Step::revertive(INT_MAX, INT_MAX, INT_MAX),
        Step::revertive(ValidatorHost::device, -1, -1),
        Step::press(std::nullopt, std::nullopt, std::nullopt),
        Step::press(panel, std::nullopt, std::string("1")),
        Step::press(std::nullopt, control, std::string("1")),
        Step::press(panel, control, std::nullopt),
        Step::press(std::string(), std::string(), std::string()),
        Step::message(std::nullopt),
        Step::message(std::string()),
        Step::message(std::string("=")),
        Step::message(std::string("a.b.c.d=e=f")),
        Step::message(std::string("\x01\xff'")),
        Step::tick(0),
        Step::tick(-1),
        Step::tick(INT_MAX),
        Step::word(zantReleaseReply, 0),
        Step::word(zantEvent6, 0),
        Step::word(zantEvent6, -1),
        Step::word(zantEvent7, INT_MAX),
        Step::word(zantEvent7, INT_MIN),
    };
    for (int timer : profile_.timers) steps.push_back(Step::tick(timer));
    for (Step& step : steps) step = seeded(step);
    return steps;
}

std::vector<Step> ScriptMaker::messages() {
    std::vector<Step> steps;
    for (const auto& [name, shape] : profile_.messages) {
        for (const std::string& text : MessageValues::edges(name, shape))
            steps.push_back(seeded(Step::message(text)));
        // And a seeded word and number, which differ from run to run.
        steps.push_back(seeded(Step::message(name + "=" + word())));
        steps.push_back(seeded(Step::message(name + "=" + std::to_string(between(-9, 999)))));
    }
    return steps;
}

}  // namespace zant::validate
