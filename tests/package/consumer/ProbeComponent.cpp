// The smallest component on the installed helper: a label at start, the
// pressed button's id to the parent, and a reply to every parent message.
#include <new>

#include "host/zant_host.h"
#include "script_helper/zant_script_helper.h"

namespace {

class ProbeComponent : public zant_script_helper {
public:
    ProbeComponent(zant_host* host, const char* path) : zant_script_helper(host, path) {
        textPut("text", "ready", "1", "Label");
    }

    void onButton(zant_button_event* event) override { hostNotify(event->id()); }
    int onRevertive(zant_revertive_event* /*revertive*/) override { return 0; }
    // "size": the platform layer's profile reader, which finds no installation.
    zant_string onParentMessage(parentMessage* message) override {
        const zant_string name(message->name);
        if (name == "size") return zant_string(databaseSize(1, 0), 0, 0, 10);
        return "echo " + name;
    }
    void onTimer(int timer) override { timerStop(timer); }
};

}  // namespace

extern "C" ZANT_EXPORT zant_client_callback* load_zant_client_script(zant_host* host,
                                                                     const char* path) {
    return new (std::nothrow) ProbeComponent(host, path);
}
