// The messages inside S101 frames' payloads: keep-alives and Glow messages,
// the latter in one packet or spread over several (first, middle..., last)
// whose BER data joined is the message. Without I/O: payloads in give whole
// messages and keep-alive news; messages out give the bytes of their frames.
//
// A packet header is slot, message type 0x0E, command (0 data, 1 keep-alive
// request, 2 keep-alive response), version; a data packet adds flags, DTD
// 0x01 and a counted run of application bytes (the Glow version, any is
// taken). A message longer than maxMessage is dropped up to its last packet;
// a middle or last packet without a first, a first that cuts another message
// short, and a packet that is not understood are dropped; each drop is a
// problem. Every call runs on the thread that owns the connection.
#ifndef ROUTERS_S101_MESSAGE_H
#define ROUTERS_S101_MESSAGE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zant::routers {

class S101Message {
public:
    static constexpr size_t maxMessage = size_t{4} * 1024 * 1024;
    // BER bytes a packet carries when a message is split.
    static constexpr size_t defaultPacketData = 1024;
    static constexpr size_t maxProblems = 16;

    enum Flags : std::uint8_t {
        singlePacket = 0xC0,
        firstPacket = 0x80,
        lastPacket = 0x40,
        middlePacket = 0x00,
        emptyPacket = 0x20,
    };

    // What a payload gave.
    struct Read {
        std::vector<std::vector<std::uint8_t>> messages;  // whole messages' BER data
        std::vector<std::uint8_t> reply;                  // frames to send back at once
        bool keepAliveAnswered = false;                   // a keep-alive response came
        bool keepAliveAsked = false;                      // a keep-alive request came
    };

    // The frames of a keep-alive request and of its response.
    static std::vector<std::uint8_t> keepAliveRequest();
    static std::vector<std::uint8_t> keepAliveResponse();
    // The frames of a Glow message: one packet, or packets of at most
    // `packetData` BER bytes each (at least 1).
    static std::vector<std::uint8_t> encode(const std::vector<std::uint8_t>& ber,
                                            size_t packetData = defaultPacketData);

    // Takes one frame's payload; what it completes goes into `read`.
    void take(const std::vector<std::uint8_t>& payload, Read& read);
    std::vector<std::string> takeProblems();
    // Inside a message of several packets that has not ended.
    bool midMessage() const { return gathering_; }
    void reset();

private:
    void problem(std::string text);
    void append(const std::uint8_t* data, size_t size);

    bool gathering_ = false;
    bool oversized_ = false;  // the message being gathered passed maxMessage
    std::vector<std::uint8_t> message_;
    std::vector<std::string> problems_;
};

}  // namespace zant::routers

#endif  // ROUTERS_S101_MESSAGE_H
