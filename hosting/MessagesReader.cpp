#include "hosting/MessagesReader.h"

#include <fstream>
#include <set>
#include <sstream>

#include "hosting/TextFile.h"

namespace zant::hosting {

namespace {

struct ShapeWord {
    MessageShape shape;
    const char* name;
    const char* placeholder;
};

const ShapeWord shapes[] = {
    {MessageShape::source, "source", "INDEX"},
    {MessageShape::destination, "destination", "INDEX"},
    {MessageShape::instance, "instance", "NAME"},
    {MessageShape::statesheet, "statesheet", "STYLE"},
    {MessageShape::boolean, "boolean", "true|false"},
    {MessageShape::all, "all", "all"},
    {MessageShape::text, "text", "TEXT"},
    {MessageShape::none, "none", ""},
};

const ShapeWord& wordOf(MessageShape shape) {
    for (const ShapeWord& word : shapes) {
        if (word.shape == shape) return word;
    }
    return shapes[0];
}

std::string knownShapes() {
    std::string known;
    for (const ShapeWord& word : shapes)
        known += (known.empty() ? "" : ", ") + std::string(word.name);
    return known;
}

// Cuts the first word off `rest`, leaving what follows without leading blanks.
std::string cutWord(std::string& rest) {
    const size_t start = rest.find_first_not_of(" \t");
    if (start == std::string::npos) {
        rest.clear();
        return std::string();
    }
    const size_t end = rest.find_first_of(" \t", start);
    std::string word = rest.substr(start, end - start);
    const size_t next = end == std::string::npos ? end : rest.find_first_not_of(" \t", end);
    rest = next == std::string::npos ? std::string() : rest.substr(next);
    return word;
}

}  // namespace

std::string MessagesReader::pathFor(const std::string& folder, const std::string& library) {
    std::string name = library.substr(library.find_last_of("/\\") + 1);
    const size_t dot = name.rfind('.');
    const bool sharedObject = dot != std::string::npos && name.substr(dot) != ".dll";
    if (dot != std::string::npos) name.erase(dot);
    if (sharedObject && name.compare(0, 3, "lib") == 0 && name.size() > 3) name.erase(0, 3);
    return folder + "/" + name + ".zant_messages";
}

bool MessagesReader::load(const std::string& path, std::vector<MessageDeclaration>& messages,
                          std::string& error) {
    std::string content;
    return TextFile::read(path, "message declaration", content, error) &&
           parse(path, content, messages, error);
}

bool MessagesReader::parse(const std::string& path, const std::string& content,
                           std::vector<MessageDeclaration>& messages, std::string& error) {
    std::vector<MessageDeclaration> loaded;
    std::set<std::string> names;
    std::istringstream in(content);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string rest = line;
        const std::string name = cutWord(rest);
        if (name.empty() || name[0] == '#') continue;
        const std::string where = path + ":" + std::to_string(number) + ": ";
        if (name.find('=') != std::string::npos) {
            error = where + "a message name holds no '=', got '" + name + "'";
            return false;
        }
        const std::string shape = cutWord(rest);
        MessageDeclaration message;
        message.name = name;
        if (!shapeNamed(shape, message.shape)) {
            error = where +
                    (shape.empty() ? "message '" + name + "' without a value shape"
                                   : "unknown value shape '" + shape + "'") +
                    " (known: " + knownShapes() + ")";
            return false;
        }
        message.description = rest;
        while (!message.description.empty() &&
               (message.description.back() == ' ' || message.description.back() == '\t')) {
            message.description.pop_back();
        }
        if (message.description.empty()) {
            error = where + "message '" + name + "' without a description";
            return false;
        }
        if (!names.insert(name).second) {
            error = where + "message '" + name + "' is declared twice";
            return false;
        }
        loaded.push_back(std::move(message));
    }
    messages = std::move(loaded);
    return true;
}

bool MessagesReader::loadFor(const std::string& folder, const std::string& library,
                             std::string& path, std::vector<MessageDeclaration>& messages,
                             std::string& error) {
    path = pathFor(folder, library);
    if (!std::ifstream(path).is_open()) {
        messages.clear();
        return true;
    }
    return load(path, messages, error);
}

const char* MessagesReader::shapeName(MessageShape shape) {
    return wordOf(shape).name;
}

bool MessagesReader::shapeNamed(const std::string& word, MessageShape& shape) {
    for (const ShapeWord& known : shapes) {
        if (word == known.name) {
            shape = known.shape;
            return true;
        }
    }
    return false;
}

const char* MessagesReader::placeholder(MessageShape shape) {
    return wordOf(shape).placeholder;
}

}  // namespace zant::hosting
