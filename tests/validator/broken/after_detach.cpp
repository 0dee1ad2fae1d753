// Detaches itself, then unregisters a device: a command after "AS".
#include "tests/validator/broken/FixtureComponent.h"

class AfterDetach : public FixtureComponent {
public:
    using FixtureComponent::FixtureComponent;
    ~AfterDetach() override {
        if (host == nullptr) return;
        host->execute("AS", zant_host::modeCommand);
        host->execute("RU 12", zant_host::modeCommand);
    }
};

ZANT_FIXTURE_EXPORT(AfterDetach)
