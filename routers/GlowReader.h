// The Glow subset a matrix client (and our provider) needs, read from one
// whole message's BER data: a Root's elements, nested or qualified, as a flat
// list of items, each parent before its children, every path resolved from
// the root. Nodes, parameters, matrices (contents, target and source lists,
// labels, connections) and commands; other elements and fields are skipped.
//
// Malformed BER fails the whole message (no items: a half-read update must
// not reach the picture); an element that is sound BER but lacks its number
// or path is skipped with a problem. Bounded: items per message, entries of
// a list, components of a path, besides the BER reader's own bounds.
#ifndef ROUTERS_GLOW_READER_H
#define ROUTERS_GLOW_READER_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "routers/BerReader.h"
#include "routers/GlowItem.h"

namespace zant::routers {

class GlowReader {
public:
    static constexpr size_t maxItems = 65536;
    // Targets, sources or connections of one matrix, sources of a connection.
    static constexpr size_t maxEntries = 65536;
    static constexpr size_t maxPath = 64;
    static constexpr size_t maxProblems = 16;

    struct Result {
        bool ok = true;  // false: malformed, and `items` is empty
        std::vector<GlowItem> items;
        std::vector<std::string> problems;  // at most maxProblems
    };

    static Result read(const std::uint8_t* data, size_t size);
    static Result read(const std::vector<std::uint8_t>& ber) {
        return read(ber.data(), ber.size());
    }

private:
    explicit GlowReader(Result& result) : result_(result) {}

    void root(const BerElement& element);
    void collection(const BerElement& wrapper, const std::vector<std::uint32_t>& parent,
                    GlowItem::Kind parentKind);
    void element(const BerElement& element, const std::vector<std::uint32_t>& parent,
                 GlowItem::Kind parentKind);
    void command(const BerElement& element, const std::vector<std::uint32_t>& parent,
                 GlowItem::Kind parentKind);
    void contents(const BerElement& wrapper, GlowItem& item);
    void value(const BerElement& inner, GlowItem& item);
    void labels(const BerElement& wrapper, GlowItem& item);
    void signals(const BerElement& wrapper, std::uint32_t tag,
                 std::optional<std::vector<std::uint32_t>>& numbers);
    void connections(const BerElement& wrapper, GlowItem& item);

    // The elements inside `container`, each given to `visit`; a level that
    // turns out malformed marks the message malformed.
    template <typename Visit>
    void forEach(const BerElement& container, Visit visit);
    bool unwrap(const BerElement& wrapper, BerElement& inner);
    bool integerField(const BerElement& wrapper, std::int64_t& value);
    bool stringField(const BerElement& wrapper, std::string& value);
    bool add(GlowItem item);
    void problem(std::string text);

    Result& result_;
    bool malformed_ = false;
};

}  // namespace zant::routers

#endif  // ROUTERS_GLOW_READER_H
