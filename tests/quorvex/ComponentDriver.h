// Drives a component created through the library's export, as a host does:
// only through `notify`, against a RecordingHost.
#ifndef TESTS_QUORVEX_COMPONENT_DRIVER_H
#define TESTS_QUORVEX_COMPONENT_DRIVER_H

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/zant_host.h"
#include "script_helper/parentMessage.h"
#include "tests/support/CommandListMatchers.h"
#include "tests/support/RecordingHost.h"

using Commands = std::vector<std::string>;

// A host record of the event text's layout, as the host builds it for kind 2.
class ButtonEvent {
public:
    ButtonEvent(const char* panel, const char* id, const char* text)
        : message_(text), record_{0, 0, panel, id, &message_} {}
    zant_button_record* record() { return &record_; }

private:
    parentMessage message_;
    zant_button_record record_;
};

class ComponentDriver {
public:
    explicit ComponentDriver(RecordingHost* host, const char* path = "")
        : host_(host), component_(load_zant_client_script(host, path)) {}
    ~ComponentDriver() { destroy(); }

    void destroy() {
        zant_destroy_client(component_);
        component_ = nullptr;
    }

    // Kind 3; returns the reply text and hands the buffer back with kind 5.
    std::optional<std::string> message(const char* text) {
        char* reply = component_->notify(const_cast<char*>(text), 3);
        if (reply == nullptr) return std::nullopt;
        std::string copy(reply);
        component_->notify(reply, 5);
        return copy;
    }
    void press(const char* id, const char* panel = "1") {
        ButtonEvent event(panel, id, "press=1");
        component_->notify(event.record(), 2);
    }
    void revertive(int device, int index, int value) {
        zant_revertive_record record{device, 0, index, value};
        component_->notify(&record, 1);
    }
    void tick(int timer = 2) {
        component_->notify(reinterpret_cast<void*>(static_cast<intptr_t>(timer)), 4);
    }

    // The mode-0 texts sent since the last call.
    Commands sent() {
        Commands commands = host_->commands();
        host_->clear();
        return commands;
    }

    zant_client_callback* component() { return component_; }

private:
    RecordingHost* host_;
    zant_client_callback* component_;
};

// A host that knows instance "studio" as device 12 and names every source
// "Src n" and destination "Dst n".
inline void answerRouter12(RecordingHost& host) {
    host.answer("SD 'studio'", "12 0");
    host.answerPrefix("RN 12 0 ", "Src");
    host.answerPrefix("RN 12 1 ", "Dst");
}

#endif  // TESTS_QUORVEX_COMPONENT_DRIVER_H
