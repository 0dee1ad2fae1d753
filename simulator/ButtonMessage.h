// The text of a button event, split the way the host hands it to a component:
// in the host's message record. The component only reads it; the simulator
// splits it itself because the helper library's parser is the component's,
// which a host does not link.
#ifndef SIMULATOR_BUTTON_MESSAGE_H
#define SIMULATOR_BUTTON_MESSAGE_H

#include <string>
#include <vector>

#include "host/zant_host.h"

class ButtonMessage {
public:
    // Splits `text` as name[.item...][=value]: the name ends at the first '.'
    // or '=', only the first '=' counts, at most 32 items. Unset pieces point
    // to an empty text of this object, never null.
    explicit ButtonMessage(const std::string& text);
    ButtonMessage(const ButtonMessage&) = delete;
    ButtonMessage& operator=(const ButtonMessage&) = delete;

    // The record to put into a zant_button_record; valid while this lives.
    zant_message_record* record() { return &record_; }

private:
    std::vector<char> buffer_;
    char empty_[1] = {'\0'};
    zant_message_record record_;
};

#endif  // SIMULATOR_BUTTON_MESSAGE_H
