// Blocks cut from the router's bytes however they are split, and the bounds
// that keep a broken stream from growing the reader.
#include "routers/VideohubReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using zant::routers::VideohubBlock;
using zant::routers::VideohubReader;

// "HEADER|line|line" per block, blocks joined by ';'.
std::string render(const std::vector<VideohubBlock>& blocks) {
    std::string text;
    for (const VideohubBlock& block : blocks) {
        if (!text.empty()) text += ';';
        text += block.header;
        for (const std::string& line : block.lines) text += '|' + line;
    }
    return text;
}

std::string read(const std::string& bytes, std::vector<std::string>* problems = nullptr) {
    VideohubReader reader;
    std::vector<VideohubBlock> blocks;
    reader.feed(bytes.data(), bytes.size(), blocks);
    if (problems != nullptr) *problems = reader.takeProblems();
    return render(blocks);
}

const std::string longLine(VideohubReader::maxLine, 'x');

struct ReaderCase {
    std::string bytes;
    std::string blocks;
    std::vector<std::string> problems;
};

TEST(VideohubReader, CutsBlocksAndReportsWhatItRefuses) {
    const ReaderCase cases[] = {
        {"VIDEO OUTPUT ROUTING:\n7 2\n8 3\n\n", "VIDEO OUTPUT ROUTING|7 2|8 3", {}},
        {"INPUT LABELS:\r\n0 Cam 1\r\n\r\nACK\r\n\r\n", "INPUT LABELS|0 Cam 1;ACK", {}},
        {"\n\n \t\nACK\n\nNAK\n\n\n", "ACK;NAK", {}},
        {"PING:  \n\n", "PING", {}},
        {"PING:\n \t\r\nACK\n\n", "PING;ACK", {}},
        {"INPUT LABELS:\n0 a\rb\n\n", "INPUT LABELS|0 a\rb", {}},
        {"INPUT LABELS:\n0 A\r\r\n\n", "INPUT LABELS|0 A\r", {}},
        {"VIDEO OUTPUT ROUTING:\n", "", {}},
        {"ACK\n\nVIDEO OUTPUT ROUTING:\n1 2", "ACK", {}},
        {"\xff\x01:\n\xc3\x28\n\n", "\xff\x01|\xc3\x28", {}},
        {std::string("INPUT LABELS:\n0 a\0b\n1 B\n\n", 25),
         "INPUT LABELS|1 B",
         {"a line of 'INPUT LABELS' holding a NUL byte was skipped"}},
        {std::string("AC\0K\n1 2\n\nNAK\n\n", 15),
         "NAK",
         {"a block whose header holds a NUL byte was skipped"}},
        {"OUTPUT LABELS:\n" + longLine + "\r\n\n", "OUTPUT LABELS|" + longLine, {}},
        {"OUTPUT LABELS:\n" + longLine + "yz\n" + longLine + "\r\r\n1 A\n\n",
         "OUTPUT LABELS|" + longLine + "|" + longLine + "|1 A",
         {"a line longer than 1024 bytes was cut there, the rest skipped (and 1 more like it)"}},
        {"OUTPUT LABELS:\n" + std::string(5000, ' ') + "\nACK\n\n", "OUTPUT LABELS;ACK", {}},
    };
    for (const ReaderCase& c : cases) {
        std::vector<std::string> problems;
        EXPECT_EQ(read(c.bytes, &problems), c.blocks) << c.bytes;
        EXPECT_EQ(problems, c.problems) << c.bytes;
    }
}

TEST(VideohubReader, ABlockKeepsItsFirstLinesAndStillEndsAtItsBlankLine) {
    std::string bytes = "VIDEO OUTPUT ROUTING:\n";
    for (size_t i = 0; i < VideohubReader::maxBlockLines + 10; ++i) {
        bytes += std::to_string(i) + " 0\n";
    }
    bytes += "\nACK\n\n";
    VideohubReader reader;
    std::vector<VideohubBlock> blocks;
    reader.feed(bytes.data(), bytes.size(), blocks);
    ASSERT_EQ(blocks.size(), 2u);
    ASSERT_EQ(blocks[0].lines.size(), VideohubReader::maxBlockLines);
    EXPECT_EQ(blocks[0].lines.back(), std::to_string(VideohubReader::maxBlockLines - 1) + " 0");
    EXPECT_EQ(blocks[1].header, "ACK");
    EXPECT_EQ(reader.takeProblems(),
              std::vector<std::string>{"a 'VIDEO OUTPUT ROUTING' block of more than 4096 lines "
                                       "kept only its first ones"});
    EXPECT_TRUE(reader.takeProblems().empty()) << "taken once";
}

TEST(VideohubReader, AnySplitGivesTheSameBlocksAndProblems) {
    const std::string bytes =
        "PROTOCOL PREAMBLE:\r\nVersion: 2.8\r\n\r\n\nINPUT LABELS:\n0 Cam 1\n" + longLine + "zz\n" +
        std::string("1 a\0b\n", 6) + "\nACK\n\nVIDEO OUTPUT ROUTING:\r\n0 1\r\n\r\nNAK\r";
    std::vector<std::string> wholeProblems;
    const std::string whole = read(bytes, &wholeProblems);
    ASSERT_EQ(whole, "PROTOCOL PREAMBLE|Version: 2.8;INPUT LABELS|0 Cam 1|" + longLine +
                         ";ACK;VIDEO OUTPUT ROUTING|0 1");
    for (size_t piece : {size_t{1}, size_t{2}, size_t{3}, size_t{7}, size_t{1023}}) {
        VideohubReader reader;
        std::vector<VideohubBlock> blocks;
        for (size_t at = 0; at < bytes.size(); at += piece) {
            reader.feed(bytes.data() + at, std::min(piece, bytes.size() - at), blocks);
        }
        EXPECT_EQ(render(blocks), whole) << "pieces of " << piece;
        EXPECT_EQ(reader.takeProblems(), wholeProblems) << "pieces of " << piece;
        EXPECT_TRUE(reader.midBlock()) << "NAK's line has not ended";
    }
    for (size_t cut = 0; cut <= bytes.size(); ++cut) {
        VideohubReader reader;
        std::vector<VideohubBlock> blocks;
        reader.feed(bytes.data(), cut, blocks);
        reader.feed(bytes.data() + cut, bytes.size() - cut, blocks);
        EXPECT_EQ(render(blocks), whole) << "cut at " << cut;
    }
}

TEST(VideohubReader, MidBlockUntilTheBlankLineAndResetForgetsTheRest) {
    const struct {
        const char* bytes;
        bool midBlock;
        const char* blocks;  // after NAK is fed past a reset
    } cases[] = {
        {"", false, "NAK"},
        {"\n\n", false, "NAK"},
        {"A", true, "NAK"},
        {"ACK\n", true, "NAK"},
        {"ACK\n\n", false, "ACK;NAK"},
        {"ACK\n\r", true, "NAK"},
        {"ACK\r\n\r\n", false, "ACK;NAK"},
        {"VIDEO OUTPUT ROUTING:\n1 2\n", true, "NAK"},
    };
    for (const auto& c : cases) {
        VideohubReader reader;
        std::vector<VideohubBlock> blocks;
        reader.feed(c.bytes, std::string(c.bytes).size(), blocks);
        EXPECT_EQ(reader.midBlock(), c.midBlock) << c.bytes;
        reader.reset();
        EXPECT_FALSE(reader.midBlock()) << c.bytes;
        reader.feed("NAK\n\n", 5, blocks);
        EXPECT_EQ(render(blocks), c.blocks) << c.bytes;
    }
}

}  // namespace
