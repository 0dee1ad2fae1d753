// Shrinks a failing list of steps to a shortest one that still fails (delta
// debugging: leave out chunks, then single steps, while the fault remains).
#ifndef VALIDATOR_SHRINKER_H
#define VALIDATOR_SHRINKER_H

#include <cstddef>
#include <functional>
#include <vector>

namespace zant::validate {

class Shrinker {
public:
    using Fails = std::function<bool(const std::vector<size_t>& steps)>;

    // At most `budget` calls of `fails`; `steps` is known to fail.
    static std::vector<size_t> shrink(std::vector<size_t> steps, const Fails& fails, int budget);
};

}  // namespace zant::validate

#endif  // VALIDATOR_SHRINKER_H
