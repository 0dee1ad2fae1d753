// The framing of an Ember+ connection, the escaping variant: each frame is
// BOF, the payload, its CRC (low byte first), EOF; a payload or CRC byte of
// 0xF8 or above goes as 0xFD and the byte XOR 0x20. Without I/O: bytes in
// pieces of any size give whole frames' payloads, payloads give bytes.
//
// Reading is bounded: a frame whose unescaped bytes pass maxFrame is dropped
// up to its end, and a frame with a bad CRC, a bad escape or too few bytes is
// dropped; each drop is a problem to report. A BOF always starts a new frame,
// whatever was being gathered (a peer that restarts mid-frame). Bytes outside
// a frame are skipped. Every call runs on the thread that owns the connection.
#ifndef ROUTERS_S101_FRAME_H
#define ROUTERS_S101_FRAME_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zant::routers {

class S101Frame {
public:
    static constexpr std::uint8_t bof = 0xFE;
    static constexpr std::uint8_t eof = 0xFF;
    static constexpr std::uint8_t escape = 0xFD;
    // Unescaped payload and CRC bytes of one frame; far above any packet a
    // provider sends (about 1 KiB), far below what would hurt.
    static constexpr size_t maxFrame = size_t{64} * 1024;
    // Problems kept between two takeProblems(); later ones are dropped.
    static constexpr size_t maxProblems = 16;

    // The CRC of `size` bytes as it goes on the wire (already inverted).
    static std::uint16_t crc(const std::uint8_t* data, size_t size);
    // BOF, the escaped payload and CRC, EOF, appended to `out`.
    static void encode(const std::uint8_t* payload, size_t size, std::vector<std::uint8_t>& out);
    static std::vector<std::uint8_t> encode(const std::vector<std::uint8_t>& payload);

    // Appends the payload of each frame that `data` completes to `payloads`.
    void feed(const std::uint8_t* data, size_t size,
              std::vector<std::vector<std::uint8_t>>& payloads);
    // What was dropped since the last call, one sentence each, oldest first.
    std::vector<std::string> takeProblems();
    // Inside a frame that has not ended.
    bool midFrame() const { return state_ != State::outside; }
    // Forgets the unfinished frame: a new connection.
    void reset();

private:
    enum class State { outside, inFrame, escaped, tooLong };

    void endFrame(std::vector<std::vector<std::uint8_t>>& payloads);
    void problem(std::string text);

    State state_ = State::outside;
    std::vector<std::uint8_t> frame_;  // unescaped payload and CRC, at most maxFrame bytes
    std::vector<std::string> problems_;
};

}  // namespace zant::routers

#endif  // ROUTERS_S101_FRAME_H
