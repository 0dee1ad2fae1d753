#include "simulator/ReplyLedger.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(ReplyLedger, TellsReleasesApartAndReportsWhatNeverCameBack) {
    ReplyLedger ledger;
    char* name = ledger.issue("RN 12 0 3", "CAM 3");
    char* property = ledger.issue("TG '1' 'Take' 'text'", "text=");
    char* lookup = ledger.issue("SD 'studioA'", "12");
    ledger.issue("PS '1' 'x'", "1");  // never has to come back
    EXPECT_STREQ(name, "CAM 3");

    std::string command;
    EXPECT_EQ(ledger.release(name, command), ReplyLedger::Release::ok);
    EXPECT_EQ(command, "RN 12 0 3");
    EXPECT_EQ(ledger.release(name, command), ReplyLedger::Release::twice);
    EXPECT_EQ(ledger.release(nullptr, command), ReplyLedger::Release::nullReply);
    char local[] = "CAM 3";
    EXPECT_EQ(ledger.release(local, command), ReplyLedger::Release::unknown);
    EXPECT_EQ(ledger.release(lookup, command), ReplyLedger::Release::ok);

    EXPECT_EQ(ledger.outstanding(), std::vector<std::string>{"TG '1' 'Take' 'text'"});
    EXPECT_EQ(ledger.release(property, command), ReplyLedger::Release::ok);
    EXPECT_TRUE(ledger.outstanding().empty());
}

TEST(ReplyLedger, ListsOutstandingRepliesInTheOrderTheyWereIssued) {
    ReplyLedger ledger;
    for (int i = 0; i < 20; ++i) ledger.issue("RN 1 0 " + std::to_string(i), "x");
    const std::vector<std::string> outstanding = ledger.outstanding();
    ASSERT_EQ(outstanding.size(), 20u);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(outstanding[i], "RN 1 0 " + std::to_string(i));
}

}  // namespace
