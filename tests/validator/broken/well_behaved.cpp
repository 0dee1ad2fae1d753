// Breaks nothing: every check passes.
#include "tests/validator/broken/FixtureComponent.h"

ZANT_FIXTURE_EXPORT(FixtureComponent)
