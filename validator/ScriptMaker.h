// Makes the step lists of the checks from a component's profile and a seed:
// the same seed and profile give the same steps on every run.
#ifndef VALIDATOR_SCRIPT_MAKER_H
#define VALIDATOR_SCRIPT_MAKER_H

#include <cstdint>
#include <random>
#include <vector>

#include "validator/ComponentProfile.h"
#include "validator/Step.h"

namespace zant::validate {

class ScriptMaker {
public:
    ScriptMaker(const ComponentProfile& profile, uint32_t seed)
        : profile_(profile), random_(seed) {}

    // `length` steps of every kind: revertives, presses on the named
    // controls, messages with plausible values, ticks, words of kinds 6 and 7.
    std::vector<Step> random(size_t length);
    // Every kind 0 to 8 with edge data: null records, null and empty texts,
    // extreme numbers.
    std::vector<Step> edges();
    // Each message the component declares or names, with the edge values of
    // its shape (MessageValues) and random ones.
    std::vector<Step> messages();

private:
    int between(int low, int high);
    std::string word();
    Step seeded(Step step);

    const ComponentProfile& profile_;
    std::mt19937 random_;
};

}  // namespace zant::validate

#endif  // VALIDATOR_SCRIPT_MAKER_H
