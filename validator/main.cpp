// zant_validate: checks a component library against the host's rules.
#include <iostream>
#include <string>
#include <vector>

#include "validator/Options.h"
#include "validator/Validator.h"

namespace zant::validate {

int run(int argc, char** argv) {
    Options options;
    std::string error;
    if (!options.parse(std::vector<std::string>(argv + 1, argv + argc), error)) {
        std::cerr << "zant_validate: " << error << " (--help shows the options)\n";
        return 2;
    }
    if (options.help) {
        std::cout << Options::usage();
        return 0;
    }
    return Validator::run(options, std::cout, std::cerr);
}

}  // namespace zant::validate

int main(int argc, char** argv) {
    return zant::validate::run(argc, argv);
}
