#include "host/zant_string.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

std::vector<std::string> itemsOf(const zant_stringlist& list) {
    std::vector<std::string> items;
    for (zant_stringlistIterator it = list.begin(); it != list.end(); ++it) {
        items.emplace_back(static_cast<const char*>(*it));
    }
    return items;
}

TEST(zant_string, NullTextIsEmptyWhereverATextIsTaken) {
    const char* null = nullptr;
    zant_string s(null);
    EXPECT_STREQ(s, "");
    EXPECT_EQ(s.length(), 0);
    s = "x";
    s = null;
    EXPECT_TRUE(s == "");
    EXPECT_TRUE(zant_string("") == null);
    EXPECT_STREQ(zant_string("a") + null, "a");
    EXPECT_STREQ(null + zant_string("a"), "a");
    EXPECT_STREQ(zant_string("<%1>").arg(null), "<>");
}

TEST(zant_string, CopiesAreIndependent) {
    zant_string a("abc");
    zant_string b(a);
    b += "d";
    b.replace('a', 'x');
    EXPECT_STREQ(a, "abc");
    EXPECT_STREQ(b, "xbcd");
}

TEST(zant_string, RendersNumbers) {
    struct Case {
        int value;
        char fill;
        unsigned width;
        int base;
        const char* text;
    } cases[] = {{0, 0, 0, 10, "0"},
                 {1, 0, 0, 10, "1"},
                 {-1, 0, 0, 10, "-1"},
                 {INT_MAX, 0, 0, 10, "2147483647"},
                 {INT_MIN, 0, 0, 10, "-2147483648"},
                 {255, 0, 0, 16, "ff"},
                 {-8, 0, 0, 2, "-1000"},
                 {5, '0', 3, 10, "005"},
                 {5, 0, 3, 10, "  5"},
                 {1234, '0', 2, 10, "1234"},
                 {42, 0, 0, 1, "42"},
                 {42, 0, 0, 37, "42"},
                 {INT_MIN, 0, 0, 2, "-10000000000000000000000000000000"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_STREQ(zant_string(c.value, c.fill, c.width, c.base), c.text);
    }
}

TEST(zant_string, ConcatenatesOnEitherSide) {
    const zant_string ab("ab");
    EXPECT_STREQ(ab + zant_string("cd"), "abcd");
    EXPECT_STREQ(ab + "cd", "abcd");
    EXPECT_STREQ("cd" + ab, "cdab");
    EXPECT_STREQ(ab + ab, "abab");
    zant_string s("x");
    s += s;
    s += "y";
    EXPECT_STREQ(s, "xxy");
    EXPECT_STREQ(ab, "ab");
}

// A chain appends to its first temporary; every piece must still land in
// order, also past the inline buffer, and the named pieces stay unchanged.
TEST(zant_string, ChainsOfConcatenationKeepEveryPieceInOrder) {
    const zant_string property("statesheet");
    const zant_string style("take_armed_high_red");
    const char* null = nullptr;
    struct Case {
        zant_string built;
        const char* expected;
    };
    const Case cases[] = {
        {"TP '" + property + "=" + style + "' '" + zant_string("1") + "'",
         "TP 'statesheet=take_armed_high_red' '1'"},
        {zant_string() + "" + null + zant_string() + "x", "x"},
        {zant_string(40, 0, 0, 10) + style + null + property, "40take_armed_high_redstatesheet"},
        {(property + "/") + (style + "/") + property, "statesheet/take_armed_high_red/statesheet"},
    };
    for (const Case& c : cases) EXPECT_STREQ(c.built, c.expected);
    EXPECT_STREQ(property, "statesheet");
    EXPECT_STREQ(style, "take_armed_high_red");
}

TEST(zant_string, ComparesExactly) {
    EXPECT_TRUE(zant_string("abc") == "abc");
    EXPECT_FALSE(zant_string("abc") == "ab");
    EXPECT_FALSE(zant_string("abc") == "ABC");
    EXPECT_TRUE(zant_string("a") != zant_string("b"));
    EXPECT_FALSE(zant_string("a") != zant_string("a"));

    struct Case {
        const char* text;
        int number;
        bool equal;
    } cases[] = {{"1", 1, true},
                 {"01", 1, false},
                 {"-1", -1, true},
                 {"+1", 1, false},
                 {"1 ", 1, false},
                 {" 1", 1, false},
                 {"", 0, false},
                 {"0", 0, true},
                 {"-0", 0, false},
                 {"12", 1, false},
                 {"-2147483648", INT_MIN, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(zant_string(c.text) == c.number, c.equal);
    }
}

TEST(zant_string, ArgFillsTheLowestPlaceholderLeft) {
    struct Case {
        const char* text;
        const char* filled;
    } cases[] = {{"a%1b", "aXb"},     {"%2 %1", "%2 X"},   {"%1-%1", "X-X"}, {"abc", "abc"},
                 {"%10 %1", "%10 X"}, {"%10 %2", "%10 X"}, {"%10", "X"},     {"%1%", "X%"},
                 {"100%", "100%"},    {"%0 %", "%0 %"},    {"", ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_STREQ(zant_string(c.text).arg("X"), c.filled);
        EXPECT_STREQ(zant_string(c.text).arg(zant_string("X")), c.filled);
    }
    const zant_string command("PS %1 %2 %3");
    EXPECT_STREQ(command.arg(7).arg("on").arg(zant_string("x")), "PS 7 on x");
    EXPECT_STREQ(command.arg(-1).arg(7, '0', 3, 10).arg(255, 0, 0, 16), "PS -1 007 ff");
    EXPECT_STREQ(command, "PS %1 %2 %3");
}

TEST(zant_string, SplitCutsAtTheFirstSeparator) {
    struct Case {
        const char* text;
        const char* before;
        const char* after;
        bool found;
    } cases[] = {{"name=value", "name", "value", true},
                 {"a=b=c", "a", "b=c", true},
                 {"=x", "", "x", true},
                 {"x=", "x", "", true},
                 {"abc", "abc", "", false},
                 {"", "", "", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        zant_string before("old"), after("old");
        EXPECT_EQ(zant_string(c.text).split('=', before, after), c.found);
        EXPECT_STREQ(before, c.before);
        EXPECT_STREQ(after, c.after);
    }
}

TEST(zant_string, SplitsIntoItself) {
    zant_string s("name=value"), other;
    s.split('=', s, other);
    EXPECT_STREQ(s, "name");
    EXPECT_STREQ(other, "value");

    s = "name=value";
    s.split('=', other, s);
    EXPECT_STREQ(other, "name");
    EXPECT_STREQ(s, "value");

    s = "plain";
    s.split('=', other, s);
    EXPECT_STREQ(other, "plain");
    EXPECT_STREQ(s, "");
}

TEST(zant_string, ToIntReadsSignAndLeadingDigitsAndClamps) {
    struct Case {
        const char* text;
        int value;
    } cases[] = {{"0", 0},
                 {"42", 42},
                 {"-42", -42},
                 {"+7", 7},
                 {"007", 7},
                 {"12abc", 12},
                 {"abc", 0},
                 {"", 0},
                 {"+", 0},
                 {"-", 0},
                 {"--1", 0},
                 {" 5", 0},
                 {"2147483647", INT_MAX},
                 {"2147483648", INT_MAX},
                 {"-2147483648", INT_MIN},
                 {"-2147483649", INT_MIN},
                 {"99999999999999999999999999", INT_MAX},
                 {"-99999999999999999999999999", INT_MIN}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(zant_string(c.text).toInt(), c.value);
    }
}

TEST(zant_string, LowerReturnsALowerCasedCopy) {
    const zant_string s("MiXeD 09_Z@[");
    EXPECT_STREQ(s.lower(), "mixed 09_z@[");
    EXPECT_STREQ(s, "MiXeD 09_Z@[");
}

TEST(zant_string, ReplacesEveryOccurrenceInPlace) {
    zant_string s("a.b.c");
    EXPECT_STREQ(s.replace('.', '/'), "a/b/c");
    EXPECT_STREQ(s, "a/b/c");

    struct Case {
        const char* text;
        const char* from;
        const char* to;
        const char* result;
    } cases[] = {
        {"a.b.c", ".", "::", "a::b::c"}, {"aaa", "aa", "b", "ba"}, {"aa", "a", "aa", "aaaa"},
        {"abab", "ab", "ab", "abab"},    {"abc", "", "x", "abc"},  {"abc", "b", "", "ac"},
        {"abc", "x", "y", "abc"},        {"abc", "abc", "", ""},   {"", "a", "b", ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text + std::string(" / ") + c.from);
        zant_string t(c.text);
        t.replace(zant_string(c.from), zant_string(c.to));
        EXPECT_STREQ(t, c.result);
    }
}

TEST(zant_stringlist, BuildsItemsBetweenSeparatorsInOrder) {
    struct Case {
        const char* text;
        std::vector<std::string> items;
    } cases[] = {{"", {}},
                 {"a", {"a"}},
                 {"a,b,c", {"a", "b", "c"}},
                 {",", {"", ""}},
                 {"a,,b", {"a", "", "b"}},
                 {"a,", {"a", ""}},
                 {",a", {"", "a"}},
                 {",,", {"", "", ""}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const zant_stringlist list(c.text, ',');
        EXPECT_EQ(itemsOf(list), c.items);
        EXPECT_EQ(list.count(), static_cast<int>(c.items.size()));
        EXPECT_STREQ(list.toString(','), c.text);  // joining undoes the split
    }
}

TEST(zant_stringlist, AppendsAndJoinsWithoutATrailingSeparator) {
    zant_stringlist list;
    EXPECT_STREQ(list.toString(','), "");
    EXPECT_TRUE(list.begin() == list.end());
    list << "a";
    EXPECT_STREQ(list.toString(','), "a");
    list << "" << zant_string("c");
    EXPECT_STREQ(list.toString(';'), "a;;c");
    EXPECT_EQ(itemsOf(list), (std::vector<std::string>{"a", "", "c"}));

    zant_stringlist copy(list);
    copy << "d";
    EXPECT_EQ(list.count(), 3);
    EXPECT_STREQ(copy.toString(','), "a,,c,d");

    // An item appended from a named string is copied; the string keeps its text.
    const zant_string kept("a text longer than the inline buffer");
    copy << kept;
    EXPECT_STREQ(kept, "a text longer than the inline buffer");
    EXPECT_STREQ(copy[4], "a text longer than the inline buffer");
}

}  // namespace
