#include "validator/CheckRunner.h"

#include "validator/InProcessCheckRunner.h"

#if defined(_WIN32)
#include "validator/ChildProcessCheckRunner.h"
#endif

namespace zant::validate {

std::unique_ptr<CheckRunner> CheckRunner::forThisRun(const Options& options,
                                                     [[maybe_unused]] uint32_t seed) {
#if defined(_WIN32)
    // No fork here: the run starts a process of its own for each probe and
    // check, and such a process runs its one piece in itself.
    if (!options.probe && options.child.empty()) {
        std::vector<std::string> arguments = options.arguments;
        arguments.insert(arguments.end(), {"--seed", std::to_string(seed)});
        return std::make_unique<ChildProcessCheckRunner>(std::move(arguments));
    }
#endif
    return std::make_unique<InProcessCheckRunner>(options.probeStage);
}

}  // namespace zant::validate
