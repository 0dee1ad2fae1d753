#include "script_helper/parentMessage.h"

#include <cstring>
#include <new>

#include "host/zant_split_message.h"

char zantEmptyText[1] = {'\0'};

parentMessage::parentMessage(const char* source) : zant_message_record{} {
    char* copy = nullptr;
    if (source != nullptr && *source != '\0') {
        const size_t size = std::strlen(source) + 1;
        // If the copy cannot be allocated the message reads as empty.
        copy = new (std::nothrow) char[size];
        if (copy != nullptr) std::memcpy(copy, source, size);
    }
    zant_split_message(copy, zantEmptyText, this);
}

parentMessage::~parentMessage() {
    delete[] buffer;
}
