// Sends the command text of ZANT_FIXTURE_COMMAND when "Send" is pressed, and
// hands its reply back where the host expects that: one library for every
// command whose verdict panel_host and zant_validate must share.
#include <cstdlib>

#include "tests/validator/broken/FixtureComponent.h"

class PressSends : public FixtureComponent {
public:
    using FixtureComponent::FixtureComponent;
    void onSend() override {
        const char* command = std::getenv("ZANT_FIXTURE_COMMAND");
        if (host == nullptr || command == nullptr) return;
        char* reply = host->execute(command, zant_host::modeCommand);
        if (reply != nullptr && zant_reply_handed_back(command))
            host->execute(reply, zant_host::modeRelease);
    }
};

ZANT_FIXTURE_EXPORT(PressSends)
