// A small, sound component on the script helper: it shows its layout
// (fixture.zant_ui, which the build puts beside each fixture library), enables
// its button "Go", writes what is pressed and what the parent sends into
// "Label", reads a name for each revertive and lists one message and one
// event. Its button "Send" is named only in the layout. Each fixture beside
// it breaks one host rule on top of it, so that zant_validate must fail
// exactly the check of that rule; the press-only ones break it only when
// "Send" is pressed.
#ifndef TESTS_VALIDATOR_BROKEN_FIXTURE_COMPONENT_H
#define TESTS_VALIDATOR_BROKEN_FIXTURE_COMPONENT_H

#include "host/zant_host.h"
#include "script_helper/zant_script_helper.h"

class FixtureComponent : public zant_script_helper {
public:
    FixtureComponent(zant_host* host, const char* path) : zant_script_helper(host, path) {
        panelShow("1", "fixture.zant_ui", "");
        controlEnable("1", "Go");
        timerStart(3, 500);
    }

    void onButton(zant_button_event* event) override {
        if (event->id() == "Send") {
            onSend();
            return;
        }
        textPut("text", event->value(), "1", "Label");
    }
    virtual void onSend() { textPut("text", "sent", "1", "Label"); }
    int onRevertive(zant_revertive_event* revertive) override {
        zant_string name;
        routerName(revertive->device(), 1, revertive->value(), name);
        textPut("text", name, "1", "Label");
        return 0;
    }
    zant_string onParentMessage(parentMessage* message) override {
        const zant_string name(message->name);
        if (name == "_commands") return "mode=[value]";
        if (name == "_events") return "done=1";
        if (name == "mode") {
            textPut("text", zant_string(message->value), "1", "Label");
            return zant_string("mode=") + zant_string(message->value);
        }
        return zant_string();
    }
    void onTimer(int /*timer*/) override {}
};

// The library's export for fixture class `Type`.
#define ZANT_FIXTURE_EXPORT(Type)                                                            \
    extern "C" ZANT_EXPORT zant_client_callback* load_zant_client_script(zant_host* host,    \
                                                                         const char* path) { \
        return new Type(host, path);                                                         \
    }

#endif  // TESTS_VALIDATOR_BROKEN_FIXTURE_COMPONENT_H
