// Throws from its handler when "Send" is pressed.
#include <stdexcept>

#include "tests/validator/broken/FixtureComponent.h"

class PressThrows : public FixtureComponent {
public:
    using FixtureComponent::FixtureComponent;
    void onSend() override { throw std::runtime_error("Send failed"); }
};

ZANT_FIXTURE_EXPORT(PressThrows)
