#include <gtest/gtest.h>

#include <algorithm>

#include "validator/Shrinker.h"

namespace zant::validate {

namespace {

bool holds(const std::vector<size_t>& steps, size_t step) {
    return std::find(steps.begin(), steps.end(), step) != steps.end();
}

std::vector<size_t> upTo(size_t count) {
    std::vector<size_t> steps(count);
    for (size_t i = 0; i < count; ++i) steps[i] = i;
    return steps;
}

// A fault that needs several steps, in order, keeps exactly those.
TEST(Shrinker, KeepsOnlyTheStepsTheFaultNeeds) {
    const auto needs = [](const std::vector<size_t>& steps) {
        return holds(steps, 3) && holds(steps, 17) && holds(steps, 40);
    };
    EXPECT_EQ(Shrinker::shrink(upTo(41), needs, 500), (std::vector<size_t>{3, 17, 40}));
    EXPECT_EQ(Shrinker::shrink(
                  upTo(41), [](const auto&) { return true; }, 500),
              std::vector<size_t>());
}

TEST(Shrinker, StopsAtItsBudget) {
    int calls = 0;
    Shrinker::shrink(
        upTo(200),
        [&](const std::vector<size_t>& steps) {
            ++calls;
            return steps.size() > 150;
        },
        10);
    EXPECT_EQ(calls, 10);
}

}  // namespace

}  // namespace zant::validate
