// The messages of the binary router protocol that a take panel needs, typed:
// encoded to the DATA of a frame (command byte first) and decoded from it.
//
// Numbers on the wire count from 0. The standard form addresses matrix and
// level 0..15 in one byte and sources and destinations 0..1023 with a
// multiplier byte; the extended form has a matrix byte, a level byte and
// 16-bit numbers. The encoder uses the extended form when the message asks
// for it or its numbers need it. The decoder accepts either form of every
// answer, ignores bytes after what it reads, never reads past the message,
// and reports a message it does not know or one too short for its command.
//
// Tally dumps and name replies come in pieces: one message holds the first
// number and as many values as fit. split() cuts a whole table into them.
#ifndef ROUTERS_SW_P08_MESSAGE_H
#define ROUTERS_SW_P08_MESSAGE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zant::routers {

class SwP08Message {
public:
    using Bytes = std::vector<std::uint8_t>;

    enum class Kind : std::uint8_t {
        interrogate,              // 1, 129: destination
        connect,                  // 2, 130: destination, source
        tally,                    // 3, 131: destination, source, status (extended)
        connected,                // 4, 132: destination, source, status (extended)
        protectInterrogate,       // 10, 138: destination
        protectTally,             // 11, 139: destination, status = protect state
        protect,                  // 12, 140: destination
        protectConnected,         // 13, 141: destination, status = protect state
        unprotect,                // 14, 142: destination
        protectDisconnected,      // 15, 143: destination, status = protect state
        tallyDumpRequest,         // 21, 149
        tallyDump,                // 22, 23, 151: first, sources
        invalidMessage,           // 99
        sourceNamesRequest,       // 100, 228: lengthCode
        sourceNameRequest,        // 101, 229: lengthCode, first
        destinationNamesRequest,  // 102, 230: lengthCode
        destinationNameRequest,   // 103, 231: lengthCode, first
        sourceNames,              // 106, 234: lengthCode, first, names
        destinationNames,         // 107, 235: lengthCode, first, names
    };

    enum class Decoded : std::uint8_t { ok, unknown, tooShort };

    // Protect states as the router reports them.
    static constexpr int unprotected = 0;
    static constexpr int protectedHere = 1;
    static constexpr int protectedFixed = 2;  // not changeable remotely
    static constexpr int protectedByOther = 3;

    static constexpr int maxStandardNumber = 1023;
    static constexpr int maxStandardMatrix = 15;  // and level
    static constexpr int maxNumber = 0xFFFF;
    static constexpr int maxMatrix = 0xFF;  // and level
    // Values in one dump message: the byte form, the word and extended forms.
    static constexpr std::size_t maxByteDump = 128;
    static constexpr std::size_t maxWordDump = 64;
    // The byte form of a dump holds numbers up to this.
    static constexpr int maxByteDumpNumber = 191;
    // Name bytes in one reply: a reply stays near the documented 134 bytes.
    static constexpr std::size_t maxNameBytes = 128;
    static constexpr int maxLengthCode = 4;

    Kind kind = Kind::invalidMessage;
    bool extended = false;  // on the wire: matrix and level bytes, 16-bit numbers
    int matrix = 0;
    int level = 0;  // destination names have none
    int destination = 0;
    int source = 0;
    int status = 0;  // see Kind
    int lengthCode = 1;
    int first = 0;             // the number of the first of `sources` or `names`
    std::vector<int> sources;  // a dump: the source of first, first + 1, ...
    std::vector<std::string> names;

    // Characters of a name for a length code 0..4; 0 for another code.
    static int nameWidth(int lengthCode);

    // The DATA of this message; empty when a field is out of its range or a
    // dump or name reply holds more than one message can.
    Bytes encode() const;
    // Reads `size` bytes of DATA into `message`, whose fields are then
    // meaningful only for ok. A name loses what follows a NUL and its
    // trailing spaces.
    static Decoded decode(const std::uint8_t* data, std::size_t size, SwP08Message& message);
    static Decoded decode(const Bytes& data, SwP08Message& message) {
        return decode(data.data(), data.size(), message);
    }

    // A dump (kind tallyDump, first, sources) or a name reply (sourceNames or
    // destinationNames, first, names) as the messages that carry it, at most
    // `perMessage` values each (0: as many as fit). Other kinds: itself.
    std::vector<SwP08Message> split(std::size_t perMessage = 0) const;

private:
    bool needsExtended() const;
    std::size_t maxValues() const;
};

}  // namespace zant::routers

#endif  // ROUTERS_SW_P08_MESSAGE_H
