// BER as read and written: lengths of all three forms, long tags, integers of
// every width and sign, and truncation at every byte that never reads past.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "routers/BerReader.h"
#include "routers/BerWriter.h"

namespace {

using zant::routers::BerElement;
using zant::routers::BerReader;
using zant::routers::BerTag;
using zant::routers::BerWriter;
using Bytes = std::vector<std::uint8_t>;

// A compact rendering of a whole tree: "c3(u2:01 u12:6869)" for class letter
// and number, contents in hex for primitives; "!" where a level failed.
std::string render(BerReader reader) {
    static const char classes[] = {'u', 'a', 'c', 'p'};
    std::string text;
    BerElement element;
    while (reader.next(element)) {
        if (!text.empty()) text += ' ';
        text += classes[static_cast<int>(element.tag.tagClass)];
        text += std::to_string(element.tag.number);
        if (element.tag.constructed) {
            text += "(" + render(BerReader::children(element)) + ")";
            continue;
        }
        text += ':';
        static const char hex[] = "0123456789abcdef";
        for (size_t i = 0; i < element.length; ++i) {
            text += hex[element.contents[i] >> 4];
            text += hex[element.contents[i] & 15];
        }
    }
    if (reader.failed()) text += "!";
    return text;
}

std::string render(const Bytes& bytes) {
    return render(BerReader(bytes.data(), bytes.size()));
}

TEST(BerReader, ReadsEveryLengthFormAndTagForm) {
    const struct {
        Bytes bytes;
        std::string tree;
    } cases[] = {
        {{0x02, 0x01, 0x05}, "u2:05"},
        {{0x02, 0x81, 0x01, 0x05}, "u2:05"},
        {{0x02, 0x84, 0x00, 0x00, 0x00, 0x01, 0x05}, "u2:05"},
        {{0x60, 0x80, 0x6B, 0x80, 0xA0, 0x03, 0x02, 0x01, 0x07, 0x00, 0x00, 0x00, 0x00},
         "a0(a11(c0(u2:07)))"},
        {{0x30, 0x80, 0x00, 0x00, 0x01, 0x01, 0xFF}, "u16() u1:ff"},
        {{0x5F, 0x81, 0x00, 0x00}, "a128:"},
        {{0xBF, 0xFF, 0xFF, 0xFF, 0x7F, 0x00}, "c268435455()"},
        {{0xDF, 0x1F, 0x01, 0x00}, "p31:00"},
        // Malformed: the level stops at the fault.
        {{0x02, 0x02, 0x05}, "!"},
        {{0x02, 0x80, 0x05, 0x00, 0x00}, "!"},
        {{0x30, 0x80, 0x02, 0x01, 0x05}, "!"},
        {{0x02, 0xFF, 0x05}, "!"},
        {{0x02, 0x89, 0, 0, 0, 0, 0, 0, 0, 0, 1, 5}, "!"},
        {{0xBF, 0x90, 0x80, 0x80, 0x80, 0x00, 0x00}, "!"},
        {{0x02, 0x01, 0x05, 0x00, 0x00}, "u2:05!"},
        {{0x30, 0x03, 0x02, 0x02, 0x05}, "u16(!)"},
    };
    for (const auto& c : cases) EXPECT_EQ(render(c.bytes), c.tree);
}

TEST(BerReader, RefusesNestingDeeperThanTheBound) {
    for (const bool indefinite : {false, true}) {
        for (const int depth : {BerReader::maxDepth, BerReader::maxDepth + 1}) {
            Bytes bytes;
            for (int i = 0; i < depth; ++i) {
                bytes.push_back(0x30);
                bytes.push_back(indefinite ? 0x80 : static_cast<std::uint8_t>(2 * (depth - i - 1)));
            }
            if (indefinite) bytes.insert(bytes.end(), 2 * static_cast<size_t>(depth), 0x00);
            const std::string tree = render(bytes);
            EXPECT_EQ(tree.find('!') != std::string::npos, depth > BerReader::maxDepth)
                << depth << (indefinite ? " indefinite" : " definite");
        }
    }
}

TEST(BerReader, ReadsIntegersOfEveryWidthMinimalOrNot) {
    const struct {
        Bytes contents;
        bool ok;
        std::int64_t value;
    } cases[] = {
        {{0x00}, true, 0},
        {{0x7F}, true, 127},
        {{0x00, 0x80}, true, 128},
        {{0x80}, true, -128},
        {{0xFF, 0x7F}, true, -129},
        {{0xFF, 0xFF, 0xFF, 0xFF}, true, -1},
        {{0x00, 0x00, 0x00, 0x05}, true, 5},
        {{0x7F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
         true,
         std::numeric_limits<std::int64_t>::max()},
        {{0xFF, 0x80, 0, 0, 0, 0, 0, 0, 0}, true, std::numeric_limits<std::int64_t>::min()},
        {{0x00, 0x00, 0x00, 0, 0, 0, 0, 0, 0, 0, 0x01}, true, 1},
        {{0x01, 0, 0, 0, 0, 0, 0, 0, 0}, false, 0},
        {{}, false, 0},
    };
    for (const auto& c : cases) {
        Bytes bytes{0x02, static_cast<std::uint8_t>(c.contents.size())};
        bytes.insert(bytes.end(), c.contents.begin(), c.contents.end());
        BerReader reader(bytes.data(), bytes.size());
        BerElement element;
        ASSERT_TRUE(reader.next(element));
        std::int64_t value = 0;
        EXPECT_EQ(BerReader::readInteger(element, value), c.ok);
        if (c.ok) {
            EXPECT_EQ(value, c.value);
        }
    }
}

TEST(BerReader, ReadsBinaryAndSpecialRealsAndRefusesDecimal) {
    const struct {
        Bytes contents;
        bool ok;
        double value;
    } cases[] = {
        {{}, true, 0.0},
        {{0x80, 0x00, 0x03}, true, 3.0},
        {{0xC0, 0xFF, 0x01}, true, -0.5},
        {{0x90, 0x01, 0x01}, true, 8.0},        // base 8
        {{0x84, 0x00, 0x01}, true, 2.0},        // scale 1
        {{0x83, 0x01, 0x02, 0x01}, true, 4.0},  // exponent length byte
        {{0x40}, true, std::numeric_limits<double>::infinity()},
        {{0x41}, true, -std::numeric_limits<double>::infinity()},
        {{0x03, 0x31, 0x2E, 0x35}, false, 0.0},  // decimal
        {{0xB0, 0x00, 0x01}, false, 0.0},        // reserved base
        {{0x83, 0x05, 0, 0, 0, 0, 1, 1}, false, 0.0},
    };
    for (const auto& c : cases) {
        Bytes bytes{0x09, static_cast<std::uint8_t>(c.contents.size())};
        bytes.insert(bytes.end(), c.contents.begin(), c.contents.end());
        BerReader reader(bytes.data(), bytes.size());
        BerElement element;
        ASSERT_TRUE(reader.next(element));
        double value = 1.0;
        EXPECT_EQ(BerReader::readReal(element, value), c.ok);
        if (c.ok) {
            EXPECT_EQ(value, c.value);
        }
    }
}

TEST(BerWriter, WritesWhatTheReaderReadsBack) {
    const std::int64_t integers[] = {0,
                                     1,
                                     -1,
                                     127,
                                     128,
                                     -128,
                                     -129,
                                     65535,
                                     1LL << 40,
                                     std::numeric_limits<std::int64_t>::min(),
                                     std::numeric_limits<std::int64_t>::max()};
    const double reals[] = {
        0.0, -0.0, 1.5, -1e300, 3.0e-310, 0.1, std::numeric_limits<double>::infinity()};
    const std::vector<std::uint32_t> oid{1, 127, 128, 16384, 0xFFFFFFFF, 0};
    BerWriter writer;
    writer.begin(BerTag::Class::application, 200);
    for (const std::int64_t value : integers) writer.contextInteger(0, value);
    for (const double value : reals) writer.real(value);
    writer.beginSet();
    writer.contextUtf8(31, std::string(300, 'x'));
    writer.contextRelativeOid(1, oid);
    writer.boolean(true);
    writer.null();
    writer.end();
    writer.end();
    EXPECT_EQ(writer.openContainers(), 0u);
    const Bytes bytes = writer.take();

    BerReader top(bytes.data(), bytes.size());
    BerElement outer;
    ASSERT_TRUE(top.next(outer));
    EXPECT_TRUE(outer.tag.isApplication(200));
    BerReader inside = BerReader::children(outer);
    BerElement element;
    BerElement inner;
    for (const std::int64_t expected : integers) {
        ASSERT_TRUE(inside.next(element));
        ASSERT_TRUE(BerReader::unwrap(element, inner));
        std::int64_t value = 0;
        ASSERT_TRUE(BerReader::readInteger(inner, value));
        EXPECT_EQ(value, expected);
        EXPECT_LE(inner.length, 8u);
    }
    for (const double expected : reals) {
        ASSERT_TRUE(inside.next(element));
        double value = 0;
        ASSERT_TRUE(BerReader::readReal(element, value));
        EXPECT_EQ(value, expected);
        EXPECT_EQ(std::signbit(value), std::signbit(expected));
    }
    ASSERT_TRUE(inside.next(element));
    BerReader set = BerReader::children(element);
    ASSERT_TRUE(set.next(element));
    EXPECT_TRUE(element.tag.isContext(31));
    std::string text;
    ASSERT_TRUE(BerReader::unwrap(element, inner) && BerReader::readUtf8(inner, text));
    EXPECT_EQ(text, std::string(300, 'x'));
    ASSERT_TRUE(set.next(element) && BerReader::unwrap(element, inner));
    std::vector<std::uint32_t> components;
    ASSERT_TRUE(BerReader::readRelativeOid(inner, components));
    EXPECT_EQ(components, oid);
    bool flag = false;
    ASSERT_TRUE(set.next(element) && BerReader::readBoolean(element, flag));
    EXPECT_TRUE(flag);
    ASSERT_TRUE(set.next(element) && BerReader::readNull(element));
    EXPECT_FALSE(set.next(element) || set.failed() || inside.next(element) || inside.failed());
}

TEST(BerReader, TruncationAtEveryByteFailsWithoutReadingPast) {
    BerWriter writer;
    writer.beginApplication(0);
    writer.beginContext(40);
    writer.utf8("label");
    writer.end();
    writer.contextRelativeOid(1, {1, 200, 3});
    writer.end();
    Bytes whole = writer.take();
    // And an indefinite form of the same tree.
    const Bytes indefinite{0x60, 0x80, 0xBF, 0x28, 0x80, 0x0C, 0x01, 0x6C, 0x00,
                           0x00, 0xA1, 0x03, 0x0D, 0x01, 0x01, 0x00, 0x00};
    for (const Bytes& bytes : {whole, indefinite}) {
        for (size_t size = 0; size < bytes.size(); ++size) {
            // A copy of exactly `size` bytes: the sanitizers catch a read past it.
            const Bytes cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
            const std::string tree = render(cut);
            EXPECT_TRUE(size == 0 ? tree.empty() : tree.find('!') != std::string::npos) << size;
        }
        EXPECT_EQ(render(bytes).find('!'), std::string::npos);
    }
}

TEST(BerReader, RelativeOidComponentsAreBounded) {
    const struct {
        Bytes contents;
        bool ok;
    } cases[] = {{{0x8F, 0xFF, 0xFF, 0xFF, 0x7F}, true},
                 {{0x90, 0x80, 0x80, 0x80, 0x00}, false},
                 {{0x81}, false},
                 {{}, true}};
    for (const auto& c : cases) {
        Bytes bytes{0x0D, static_cast<std::uint8_t>(c.contents.size())};
        bytes.insert(bytes.end(), c.contents.begin(), c.contents.end());
        BerReader reader(bytes.data(), bytes.size());
        BerElement element;
        ASSERT_TRUE(reader.next(element));
        std::vector<std::uint32_t> components;
        EXPECT_EQ(BerReader::readRelativeOid(element, components), c.ok);
    }
    const Bytes three{0x0D, 0x03, 0x01, 0x02, 0x03};
    BerReader reader(three.data(), three.size());
    BerElement element;
    ASSERT_TRUE(reader.next(element));
    std::vector<std::uint32_t> components;
    EXPECT_FALSE(BerReader::readRelativeOid(element, components, 2));
}

}  // namespace
