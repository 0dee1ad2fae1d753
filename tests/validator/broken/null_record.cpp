// Reads the records of kinds 1 and 2 without testing them for null.
#include "tests/validator/broken/FixtureComponent.h"

class NullRecord : public FixtureComponent {
public:
    using FixtureComponent::FixtureComponent;
    char* notify(void* data, int kind) override {
        if (kind == zantRevertive) seen_ += static_cast<zant_revertive_record*>(data)->device;
        if (kind == zantButton)
            seen_ += static_cast<int>(static_cast<zant_button_record*>(data)->unused0);
        return FixtureComponent::notify(data, kind);
    }

private:
    volatile int seen_ = 0;
};

ZANT_FIXTURE_EXPORT(NullRecord)
