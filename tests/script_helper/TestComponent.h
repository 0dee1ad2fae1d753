// A component for helper tests: records which handler `notify` called with
// what, and answers parent messages with a reply the test sets.
#ifndef TESTS_SCRIPT_HELPER_TEST_COMPONENT_H
#define TESTS_SCRIPT_HELPER_TEST_COMPONENT_H

#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include "script_helper/zant_script_helper.h"

class TestComponent : public zant_script_helper {
public:
    explicit TestComponent(zant_host* host, const char* path = "")
        : zant_script_helper(host, path) {}

    void onButton(zant_button_event* event) override {
        calls.push_back("button " + std::string(event->panel()) + " " + std::string(event->id()) +
                        " " + std::string(event->command()) + "=" + std::string(event->value()));
    }
    int onRevertive(zant_revertive_event* revertive) override {
        calls.push_back("revertive " + std::to_string(revertive->device()) + " " +
                        std::to_string(revertive->index()) + " " +
                        std::to_string(revertive->value()));
        return 7;
    }
    zant_string onParentMessage(parentMessage* message) override {
        calls.push_back("message " + std::string(message->name) + "=" + message->value);
        if (throwOnMessage) throw std::bad_alloc();
        return reply;
    }
    void onEvent7(zant_word_event* event) override {
        calls.push_back("event7 " + std::to_string(reinterpret_cast<intptr_t>(event->data)));
    }
    void onTimer(int timer) override { calls.push_back("timer " + std::to_string(timer)); }
    void onEvent6(zant_word_event* event) override {
        calls.push_back("event6 " + std::to_string(reinterpret_cast<intptr_t>(event->data)));
    }

    void setAlarmFilter(bool on) { alarmFilter = on; }

    std::vector<std::string> calls;
    zant_string reply;
    bool throwOnMessage = false;
};

#endif  // TESTS_SCRIPT_HELPER_TEST_COMPONENT_H
