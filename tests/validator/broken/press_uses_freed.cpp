// Hands a reply back, then sends what it reads from it, when "Send" is
// pressed: a use after free.
#include <string>

#include "tests/validator/broken/FixtureComponent.h"

class PressUsesFreed : public FixtureComponent {
public:
    using FixtureComponent::FixtureComponent;
    void onSend() override {
        if (host == nullptr) return;
        char* reply = host->execute("TG '1' 'Label' 'text'", zant_host::modeCommand);
        if (reply == nullptr) return;
        host->execute(reply, zant_host::modeRelease);
        const std::string command = std::string("TP 'text=") + reply + "' '1' 'Label'";
        host->execute(command.c_str(), zant_host::modeCommand);
    }
};

ZANT_FIXTURE_EXPORT(PressUsesFreed)
