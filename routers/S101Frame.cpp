#include "routers/S101Frame.h"

#include <array>
#include <utility>

namespace zant::routers {

namespace {

constexpr std::uint8_t firstSpecial = 0xF8;
constexpr std::uint8_t escapeXor = 0x20;
// The residue of a CRC run over a payload followed by its own CRC.
constexpr std::uint16_t goodResidue = 0xF0B8;

constexpr std::array<std::uint16_t, 256> makeTable() {
    std::array<std::uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned value = i;
        for (int bit = 0; bit < 8; ++bit)
            value = (value & 1u) != 0 ? (value >> 1) ^ 0x8408u : value >> 1;
        table[i] = static_cast<std::uint16_t>(value);
    }
    return table;
}

constexpr std::array<std::uint16_t, 256> crcTable = makeTable();

std::uint16_t crcRun(std::uint16_t crc, const std::uint8_t* data, size_t size) {
    for (size_t i = 0; i < size; ++i) {
        crc = static_cast<std::uint16_t>((crc >> 8) ^ crcTable[(crc ^ data[i]) & 0xFFu]);
    }
    return crc;
}

void putEscaped(std::uint8_t byte, std::vector<std::uint8_t>& out) {
    if (byte >= firstSpecial) {
        out.push_back(S101Frame::escape);
        out.push_back(static_cast<std::uint8_t>(byte ^ escapeXor));
    } else {
        out.push_back(byte);
    }
}

}  // namespace

std::uint16_t S101Frame::crc(const std::uint8_t* data, size_t size) {
    return static_cast<std::uint16_t>(~crcRun(0xFFFF, data, size));
}

void S101Frame::encode(const std::uint8_t* payload, size_t size, std::vector<std::uint8_t>& out) {
    const std::uint16_t check = crc(payload, size);
    out.reserve(out.size() + size + size / 8 + 8);
    out.push_back(bof);
    for (size_t i = 0; i < size; ++i) putEscaped(payload[i], out);
    putEscaped(static_cast<std::uint8_t>(check & 0xFFu), out);
    putEscaped(static_cast<std::uint8_t>(check >> 8), out);
    out.push_back(eof);
}

std::vector<std::uint8_t> S101Frame::encode(const std::vector<std::uint8_t>& payload) {
    std::vector<std::uint8_t> out;
    encode(payload.data(), payload.size(), out);
    return out;
}

void S101Frame::feed(const std::uint8_t* data, size_t size,
                     std::vector<std::vector<std::uint8_t>>& payloads) {
    for (size_t i = 0; i < size; ++i) {
        const std::uint8_t byte = data[i];
        if (byte == bof) {
            if (state_ == State::inFrame || state_ == State::escaped) {
                problem("an unfinished frame was dropped: a new one began");
            }
            frame_.clear();
            state_ = State::inFrame;
            continue;
        }
        switch (state_) {
            case State::outside:
                break;
            case State::tooLong:
                if (byte == eof) state_ = State::outside;
                break;
            case State::inFrame:
                if (byte == eof) {
                    endFrame(payloads);
                } else if (byte == escape) {
                    state_ = State::escaped;
                } else {
                    // A special byte sent unescaped is taken as it is: the
                    // CRC decides whether the frame is sound.
                    frame_.push_back(byte);
                }
                break;
            case State::escaped:
                if (byte == eof) {
                    problem("a frame ending inside an escape was dropped");
                    state_ = State::outside;
                    frame_.clear();
                    break;
                }
                frame_.push_back(static_cast<std::uint8_t>(byte ^ escapeXor));
                state_ = State::inFrame;
                break;
        }
        if (frame_.size() > maxFrame) {
            problem("a frame longer than " + std::to_string(maxFrame) + " bytes was dropped");
            frame_.clear();
            frame_.shrink_to_fit();
            state_ = State::tooLong;
        }
    }
}

void S101Frame::endFrame(std::vector<std::vector<std::uint8_t>>& payloads) {
    state_ = State::outside;
    if (frame_.size() < 2) {
        problem("a frame too short to hold a CRC was dropped");
    } else if (crcRun(0xFFFF, frame_.data(), frame_.size()) != goodResidue) {
        problem("a frame with a bad CRC was dropped");
    } else {
        frame_.resize(frame_.size() - 2);
        payloads.push_back(std::move(frame_));
    }
    frame_.clear();
}

void S101Frame::problem(std::string text) {
    if (problems_.size() < maxProblems) problems_.push_back(std::move(text));
}

std::vector<std::string> S101Frame::takeProblems() {
    return std::exchange(problems_, {});
}

void S101Frame::reset() {
    state_ = State::outside;
    frame_.clear();
}

}  // namespace zant::routers
