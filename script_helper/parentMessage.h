// A parent panel's message, or a button event's text, split into its pieces:
//   name[.item1[.item2...]][=value]
// The record takes a private copy of the text and cuts the copy in place, so
// every piece is a NUL-terminated text inside `buffer`.
//
// The layout is shared with the host, which passes button events split into
// records of this layout: on the 32-bit target it is 148 bytes with `name` at
// 0, `items` at 4, `value` at 132, `itemCount` at 136, `hasValue` at 140 and
// `buffer` at 144. Do not add fields or virtual operations.
#ifndef ZANT_PARENT_MESSAGE_H
#define ZANT_PARENT_MESSAGE_H

#include <cstddef>
#include <cstdint>

// The one shared empty text that every unfilled piece points to, so that every
// piece can be read as a text and none is null. Never written.
extern char zantEmptyText[1];

struct parentMessage {
    static constexpr int maxItems = 32;

    // Parses `source` at once; a null or empty source gives empty pieces and a
    // null `buffer`. If the copy cannot be allocated the message reads as empty.
    explicit parentMessage(const char* source);
    ~parentMessage();
    parentMessage(const parentMessage&) = delete;
    parentMessage& operator=(const parentMessage&) = delete;

    // Text before the first '.' or '=', or the whole text.
    char* name;
    // items[k]: text after the (k+1)-th '.', up to the next '.', the first '='
    // or the end. After the 32nd '.' the scan stops: the last item holds the
    // rest of the text and no value is recognised.
    char* items[maxItems];
    // Text after the first '=', unsplit.
    char* value;
    int32_t itemCount;
    bool hasValue;
    // Owned copy of the source; released by the destructor.
    char* buffer;
};

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(parentMessage) == 148, "host layout");
static_assert(offsetof(parentMessage, name) == 0, "host layout");
static_assert(offsetof(parentMessage, items) == 4, "host layout");
static_assert(offsetof(parentMessage, value) == 132, "host layout");
static_assert(offsetof(parentMessage, itemCount) == 136, "host layout");
static_assert(offsetof(parentMessage, hasValue) == 140, "host layout");
static_assert(offsetof(parentMessage, buffer) == 144, "host layout");
#endif

#endif  // ZANT_PARENT_MESSAGE_H
