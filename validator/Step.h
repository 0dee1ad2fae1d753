// One notification of a run, as data: it can be replayed on a fresh
// component, left out when a failing run is shrunk, and printed.
#ifndef VALIDATOR_STEP_H
#define VALIDATOR_STEP_H

#include <cstdint>
#include <optional>
#include <string>

namespace zant::validate {

struct Step {
    enum class Kind { revertive, press, message, tick, word };

    Kind kind = Kind::word;
    // revertive: device, index, value; tick: timer; word: kind, data word
    // (kinds 1 and 2 with a zero word send a null record).
    int number[3] = {0, 0, 0};
    // press: panel, control and event text; message: text. Null when absent.
    std::optional<std::string> panel;
    std::optional<std::string> id;
    std::optional<std::string> text;
    // Seeds the host's replies during this step, so that they stay the same
    // when other steps are left out.
    uint32_t replySeed = 0;

    static Step revertive(int device, int index, int value);
    static Step press(std::optional<std::string> panel, std::optional<std::string> id,
                      std::optional<std::string> text);
    static Step message(std::optional<std::string> text);
    static Step tick(int timer);
    static Step word(int kind, int value);

    // One line, e.g. `kind 3 message "sourceID=5"`.
    std::string describe() const;
};

}  // namespace zant::validate

#endif  // VALIDATOR_STEP_H
