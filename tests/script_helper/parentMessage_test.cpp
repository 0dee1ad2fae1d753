#include "script_helper/parentMessage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Every piece is either the shared empty text or a text inside `buffer`.
void expectPiecesInBuffer(const parentMessage& m, size_t sourceLength) {
    std::vector<const char*> pieces(m.items, m.items + parentMessage::maxItems);
    pieces.push_back(m.name);
    pieces.push_back(m.value);
    for (const char* piece : pieces) {
        ASSERT_NE(piece, nullptr);
        if (piece == zantEmptyText) continue;
        ASSERT_NE(m.buffer, nullptr);
        EXPECT_GE(piece, m.buffer);
        EXPECT_LE(piece, m.buffer + sourceLength);
    }
    for (int k = m.itemCount; k < parentMessage::maxItems; ++k)
        EXPECT_EQ(m.items[k], zantEmptyText);
}

TEST(parentMessage, SplitsNameItemsAndValue) {
    struct Case {
        std::string source;
        const char* name;
        std::vector<std::string> items;
        bool hasValue;
        const char* value;
    } cases[] = {
        {"instance=abc", "instance", {}, true, "abc"},
        {"_events", "_events", {}, false, ""},
        {"a.b.c=d.e", "a", {"b", "c"}, true, "d.e"},
        {"a=b=c", "a", {}, true, "b=c"},
        {"=x", "", {}, true, "x"},
        {"=", "", {}, true, ""},
        {"a.", "a", {""}, false, ""},
        {".x", "", {"x"}, false, ""},
        {"a..b", "a", {"", "b"}, false, ""},
        {"a.=v", "a", {""}, true, "v"},
        {"a b.c d=e f", "a b", {"c d"}, true, "e f"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        const parentMessage m(c.source.c_str());
        EXPECT_STREQ(m.name, c.name);
        EXPECT_EQ(std::vector<std::string>(m.items, m.items + m.itemCount), c.items);
        EXPECT_EQ(m.hasValue, c.hasValue);
        EXPECT_STREQ(m.value, c.value);
        expectPiecesInBuffer(m, c.source.size());
    }
}

TEST(parentMessage, StopsAfterThe32ndDot) {
    struct Case {
        int dots;
        const char* lastItem;
        bool hasValue;
    } cases[] = {{31, "i30", true}, {32, "i31=v", false}, {33, "i31.i32=v", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dots);
        std::string source = "n";
        for (int k = 0; k < c.dots; ++k) source += ".i" + std::to_string(k);
        source += "=v";
        const parentMessage m(source.c_str());
        const int count = std::min(c.dots, parentMessage::maxItems);
        ASSERT_EQ(m.itemCount, count);
        for (int k = 0; k + 1 < count; ++k) EXPECT_EQ(m.items[k], "i" + std::to_string(k));
        EXPECT_STREQ(m.items[count - 1], c.lastItem);
        EXPECT_EQ(m.hasValue, c.hasValue);
        EXPECT_STREQ(m.value, c.hasValue ? "v" : "");
        expectPiecesInBuffer(m, source.size());
    }
}

TEST(parentMessage, NullOrEmptySourceGivesSharedEmptyPiecesAndNoBuffer) {
    for (const char* source : {static_cast<const char*>(nullptr), ""}) {
        SCOPED_TRACE(source ? "empty" : "null");
        const parentMessage m(source);
        EXPECT_EQ(m.buffer, nullptr);
        EXPECT_EQ(m.name, zantEmptyText);
        EXPECT_EQ(m.value, zantEmptyText);
        EXPECT_EQ(m.itemCount, 0);
        EXPECT_FALSE(m.hasValue);
        expectPiecesInBuffer(m, 0);
    }
}

TEST(parentMessage, CopiesTheWholeSourceAndLeavesItUntouched) {
    const std::string value(size_t{100} * 1024, 'x');
    const std::string source = "name.item=" + value;
    const parentMessage m(source.c_str());
    EXPECT_EQ(m.value, m.buffer + 10);
    EXPECT_EQ(m.value, value);
    EXPECT_EQ(source, "name.item=" + value);
    EXPECT_STREQ(m.items[0], "item");
}

}  // namespace
