#include "hosting/ReplyLedger.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using zant::hosting::ReplyLedger;
using Outcome = ReplyLedger::Outcome;

TEST(ReplyLedger, TellsReleasesApartAndReportsWhatNeverCameBack) {
    ReplyLedger ledger;
    char* name = ledger.issue("RN 12 0 3", "CAM 3");
    char* property = ledger.issue("TG '1' 'Take' 'text'", "text=");
    char* lookup = ledger.issue("SD 'studioA'", "12");
    char* shown = ledger.issue("PS '1' 'x'", "1");  // never has to come back
    EXPECT_STREQ(name, "CAM 3");
    EXPECT_EQ(ledger.mustComeBack(), 3u);

    char local[] = "CAM 3";
    const struct {
        const char* reply;
        Outcome outcome;
        const char* command;
    } releases[] = {
        {name, Outcome::ok, "RN 12 0 3"},      {name, Outcome::twice, "RN 12 0 3"},
        {nullptr, Outcome::nullReply, ""},     {local, Outcome::unknown, ""},
        {lookup, Outcome::ok, "SD 'studioA'"}, {shown, Outcome::notHandedBack, "PS '1' 'x'"},
    };
    for (const auto& r : releases) {
        const ReplyLedger::Release released = ledger.release(r.reply);
        EXPECT_EQ(released.outcome, r.outcome) << r.command;
        EXPECT_EQ(released.command, r.command);
    }

    EXPECT_EQ(ledger.outstanding(), std::vector<std::string>{"TG '1' 'Take' 'text'"});
    EXPECT_EQ(ledger.mustComeBack(), 1u);
    EXPECT_EQ(ledger.release(property).outcome, Outcome::ok);
    EXPECT_TRUE(ledger.outstanding().empty());
    EXPECT_EQ(ledger.mustComeBack(), 0u);
}

TEST(ReplyLedger, ListsOutstandingRepliesInTheOrderTheyWereIssued) {
    ReplyLedger ledger;
    for (int i = 0; i < 20; ++i) ledger.issue("RN 1 0 " + std::to_string(i), "x");
    const std::vector<std::string> outstanding = ledger.outstanding();
    ASSERT_EQ(outstanding.size(), 20u);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(outstanding[i], "RN 1 0 " + std::to_string(i));
    EXPECT_EQ(ledger.takeOutstanding(), outstanding);
    EXPECT_TRUE(ledger.outstanding().empty());
    EXPECT_EQ(ledger.mustComeBack(), 0u);
}

TEST(ReplyLedger, ABoundedLedgerForgetsTheOldestRelease) {
    ReplyLedger ledger(2);
    char* first = ledger.issue("TG", "a");
    char* second = ledger.issue("TG", "b");
    char* third = ledger.issue("TG", "c");
    EXPECT_EQ(ledger.release(first).length, 1u);
    ledger.release(second);
    EXPECT_EQ(ledger.release(first).outcome, Outcome::twice);
    ledger.release(third);  // pushes `first` out
    EXPECT_EQ(ledger.release(second).outcome, Outcome::twice);
}

}  // namespace
