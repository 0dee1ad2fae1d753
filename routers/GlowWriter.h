// Glow messages (BER data, to be framed by S101Message) from flat items: what
// a matrix client asks (getDirectory, a connection) and what a provider
// answers (nodes, parameters, matrices with contents, lists, labels and
// connections). Each item goes as a qualified element (its whole path as a
// RELATIVE-OID) or nested in nodes down from the root (each step its
// number); both forms are what providers and consumers meet in the field.
// A command item is written inside the element it is for (commandOn at its
// path), or at the root when its path is empty.
#ifndef ROUTERS_GLOW_WRITER_H
#define ROUTERS_GLOW_WRITER_H

#include <cstdint>
#include <vector>

#include "routers/BerWriter.h"
#include "routers/GlowItem.h"

namespace zant::routers {

class GlowWriter {
public:
    enum class Form { qualified, nested };

    // A Root holding every item, in order.
    static std::vector<std::uint8_t> encode(const std::vector<GlowItem>& items, Form form);
    // getDirectory of the element at `path` (a node or a matrix), or of the
    // root when `path` is empty.
    static std::vector<std::uint8_t> getDirectory(const std::vector<std::uint32_t>& path,
                                                  GlowItem::Kind kind, Form form);
    // The matrix at `path` with one connection.
    static std::vector<std::uint8_t> connect(const std::vector<std::uint32_t>& path,
                                             const GlowItem::Connection& connection, Form form);

private:
    static void item(BerWriter& writer, const GlowItem& item, Form form);
    static void element(BerWriter& writer, const GlowItem& item, bool qualified);
    static void body(BerWriter& writer, const GlowItem& item);
    static void contents(BerWriter& writer, const GlowItem& item);
    static void command(BerWriter& writer, const GlowItem& item);
};

}  // namespace zant::routers

#endif  // ROUTERS_GLOW_WRITER_H
