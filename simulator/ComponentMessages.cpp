#include "simulator/ComponentMessages.h"

#include <cctype>

#include "hosting/SameLetters.h"
#include "simulator/Words.h"

namespace zant::simulator {

using zant::hosting::MessagesReader;
using zant::hosting::sameLetters;

bool ComponentMessages::load(const std::string& folder, const std::string& library,
                             std::string& error) {
    messages_.clear();
    return MessagesReader::loadFor(folder, library, file_, messages_, error);
}

void ComponentMessages::set(const std::string& file, std::vector<Message> messages) {
    file_ = file;
    messages_ = std::move(messages);
}

const ComponentMessages::Message* ComponentMessages::find(const std::string& name) const {
    for (const Message& message : messages_) {
        if (message.name == name) return &message;
    }
    return nullptr;
}

std::string ComponentMessages::help() const {
    if (file_.empty())
        return "No component is named (--library FILE): no parent messages to list.\n";
    if (messages_.empty()) {
        return "The component declares no parent messages (there is no\n" + file_ +
               "); the step message TEXT sends any text.\n";
    }
    std::string text =
        "Parent messages the component declares (step: message NAME=VALUE), from\n" + file_ + ":\n";
    for (const Message& message : messages_) {
        std::string left = "  " + message.name;
        const std::string value = MessagesReader::placeholder(message.shape);
        if (!value.empty()) left += "=" + value;
        left.resize(left.size() < 28 ? 28 : left.size() + 1, ' ');
        text += left + message.description + "\n";
    }
    return text;
}

std::string ComponentMessages::suggestion(const std::string& line) const {
    std::string rest = trimmed(line);
    std::string word = cutFirstWord(rest);
    const size_t equals = word.find('=');
    if (equals != std::string::npos) {
        rest = trimmed(word.substr(equals + 1) + " " + rest);
        word.erase(equals);
    }
    for (const Message& message : messages_) {
        if (!sameLetters(word, message.name)) continue;
        std::string step = "message " + message.name;
        const std::string value = rest.empty() ? MessagesReader::placeholder(message.shape) : rest;
        if (!value.empty()) step += "=" + value;
        return step;
    }
    return std::string();
}

}  // namespace zant::simulator
