#include "hosting/LayoutReader.h"

#include <set>
#include <sstream>

#include "hosting/TextFile.h"

namespace zant::hosting {

namespace {

const char* const knownKinds[] = {"button", "text", "box"};

bool knownKind(const std::string& kind) {
    for (const char* known : knownKinds) {
        if (kind == known) return true;
    }
    return false;
}

std::vector<std::string> words(const std::string& line) {
    std::vector<std::string> result;
    std::istringstream in(line);
    std::string word;
    while (in >> word) result.push_back(word);
    return result;
}

}  // namespace

bool LayoutReader::load(const std::string& path, std::vector<LayoutControl>& controls,
                        std::string& error) {
    std::string content;
    return TextFile::read(path, "layout file", content, error) &&
           parse(path, content, controls, error);
}

bool LayoutReader::parse(const std::string& path, const std::string& content,
                         std::vector<LayoutControl>& controls, std::string& error) {
    std::vector<LayoutControl> loaded;
    std::set<std::string> names;
    std::istringstream in(content);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::vector<std::string> parts = words(line);
        if (parts.empty() || parts[0][0] == '#') continue;
        const std::string where = path + ":" + std::to_string(number) + ": ";
        if (!knownKind(parts[0])) {
            error = where + "unknown control kind '" + parts[0] + "' (known: button, text, box)";
            return false;
        }
        if (parts.size() < 2) {
            error = where + "control of kind '" + parts[0] + "' without a name";
            return false;
        }
        LayoutControl control;
        control.kind = parts[0];
        control.name = parts[1];
        for (size_t i = 2; i < parts.size(); ++i) {
            const size_t equals = parts[i].find('=');
            if (equals == std::string::npos || equals == 0) {
                error = where + "expected PROPERTY=VALUE, got '" + parts[i] + "'";
                return false;
            }
            control.properties[parts[i].substr(0, equals)] = parts[i].substr(equals + 1);
        }
        if (!names.insert(control.name).second) {
            error = where + "control '" + control.name + "' is defined twice";
            return false;
        }
        loaded.push_back(std::move(control));
    }
    controls = std::move(loaded);
    return true;
}

}  // namespace zant::hosting
