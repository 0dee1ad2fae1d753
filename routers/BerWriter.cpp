#include "routers/BerWriter.h"

#include <cmath>
#include <utility>

namespace zant::routers {

namespace {

std::vector<std::uint8_t> lengthBytes(size_t value) {
    if (value < 0x80) return {static_cast<std::uint8_t>(value)};
    std::vector<std::uint8_t> bytes;
    for (size_t rest = value; rest != 0; rest >>= 8) {
        bytes.insert(bytes.begin(), static_cast<std::uint8_t>(rest & 0xFFu));
    }
    bytes.insert(bytes.begin(), static_cast<std::uint8_t>(0x80u | bytes.size()));
    return bytes;
}

// Two's complement, big endian, no redundant sign bytes.
std::vector<std::uint8_t> minimalSigned(std::int64_t value) {
    std::vector<std::uint8_t> bytes;
    const auto bits = static_cast<std::uint64_t>(value);
    for (int shift = 56; shift >= 0; shift -= 8) {
        bytes.push_back(static_cast<std::uint8_t>((bits >> shift) & 0xFFu));
    }
    size_t skip = 0;
    while (skip + 1 < bytes.size() && ((bytes[skip] == 0x00 && (bytes[skip + 1] & 0x80u) == 0) ||
                                       (bytes[skip] == 0xFF && (bytes[skip + 1] & 0x80u) != 0))) {
        ++skip;
    }
    bytes.erase(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(skip));
    return bytes;
}

}  // namespace

void BerWriter::tag(BerTag::Class tagClass, bool constructed, std::uint32_t number) {
    const auto head = static_cast<std::uint8_t>((static_cast<unsigned>(tagClass) << 6) |
                                                (constructed ? 0x20u : 0u));
    if (number < 0x1F) {
        bytes_.push_back(static_cast<std::uint8_t>(head | number));
        return;
    }
    bytes_.push_back(static_cast<std::uint8_t>(head | 0x1Fu));
    std::uint8_t groups[5];
    int count = 0;
    for (std::uint32_t rest = number; count == 0 || rest != 0; rest >>= 7) {
        groups[count++] = static_cast<std::uint8_t>(rest & 0x7Fu);
    }
    while (count > 1) bytes_.push_back(static_cast<std::uint8_t>(groups[--count] | 0x80u));
    bytes_.push_back(groups[0]);
}

void BerWriter::length(size_t value) {
    const std::vector<std::uint8_t> bytes = lengthBytes(value);
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
}

void BerWriter::primitive(std::uint32_t universal, const std::uint8_t* contents, size_t size) {
    tag(BerTag::Class::universal, false, universal);
    length(size);
    if (size != 0) bytes_.insert(bytes_.end(), contents, contents + size);
}

void BerWriter::begin(BerTag::Class tagClass, std::uint32_t number) {
    tag(tagClass, true, number);
    open_.push_back(bytes_.size());
}

void BerWriter::end() {
    if (open_.empty()) return;
    const size_t start = open_.back();
    open_.pop_back();
    const std::vector<std::uint8_t> bytes = lengthBytes(bytes_.size() - start);
    bytes_.insert(bytes_.begin() + static_cast<std::ptrdiff_t>(start), bytes.begin(), bytes.end());
}

void BerWriter::integer(std::int64_t value) {
    const std::vector<std::uint8_t> bytes = minimalSigned(value);
    primitive(BerTag::integer, bytes.data(), bytes.size());
}

void BerWriter::boolean(bool value) {
    const std::uint8_t byte = value ? 0xFF : 0x00;
    primitive(BerTag::boolean, &byte, 1);
}

void BerWriter::utf8(const std::string& value) {
    primitive(BerTag::utf8String, reinterpret_cast<const std::uint8_t*>(value.data()),
              value.size());
}

void BerWriter::octets(const std::string& value) {
    primitive(BerTag::octetString, reinterpret_cast<const std::uint8_t*>(value.data()),
              value.size());
}

void BerWriter::null() {
    primitive(BerTag::null, nullptr, 0);
}

void BerWriter::real(double value) {
    std::uint8_t special = 0;
    if (std::isnan(value)) {
        special = 0x42;
    } else if (std::isinf(value)) {
        special = value > 0 ? 0x40 : 0x41;
    } else if (value == 0.0) {
        if (!std::signbit(value)) return primitive(BerTag::real, nullptr, 0);
        special = 0x43;
    }
    if (special != 0) return primitive(BerTag::real, &special, 1);
    int exponent = 0;
    const double fraction = std::frexp(std::fabs(value), &exponent);
    // 53 bits of mantissa as an integer, trailing zero bits dropped.
    auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    exponent -= 53;
    while ((mantissa & 1u) == 0) {
        mantissa >>= 1;
        ++exponent;
    }
    const std::vector<std::uint8_t> exponentBytes = minimalSigned(exponent);
    std::vector<std::uint8_t> contents;
    contents.push_back(
        static_cast<std::uint8_t>(0x80u | (value < 0 ? 0x40u : 0u) | (exponentBytes.size() - 1)));
    contents.insert(contents.end(), exponentBytes.begin(), exponentBytes.end());
    const std::vector<std::uint8_t> mantissaBytes =
        minimalSigned(static_cast<std::int64_t>(mantissa));
    // The mantissa is unsigned: a sign byte the signed form needed is not one.
    const size_t skip = mantissaBytes.size() > 1 && mantissaBytes[0] == 0 ? 1 : 0;
    contents.insert(contents.end(), mantissaBytes.begin() + static_cast<std::ptrdiff_t>(skip),
                    mantissaBytes.end());
    primitive(BerTag::real, contents.data(), contents.size());
}

void BerWriter::relativeOid(const std::vector<std::uint32_t>& components) {
    std::vector<std::uint8_t> contents;
    for (const std::uint32_t component : components) {
        std::uint8_t groups[5];
        int count = 0;
        for (std::uint32_t rest = component; count == 0 || rest != 0; rest >>= 7) {
            groups[count++] = static_cast<std::uint8_t>(rest & 0x7Fu);
        }
        while (count > 1) contents.push_back(static_cast<std::uint8_t>(groups[--count] | 0x80u));
        contents.push_back(groups[0]);
    }
    primitive(BerTag::relativeOid, contents.data(), contents.size());
}

void BerWriter::raw(const std::vector<std::uint8_t>& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
}

void BerWriter::contextInteger(std::uint32_t n, std::int64_t value) {
    beginContext(n);
    integer(value);
    end();
}

void BerWriter::contextUtf8(std::uint32_t n, const std::string& value) {
    beginContext(n);
    utf8(value);
    end();
}

void BerWriter::contextRelativeOid(std::uint32_t n, const std::vector<std::uint32_t>& components) {
    beginContext(n);
    relativeOid(components);
    end();
}

std::vector<std::uint8_t> BerWriter::take() {
    open_.clear();
    return std::exchange(bytes_, {});
}

}  // namespace zant::routers
