// The parent messages that the loaded component declares in its folder
// (hosting/MessagesReader), with a one-line meaning each: the help lists
// them, a step typed as a message ("instance studioA") is answered with the
// message it most likely meant, and the browser page offers them. panel_host
// knows no component's messages of its own.
#ifndef SIMULATOR_COMPONENT_MESSAGES_H
#define SIMULATOR_COMPONENT_MESSAGES_H

#include <string>
#include <vector>

#include "hosting/MessagesReader.h"

namespace zant::simulator {

class ComponentMessages {
public:
    using Message = zant::hosting::MessageDeclaration;

    // Reads the declaration of the component `library` in its `folder`. A
    // component without one declares no messages; a declaration that cannot
    // be read or is malformed is a fault, false with a one-line `error`.
    bool load(const std::string& folder, const std::string& library, std::string& error);
    // Holds `messages`, declared in `file`.
    void set(const std::string& file, std::vector<Message> messages);

    const std::vector<Message>& messages() const { return messages_; }
    // The message named exactly `name`; null when none is declared.
    const Message* find(const std::string& name) const;

    // The help section: where the messages come from, then one message a
    // line, "NAME=VALUE  meaning"; or that the component declares none.
    std::string help() const;

    // For a step line whose first word is a message name (letter case
    // ignored), or NAME=VALUE of one: the step "message NAME=VALUE" that was
    // probably meant. Empty when the word names no message.
    std::string suggestion(const std::string& line) const;

private:
    std::string file_;  // where the declaration is, or would be
    std::vector<Message> messages_;
};

}  // namespace zant::simulator

#endif  // SIMULATOR_COMPONENT_MESSAGES_H
