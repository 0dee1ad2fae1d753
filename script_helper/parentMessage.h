// A parent panel's message, or a button event's text, split into its pieces:
//   name[.item1[.item2...]][=value]
// The record takes a private copy of the text and cuts the copy in place with
// the host's own split (zant_split_message), so every piece is a
// NUL-terminated text inside `buffer`.
//
// Its layout is the host's message record (zant_message_record), in which the
// host passes button events: do not add fields or virtual operations.
#ifndef ZANT_PARENT_MESSAGE_H
#define ZANT_PARENT_MESSAGE_H

#include "host/zant_host.h"

// The one shared empty text that every unfilled piece points to, so that every
// piece can be read as a text and none is null. Never written.
extern char zantEmptyText[1];

struct parentMessage : zant_message_record {
    // Parses `source` at once; a null or empty source gives empty pieces and a
    // null `buffer`. If the copy cannot be allocated the message reads as empty.
    explicit parentMessage(const char* source);
    ~parentMessage();
    parentMessage(const parentMessage&) = delete;
    parentMessage& operator=(const parentMessage&) = delete;
    // `buffer` is the owned copy of the source; the destructor releases it.
};

static_assert(sizeof(parentMessage) == sizeof(zant_message_record), "host layout");

#endif  // ZANT_PARENT_MESSAGE_H
