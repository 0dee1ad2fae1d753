#include "script_helper/decodeZANTString.h"

#include <cstring>
#include <new>

#include "script_helper/parentMessage.h"

decodeZANTString::decodeZANTString(const char* source, char quote)
    : tokenCount(0), buffer(nullptr), quoteChar(quote) {
    for (char*& word : token) word = zantEmptyText;
    if (source == nullptr || *source == '\0') return;
    const size_t size = std::strlen(source) + 1;
    buffer = new (std::nothrow) char[size];
    if (buffer == nullptr) return;
    std::memcpy(buffer, source, size);

    int last = 0;  // index of the last word begun
    token[0] = buffer;
    bool inQuotes = false;
    for (char* at = buffer; *at != '\0'; ++at) {
        const bool afterCut = at != buffer && at[-1] == '\0';
        bool begins = false;
        if (*at == quoteChar) {
            // A closing quote right after a cut encloses nothing: an empty word.
            begins = inQuotes && afterCut;
            inQuotes = !inQuotes;
            *at = '\0';
        } else if (*at == ' ' && !inQuotes) {
            *at = '\0';
        } else {
            begins = afterCut;
        }
        if (begins) {
            if (last == maxTokens - 1) break;
            token[++last] = at;
        }
    }
    tokenCount = last + 1;
}

decodeZANTString::~decodeZANTString() {
    delete[] buffer;
}
