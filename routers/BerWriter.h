// A writer of BER as Ember+ uses it: definite lengths only (each the shortest
// form), minimal integers, tags of every class with long-form numbers.
// Containers are opened and closed in order; a container's length is written
// when it is closed. Values and containers may carry an explicit context
// wrapper [n], as every Glow field does.
#ifndef ROUTERS_BER_WRITER_H
#define ROUTERS_BER_WRITER_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "routers/BerReader.h"

namespace zant::routers {

class BerWriter {
public:
    // Opens a constructed element; end() closes the last one opened.
    void begin(BerTag::Class tagClass, std::uint32_t number);
    void beginApplication(std::uint32_t number) { begin(BerTag::Class::application, number); }
    void beginContext(std::uint32_t number) { begin(BerTag::Class::context, number); }
    void beginSequence() { begin(BerTag::Class::universal, BerTag::sequence); }
    void beginSet() { begin(BerTag::Class::universal, BerTag::set); }
    void end();

    void integer(std::int64_t value);
    void boolean(bool value);
    void utf8(const std::string& value);
    void octets(const std::string& value);
    void null();
    // Binary, base 2; infinities, NaN and minus zero as their special values.
    void real(double value);
    void relativeOid(const std::vector<std::uint32_t>& components);
    // Bytes already encoded, put in as they are.
    void raw(const std::vector<std::uint8_t>& bytes);

    // The value inside a context wrapper [n].
    void contextInteger(std::uint32_t n, std::int64_t value);
    void contextUtf8(std::uint32_t n, const std::string& value);
    void contextRelativeOid(std::uint32_t n, const std::vector<std::uint32_t>& components);

    // Open containers left: the bytes are not whole until it is 0.
    size_t openContainers() const { return open_.size(); }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    std::vector<std::uint8_t> take();

private:
    void tag(BerTag::Class tagClass, bool constructed, std::uint32_t number);
    void length(size_t value);
    void primitive(std::uint32_t universal, const std::uint8_t* contents, size_t size);

    std::vector<std::uint8_t> bytes_;
    std::vector<size_t> open_;  // where each open container's contents begin
};

}  // namespace zant::routers

#endif  // ROUTERS_BER_WRITER_H
