// parentMessage on arbitrary texts: every piece readable, none null, all
// inside the private copy, and the pieces put back together give the text.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz/FuzzCheck.h"
#include "script_helper/parentMessage.h"

namespace {

bool insideCopy(const parentMessage& message, const char* piece, size_t length) {
    return piece == zantEmptyText || (message.buffer != nullptr && piece >= message.buffer &&
                                      piece <= message.buffer + length);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The host's texts end at their first NUL.
    const std::string source(reinterpret_cast<const char*>(data), size);
    const std::string text(source.c_str());
    const parentMessage message(text.c_str());

    fuzzCheck(message.itemCount >= 0 && message.itemCount <= parentMessage::maxItems,
              "itemCount within 0..32");
    fuzzCheck(message.name != nullptr && message.value != nullptr, "name and value not null");
    fuzzCheck(text.empty() == (message.buffer == nullptr), "a copy exactly for non-empty texts");
    fuzzCheck(insideCopy(message, message.name, text.size()), "name inside the copy");
    fuzzCheck(insideCopy(message, message.value, text.size()), "value inside the copy");
    for (int i = 0; i < parentMessage::maxItems; ++i) {
        fuzzCheck(message.items[i] != nullptr, "no null item");
        fuzzCheck(i < message.itemCount ? insideCopy(message, message.items[i], text.size())
                                        : message.items[i] == zantEmptyText,
                  "items inside the copy, the rest the shared empty text");
    }
    fuzzCheck(zantEmptyText[0] == '\0', "the shared empty text stays empty");
    if (message.itemCount == parentMessage::maxItems) {
        fuzzCheck(!message.hasValue, "no value after the 32nd item");
    }

    // Nothing lost, nothing added: the pieces and their delimiters are the text.
    std::string joined = message.name;
    for (int i = 0; i < message.itemCount; ++i) joined += std::string(".") + message.items[i];
    if (message.hasValue) joined += std::string("=") + message.value;
    fuzzCheck(joined == text, "pieces rebuild the text");
    if (!message.hasValue) fuzzCheck(*message.value == '\0', "no value without '='");
    return 0;
}
