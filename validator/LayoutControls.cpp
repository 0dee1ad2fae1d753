#include "validator/LayoutControls.h"

#include <fstream>
#include <sstream>

bool LayoutControls::read(const std::string& path, std::set<std::string>& controls,
                          std::string& error) {
    std::ifstream file(path);
    if (!file) {
        error = path + ": cannot read the layout";
        return false;
    }
    std::string line;
    for (int number = 1; std::getline(file, line); ++number) {
        std::istringstream words(line);
        std::string kind;
        std::string name;
        if (!(words >> kind) || kind[0] == '#') continue;
        if (!(words >> name)) {
            error = path + ":" + std::to_string(number) + ": a control without a name";
            return false;
        }
        controls.insert(name);
    }
    return true;
}
