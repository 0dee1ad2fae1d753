// Routes the source its message "source" names, read as a long long and sent
// without bounding it to an int: a value past the int range makes a
// malformed "RC". The message is declared beside the library
// (declared_message_unbounded.zant_messages) and listed by no "_commands"
// reply, so only the declaration tells a validator to send it.
#include <cstdlib>
#include <string>

#include "tests/validator/broken/FixtureComponent.h"

class DeclaredMessageUnbounded : public FixtureComponent {
public:
    using FixtureComponent::FixtureComponent;
    zant_string onParentMessage(parentMessage* message) override {
        if (zant_string(message->name) == "source" && message->value != nullptr &&
            host != nullptr) {
            const long long source = std::strtoll(message->value, nullptr, 10);
            const std::string route = "RC 12 " + std::to_string(source) + " 5 ',' 0";
            host->execute(route.c_str(), zant_host::modeCommand);
        }
        return FixtureComponent::onParentMessage(message);
    }
};

ZANT_FIXTURE_EXPORT(DeclaredMessageUnbounded)
