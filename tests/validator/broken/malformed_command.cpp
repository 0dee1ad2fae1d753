// Sends a control name without its quotes when it is created.
#include "tests/validator/broken/FixtureComponent.h"

class MalformedCommand : public FixtureComponent {
public:
    MalformedCommand(zant_host* host, const char* path) : FixtureComponent(host, path) {
        if (host != nullptr) host->execute("CE '1' Go", zant_host::modeCommand);
    }
};

ZANT_FIXTURE_EXPORT(MalformedCommand)
