#include "simulator/ButtonMessage.h"

ButtonMessage::ButtonMessage(const std::string& text) {
    record_.name = nullptr;
    for (char*& item : record_.items) item = empty_;
    record_.value = empty_;
    record_.itemCount = 0;
    record_.hasValue = false;
    record_.buffer = nullptr;
    if (text.empty()) {
        record_.name = empty_;
        return;
    }
    buffer_.assign(text.begin(), text.end());
    buffer_.push_back('\0');
    char* start = buffer_.data();
    record_.buffer = start;
    for (char* c = start; *c != '\0'; ++c) {
        if (record_.itemCount == zant_message_record::maxItems) break;
        if (*c == '.') {
            if (record_.name == nullptr) record_.name = start;
            *c = '\0';
            record_.items[record_.itemCount++] = c + 1;
        } else if (*c == '=') {
            if (record_.name == nullptr) record_.name = start;
            *c = '\0';
            record_.hasValue = true;
            record_.value = c + 1;
            break;
        }
    }
    if (record_.name == nullptr) record_.name = start;
}
