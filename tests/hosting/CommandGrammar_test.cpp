// The grammar's hand-back column against the components' copy of it.
#include "hosting/CommandGrammar.h"

#include <gtest/gtest.h>

#include <string>

#include "host/zant_host.h"

namespace {

using zant::hosting::CommandForm;
using zant::hosting::CommandGrammar;
using zant::hosting::HandBack;

TEST(CommandGrammar, ZantReplyHandedBackAgreesWithEveryRow) {
    for (const CommandForm* form = CommandGrammar::begin(); form != CommandGrammar::end(); ++form) {
        const bool comesBack = form->handBack == HandBack::once;
        EXPECT_EQ(zant_reply_handed_back(form->mnemonic), comesBack) << form->mnemonic;
        EXPECT_EQ(CommandGrammar::handedBack(form->mnemonic), comesBack) << form->mnemonic;
        EXPECT_EQ(std::string(form->usage).rfind(form->mnemonic, 0), 0u) << form->usage;
    }
}

TEST(CommandGrammar, HandedBackReadsTheMnemonicOfAWholeCommand) {
    const struct {
        const char* command;
        bool handedBack;
    } cases[] = {
        {"RN 12 0 3", true},  {"SD 'studioA'", true}, {"PS '1' 'f'", false}, {"RNX 1", false},
        {"rn 12 0 3", false}, {"ZZ", false},          {"R", false},          {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CommandGrammar::handedBack(c.command), c.handedBack) << c.command;
        EXPECT_EQ(CommandGrammar::handedBack(c.command), zant_reply_handed_back(c.command))
            << c.command;
    }
}

}  // namespace
