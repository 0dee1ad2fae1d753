// Hands the reply of a property read back twice when "Send" is pressed.
#include "tests/validator/broken/FixtureComponent.h"

class PressHandsBackTwice : public FixtureComponent {
public:
    using FixtureComponent::FixtureComponent;
    void onSend() override {
        if (host == nullptr) return;
        char* reply = host->execute("TG '1' 'Label' 'text'", zant_host::modeCommand);
        if (reply == nullptr) return;
        host->execute(reply, zant_host::modeRelease);
        host->execute(reply, zant_host::modeRelease);
    }
};

ZANT_FIXTURE_EXPORT(PressHandsBackTwice)
