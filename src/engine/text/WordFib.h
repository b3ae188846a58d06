#pragma once
// The FIB fields the text strategies need, read from the bytes at the start
// of a Word document stream (Word 97-2003 layout).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace doctext {

struct WordFibFields {
    std::uint16_t wIdent = 0;
    std::uint16_t nFib = 0;
    std::uint16_t flags = 0;     // bit 2 fComplex, bit 8 fEncrypted, bit 9 fWhichTblStm
    std::uint32_t fcMin = 0;     // 24: start of the text in the stream
    std::uint32_t fcMac = 0;     // 28
    std::uint32_t ccpText = 0;   // 76
    std::uint16_t cbRgFcLcb = 0; // 152: number of fc/lcb pairs that follow
    std::uint32_t fcClx = 0;     // 418: piece table in the table stream
    std::uint32_t lcbClx = 0;    // 422

    static constexpr std::uint16_t kIdent = 0xA5EC;
    bool IsComplex() const { return (flags & 0x0004) != 0; }
    bool IsEncrypted() const { return (flags & 0x0100) != 0; }
    bool UsesTable1() const { return (flags & 0x0200) != 0; }
    // The fc/lcb pair of the piece table exists in this FIB.
    bool HasClxPair() const { return cbRgFcLcb > kClxPairIndex; }

    static constexpr std::size_t kClxPairIndex = 33;
    static constexpr std::size_t kFcClxOffset = 154 + 8 * kClxPairIndex;
};

// nullopt when the bytes do not start with a Word 97-2003 FIB identifier.
std::optional<WordFibFields> ReadWordFib(std::span<const std::uint8_t> fib);

}  // namespace doctext
