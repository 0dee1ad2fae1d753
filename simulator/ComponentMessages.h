// The parent messages that the take/undo component understands, with a
// one-line meaning each: the help lists them, and a step typed as a message
// ("instance studioA") is answered with the message it most likely meant.
#ifndef SIMULATOR_COMPONENT_MESSAGES_H
#define SIMULATOR_COMPONENT_MESSAGES_H

#include <string>

class ComponentMessages {
public:
    struct Message {
        const char* name;   // exactly as the component compares it
        const char* value;  // what follows '=', "" for none
        const char* meaning;
    };

    // The messages, settings first, then the queries.
    static const Message* begin();
    static const Message* end();

    // The help section: one message a line, "NAME=VALUE  meaning".
    static std::string help();

    // For a step line whose first word is a message name (letter case
    // ignored), or NAME=VALUE of one: the step "message NAME=VALUE" that was
    // probably meant. Empty when the word names no message.
    static std::string suggestion(const std::string& line);
};

#endif  // SIMULATOR_COMPONENT_MESSAGES_H
