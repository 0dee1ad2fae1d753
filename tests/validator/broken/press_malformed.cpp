// Sends a crosspoint with two spaces where one belongs when "Send" is pressed.
#include "tests/validator/broken/FixtureComponent.h"

class PressMalformed : public FixtureComponent {
public:
    using FixtureComponent::FixtureComponent;
    void onSend() override {
        if (host != nullptr) host->execute("RC 12  1 5 ',' 0", zant_host::modeCommand);
    }
};

ZANT_FIXTURE_EXPORT(PressMalformed)
