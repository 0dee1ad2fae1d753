#include "routers/BerReader.h"

#include <cmath>
#include <limits>

namespace zant::routers {

namespace {

bool isPrimitive(const BerElement& element, std::uint32_t universal) {
    return element.tag.is(BerTag::Class::universal, universal) && !element.tag.constructed;
}

// A two's complement big-endian integer of 1 to 8 significant bytes.
bool signedValue(const std::uint8_t* bytes, size_t size, std::int64_t& value) {
    if (size == 0) return false;
    // Redundant sign bytes, which a non-minimal encoder leaves in.
    while (size > 1 && ((bytes[0] == 0x00 && (bytes[1] & 0x80u) == 0) ||
                        (bytes[0] == 0xFF && (bytes[1] & 0x80u) != 0))) {
        ++bytes;
        --size;
    }
    if (size > 8) return false;
    std::uint64_t bits = (bytes[0] & 0x80u) != 0 ? ~std::uint64_t{0} : 0;
    for (size_t i = 0; i < size; ++i) bits = (bits << 8) | bytes[i];
    value = static_cast<std::int64_t>(bits);
    return true;
}

}  // namespace

BerReader::BerReader(const std::uint8_t* data, size_t size, int depth)
    : data_(data), size_(size), depth_(depth) {
    if (depth > maxDepth) failed_ = true;
}

bool BerReader::next(BerElement& element) {
    if (failed_ || at_ >= size_) return false;
    size_t end = 0;
    // End-of-contents belongs only inside an indefinite length, which the
    // header of its element has already consumed.
    if (at_ + 1 < size_ && data_[at_] == 0 && data_[at_ + 1] == 0) {
        failed_ = true;
        return false;
    }
    if (!header(at_, element, end, depth_)) {
        failed_ = true;
        return false;
    }
    at_ = end;
    return true;
}

bool BerReader::header(size_t at, BerElement& element, size_t& end, int depth) const {
    if (at >= size_) return false;
    const std::uint8_t first = data_[at++];
    element.tag.tagClass = static_cast<BerTag::Class>(first >> 6);
    element.tag.constructed = (first & 0x20u) != 0;
    element.tag.number = first & 0x1Fu;
    element.depth = depth;
    if (element.tag.number == 0x1F) {
        std::uint32_t number = 0;
        for (;;) {
            if (at >= size_ || number > (maxTagNumber >> 7)) return false;
            const std::uint8_t byte = data_[at++];
            number = (number << 7) | (byte & 0x7Fu);
            if ((byte & 0x80u) == 0) break;
        }
        element.tag.number = number;
    }
    if (at >= size_) return false;
    const std::uint8_t lengthByte = data_[at++];
    if (lengthByte == 0x80) {
        if (!element.tag.constructed || depth >= maxDepth) return false;
        size_t contentsEnd = 0;
        if (!skipToEndOfContents(at, contentsEnd, end, depth + 1)) return false;
        element.contents = data_ + at;
        element.length = contentsEnd - at;
        return true;
    }
    size_t length = lengthByte;
    if (lengthByte > 0x80) {
        const size_t count = lengthByte & 0x7Fu;
        if (count > sizeof(size_t) || count > size_ - at) return false;
        length = 0;
        for (size_t i = 0; i < count; ++i) {
            if (length > (std::numeric_limits<size_t>::max() >> 8)) return false;
            length = (length << 8) | data_[at++];
        }
    }
    if (length > size_ - at) return false;
    element.contents = data_ + at;
    element.length = length;
    end = at + length;
    return true;
}

bool BerReader::skipToEndOfContents(size_t at, size_t& contentsEnd, size_t& end, int depth) const {
    BerElement inner;
    for (;;) {
        if (at + 1 < size_ && data_[at] == 0 && data_[at + 1] == 0) {
            contentsEnd = at;
            end = at + 2;
            return true;
        }
        size_t innerEnd = 0;
        if (!header(at, inner, innerEnd, depth)) return false;
        at = innerEnd;
    }
}

BerReader BerReader::children(const BerElement& element) {
    if (!element.tag.constructed) {
        BerReader failed(nullptr, 0, element.depth + 1);
        failed.failed_ = true;
        return failed;
    }
    return BerReader(element.contents, element.length, element.depth + 1);
}

bool BerReader::unwrap(const BerElement& wrapper, BerElement& inner) {
    BerReader reader = children(wrapper);
    return reader.next(inner);
}

bool BerReader::readInteger(const BerElement& element, std::int64_t& value) {
    return isPrimitive(element, BerTag::integer) &&
           signedValue(element.contents, element.length, value);
}

bool BerReader::readBoolean(const BerElement& element, bool& value) {
    if (!isPrimitive(element, BerTag::boolean) || element.length != 1) return false;
    value = element.contents[0] != 0;
    return true;
}

bool BerReader::readUtf8(const BerElement& element, std::string& value) {
    if (!isPrimitive(element, BerTag::utf8String)) return false;
    value.assign(reinterpret_cast<const char*>(element.contents), element.length);
    return true;
}

bool BerReader::readOctets(const BerElement& element, std::string& value) {
    if (!isPrimitive(element, BerTag::octetString)) return false;
    value.assign(reinterpret_cast<const char*>(element.contents), element.length);
    return true;
}

bool BerReader::readNull(const BerElement& element) {
    return isPrimitive(element, BerTag::null) && element.length == 0;
}

bool BerReader::readReal(const BerElement& element, double& value) {
    if (!isPrimitive(element, BerTag::real)) return false;
    const std::uint8_t* bytes = element.contents;
    const size_t size = element.length;
    if (size == 0) {
        value = 0.0;
        return true;
    }
    const std::uint8_t first = bytes[0];
    if ((first & 0x80u) == 0) {
        if ((first & 0x40u) == 0 || size != 1) return false;  // decimal, or not a special value
        switch (first) {
            case 0x40:
                value = std::numeric_limits<double>::infinity();
                return true;
            case 0x41:
                value = -std::numeric_limits<double>::infinity();
                return true;
            case 0x42:
                value = std::numeric_limits<double>::quiet_NaN();
                return true;
            case 0x43:
                value = -0.0;
                return true;
            default:
                return false;
        }
    }
    static constexpr int bitsPerDigit[] = {1, 3, 4};
    const unsigned base = (first >> 4) & 3u;
    if (base == 3) return false;
    const int scale = static_cast<int>((first >> 2) & 3u);
    size_t at = 1;
    size_t exponentSize = (first & 3u) + 1;
    if (exponentSize == 4) {
        if (size < 2) return false;
        exponentSize = bytes[1];
        at = 2;
    }
    // Exponents beyond 32 bits overflow any double anyway.
    if (exponentSize == 0 || exponentSize > 4 || size - at < exponentSize) return false;
    std::int64_t exponent = 0;
    if (!signedValue(bytes + at, exponentSize, exponent)) return false;
    at += exponentSize;
    size_t mantissaStart = at;
    while (mantissaStart < size && bytes[mantissaStart] == 0) ++mantissaStart;
    if (size - mantissaStart > 8) return false;
    std::uint64_t mantissa = 0;
    for (size_t i = mantissaStart; i < size; ++i) mantissa = (mantissa << 8) | bytes[i];
    const std::int64_t power = exponent * bitsPerDigit[base] + scale;
    const int clamped = static_cast<int>(power < -100000  ? -100000
                                         : power > 100000 ? 100000
                                                          : power);
    value = std::ldexp(static_cast<double>(mantissa), clamped);
    if ((first & 0x40u) != 0) value = -value;
    return true;
}

bool BerReader::readRelativeOid(const BerElement& element, std::vector<std::uint32_t>& value,
                                size_t maxComponents) {
    if (!isPrimitive(element, BerTag::relativeOid)) return false;
    value.clear();
    std::uint32_t component = 0;
    bool pending = false;
    for (size_t i = 0; i < element.length; ++i) {
        const std::uint8_t byte = element.contents[i];
        if (component > (std::numeric_limits<std::uint32_t>::max() >> 7)) return false;
        component = (component << 7) | (byte & 0x7Fu);
        pending = (byte & 0x80u) != 0;
        if (!pending) {
            if (value.size() >= maxComponents) return false;
            value.push_back(component);
            component = 0;
        }
    }
    return !pending;
}

}  // namespace zant::routers
