#include "script_helper/decodeZANTString.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script_helper/parentMessage.h"

namespace {

// The words found; checks that each points into `buffer` and that every entry
// past them is the shared empty text.
std::vector<std::string> wordsOf(const decodeZANTString& d, size_t sourceLength) {
    std::vector<std::string> words;
    for (int k = 0; k < decodeZANTString::maxTokens; ++k) {
        const char* word = d.token[k];
        EXPECT_NE(word, nullptr) << "entry " << k;
        if (word == nullptr) continue;
        if (k >= d.tokenCount) {
            EXPECT_EQ(word, zantEmptyText) << "entry " << k;
            continue;
        }
        EXPECT_TRUE(word >= d.buffer && word <= d.buffer + sourceLength) << "entry " << k;
        words.emplace_back(word);
    }
    return words;
}

std::string numberedWords(int count) {
    std::string text;
    for (int k = 0; k < count; ++k) text += (k ? " w" : "w") + std::to_string(k);
    return text;
}

// "w0" to "w<count-1>", then `tail`.
std::vector<std::string> numberedList(int count, std::vector<std::string> tail = {}) {
    std::vector<std::string> words;
    words.reserve(static_cast<size_t>(count) + tail.size());
    for (int k = 0; k < count; ++k) words.push_back("w" + std::to_string(k));
    words.insert(words.end(), tail.begin(), tail.end());
    return words;
}

TEST(decodeZANTString, SplitsWordsAndQuotedTexts) {
    struct Case {
        std::string source;
        char quote;
        std::vector<std::string> words;
    } cases[] = {
        {"12 34", '\'', {"12", "34"}},
        {"12   34  ", '\'', {"12", "34"}},
        {"single", '\'', {"single"}},
        {"x '' y", '\'', {"x", "", "y"}},
        {"'a b' c", '\'', {"", "a b", "c"}},
        {"'' x", '\'', {"", "", "x"}},
        {"''", '\'', {"", ""}},
        {"a''", '\'', {"a", ""}},
        {"' '", '\'', {"", " "}},
        {"ab'cd'", '\'', {"ab", "cd"}},
        {"'ab'cd", '\'', {"", "ab", "cd"}},
        {"a 'b  c", '\'', {"a", "b  c"}},
        {" a", '\'', {"", "a"}},
        {"   ", '\'', {""}},
        {"a\tb c", '\'', {"a\tb", "c"}},
        {"it's \"a b\"", '"', {"it's", "a b"}},
        {numberedWords(32), '\'', numberedList(32)},
        {numberedWords(33), '\'', numberedList(32)},
        {numberedWords(40), '\'', numberedList(32)},
        {numberedWords(31) + " '' x", '\'', numberedList(31, {""})},
        {numberedWords(31) + " 'p q' r", '\'', numberedList(31, {"p q"})},
    };

    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        const decodeZANTString d(c.source.c_str(), c.quote);
        EXPECT_EQ(d.quoteChar, c.quote);
        EXPECT_EQ(d.tokenCount, static_cast<int>(c.words.size()));
        EXPECT_EQ(d.token[0], d.buffer);  // word 0 always starts the text
        EXPECT_EQ(wordsOf(d, c.source.size()), c.words);
    }
}

TEST(decodeZANTString, NullOrEmptySourceGivesNoWordsAndNoBuffer) {
    for (const char* source : {static_cast<const char*>(nullptr), ""}) {
        SCOPED_TRACE(source ? "empty" : "null");
        const decodeZANTString d(source, '\'');
        EXPECT_EQ(d.buffer, nullptr);
        EXPECT_EQ(d.tokenCount, 0);
        EXPECT_EQ(d.quoteChar, '\'');
        EXPECT_TRUE(wordsOf(d, 0).empty());
    }
}

TEST(decodeZANTString, CopiesTheWholeSourceAndLeavesItUntouched) {
    const std::string big(size_t{100} * 1024, 'x');
    const std::string source = "1 '" + big + "' 2";
    const decodeZANTString d(source.c_str(), '\'');
    ASSERT_EQ(d.tokenCount, 3);
    EXPECT_EQ(d.token[1], d.buffer + 3);
    EXPECT_EQ(d.token[1], big);
    EXPECT_STREQ(d.token[2], "2");
    EXPECT_EQ(source, "1 '" + big + "' 2");
}

}  // namespace
