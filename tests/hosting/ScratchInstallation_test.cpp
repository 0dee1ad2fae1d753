#include "hosting/ScratchInstallation.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
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

// A real router's sizes replace the database sizes of a copied device file;
// whatever else the file says stays, as the component may read it.
TEST(ScratchInstallation, SetsDatabaseSizesAndKeepsTheRest) {
    const struct {
        const char* name;
        const char* before;  // nullptr: no file
        const char* after;
    } cases[] = {
        {"sizes replaced", "[Device]\nName=A\n[Database]\nDatabaseSize_0=16\nDatabaseSize_1=16\n",
         "[Device]\nName=A\n[Database]\nDatabaseSize_0=20\nDatabaseSize_1=24\n"},
        {"any case, CR LF, other keys kept",
         "[database]\r\n databasesize_1 = 8\r\nLevels=2\r\n[Comms]\r\nPort=COM1\r\n",
         "[database]\nDatabaseSize_0=20\nDatabaseSize_1=24\nLevels=2\n[Comms]\nPort=COM1\n"},
        {"no database section", "[Device]\nName=A\n",
         "[Device]\nName=A\n\n[Database]\nDatabaseSize_0=20\nDatabaseSize_1=24\n"},
        {"no file", nullptr, "\n[Database]\nDatabaseSize_0=20\nDatabaseSize_1=24\n"},
    };
    for (const auto& c : cases) {
        const ScratchInstallation installation;
        if (c.before != nullptr) {
            ASSERT_TRUE(installation.writeDevice(12, c.before));
        }
        ASSERT_TRUE(installation.setDatabaseSizes(12, 20, 24)) << c.name;
        std::ifstream file(std::filesystem::path(installation.root()) / "main" / "config" /
                               "system" / "dev_012.ini",
                           std::ios::binary);
        const std::string written((std::istreambuf_iterator<char>(file)),
                                  std::istreambuf_iterator<char>());
        EXPECT_EQ(written, c.after) << c.name;
    }
}

}  // namespace
