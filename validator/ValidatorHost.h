// The host zant_validate runs components against: a CheckingHost whose
// replies are plausible (what a working installation answers), fuzzed (null,
// empty, garbage, 64 KiB, quotes), or null to everything. Fuzzed replies come
// from a generator that each step reseeds, so a step gets the same replies
// however many steps before it are left out.
#ifndef VALIDATOR_VALIDATOR_HOST_H
#define VALIDATOR_VALIDATOR_HOST_H

#include <cstdint>
#include <random>
#include <set>
#include <string>

#include "validator/CheckingHost.h"
#include "validator/ProgressBoard.h"

namespace zant::validate {

enum class Replies { plausible, everything, fuzzed, none };

class ValidatorHost : public CheckingHost {
public:
    // plausible answers what the component reads ("SD", "RN", "TG", "XI",
    // "PS"); everything also answers every other command, whose reply the
    // component must ignore. `controls` answer "XI" where they match.
    ValidatorHost(Replies replies, std::set<std::string> controls, ProgressBoard* board)
        // Every step reseeds it: replies must repeat exactly from a seed.
        // NOLINTNEXTLINE(cert-msc32-c,cert-msc51-cpp)
        : replies_(replies), controls_(std::move(controls)), board_(board), random_(0) {
        // Its replies never hold the poison of a freed block (fuzzed below).
        setFreedBytesChecked(true);
    }

    void reseed(uint32_t seed) { random_.seed(seed); }
    std::optional<std::string> replyTo(const std::string& command) override;

    // The device number that "SD" answers, and the destinations its device
    // file gives.
    static constexpr int device = 12;
    static constexpr int destinations = 16;

protected:
    void onCommand(const std::string& command) override;

private:
    std::optional<std::string> plausible(const std::string& command) const;
    std::optional<std::string> fuzzed(const std::string& command);

    Replies replies_;
    std::set<std::string> controls_;
    ProgressBoard* board_;
    std::mt19937 random_;
};

}  // namespace zant::validate

#endif  // VALIDATOR_VALIDATOR_HOST_H
