#pragma once
// The compound-file header fields and directory-entry fields the engine keeps.
#include <array>
#include <cstdint>

struct CompoundHeader {
    std::array<std::uint8_t, 8> signature{};       // offset 0
    std::uint16_t sectorShift = 0;                  // 30
    std::uint32_t miniSectorShiftAndReserved = 0;   // 32
    std::uint32_t fatSectorCount = 0;               // 44
    std::uint32_t sectDirStart = 0;                 // 48
    std::uint32_t miniFatStart = 0;                 // 60
    std::uint32_t miniFatSectorCount = 0;           // 64
    std::uint32_t difatStart = 0;                   // 68
    std::uint32_t difatSectorCount = 0;             // 72
    std::array<std::uint32_t, 109> difat{};         // 76..511
};

struct DirectoryEntry {
    std::array<char16_t, 32> name{};  // UTF-16LE, NUL-terminated
    std::uint16_t nameLength = 0;     // bytes, 64
    std::uint8_t objectType = 0;      // 66
    std::uint8_t colourFlag = 0;      // 67
    std::uint32_t leftSibling = 0;    // 68
    std::uint32_t rightSibling = 0;   // 72
    std::uint32_t child = 0;          // 76
    std::array<std::uint8_t, 16> classId{};  // 80
    std::uint32_t startSector = 0;    // 116
    std::uint32_t streamSize = 0;     // 120 (low 32 bits)
};

inline constexpr std::array<std::uint8_t, 8> kCompoundSignature = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
