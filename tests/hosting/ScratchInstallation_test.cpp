#include "hosting/ScratchInstallation.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "platform/ProcessEnvironment.h"
#include "tests/support/ScopedEnvironment.h"

namespace {

using zant::hosting::ScratchInstallation;
using zant::platform::environmentVariable;

// A leftover folder fills the temporary folder run after run, and a variable
// left pointing at a removed installation misleads whatever runs next.
TEST(ScratchInstallation, LeavesNoFolderAndGivesTheVariablesBack) {
    const ScopedEnvironment root("KV_ROOT", std::string("elsewhere"));
    const ScopedEnvironment system("KV_SYSTEM", std::nullopt);
    std::filesystem::path device;
    {
        const ScratchInstallation installation("studio");
        ASSERT_TRUE(installation.ready());
        ASSERT_TRUE(installation.writeRouter(7, 64));
        EXPECT_EQ(environmentVariable("KV_ROOT"), installation.root());
        EXPECT_EQ(environmentVariable("KV_SYSTEM"), "studio");
        device = std::filesystem::path(installation.root()) / "studio" / "config" / "system" /
                 "dev_007.ini";
        EXPECT_TRUE(std::filesystem::exists(device));
    }
    EXPECT_FALSE(std::filesystem::exists(device.parent_path().parent_path().parent_path()));
    EXPECT_EQ(environmentVariable("KV_ROOT"), "elsewhere");
    EXPECT_EQ(environmentVariable("KV_SYSTEM"), std::nullopt);
}

}  // namespace
