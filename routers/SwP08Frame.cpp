#include "routers/SwP08Frame.h"

namespace zant::routers {

std::uint8_t SwP08Frame::checksum(const Bytes& data) {
    unsigned sum = static_cast<unsigned>(data.size());
    for (std::uint8_t byte : data) sum += byte;
    return static_cast<std::uint8_t>((0x100u - (sum & 0xFFu)) & 0xFFu);
}

SwP08Frame::Bytes SwP08Frame::encode(const Bytes& data) {
    if (data.empty() || data.size() > maxData) return {};
    Bytes frame{dle, stx};
    frame.reserve(2 * data.size() + 8);
    const auto put = [&frame](std::uint8_t byte) {
        frame.push_back(byte);
        if (byte == dle) frame.push_back(dle);
    };
    for (std::uint8_t byte : data) put(byte);
    put(static_cast<std::uint8_t>(data.size()));
    put(checksum(data));
    frame.push_back(dle);
    frame.push_back(etx);
    return frame;
}

void SwP08Frame::feed(const std::uint8_t* bytes, std::size_t size, std::vector<Event>& events) {
    for (std::size_t i = 0; i < size; ++i) take(bytes[i], events);
}

void SwP08Frame::reset() {
    state_ = State::between;
    body_.clear();
    overflow_ = false;
    skipped_ = 0;
}

void SwP08Frame::take(std::uint8_t byte, std::vector<Event>& events) {
    switch (state_) {
        case State::between:
            if (byte == dle) {
                state_ = State::betweenDle;
            } else {
                ++skipped_;
            }
            return;
        case State::betweenDle:
            if (byte == stx) {
                state_ = State::inFrame;
                body_.clear();
                overflow_ = false;
            } else if (byte == ackCode || byte == nakCode) {
                events.push_back(
                    {byte == ackCode ? Event::Kind::ack : Event::Kind::nak, {}, Fault::none});
                state_ = State::between;
            } else if (byte == dle) {
                // The first DLE was stray; this one may still start a frame.
                ++skipped_;
            } else {
                skipped_ += 2;
                state_ = State::between;
            }
            return;
        case State::inFrame:
            if (byte == dle) {
                state_ = State::inFrameDle;
                return;
            }
            break;
        case State::inFrameDle:
            if (byte == etx) {
                endFrame(events);
                state_ = State::between;
                return;
            }
            if (byte != dle) {
                // No frame holds a lone DLE: the sender gave this one up, and
                // what follows is read afresh.
                malformed(Fault::cutShort, events);
                state_ = State::betweenDle;
                take(byte, events);
                return;
            }
            state_ = State::inFrame;
            break;
    }
    // DATA, BTC or CHK, kept only up to what a well-formed frame can hold.
    if (body_.size() < maxData + 2) {
        body_.push_back(byte);
    } else {
        overflow_ = true;
    }
}

void SwP08Frame::endFrame(std::vector<Event>& events) {
    if (overflow_) return malformed(Fault::tooLong, events);
    if (body_.size() < 3) return malformed(Fault::tooShort, events);
    const std::uint8_t chk = body_.back();
    const std::uint8_t btc = body_[body_.size() - 2];
    body_.resize(body_.size() - 2);
    if (btc != body_.size()) return malformed(Fault::count, events);
    if (chk != checksum(body_)) return malformed(Fault::checksum, events);
    events.push_back({Event::Kind::frame, std::move(body_), Fault::none});
    body_.clear();
}

void SwP08Frame::malformed(Fault fault, std::vector<Event>& events) {
    events.push_back({Event::Kind::malformed, {}, fault});
    body_.clear();
    overflow_ = false;
}

}  // namespace zant::routers
