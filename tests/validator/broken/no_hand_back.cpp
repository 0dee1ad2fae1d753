// Reads a property on every press and keeps the host's reply.
#include "tests/validator/broken/FixtureComponent.h"

class NoHandBack : public FixtureComponent {
public:
    using FixtureComponent::FixtureComponent;
    void onButton(zant_button_event* /*event*/) override {
        if (host != nullptr) host->execute("TG '1' 'Go' 'text'", zant_host::modeCommand);
    }
};

ZANT_FIXTURE_EXPORT(NoHandBack)
