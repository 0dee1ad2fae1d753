// A component on air gets notifications for weeks without a restart: a long
// mixed run must leave its heap use where it was after warming up, hand every
// reply back and send nothing malformed.
//
// ZANT_SOAK_NOTIFICATIONS sets the number of notifications (default one
// million); the memcheck preset lowers it, valgrind being some 50 times slower.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "panels/components/Quorvex/Quorvex.h"
#include "tests/quorvex/support/QuorvexCommands.h"
#include "validator/CheckingHost.h"
#include "validator/HeapMeter.h"
#include "validator/NotifyDriver.h"

using zant::validate::CheckingHost;
using zant::validate::HeapMeter;
using zant::validate::NotifyDriver;

namespace {

long long notificationCount() {
    const char* setting = std::getenv("ZANT_SOAK_NOTIFICATIONS");
    const long long count = setting != nullptr ? std::strtoll(setting, nullptr, 10) : 0;
    return count > 0 ? count : 1000000;
}

// A router with names for everything; every reply must come back.
class RouterHost : public CheckingHost {
public:
    RouterHost() { setCommandRule(quorvexCommandError); }
    std::optional<std::string> replyTo(const std::string& command) override {
        if (command.compare(0, 2, "SD") == 0)
            return std::string(command.compare(0, 5, "SD 'a") == 0 ? "12 0" : "13 0");
        if (command.compare(0, 2, "RN") == 0) return std::string("Camera|") + command.substr(3);
        return std::nullopt;
    }
};

// The parent's messages; %d is replaced by a number from the run.
const char* const messages[] = {
    "sourceID=%d",     "destID=%d",        "instance=a", "instance=b",  "takeHigh=red",
    "takeLow=dim",     "return=all",       "_events",    "_commands",   "bgndStyle=%d",
    "takeDouble=TRUE", "undoDouble=false", "destID=%d",  "sourceID=%d", "unknown=1",
};
const char* const buttons[] = {"Take", "Take", "Undo", "Deselect", "Other"};

class Soak {
public:
    explicit Soak(long long count) : count_(count) {}

    // Runs notifications [from, to) of the mix.
    void run(NotifyDriver& driver, long long from, long long to) {
        for (long long i = from; i < to; ++i) {
            const uint32_t r = next();
            const uint32_t pick = r % 100;
            if (pick < 50) {
                driver.revertive(r % 7 == 0 ? 13 : 12, static_cast<int>(r >> 8) % 260 - 10,
                                 static_cast<int>(r >> 16) % 64);
            } else if (pick < 70) {
                std::string text = messages[(r >> 8) % (sizeof messages / sizeof *messages)];
                const size_t at = text.find("%d");
                if (at != std::string::npos) {
                    text.replace(at, 2, std::to_string(static_cast<int>(r >> 16) % 220 - 5));
                }
                driver.message(text.c_str());
            } else if (pick < 88) {
                driver.tick(r % 13 == 0 ? 3 : 2);
            } else {
                driver.press(r % 11 == 0 ? "2" : "1",
                             buttons[(r >> 8) % (sizeof buttons / sizeof *buttons)]);
            }
        }
    }

    long long count() const { return count_; }

private:
    // A fixed pseudo-random sequence: the same mix on every run.
    uint32_t next() {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ >> 4;
    }

    long long count_;
    uint32_t state_ = 12345;
};

TEST(Soak, MixedNotificationsKeepTheHeapFlat) {
    Soak soak(notificationCount());
    RouterHost host;
    {
        std::unique_ptr<zant_client_callback, zant_client_deleter> component(
            new Quorvex(&host, ""));
        NotifyDriver driver(component.get(), &host);
        driver.holdReplies(3);
        // Warm up: the route tables, the host's bookkeeping and the
        // allocator's caches reach their working size.
        const long long warmUp = soak.count() / 10 + 1;
        soak.run(driver, 0, warmUp);
        const long long before = HeapMeter::inUse();
        soak.run(driver, warmUp, soak.count());
        const long long after = HeapMeter::inUse();
        if (before >= 0) {
            EXPECT_LT(after - before, 64 * 1024)
                << "heap grew from " << before << " to " << after << " bytes";
        }
        driver.releaseAll();
        EXPECT_EQ(driver.repliesGiven(), driver.repliesReleased());
        EXPECT_EQ(driver.violations(), std::vector<std::string>());
    }
    EXPECT_EQ(host.violations(), std::vector<std::string>());
    EXPECT_EQ(host.mustComeBack(), 0);
    EXPECT_GT(host.sent("RC"), 0);
    EXPECT_GT(host.sent("RN"), 0);
}

}  // namespace
