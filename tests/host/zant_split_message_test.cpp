#include "host/zant_split_message.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// A host splits into its own buffer and its own empty text, into a record
// that may hold anything before: every field must be set, every piece must be
// inside that buffer or be that empty text.
TEST(zant_split_message, SplitsInPlaceIntoTheCallersBufferAndEmptyText) {
    // After the 32nd '.' the scan stops: the last item keeps the rest.
    std::vector<std::string> stopped(zant_message_record::maxItems, "");
    stopped.back() = ".=v";
    struct Case {
        std::string text;
        const char* name;
        std::vector<std::string> items;
        bool hasValue;
        const char* value;
    } cases[] = {
        {"", "", {}, false, ""},
        {"press", "press", {}, false, ""},
        {"button=1", "button", {}, true, "1"},
        {"a.b.c=d.e", "a", {"b", "c"}, true, "d.e"},
        {"a=b=c", "a", {}, true, "b=c"},
        {"=x", "", {}, true, "x"},
        {"..", "", {"", ""}, false, ""},
        {"a" + std::string(33, '.') + "=v", "a", stopped, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::vector<char> buffer(c.text.begin(), c.text.end());
        buffer.push_back('\0');
        char emptyText[1] = {'\0'};
        zant_message_record record;
        std::memset(&record, 0x5a, sizeof record);
        zant_split_message(buffer.data(), emptyText, &record);

        EXPECT_EQ(record.buffer, c.text.empty() ? nullptr : buffer.data());
        EXPECT_STREQ(record.name, c.name);
        EXPECT_EQ(std::vector<std::string>(record.items, record.items + record.itemCount), c.items);
        EXPECT_EQ(record.hasValue, c.hasValue);
        EXPECT_STREQ(record.value, c.value);
        std::vector<const char*> pieces(record.items, record.items + zant_message_record::maxItems);
        pieces.push_back(record.name);
        pieces.push_back(record.value);
        for (const char* piece : pieces) {
            const bool inBuffer = piece >= buffer.data() && piece < buffer.data() + buffer.size();
            EXPECT_TRUE(piece == emptyText || inBuffer);
        }
        for (int k = record.itemCount; k < zant_message_record::maxItems; ++k)
            EXPECT_EQ(record.items[k], emptyText);
    }
}

}  // namespace
