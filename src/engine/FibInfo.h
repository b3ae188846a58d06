#pragma once
// The File Information Block in use: where it was read and the fields of
// its first 116 bytes.
#include <cstdint>

struct FibInfo {
    // File offset at which this FIB was read. Kept at full width, so a FIB
    // beyond 64 KiB is read where it really is.
    std::uint64_t fibOffset = 0;
    std::uint16_t wIdent = 0;   // 0, must be 0xA5EC
    std::uint16_t nFib = 0;     // 2
    std::uint16_t nProduct = 0; // 4
    std::uint16_t lid = 0;      // 6
    std::uint16_t pnNext = 0;   // 8
    std::uint16_t flags = 0;    // 10: bit 3 fHasPic, bit 8 fEncrypted, bit 9 fWhichTblStm
    std::uint16_t nFibBack = 0; // 12
    std::uint32_t lKey = 0;     // 14
    std::uint8_t envr = 0;      // 18
    std::uint8_t flags2 = 0;    // 19
    std::uint16_t chse = 0;     // 20
    std::uint16_t chseTables = 0;  // 22
    std::uint32_t fcMin = 0;    // 24
    std::uint32_t fcMac = 0;    // 28
    std::uint16_t csw = 0;      // 32
    std::uint16_t wMagicCreated = 0;  // 34
    std::uint16_t wMagicRevised = 0;  // 36
    std::uint16_t wMagicCreatedPrivate = 0;  // 38
    std::uint16_t wMagicRevisedPrivate = 0;  // 40
    std::uint16_t reserved42[9] = {};        // 42..59
    std::uint16_t lidFE = 0;    // 60
    std::uint16_t clw = 0;      // 62
    std::uint32_t cbMac = 0;    // 64
    std::uint32_t lProductCreated = 0;  // 68
    std::uint32_t lProductRevised = 0;  // 72
    std::uint32_t ccpText = 0;  // 76
    std::uint32_t ccpFtn = 0;   // 80
    std::uint32_t ccpHdd = 0;   // 84
    std::uint32_t ccpMcr = 0;   // 88
    std::uint32_t ccpAtn = 0;   // 92
    std::uint32_t ccpEdn = 0;   // 96
    std::uint32_t ccpTxbx = 0;  // 100
    std::uint32_t ccpHdrTxbx = 0;  // 104
    std::uint32_t pnFbpChpFirst = 0;  // 108
    std::uint32_t pnChpFirst = 0;     // 112

    static constexpr std::uint16_t kIdent = 0xA5EC;
    static constexpr std::size_t kStoredBytes = 116;
    bool HasPictures() const { return (flags & 0x0008) != 0; }
    bool IsEncrypted() const { return (flags & 0x0100) != 0; }
    bool UsesTable1() const { return (flags & 0x0200) != 0; }
};
