// The link layer of the binary router protocol: frames, acknowledgements and
// an incremental reader of them.
//
// A frame is `DLE STX | DATA | BTC | CHK | DLE ETX`: DATA is the command byte
// and its message bytes, BTC the count of DATA bytes and CHK the two's
// complement of the 8-bit sum of DATA and BTC. Every DLE inside DATA, BTC or
// CHK goes on the wire twice, so a lone `DLE ACK` or `DLE NAK` between frames
// is never data.
//
// The reader is fed the bytes as they arrive, in pieces of any size, and
// reports in order: each well-formed frame (its DATA), each malformed one
// (which the receiver answers with a NAK), each ACK and each NAK. Bytes
// between frames that are none of these are skipped and counted. Memory is
// bounded whatever comes: a frame is kept up to maxData bytes of DATA, and a
// longer one is malformed (BTC is one byte, so it cannot count more). No I/O
// and no clock: the caller owns the connection, and calls a reader from one
// thread at a time (it has no lock).
#ifndef ROUTERS_SW_P08_FRAME_H
#define ROUTERS_SW_P08_FRAME_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zant::routers {

class SwP08Frame {
public:
    using Bytes = std::vector<std::uint8_t>;

    static constexpr std::uint8_t dle = 0x10;
    static constexpr std::uint8_t stx = 0x02;
    static constexpr std::uint8_t etx = 0x03;
    static constexpr std::uint8_t ackCode = 0x06;
    static constexpr std::uint8_t nakCode = 0x15;
    // The most DATA bytes that BTC can count.
    static constexpr std::size_t maxData = 255;

    // Why a frame was malformed.
    enum class Fault : std::uint8_t {
        none,
        checksum,  // CHK does not match DATA and BTC
        count,     // BTC is not the count of DATA bytes
        tooShort,  // no command byte, or no room for BTC and CHK
        tooLong,   // more than maxData bytes of DATA
        cutShort,  // a DLE followed by a byte that no frame holds there; the frame ends
    };

    struct Event {
        enum class Kind : std::uint8_t { frame, malformed, ack, nak };
        Kind kind = Kind::frame;
        Bytes data;                 // DATA of a well-formed frame, else empty
        Fault fault = Fault::none;  // set for a malformed frame
    };

    // The frame that carries `data` (the command byte first), stuffed; empty
    // when `data` is empty or longer than maxData.
    static Bytes encode(const Bytes& data);
    static Bytes ack() { return {dle, ackCode}; }
    static Bytes nak() { return {dle, nakCode}; }
    // CHK for `data` and its count.
    static std::uint8_t checksum(const Bytes& data);

    // Appends what `bytes` completes to `events`, oldest first.
    void feed(const std::uint8_t* bytes, std::size_t size, std::vector<Event>& events);
    // Inside a frame that has not ended.
    bool midFrame() const { return state_ == State::inFrame || state_ == State::inFrameDle; }
    // Bytes skipped between frames since the start or the last reset.
    std::size_t skipped() const { return skipped_; }
    // Forgets any unfinished frame: a new connection.
    void reset();

private:
    enum class State : std::uint8_t { between, betweenDle, inFrame, inFrameDle };

    void take(std::uint8_t byte, std::vector<Event>& events);
    void endFrame(std::vector<Event>& events);
    void malformed(Fault fault, std::vector<Event>& events);

    State state_ = State::between;
    Bytes body_;  // DATA, BTC and CHK unstuffed; at most maxData + 2 bytes
    bool overflow_ = false;
    std::size_t skipped_ = 0;
};

}  // namespace zant::routers

#endif  // ROUTERS_SW_P08_FRAME_H
