// The input of a target that feeds a stream once whole and once cut in
// pieces, and checks that the same comes out: a control byte (bits 0-2: how
// many piece lengths follow; the other bits are the target's own), the
// piece lengths (each a byte, the length less one, used in turn), then the
// stream.
#ifndef FUZZ_FUZZ_PIECES_H
#define FUZZ_FUZZ_PIECES_H

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

struct FuzzPieces {
    std::uint8_t control = 0;
    const std::uint8_t* bytes = nullptr;
    std::size_t size = 0;
    std::vector<std::size_t> pieces;  // never empty

    // False for an empty input.
    bool read(const std::uint8_t* data, std::size_t dataSize) {
        if (dataSize == 0) return false;
        control = data[0];
        const std::size_t count = std::min<std::size_t>(control & 7u, dataSize - 1);
        pieces.clear();
        for (std::size_t i = 1; i <= count; ++i) pieces.push_back(std::size_t{data[i]} + 1);
        if (pieces.empty()) pieces.push_back(1);
        bytes = data + 1 + count;
        size = dataSize - 1 - count;
        return true;
    }
    const char* text() const { return reinterpret_cast<const char*>(bytes); }
    // The stream in one piece.
    std::vector<std::size_t> whole() const { return {std::max<std::size_t>(size, 1)}; }
};

#endif  // FUZZ_FUZZ_PIECES_H
