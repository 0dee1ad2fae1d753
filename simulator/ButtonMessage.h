// The text of a button event, split the way the host hands it to a component:
// a record with exactly the layout of `parentMessage` (name, items, value,
// itemCount, hasValue, buffer). The component only reads it, through a
// `parentMessage*`; the simulator builds it itself because the constructor of
// `parentMessage` lives in the helper library, which a host does not link.
#ifndef SIMULATOR_BUTTON_MESSAGE_H
#define SIMULATOR_BUTTON_MESSAGE_H

#include <cstddef>
#include <cstdint>
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
    parentMessage* record() { return reinterpret_cast<parentMessage*>(&record_); }

    struct Record {
        char* name;
        char* items[parentMessage::maxItems];
        char* value;
        int32_t itemCount;
        bool hasValue;
        char* buffer;
    };

private:
    std::vector<char> buffer_;
    char empty_[1] = {'\0'};
    Record record_;
};

static_assert(sizeof(ButtonMessage::Record) == sizeof(parentMessage), "host layout");
static_assert(offsetof(ButtonMessage::Record, name) == offsetof(parentMessage, name),
              "host layout");
static_assert(offsetof(ButtonMessage::Record, items) == offsetof(parentMessage, items),
              "host layout");
static_assert(offsetof(ButtonMessage::Record, value) == offsetof(parentMessage, value),
              "host layout");
static_assert(offsetof(ButtonMessage::Record, itemCount) == offsetof(parentMessage, itemCount),
              "host layout");
static_assert(offsetof(ButtonMessage::Record, hasValue) == offsetof(parentMessage, hasValue),
              "host layout");
static_assert(offsetof(ButtonMessage::Record, buffer) == offsetof(parentMessage, buffer),
              "host layout");

#endif  // SIMULATOR_BUTTON_MESSAGE_H
