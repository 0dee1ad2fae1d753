// Never returns from a parent message whose value is longer than 1000
// characters.
#include <cstring>

#include "tests/validator/broken/FixtureComponent.h"

class Hangs : public FixtureComponent {
public:
    using FixtureComponent::FixtureComponent;
    zant_string onParentMessage(parentMessage* message) override {
        const char* value = message->value;
        if (value != nullptr && std::strlen(value) > 1000) {
            for (volatile unsigned spin = 0;; spin = spin + 1u) {
            }
        }
        return FixtureComponent::onParentMessage(message);
    }
};

ZANT_FIXTURE_EXPORT(Hangs)
