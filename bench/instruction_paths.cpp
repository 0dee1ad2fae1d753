// zant_instruction_paths LIBRARY PATH COUNT
//
// Drives one hot path of a component library COUNT times through its export,
// as a panel host does, for callgrind to count the instructions spent inside
// the component (bench/instruction_gate.sh). A path may need a set-up each
// time (re-arming Take, say): its notifications go to the component directly,
// while those of the path itself go through countedNotify, so the gate takes
// the inclusive cost of the calls made from there and nothing else.
//
// The host resolves "studioA" to device 12 and "studioB" to device 13, each
// with 16 destinations in a scratch installation, and answers every name
// request ("RN") from a fixed buffer. It allocates nothing.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "host/zant_host.h"
#include "hosting/ScratchInstallation.h"
#include "platform/ComponentLibrary.h"
#include "script_helper/parentMessage.h"
#include "script_helper/zant_script_helper.h"

namespace {

class PathHost : public zant_host {
public:
    char* execute(const char* text, int mode) override {
        if (mode != modeCommand || text == nullptr) return nullptr;
        if (std::strncmp(text, "SD 'studioA'", 12) == 0) return studioA_;
        if (std::strncmp(text, "SD 'studioB'", 12) == 0) return studioB_;
        if (std::strncmp(text, "RN ", 3) == 0) return name_;
        return nullptr;
    }

private:
    char studioA_[8] = "12 0";
    char studioB_[8] = "13 0";
    char name_[24] = "Studio|Camera 01";
};

// The helper's command formatting, outside any component: a crosspoint with
// its extra field, as "RC" is built on every Take and Undo.
class FormattingProbe : public zant_script_helper {
public:
    using zant_script_helper::zant_script_helper;
    void onButton(zant_button_event*) override {}
    int onRevertive(zant_revertive_event*) override { return 0; }
    zant_string onParentMessage(parentMessage*) override { return zant_string(); }
    void onTimer(int) override {}
    __attribute__((noinline)) void formatCrosspoint() { routerCrosspoint(12, 3, 7, extra_, false); }

private:
    const zant_string extra_{","};
};

// The empty asm after each call keeps it a call: as a tail jump it would not
// be counted as made from here.
__attribute__((noinline)) char* countedNotify(zant_client_callback* component, void* data,
                                              int kind) {
    char* reply = component->notify(data, kind);
    asm volatile("" ::: "memory");
    return reply;
}

__attribute__((noinline)) void countedFormat(FormattingProbe* probe) {
    probe->formatCrosspoint();
    asm volatile("" ::: "memory");
}

struct Driver {
    zant_client_callback* component;

    char* notify(void* data, int kind, bool counted) {
        return counted ? countedNotify(component, data, kind) : component->notify(data, kind);
    }
    void message(const char* text, bool counted = false) {
        char* reply = notify(const_cast<char*>(text), zantParentMessage, counted);
        notify(reply, zantReleaseReply, counted);
    }
    void revertive(int device, int index, int value) {
        zant_revertive_record record{device, 0, index, value};
        notify(&record, zantRevertive, true);
    }
    void press(const char* control) {
        parentMessage event("press");
        zant_button_record record{0, 0, "1", control, &event};
        notify(&record, zantButton, true);
    }
    void tick(int timer) {
        notify(reinterpret_cast<void*>(static_cast<intptr_t>(timer)), zantTimer, true);
    }
    // A Take armed afresh, its flashing started again: a Take clears the
    // selection, so both indices come again.
    void armTake() {
        message("destID=0");
        message("sourceID=3");
        message("destID=7");
    }
};

int usage() {
    std::fprintf(stderr,
                 "usage: zant_instruction_paths LIBRARY PATH COUNT\n"
                 "paths: revertive.own revertive.other tick take sourceID instance "
                 "return.all format.crosspoint\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) return usage();
    const std::string path = argv[2];
    const long count = std::strtol(argv[3], nullptr, 10);
    if (count < 1) return usage();

    zant::hosting::ScratchInstallation installation;
    installation.writeRouter(12, 16);
    installation.writeRouter(13, 16);
    ComponentLibrary library;
    if (!installation.ready() || !library.load(argv[1]) || library.entry() == nullptr) {
        std::fprintf(stderr, "zant_instruction_paths: %s\n",
                     library.error().empty() ? "no installation" : library.error().c_str());
        return 2;
    }
    PathHost host;
    Driver driver{library.entry()(&host, "panels/take")};
    if (driver.component == nullptr) return 2;
    auto* probe = new FormattingProbe(&host, "");
    driver.message("instance=studioA");
    driver.armTake();

    bool known = true;
    for (long i = 0; i < count && known; ++i) {
        if (path == "revertive.own") {
            driver.revertive(12, 5, static_cast<int>(i & 15));
        } else if (path == "revertive.other") {
            driver.revertive(13, 5, static_cast<int>(i & 15));
        } else if (path == "tick") {
            driver.armTake();
            driver.tick(2);
        } else if (path == "take") {
            driver.armTake();
            driver.press("Take");
        } else if (path == "sourceID") {
            driver.message(i % 2 == 0 ? "sourceID=4" : "sourceID=3", true);
        } else if (path == "instance") {
            driver.message(i % 2 == 0 ? "instance=studioB" : "instance=studioA", true);
        } else if (path == "return.all") {
            driver.message("return=all", true);
        } else if (path == "format.crosspoint") {
            countedFormat(probe);
        } else {
            known = false;
        }
    }
    zant_destroy_client(probe);
    zant_destroy_client(driver.component);
    return known ? 0 : usage();
}
