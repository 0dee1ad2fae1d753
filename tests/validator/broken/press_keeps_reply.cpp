// Keeps the reply of a property read when "Send" is pressed.
#include "tests/validator/broken/FixtureComponent.h"

class PressKeepsReply : public FixtureComponent {
public:
    using FixtureComponent::FixtureComponent;
    void onSend() override {
        if (host != nullptr) host->execute("TG '1' 'Label' 'text'", zant_host::modeCommand);
    }
};

ZANT_FIXTURE_EXPORT(PressKeepsReply)
