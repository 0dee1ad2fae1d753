// One run of zant_validate: loads the library, learns what the component
// names, runs the chosen checks and reports them.
#ifndef VALIDATOR_VALIDATOR_H
#define VALIDATOR_VALIDATOR_H

#include <ostream>

#include "validator/Options.h"

namespace zant::validate {

class Validator {
public:
    // Exit status: 0 every check held, 1 one failed or was not run, 2 bad
    // input or a library that cannot be used, the export missing included
    // (with a one-line reason on `errors`).
    static int run(const Options& options, std::ostream& out, std::ostream& errors);
};

}  // namespace zant::validate

#endif  // VALIDATOR_VALIDATOR_H
