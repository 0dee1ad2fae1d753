#include "routers/S101Message.h"

#include <algorithm>
#include <utility>

#include "routers/S101Frame.h"

namespace zant::routers {

namespace {

constexpr std::uint8_t slot = 0x00;
constexpr std::uint8_t emberMessage = 0x0E;
constexpr std::uint8_t commandData = 0x00;
constexpr std::uint8_t commandKeepAliveRequest = 0x01;
constexpr std::uint8_t commandKeepAliveResponse = 0x02;
constexpr std::uint8_t version = 0x01;
constexpr std::uint8_t glowDtd = 0x01;
// The Glow version we write: 2.31, which every consumer takes.
constexpr std::uint8_t glowMinor = 0x1F;
constexpr std::uint8_t glowMajor = 0x02;

std::vector<std::uint8_t> keepAlive(std::uint8_t command) {
    const std::vector<std::uint8_t> payload{slot, emberMessage, command, version};
    return S101Frame::encode(payload);
}

}  // namespace

std::vector<std::uint8_t> S101Message::keepAliveRequest() {
    return keepAlive(commandKeepAliveRequest);
}

std::vector<std::uint8_t> S101Message::keepAliveResponse() {
    return keepAlive(commandKeepAliveResponse);
}

std::vector<std::uint8_t> S101Message::encode(const std::vector<std::uint8_t>& ber,
                                              size_t packetData) {
    packetData = std::max<size_t>(packetData, 1);
    std::vector<std::uint8_t> out;
    std::vector<std::uint8_t> payload;
    size_t at = 0;
    do {
        const size_t length = std::min(packetData, ber.size() - at);
        const bool first = at == 0;
        const bool last = at + length == ber.size();
        std::uint8_t flags = middlePacket;
        if (first && last) {
            flags = singlePacket;
        } else if (first) {
            flags = firstPacket;
        } else if (last) {
            flags = lastPacket;
        }
        payload = {slot,    emberMessage, commandData, version,  flags,
                   glowDtd, 0x02,         glowMinor,   glowMajor};
        payload.insert(payload.end(), ber.begin() + static_cast<std::ptrdiff_t>(at),
                       ber.begin() + static_cast<std::ptrdiff_t>(at + length));
        S101Frame::encode(payload.data(), payload.size(), out);
        at += length;
    } while (at < ber.size());
    return out;
}

void S101Message::take(const std::vector<std::uint8_t>& payload, Read& read) {
    if (payload.size() < 4 || payload[1] != emberMessage) {
        problem("a packet that is not an Ember+ packet was dropped");
        return;
    }
    const std::uint8_t command = payload[2];
    if (command == commandKeepAliveRequest) {
        read.keepAliveAsked = true;
        const std::vector<std::uint8_t> response = keepAliveResponse();
        read.reply.insert(read.reply.end(), response.begin(), response.end());
        return;
    }
    if (command == commandKeepAliveResponse) {
        read.keepAliveAnswered = true;
        return;
    }
    if (command != commandData) {
        problem("a packet with the unknown command " + std::to_string(command) + " was dropped");
        return;
    }
    if (payload.size() < 7 || payload[5] != glowDtd) {
        problem("a data packet without the Glow DTD was dropped");
        return;
    }
    const size_t appBytes = payload[6];
    if (payload.size() < 7 + appBytes) {
        problem("a data packet cut short in its header was dropped");
        return;
    }
    const std::uint8_t flags = payload[4];
    const std::uint8_t* data = payload.data() + 7 + appBytes;
    const size_t size = payload.size() - 7 - appBytes;
    if (flags == emptyPacket) return;
    const bool first = (flags & firstPacket) != 0;
    const bool last = (flags & lastPacket) != 0;
    if (first) {
        if (gathering_) problem("a message cut short by the next one was dropped");
        gathering_ = true;
        oversized_ = false;
        message_.clear();
    } else if (!gathering_) {
        problem("a packet without the start of its message was dropped");
        return;
    }
    append(data, size);
    if (!last) return;
    gathering_ = false;
    if (oversized_) {
        problem("a message longer than " + std::to_string(maxMessage) + " bytes was dropped");
    } else {
        read.messages.push_back(std::move(message_));
    }
    message_.clear();
    oversized_ = false;
}

void S101Message::append(const std::uint8_t* data, size_t size) {
    if (oversized_) return;
    if (message_.size() + size > maxMessage) {
        oversized_ = true;
        message_.clear();
        message_.shrink_to_fit();
        return;
    }
    message_.insert(message_.end(), data, data + size);
}

void S101Message::problem(std::string text) {
    if (problems_.size() < maxProblems) problems_.push_back(std::move(text));
}

std::vector<std::string> S101Message::takeProblems() {
    return std::exchange(problems_, {});
}

void S101Message::reset() {
    gathering_ = false;
    oversized_ = false;
    message_.clear();
}

}  // namespace zant::routers
