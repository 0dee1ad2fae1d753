#include "routers/SwP08Message.h"

#include <algorithm>

namespace zant::routers {

// Layouts after the command byte. A standard address is one byte, matrix << 4
// | level; an extended one is a matrix byte and a level byte (for destination
// names the level is not sent: 0 in the extended form). Standard numbers go as
// a multiplier byte (bits 4-6 destination DIV 128, bits 0-2 source DIV 128)
// then each MOD 128; extended and name numbers as two bytes, high first.
//   interrogate, protect interrogate, protect, unprotect: address, destination
//   connect: address, destination, source
//   tally, connected: the same; extended, a status byte after them
//   protect tally, connected, disconnected: address, destination, state byte
//     (the crosspoint layout, the state where a source would be)
//   tally dump request: address
//   dump 22: address, count, first, a source byte each (numbers up to 191)
//   dump 23 and 151: address, count, first word, a source word each
//   name requests: address, length code[, number word for one name]
//   name replies: address, length code, first word, count, the padded names
namespace {

using Kind = SwP08Message::Kind;
using Bytes = SwP08Message::Bytes;

// The extended command of a standard one.
constexpr int extendedOffset = 128;

constexpr int cmdInterrogate = 1;
constexpr int cmdProtectInterrogate = 10;
constexpr int cmdTallyDumpRequest = 21;
constexpr int cmdByteDump = 22;
constexpr int cmdWordDump = 23;
constexpr int cmdExtendedDump = 151;
constexpr int cmdInvalid = 99;
constexpr int cmdSourceNamesRequest = 100;
constexpr int cmdSourceNames = 106;
constexpr int cmdDestinationNames = 107;

// The standard command number of the kinds that have a fixed one.
int standardCommand(Kind kind) {
    switch (kind) {
        case Kind::interrogate:
            return cmdInterrogate;
        case Kind::connect:
            return 2;
        case Kind::tally:
            return 3;
        case Kind::connected:
            return 4;
        case Kind::protectInterrogate:
            return cmdProtectInterrogate;
        case Kind::protectTally:
            return 11;
        case Kind::protect:
            return 12;
        case Kind::protectConnected:
            return 13;
        case Kind::unprotect:
            return 14;
        case Kind::protectDisconnected:
            return 15;
        case Kind::tallyDumpRequest:
            return cmdTallyDumpRequest;
        case Kind::tallyDump:
            return cmdByteDump;
        case Kind::invalidMessage:
            return cmdInvalid;
        case Kind::sourceNamesRequest:
            return cmdSourceNamesRequest;
        case Kind::sourceNameRequest:
            return 101;
        case Kind::destinationNamesRequest:
            return 102;
        case Kind::destinationNameRequest:
            return 103;
        case Kind::sourceNames:
            return cmdSourceNames;
        case Kind::destinationNames:
            return cmdDestinationNames;
    }
    return cmdInvalid;
}

// Fields, by the layout they share.
bool hasSource(Kind kind) {
    return kind == Kind::connect || kind == Kind::tally || kind == Kind::connected;
}
bool hasProtectState(Kind kind) {
    return kind == Kind::protectTally || kind == Kind::protectConnected ||
           kind == Kind::protectDisconnected;
}
bool isCrosspoint(Kind kind) {
    return hasSource(kind) || hasProtectState(kind) || kind == Kind::interrogate ||
           kind == Kind::protectInterrogate || kind == Kind::protect || kind == Kind::unprotect;
}
bool isNameRequest(Kind kind) {
    return kind == Kind::sourceNamesRequest || kind == Kind::sourceNameRequest ||
           kind == Kind::destinationNamesRequest || kind == Kind::destinationNameRequest;
}
bool isNameReply(Kind kind) {
    return kind == Kind::sourceNames || kind == Kind::destinationNames;
}
bool isDestinationNames(Kind kind) {
    return kind == Kind::destinationNamesRequest || kind == Kind::destinationNameRequest ||
           kind == Kind::destinationNames;
}
bool isOneName(Kind kind) {
    return kind == Kind::sourceNameRequest || kind == Kind::destinationNameRequest;
}

bool within(int value, int limit) {
    return value >= 0 && value <= limit;
}

void putWord(Bytes& data, int value) {
    data.push_back(static_cast<std::uint8_t>(value >> 8));
    data.push_back(static_cast<std::uint8_t>(value & 0xFF));
}

// Reads forward through DATA, never past its end.
class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool byte(int& value) {
        if (at_ >= size_) return false;
        value = data_[at_++];
        return true;
    }
    bool word(int& value) {
        int high = 0;
        int low = 0;
        if (!byte(high) || !byte(low)) return false;
        value = high << 8 | low;
        return true;
    }
    std::size_t left() const { return size_ - at_; }
    const std::uint8_t* here() const { return data_ + at_; }
    void skip(std::size_t count) { at_ += std::min(count, left()); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 1;  // after the command byte
};

// A name as shown: what precedes a NUL, without trailing spaces.
std::string trimmed(const std::uint8_t* bytes, std::size_t width) {
    std::string name(reinterpret_cast<const char*>(bytes), width);
    name.resize(std::min(name.find('\0'), name.size()));
    name.resize(name.find_last_not_of(' ') + 1);
    return name;
}

}  // namespace

int SwP08Message::nameWidth(int lengthCode) {
    switch (lengthCode) {
        case 0:
            return 4;
        case 1:
            return 8;
        case 2:
            return 12;
        case 3:
            return 16;
        case 4:
            return 32;
        default:
            return 0;
    }
}

bool SwP08Message::needsExtended() const {
    if (matrix > maxStandardMatrix || (!isDestinationNames(kind) && level > maxStandardMatrix)) {
        return true;
    }
    return isCrosspoint(kind) &&
           (destination > maxStandardNumber || (hasSource(kind) && source > maxStandardNumber));
}

std::size_t SwP08Message::maxValues() const {
    if (isNameReply(kind)) {
        const int width = nameWidth(lengthCode);
        return width == 0 ? 0 : maxNameBytes / static_cast<std::size_t>(width);
    }
    if (kind != Kind::tallyDump || extended || needsExtended()) return maxWordDump;
    const int count = std::max(static_cast<int>(sources.size()), 1);
    const bool small =
        first + count - 1 <= maxByteDumpNumber &&
        std::all_of(sources.begin(), sources.end(), [](int s) { return s <= maxByteDumpNumber; });
    return small ? maxByteDump : maxWordDump;
}

SwP08Message::Bytes SwP08Message::encode() const {
    const bool wide = extended || needsExtended();
    const bool destinationNames = isDestinationNames(kind);
    if (!within(matrix, maxMatrix) || !within(level, maxMatrix) || !within(status, 0xFF)) {
        return {};
    }
    Bytes data;
    int command = standardCommand(kind);
    if (wide && kind != Kind::invalidMessage) command += extendedOffset;
    data.push_back(0);  // the command, settled below for dumps
    if (kind == Kind::invalidMessage) {
        data[0] = static_cast<std::uint8_t>(command);
        return data;
    }
    if (wide) {
        data.push_back(static_cast<std::uint8_t>(matrix));
        data.push_back(static_cast<std::uint8_t>(destinationNames ? 0 : level));
    } else {
        data.push_back(static_cast<std::uint8_t>(matrix << 4 | (destinationNames ? 0 : level)));
    }

    if (isCrosspoint(kind)) {
        const int src = hasSource(kind) ? source : 0;
        if (!within(destination, maxNumber) || !within(src, maxNumber)) return {};
        if (wide) {
            putWord(data, destination);
            if (hasSource(kind)) putWord(data, source);
        } else {
            data.push_back(static_cast<std::uint8_t>((destination / 128) << 4 | src / 128));
            data.push_back(static_cast<std::uint8_t>(destination % 128));
            if (hasSource(kind)) data.push_back(static_cast<std::uint8_t>(source % 128));
        }
        if (hasProtectState(kind) || (wide && (kind == Kind::tally || kind == Kind::connected))) {
            data.push_back(static_cast<std::uint8_t>(status));
        }
    } else if (kind == Kind::tallyDump) {
        const std::size_t count = sources.size();
        const int last = first + static_cast<int>(count) - 1;
        if (count > maxValues() || !within(first, maxNumber) || last > maxNumber ||
            !std::all_of(sources.begin(), sources.end(),
                         [](int s) { return within(s, maxNumber); })) {
            return {};
        }
        const bool byteForm = !wide && maxValues() == maxByteDump;
        command = wide ? cmdExtendedDump : byteForm ? cmdByteDump : cmdWordDump;
        data.push_back(static_cast<std::uint8_t>(count));
        if (byteForm) {
            data.push_back(static_cast<std::uint8_t>(first));
            for (int s : sources) data.push_back(static_cast<std::uint8_t>(s));
        } else {
            putWord(data, first);
            for (int s : sources) putWord(data, s);
        }
    } else if (isNameRequest(kind) || isNameReply(kind)) {
        const int width = nameWidth(lengthCode);
        if (width == 0) return {};
        data.push_back(static_cast<std::uint8_t>(lengthCode));
        if (isOneName(kind) || isNameReply(kind)) {
            if (!within(first, maxNumber)) return {};
            putWord(data, first);
        }
        if (isNameReply(kind)) {
            if (names.size() > maxValues() ||
                first + static_cast<int>(names.size()) - 1 > maxNumber) {
                return {};
            }
            data.push_back(static_cast<std::uint8_t>(names.size()));
            for (const std::string& name : names) {
                std::string padded = name.substr(0, static_cast<std::size_t>(width));
                padded.resize(static_cast<std::size_t>(width), ' ');
                data.insert(data.end(), padded.begin(), padded.end());
            }
        }
    }
    data[0] = static_cast<std::uint8_t>(command);
    return data;
}

SwP08Message::Decoded SwP08Message::decode(const std::uint8_t* data, std::size_t size,
                                           SwP08Message& message) {
    if (size == 0) return Decoded::tooShort;
    message = SwP08Message{};
    int command = data[0];
    const bool wide = command >= extendedOffset && command != cmdExtendedDump;
    if (command == cmdExtendedDump) {
        message.kind = Kind::tallyDump;
        message.extended = true;
    } else {
        if (wide) command -= extendedOffset;
        // Kinds in the order of standardCommand(): the one whose number this is.
        bool known = false;
        for (int k = 0; k <= static_cast<int>(Kind::destinationNames); ++k) {
            const auto kind = static_cast<Kind>(k);
            if (standardCommand(kind) == command && (!wide || kind != Kind::invalidMessage) &&
                (!wide || kind != Kind::tallyDump)) {
                message.kind = kind;
                known = true;
                break;
            }
        }
        if (command == cmdWordDump && !wide) {
            message.kind = Kind::tallyDump;
            known = true;
        }
        if (!known) return Decoded::unknown;
        message.extended = wide;
    }
    const Kind kind = message.kind;
    if (kind == Kind::invalidMessage) return Decoded::ok;

    Reader in(data, size);
    if (wide || command == cmdExtendedDump) {
        if (!in.byte(message.matrix) || !in.byte(message.level)) return Decoded::tooShort;
    } else {
        int address = 0;
        if (!in.byte(address)) return Decoded::tooShort;
        message.matrix = address >> 4;
        message.level = address & 0x0F;
    }
    if (isDestinationNames(kind)) message.level = 0;

    if (isCrosspoint(kind)) {
        if (wide) {
            if (!in.word(message.destination)) return Decoded::tooShort;
            if (hasSource(kind) && !in.word(message.source)) return Decoded::tooShort;
        } else {
            int multiplier = 0;
            int destination = 0;
            if (!in.byte(multiplier) || !in.byte(destination)) return Decoded::tooShort;
            message.destination = (multiplier >> 4 & 7) * 128 + (destination & 0x7F);
            int source = 0;
            if (hasSource(kind)) {
                if (!in.byte(source)) return Decoded::tooShort;
                message.source = (multiplier & 7) * 128 + (source & 0x7F);
            }
        }
        if (hasProtectState(kind) && !in.byte(message.status)) return Decoded::tooShort;
        // The status of an extended tally is optional: some routers leave it out.
        if (wide && hasSource(kind) && kind != Kind::connect) in.byte(message.status);
    } else if (kind == Kind::tallyDump) {
        const bool byteForm = command == cmdByteDump;
        int count = 0;
        if (!in.byte(count)) return Decoded::tooShort;
        if (byteForm ? !in.byte(message.first) : !in.word(message.first)) {
            return Decoded::tooShort;
        }
        if (in.left() < static_cast<std::size_t>(count) * (byteForm ? 1 : 2)) {
            return Decoded::tooShort;
        }
        message.sources.resize(static_cast<std::size_t>(count));
        for (int& s : message.sources) {
            if (byteForm) {
                in.byte(s);
            } else {
                in.word(s);
            }
        }
    } else if (isNameRequest(kind) || isNameReply(kind)) {
        if (!in.byte(message.lengthCode)) return Decoded::tooShort;
        const int width = nameWidth(message.lengthCode);
        if (width == 0) return Decoded::unknown;
        if ((isOneName(kind) || isNameReply(kind)) && !in.word(message.first)) {
            return Decoded::tooShort;
        }
        if (isNameReply(kind)) {
            int count = 0;
            if (!in.byte(count)) return Decoded::tooShort;
            const auto w = static_cast<std::size_t>(width);
            if (in.left() < static_cast<std::size_t>(count) * w) return Decoded::tooShort;
            for (int i = 0; i < count; ++i) {
                message.names.push_back(trimmed(in.here(), w));
                in.skip(w);
            }
        }
    }
    return Decoded::ok;
}

std::vector<SwP08Message> SwP08Message::split(std::size_t perMessage) const {
    const bool dump = kind == Kind::tallyDump;
    if (!dump && !isNameReply(kind)) return {*this};
    const std::size_t total = dump ? sources.size() : names.size();
    std::size_t step = maxValues();
    if (perMessage > 0) step = std::min(step, perMessage);
    if (total == 0 || step == 0) return {*this};
    std::vector<SwP08Message> pieces;
    for (std::size_t at = 0; at < total; at += step) {
        SwP08Message piece = *this;
        const std::size_t end = std::min(total, at + step);
        piece.first = first + static_cast<int>(at);
        if (dump) {
            piece.sources.assign(sources.begin() + static_cast<std::ptrdiff_t>(at),
                                 sources.begin() + static_cast<std::ptrdiff_t>(end));
        } else {
            piece.names.assign(names.begin() + static_cast<std::ptrdiff_t>(at),
                               names.begin() + static_cast<std::ptrdiff_t>(end));
        }
        pieces.push_back(std::move(piece));
    }
    return pieces;
}

}  // namespace zant::routers
