// The library loads as the field host loads it, and its export resolves by its
// plain, undecorated name.
#include <gtest/gtest.h>

#include "host/zant_host.h"
#include "tests/support/CommandListMatchers.h"
#include "tests/support/RecordingHost.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace {

TEST(LibraryLoad, ExportResolvesByItsPlainNameAndCreatesAComponent) {
#if defined(_WIN32)
    HMODULE library = LoadLibraryA(QUORVEX_LIBRARY_PATH);
    ASSERT_NE(library, nullptr);
    auto load = reinterpret_cast<zant_load_function>(
        reinterpret_cast<void*>(GetProcAddress(library, zantLoadFunctionName)));
#else
    void* library = dlopen(QUORVEX_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    auto load = reinterpret_cast<zant_load_function>(dlsym(library, zantLoadFunctionName));
#endif
    ASSERT_NE(load, nullptr);
    {
        RecordingHost host;
        zant_client_callback* component = load(&host, "");
        ASSERT_NE(component, nullptr);
        char* reply = component->notify(const_cast<char*>("_events"), 3);
        ASSERT_NE(reply, nullptr);
        EXPECT_STREQ(reply, "deselect=-1");
        component->notify(reply, 5);
        zant_destroy_client(component);
        EXPECT_THAT(host.commands(), testing::AllOf(HasCommandAt(0, "PS '1' 'myTakePanel.zant_ui'"),
                                                    EndsWithCommand("AS")));
    }
#if defined(_WIN32)
    FreeLibrary(library);
#else
    dlclose(library);
#endif
}

}  // namespace
