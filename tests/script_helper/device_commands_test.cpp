// Device and timer commands, and the database size read from a device's
// configuration file.
#include <gtest/gtest.h>

#include <climits>
#include <functional>

#include "hosting/ScratchInstallation.h"
#include "tests/script_helper/TestComponent.h"
#include "tests/support/RecordingHost.h"
#include "tests/support/ScopedEnvironment.h"

namespace {

using Calls = std::vector<std::string>;

struct CommandCase {
    std::function<void(TestComponent&)> call;
    const char* expected;
};

TEST(DeviceCommands, TextsAreExactAndNeverCut) {
    const CommandCase cases[] = {
        {[](TestComponent& c) { c.routerCrosspoint(12, 3, 7, "", false); }, "RC 12 3 7 ',' 0"},
        {[](TestComponent& c) { c.routerCrosspoint(12, 3, 7, "x", true); }, "RC 12 3 7 ',x' 1"},
        {[](TestComponent& c) { c.routerCrosspoint(-1, 0, INT_MIN, "", false); },
         "RC -1 0 -2147483648 ',' 0"},
        {[](TestComponent& c) { c.routerPoll(5, 1, 16); }, "RP 5 1 16"},
        {[](TestComponent& c) { c.routerRegister(5, 1, 16, true); }, "RR 5 1 16 'ADD'"},
        {[](TestComponent& c) { c.routerRegister(5, 1, 16, false); }, "RR 5 1 16"},
        {[](TestComponent& c) { c.routerRegister(INT_MIN, INT_MIN, INT_MIN, true); },
         "RR -2147483648 -2147483648 -2147483648 'ADD'"},
        {[](TestComponent& c) { c.routerPoll(INT_MAX, INT_MIN, INT_MAX); },
         "RP 2147483647 -2147483648 2147483647"},
        {[](TestComponent& c) { c.routerUnregister(-4); }, "RU -4"},
        {[](TestComponent& c) { c.timerStart(2, 1000); }, "ET 2 1000"},
        {[](TestComponent& c) { c.timerStart(2, -1); }, "ET 2 -1"},
        {[](TestComponent& c) { c.timerStart(2, 0); }, "ET 2"},
        {[](TestComponent& c) { c.timerStop(INT_MIN); }, "ET -2147483648"},
        {[](TestComponent& c) {
             zant_string name;
             c.routerName(12, 0, 3, name);
         },
         "RN 12 0 3"},
    };
    for (const CommandCase& test : cases) {
        SCOPED_TRACE(test.expected);
        RecordingHost host;
        TestComponent component(&host);
        test.call(component);
        EXPECT_EQ(host.commands(), (Calls{test.expected}));
        host.clear();
    }
}

struct NameCase {
    std::optional<std::string> reply;
    const char* expected;
};

TEST(DeviceCommands, RouterNameTakesTheWholeReplyAndAlwaysHandsItBack) {
    const NameCase cases[] = {
        {"Cam 1|Left", "Cam 1|Left"},
        {"", ""},
        {std::nullopt, "kept"},
    };
    for (const NameCase& test : cases) {
        SCOPED_TRACE(test.reply.value_or("(null)"));
        RecordingHost host;
        TestComponent component(&host);
        host.answer("RN 12 0 3", test.reply);
        zant_string name("kept");
        component.routerName(12, 0, 3, name);
        EXPECT_EQ(std::string(name), test.expected);
        ASSERT_EQ(host.calls().size(), 2u);
        EXPECT_EQ(host.calls()[1].mode, 5);
        EXPECT_EQ(host.nullReleases(), test.reply ? 0 : 1);
    }
}

struct SizeCase {
    const char* label;
    std::string contents;
    int database;
    int expected;
};

TEST(DatabaseSize, ReadsTheDatabaseKeyOfTheDeviceFile) {
    const SizeCase cases[] = {
        {"value", "[Database]\nDatabaseSize_1=64\n", 1, 64},
        {"other database", "[Database]\nDatabaseSize_0=8\nDatabaseSize_1=64\n", 0, 8},
        {"missing key", "[Database]\nDatabaseSize_0=8\n", 1, 0},
        {"missing section", "[Other]\nDatabaseSize_1=64\n", 1, 0},
        {"empty value", "[Database]\nDatabaseSize_1=\n", 1, 0},
        {"not a number", "[Database]\nDatabaseSize_1=many\n", 1, 0},
        {"leading number", "[Database]\nDatabaseSize_1=32 dests\n", 1, 32},
        {"negative", "[Database]\nDatabaseSize_1=-5\n", 1, -5},
        {"clamped", "[Database]\nDatabaseSize_1=99999999999\n", 1, INT_MAX},
        {"names without case", "[database]\ndatabasesize_1 = 16\r\n", 1, 16},
    };
    for (const SizeCase& test : cases) {
        SCOPED_TRACE(test.label);
        zant::hosting::ScratchInstallation installation;
        installation.writeDevice(7, test.contents);
        TestComponent component(nullptr);
        EXPECT_EQ(component.databaseSize(7, test.database), test.expected);
    }
}

TEST(DatabaseSize, FileNameIsPaddedToThreeDigits) {
    zant::hosting::ScratchInstallation installation;
    installation.writeRouter(7, 16);
    installation.writeRouter(1234, 4096);
    TestComponent component(nullptr);
    EXPECT_EQ(component.databaseSize(7, 1), 16);
    EXPECT_EQ(component.databaseSize(1234, 1), 4096);
    EXPECT_EQ(component.databaseSize(8, 1), 0);
}

TEST(DatabaseSize, MissingVariablesMeanNoSize) {
    zant::hosting::ScratchInstallation installation;
    installation.writeRouter(7, 16);
    TestComponent component(nullptr);
    {
        ScopedEnvironment noSystem("KV_SYSTEM", std::nullopt);
        EXPECT_EQ(component.databaseSize(7, 1), 0);
    }
    {
        ScopedEnvironment noRoot("KV_ROOT", std::nullopt);
        EXPECT_EQ(component.databaseSize(7, 1), 0);
    }
    EXPECT_EQ(component.databaseSize(7, 1), 16);
}

TEST(DatabaseSize, APathBeyond259CharactersIsNeverOpened) {
    // The full path of a system folder name this long exceeds 259 characters;
    // a cut path could name another file, so no size is read even though the
    // file exists.
    zant::hosting::ScratchInstallation installation(std::string(240, 's'));
    installation.writeRouter(7, 16);
    TestComponent component(nullptr);
    EXPECT_EQ(component.databaseSize(7, 1), 0);
}

}  // namespace
