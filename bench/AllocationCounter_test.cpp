// The counting the benchmarks rest on: if an allocation route were missed,
// every path would read as allocation-free and every goal as met.
#include "bench/AllocationCounter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench/CountingHost.h"

namespace {

// Allocations made by `action` with counting on.
std::uint64_t countedBy(const std::function<void()>& action) {
    const std::uint64_t before = AllocationCounter::allocations();
    {
        const CountingScope counting;
        action();
    }
    return AllocationCounter::allocations() - before;
}

// Keeps the compiler from eliding a paired allocation and release.
void* volatile sink = nullptr;

TEST(AllocationCounter, CountsEveryRouteToTheHeap) {
    struct Case {
        const char* route;
        std::function<void()> action;
        std::uint64_t expected;
    };
    const std::vector<Case> cases = {
        {"operator new", [] { delete static_cast<int*>(sink = new int(1)); }, 1},
        {"operator new[]", [] { delete[] static_cast<char*>(sink = new char[64]); }, 1},
        {"malloc", [] { std::free(sink = std::malloc(40)); }, 1},
        {"calloc", [] { std::free(sink = std::calloc(4, 10)); }, 1},
        {"realloc of null", [] { std::free(sink = std::realloc(nullptr, 40)); }, 1},
        // Inside libc: strdup calls malloc from within the shared library.
        {"strdup", [] { std::free(sink = strdup("a text long enough to need the heap")); }, 1},
        {"std::string beyond its inline buffer",
         [] {
             std::string text(100, 'x');
             sink = text.data();
         },
         1},
        {"std::string within its inline buffer",
         [] {
             std::string text("short");
             sink = text.data();
         },
         0},
        {"std::vector growth 1, 2, 4",
         [] {
             std::vector<int> items;
             for (int i = 0; i < 4; ++i) items.push_back(i);
             sink = items.data();
         },
         3},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(countedBy(c.action), c.expected) << c.route;
    }
}

TEST(AllocationCounter, CountsOnlyWhileCountingIsOn) {
    const std::uint64_t before = AllocationCounter::allocations();
    {
        const CountingScope off(false);
        std::free(sink = std::malloc(40));
    }
    EXPECT_EQ(AllocationCounter::allocations(), before);
}

TEST(AllocationCounter, ReallocMovingIsOneAllocationAndLiveBytesFollowTheBlocks) {
    const std::int64_t before = AllocationCounter::liveBytes();
    char* block = static_cast<char*>(std::malloc(16));
    EXPECT_GE(AllocationCounter::liveBytes() - before, 16);
    // Far beyond the block's size: glibc must move it (or map it anew).
    const std::uint64_t moved =
        countedBy([&] { block = static_cast<char*>(std::realloc(block, 1 << 20)); });
    EXPECT_EQ(moved, 1u);
    EXPECT_GE(AllocationCounter::liveBytes() - before, 1 << 20);
    std::free(block);
    EXPECT_EQ(AllocationCounter::liveBytes(), before);
}

TEST(CountingHost, CountsCommandsAnswersByPrefixAndAllocatesNothing) {
    CountingHost host;
    host.answer("RN ", "Studio|Camera 01 and a long tail");
    host.answer("SD 'a'", "12 0");
    const std::uint64_t before = AllocationCounter::allocations();
    const CountingScope counting;
    EXPECT_STREQ(host.execute("RN 12 0 3", 0), "Studio|Camera 01 and a long tail");
    EXPECT_STREQ(host.execute("SD 'a'", 0), "12 0");
    EXPECT_EQ(host.execute("SD 'b'", 0), nullptr);
    EXPECT_EQ(host.execute("RN", 0), nullptr);  // shorter than the prefix
    char* reply = host.execute("RN 1 1 1", 0);
    EXPECT_EQ(host.execute(reply, 5), nullptr);  // a release is no command
    EXPECT_EQ(host.execute(nullptr, 5), nullptr);
    EXPECT_EQ(host.commands(), 5u);
    EXPECT_EQ(AllocationCounter::allocations(), before);
}

}  // namespace
