// Drives the probe component through the boundary and checks what it sends.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/zant_host.h"

namespace {

class RecordingHost : public zant_host {
public:
    char* execute(const char* text, int mode) override {
        if (mode == modeCommand) commands.emplace_back(text);
        return nullptr;
    }
    std::vector<std::string> commands;
};

int failures = 0;

void check(bool ok, const std::string& what) {
    if (ok) return;
    std::fprintf(stderr, "FAILED: %s\n", what.c_str());
    ++failures;
}

std::string reply(zant_client_callback* component, const char* message) {
    char* text = component->notify(const_cast<char*>(message), zantParentMessage);
    const std::string result = text != nullptr ? text : "(null)";
    component->notify(text, zantReleaseReply);
    return result;
}

}  // namespace

int main() {
    setenv("KV_ROOT", "/nonexistent", 1);
    RecordingHost host;
    zant_client_callback* component = load_zant_client_script(&host, "");
    if (component == nullptr) return 1;
    check(host.commands == std::vector<std::string>{"TP 'text=ready' '1' 'Label'"}, "start");

    char panel[] = "1";
    char id[] = "Go";
    zant_button_record press{0, 0, panel, id, nullptr};
    component->notify(&press, zantButton);
    check(host.commands.back() == "HN 'Go'", "button: " + host.commands.back());

    check(reply(component, "ping") == "echo ping", "parent message");
    check(reply(component, "size") == "0", "database size without an installation");

    zant_destroy_client(component);
    check(host.commands.back() == "AS", "detach: " + host.commands.back());
    return failures == 0 ? 0 : 1;
}
