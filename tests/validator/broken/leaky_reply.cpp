// Never frees a kind-3 reply when the host hands it back.
#include "tests/validator/broken/FixtureComponent.h"

class LeakyReply : public FixtureComponent {
public:
    using FixtureComponent::FixtureComponent;
    char* notify(void* data, int kind) override {
        if (kind == zantReleaseReply) return nullptr;
        return FixtureComponent::notify(data, kind);
    }
};

ZANT_FIXTURE_EXPORT(LeakyReply)
