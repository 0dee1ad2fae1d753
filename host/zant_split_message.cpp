#include "host/zant_split_message.h"

void zant_split_message(char* text, char* emptyText, zant_message_record* record) {
    for (char*& item : record->items) item = emptyText;
    record->value = emptyText;
    record->itemCount = 0;
    record->hasValue = false;
    record->buffer = nullptr;
    if (text == nullptr || *text == '\0') {
        record->name = emptyText;
        return;
    }
    record->name = text;
    record->buffer = text;
    for (char* at = text; *at != '\0'; ++at) {
        if (record->itemCount == zant_message_record::maxItems) break;
        if (*at == '.') {
            *at = '\0';
            record->items[record->itemCount++] = at + 1;
        } else if (*at == '=') {
            *at = '\0';
            record->hasValue = true;
            record->value = at + 1;
            break;
        }
    }
}
