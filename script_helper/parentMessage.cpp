#include "script_helper/parentMessage.h"

#include <cstring>
#include <new>

char zantEmptyText[1] = {'\0'};

parentMessage::parentMessage(const char* source)
    : zant_message_record{nullptr, {}, zantEmptyText, 0, false, nullptr} {
    for (char*& item : items) item = zantEmptyText;
    if (source == nullptr || *source == '\0') {
        name = zantEmptyText;
        return;
    }
    const size_t size = std::strlen(source) + 1;
    buffer = new (std::nothrow) char[size];
    if (buffer == nullptr) {
        name = zantEmptyText;
        return;
    }
    std::memcpy(buffer, source, size);

    for (char* at = buffer; *at != '\0'; ++at) {
        if (itemCount == maxItems) break;
        if (*at == '.') {
            if (name == nullptr) name = buffer;
            *at = '\0';
            items[itemCount++] = at + 1;
        } else if (*at == '=') {
            if (name == nullptr) name = buffer;
            *at = '\0';
            hasValue = true;
            value = at + 1;
            break;
        }
    }
    if (name == nullptr) name = buffer;
}

parentMessage::~parentMessage() {
    delete[] buffer;
}
