// One component as a panel host drives it: a CountingHost, the temporary
// installation its routers' configuration files live in, and a Quorvex called
// only through `notify`, as the host sees it.
//
// The host resolves these instance names ("SD"): "studioA" to device 12 and
// "studioB" to device 13 (16 destinations each), "small" to device 21 (16)
// and "large" to device 22 (4096). Every name request ("RN") is answered with
// "Studio|Camera 01".
#ifndef BENCH_COMPONENT_RIG_H
#define BENCH_COMPONENT_RIG_H

#include <memory>

#include "bench/CountingHost.h"
#include "panels/components/Quorvex/Quorvex.h"
#include "script_helper/parentMessage.h"

class ComponentRig {
public:
    static constexpr int studioDevice = 12;
    static constexpr int largeDevice = 22;
    static constexpr int largeDestinations = 4096;

    ComponentRig();
    ~ComponentRig();
    ComponentRig(const ComponentRig&) = delete;
    ComponentRig& operator=(const ComponentRig&) = delete;

    // Answers the names above; the installation is made once per process.
    static void prepareHost(CountingHost& host);
    static bool installationReady();

    CountingHost& host() { return host_; }
    Quorvex& component() { return *component_; }
    zant_client_callback* callback() { return component_.get(); }

    // Kind 3, then the reply handed back with kind 5 as the host does.
    void message(const char* text);
    // Kind 2 on panel "1", with a record the host built beforehand.
    void press(const char* control);

private:
    CountingHost host_;
    parentMessage click_{"click"};
    std::unique_ptr<Quorvex, zant_client_deleter> component_;
};

#endif  // BENCH_COMPONENT_RIG_H
