// Hands the reply of a property read back twice.
#include "tests/validator/broken/FixtureComponent.h"

class HandBackTwice : public FixtureComponent {
public:
    using FixtureComponent::FixtureComponent;
    void onButton(zant_button_event* /*event*/) override {
        if (host == nullptr) return;
        char* reply = host->execute("TG '1' 'Go' 'text'", zant_host::modeCommand);
        if (reply == nullptr) return;
        host->execute(reply, zant_host::modeRelease);
        host->execute(reply, zant_host::modeRelease);
    }
};

ZANT_FIXTURE_EXPORT(HandBackTwice)
