// A reader of BER as Ember+ uses it, over bytes it does not own: the elements
// of one level in order, each with its tag and the span of its contents, and
// a reader for a constructed element's contents one level down. Tags of every
// class and long-form numbers; definite (short and long) and indefinite
// lengths, the latter ended by end-of-contents, which the reader finds ahead
// so that every element has a span. Nothing is read past the bytes given,
// levels go no deeper than maxDepth, and malformed input stops the level:
// next() returns false and failed() tells it from a clean end.
//
// The value readers take a primitive element with its universal tag and
// return false for another tag or contents they cannot hold.
#ifndef ROUTERS_BER_READER_H
#define ROUTERS_BER_READER_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zant::routers {

struct BerTag {
    enum class Class : std::uint8_t { universal = 0, application = 1, context = 2, private_ = 3 };
    // The universal tags Ember+ uses.
    enum Universal : std::uint32_t {
        boolean = 1,
        integer = 2,
        octetString = 4,
        null = 5,
        real = 9,
        utf8String = 12,
        relativeOid = 13,
        sequence = 16,
        set = 17,
    };

    Class tagClass = Class::universal;
    bool constructed = false;
    std::uint32_t number = 0;

    bool is(Class c, std::uint32_t n) const { return tagClass == c && number == n; }
    bool isContext(std::uint32_t n) const { return is(Class::context, n); }
    bool isApplication(std::uint32_t n) const { return is(Class::application, n); }
};

struct BerElement {
    BerTag tag;
    const std::uint8_t* contents = nullptr;  // within the reader's bytes
    size_t length = 0;                       // without any end-of-contents
    int depth = 0;                           // of the level that holds it
};

class BerReader {
public:
    static constexpr int maxDepth = 64;
    // Tag numbers past this are refused (more than any protocol uses).
    static constexpr std::uint32_t maxTagNumber = 0x0FFFFFFF;

    BerReader(const std::uint8_t* data, size_t size) : BerReader(data, size, 0) {}

    // The next element of this level; false at the end or on malformed input.
    bool next(BerElement& element);
    bool failed() const { return failed_; }
    // A reader of a constructed element's contents, one level down; a failed
    // reader past maxDepth or for a primitive element.
    static BerReader children(const BerElement& element);
    // The first element inside an explicit wrapper such as a context tag
    // [n]; false when it is empty or malformed.
    static bool unwrap(const BerElement& wrapper, BerElement& inner);

    static bool readInteger(const BerElement& element, std::int64_t& value);
    static bool readBoolean(const BerElement& element, bool& value);
    static bool readUtf8(const BerElement& element, std::string& value);
    static bool readOctets(const BerElement& element, std::string& value);
    static bool readNull(const BerElement& element);
    // Binary-encoded and special values (infinities, NaN, minus zero); a
    // decimal-encoded one is refused.
    static bool readReal(const BerElement& element, double& value);
    // Each component at most 32 bits; at most `maxComponents` of them.
    static bool readRelativeOid(const BerElement& element, std::vector<std::uint32_t>& value,
                                size_t maxComponents = 65536);

private:
    BerReader(const std::uint8_t* data, size_t size, int depth);
    // The header at `at`: tag, and contents span (indefinite: found ahead).
    // `end` is where the whole element ends, end-of-contents included.
    bool header(size_t at, BerElement& element, size_t& end, int depth) const;
    // Skips elements from `at` to an end-of-contents, which begins at
    // `contentsEnd`; `end` is past it.
    bool skipToEndOfContents(size_t at, size_t& contentsEnd, size_t& end, int depth) const;

    const std::uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
    int depth_;
    bool failed_ = false;
};

}  // namespace zant::routers

#endif  // ROUTERS_BER_READER_H
