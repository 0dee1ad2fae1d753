#include "simulator/ComponentMessages.h"

#include <cctype>
#include <iterator>

#include "simulator/Words.h"

namespace {

const ComponentMessages::Message messages[] = {
    {"instance", "NAME",
     "use the router of instance NAME (\"SD\"): register and poll it; another router "
     "disarms Take and drops the undo"},
    {"sourceID", "INDEX", "select source INDEX, named in Source; below 1 empties it, no Take"},
    {"destID", "INDEX",
     "select destination INDEX, named in Dest; below 1 empties it, no Take; beyond the "
     "router it arms no Take"},
    {"bgndStyle", "STYLE", "statesheet of Background, set at once"},
    {"takeHigh", "STYLE", "statesheet of an armed Take and of every other flash"},
    {"takeLow", "STYLE", "statesheet of the flashes in between"},
    {"takeDouble", "true|false", "whether Take needs a double push (default true)"},
    {"undoDouble", "true|false", "whether Undo needs a double push (default false)"},
    {"return", "all", "reply: the five look and push settings, one a line"},
    {"_events", "", "reply: the event that the parent receives, deselect=-1"},
    {"_commands", "", "reply: the messages that select a route (sourceID, destID)"},
};

bool sameLetters(const std::string& a, const char* b) {
    const std::string other = b;
    if (a.size() != other.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(other[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace

const ComponentMessages::Message* ComponentMessages::begin() {
    return std::begin(messages);
}

const ComponentMessages::Message* ComponentMessages::end() {
    return std::end(messages);
}

std::string ComponentMessages::help() {
    std::string text = "Parent messages the component understands (step: message NAME=VALUE):\n";
    for (const Message* message = begin(); message != end(); ++message) {
        std::string left = std::string("  ") + message->name;
        if (*message->value != '\0') left += std::string("=") + message->value;
        left.resize(left.size() < 28 ? 28 : left.size() + 1, ' ');
        text += left + message->meaning + "\n";
    }
    return text;
}

std::string ComponentMessages::suggestion(const std::string& line) {
    std::string rest = trimmed(line);
    std::string word = cutFirstWord(rest);
    const size_t equals = word.find('=');
    if (equals != std::string::npos) {
        rest = trimmed(word.substr(equals + 1) + " " + rest);
        word.erase(equals);
    }
    for (const Message* message = begin(); message != end(); ++message) {
        if (!sameLetters(word, message->name)) continue;
        std::string step = std::string("message ") + message->name;
        const std::string value = rest.empty() ? message->value : rest;
        if (!value.empty()) step += "=" + value;
        return step;
    }
    return std::string();
}
