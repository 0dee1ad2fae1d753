#include "validator/Shrinker.h"

#include <algorithm>

namespace zant::validate {

std::vector<size_t> Shrinker::shrink(std::vector<size_t> steps, const Fails& fails, int budget) {
    // No step at all, then the step at fault alone: the likeliest answers.
    if (!steps.empty() && budget > 0) {
        --budget;
        if (fails({})) return {};
    }
    if (steps.size() > 1 && budget > 0) {
        --budget;
        std::vector<size_t> last{steps.back()};
        if (fails(last)) return last;
    }
    size_t chunks = 2;
    while (steps.size() >= 2 && budget > 0) {
        const size_t size = (steps.size() + chunks - 1) / chunks;
        bool removed = false;
        for (size_t from = 0; from < steps.size() && budget > 0; from += size) {
            std::vector<size_t> rest(steps.begin(), steps.begin() + static_cast<long>(from));
            rest.insert(rest.end(),
                        steps.begin() + static_cast<long>(std::min(from + size, steps.size())),
                        steps.end());
            --budget;
            if (fails(rest)) {
                steps = std::move(rest);
                chunks = std::max<size_t>(chunks - 1, 2);
                removed = true;
                break;
            }
        }
        if (removed) continue;
        if (chunks >= steps.size()) break;
        chunks = std::min(chunks * 2, steps.size());
    }
    return steps;
}

}  // namespace zant::validate
