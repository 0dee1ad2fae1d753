// Writes through a null pointer when "Send" is pressed.
#include "tests/validator/broken/FixtureComponent.h"

class PressCrashes : public FixtureComponent {
public:
    using FixtureComponent::FixtureComponent;
    void onSend() override {
        volatile int* nowhere = nullptr;
        *nowhere = 1;
    }
};

ZANT_FIXTURE_EXPORT(PressCrashes)
