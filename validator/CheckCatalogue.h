// The named checks of zant_validate, in the order they run.
#ifndef VALIDATOR_CHECK_CATALOGUE_H
#define VALIDATOR_CHECK_CATALOGUE_H

#include <string>
#include <vector>

#include "validator/CheckContext.h"
#include "validator/CheckReport.h"

namespace zant::validate {

struct Check {
    const char* name;
    // The faults it owns: "fails when ...".
    const char* owns;
    // It presses the component's controls, so it cannot run when the layout
    // the component loads cannot be read.
    bool pressesControls;
    // Fills the verdict and what goes with it; the caller times the check.
    void (*run)(const CheckContext& context, CheckReport& report);
};

class CheckCatalogue {
public:
    static const std::vector<Check>& all();
    static const Check* find(const std::string& name);
};

}  // namespace zant::validate

#endif  // VALIDATOR_CHECK_CATALOGUE_H
