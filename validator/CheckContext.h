// What every check gets: the component's export and profile, the settings of
// the run, and the means to run a piece of it in a child process.
#ifndef VALIDATOR_CHECK_CONTEXT_H
#define VALIDATOR_CHECK_CONTEXT_H

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "host/zant_host.h"
#include "hosting/MessagesReader.h"
#include "validator/ComponentProfile.h"
#include "validator/Isolation.h"
#include "validator/ProgressBoard.h"

namespace zant::validate {

struct CheckSettings {
    uint32_t seed = 0;
    int strictness = 5;
    // Random sequences per check; 0 for the strictness's default.
    int iterations = 0;
    // The controls commands may name: those of the layout given, or of the
    // layouts the component loads; none checked when empty.
    std::set<std::string> layout;
    // The path given to the export.
    std::string componentPath;
    // The messages the component declares in that folder (NAME.zant_messages),
    // and where the declaration is or would be; none when it ships none.
    std::vector<zant::hosting::MessageDeclaration> messages;
    std::string messagesFile;
    int timeoutMs = 10000;
    // Fails the timing check when a kind's 99th percentile is above it.
    double maxMs = 0;
    bool verbose = false;
};

struct CheckContext {
    zant_load_function entry;
    ComponentProfile profile;
    CheckSettings settings;
    Isolation isolation;
    ProgressBoard& board;

    int iterations() const {
        return settings.iterations > 0 ? settings.iterations : 2 * settings.strictness;
    }
    size_t randomLength() const { return 50 * static_cast<size_t>(settings.strictness); }
};

}  // namespace zant::validate

#endif  // VALIDATOR_CHECK_CONTEXT_H
