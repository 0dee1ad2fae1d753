// The hand-back rule every host of ours checks against.
#include <gtest/gtest.h>

#include "host/zant_host.h"

namespace {

TEST(ReplyHandedBack, NamesTheFourCommandsByMnemonicOrText) {
    const struct {
        const char* command;
        bool handedBack;
    } cases[] = {
        {"TG", true},
        {"SD 'studioA'", true},
        {"XI '1' 'alm_*'", true},
        {"RN 12 0 3", true},
        {"PS '1' 'f'", false},
        {"RC 12 1 3 ',' 0", false},
        {"AS", false},
        {"RNX 1", false},
        {"rn 12 0 3", false},
        {"R", false},
        {"", false},
        {nullptr, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(zant_reply_handed_back(c.command), c.handedBack)
            << (c.command ? c.command : "(null)");
    }
}

}  // namespace
