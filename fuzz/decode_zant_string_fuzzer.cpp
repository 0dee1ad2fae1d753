// decodeZANTString on arbitrary replies and quote characters, against a
// plain re-reading of the word rules: same words, all readable, none null, all
// inside the private copy.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "script_helper/decodeZANTString.h"
#include "script_helper/parentMessage.h"

namespace {

// Word 0 starts at the first character; a word begins after a cut; a closing
// quote right after a cut begins an empty word; at most 32 words.
std::vector<std::string> referenceWords(const std::string& text, char quote) {
    std::vector<std::string> words;
    if (text.empty()) return words;
    std::string copy = text;
    std::vector<size_t> starts{0};
    bool inQuotes = false;
    for (size_t i = 0; i < copy.size(); ++i) {
        const bool afterCut = i > 0 && copy[i - 1] == '\0';
        bool begins = false;
        if (copy[i] == quote) {
            begins = inQuotes && afterCut;
            inQuotes = !inQuotes;
            copy[i] = '\0';
        } else if (copy[i] == ' ' && !inQuotes) {
            copy[i] = '\0';
        } else {
            begins = afterCut;
        }
        if (begins) {
            if (starts.size() == static_cast<size_t>(decodeZANTString::maxTokens)) break;
            starts.push_back(i);
        }
    }
    for (size_t start : starts) words.emplace_back(copy.c_str() + start);
    return words;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const char quote = static_cast<char>(data[0]);
    const std::string source(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string text(source.c_str());
    const decodeZANTString words(text.c_str(), quote);

    fuzzCheck(words.quoteChar == quote, "quote kept");
    fuzzCheck(words.tokenCount >= 0 && words.tokenCount <= decodeZANTString::maxTokens,
              "tokenCount within 0..32");
    fuzzCheck(text.empty() == (words.buffer == nullptr), "a copy exactly for non-empty texts");
    for (int i = 0; i < decodeZANTString::maxTokens; ++i) {
        const char* word = words.token[i];
        fuzzCheck(word != nullptr, "no null word");
        if (i >= words.tokenCount) {
            fuzzCheck(word == zantEmptyText, "unused words are the shared empty text");
        } else {
            fuzzCheck(word >= words.buffer && word <= words.buffer + text.size(),
                      "words inside the copy");
        }
    }
    if (!text.empty()) fuzzCheck(words.token[0] == words.buffer, "word 0 starts the text");

    const std::vector<std::string> expected = referenceWords(text, quote);
    fuzzCheck(static_cast<size_t>(words.tokenCount) == expected.size(), "word count");
    for (size_t i = 0; i < expected.size(); ++i) {
        fuzzCheck(expected[i] == words.token[i], "word text");
    }
    return 0;
}
