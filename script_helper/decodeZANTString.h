// Splits a host reply into words separated by spaces (character 32 only); a
// text between two `quoteChar`s is one word, spaces kept, and a pair of quotes
// with nothing between them is one empty word. Word 0 always starts at the
// first character, so a reply starting with a space or a quote has an empty
// word 0. At most 32 words are taken; the rest of the text is ignored.
//
// The object takes a private copy of the text and cuts it in place; the words
// stay valid until it is destroyed.
#ifndef ZANT_DECODE_ZANT_STRING_H
#define ZANT_DECODE_ZANT_STRING_H

#include <cstdint>

class decodeZANTString {
public:
    static constexpr int maxTokens = 32;

    // A null or empty source gives no words and a null `buffer`. If the copy
    // cannot be allocated the reply reads as empty.
    decodeZANTString(const char* source, char quoteChar);
    virtual ~decodeZANTString();
    decodeZANTString(const decodeZANTString&) = delete;
    decodeZANTString& operator=(const decodeZANTString&) = delete;

    // Unfilled entries point to the shared empty text, never null.
    char* token[maxTokens];
    int32_t tokenCount;
    char* buffer;
    char quoteChar;
};

#endif  // ZANT_DECODE_ZANT_STRING_H
