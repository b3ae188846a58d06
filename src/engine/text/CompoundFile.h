#pragma once
// A damage-tolerant reader of the compound file that holds a Word document:
// header, DIFAT (with its sector chain), FAT, directory, mini-FAT and mini
// stream. It returns what it can and records each defect it meets instead
// of giving up. The compound file may start at an offset inside the byte
// buffer (a file carved from a disk with leading bytes).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace doctext {

// A half-open range of file offsets.
struct ByteRange {
    std::size_t begin = 0;
    std::size_t end = 0;
};

struct CfbEntry {
    std::uint32_t id = 0;          // index in the directory
    std::u16string name;
    std::uint8_t objectType = 0;   // 1 storage, 2 stream, 5 root
    std::uint32_t leftSibling = 0;
    std::uint32_t rightSibling = 0;
    std::uint32_t child = 0;
    std::uint32_t startSector = 0;
    std::uint64_t streamSize = 0;
};

// Case-insensitive (ASCII letters) comparison of entry names.
bool SameEntryName(std::u16string_view a, std::u16string_view b);

// Parses a 128-byte directory entry; nullopt unless it has the shape of a
// used entry (even name length up to 64 bytes ending in a NUL unit, object
// type storage, stream or root).
std::optional<CfbEntry> ParseDirectoryEntry(std::span<const std::uint8_t> bytes, std::uint32_t id);

class CompoundFile {
public:
    // Parses the compound file that starts at `docStart` in `file`. Never
    // fails: look at Defects() and at what the lookups return.
    static CompoundFile Parse(std::span<const std::uint8_t> file, std::size_t docStart = 0);

    bool HeaderSane() const { return m_headerSane; }
    std::uint32_t SectorSize() const { return m_sectorSize; }
    const std::vector<CfbEntry>& Entries() const { return m_entries; }
    const std::vector<std::string>& Defects() const { return m_defects; }

    // The entry with that name, ignoring case, among the root storage's
    // children: an embedded document in the object pool has streams of the
    // same names, so an entry found only elsewhere is not the document's.
    const CfbEntry* Find(std::u16string_view name) const;
    // Any entry with that name when the root's tree gives none (a destroyed
    // root entry); nullptr when there is none at all.
    const CfbEntry* FindAnywhere(std::u16string_view name) const;
    // The stream's bytes, following its chain in the FAT or, for a small
    // stream, in the mini-FAT. A broken chain is continued as contiguous
    // sectors (recorded as a defect). nullopt when nothing can be read.
    std::optional<std::vector<std::uint8_t>> ReadStream(const CfbEntry& entry) const;
    // File ranges holding the stream's bytes, in stream order (regular
    // sectors only; a mini stream gives the ranges of its mini sectors).
    std::vector<ByteRange> StreamRanges(const CfbEntry& entry) const;
    // File ranges of the container's own structures: header, FAT, DIFAT,
    // directory and mini-FAT sectors.
    const std::vector<ByteRange>& StructureRanges() const { return m_structures; }

private:
    CompoundFile(std::span<const std::uint8_t> file, std::size_t docStart) : m_file(file), m_docStart(docStart) {}
    void ParseHeader();
    void LoadFat();
    void LoadDirectory();
    void LoadMiniFat();
    std::optional<std::size_t> SectorOffset(std::uint32_t sector) const;
    // Sectors of a chain; a loop or an out-of-range link ends it (defect).
    // `clean`: the chain ended with its end-of-chain mark.
    std::vector<std::uint32_t> Chain(std::uint32_t start, const std::vector<std::uint32_t>& fat,
                                     std::size_t limit, std::string_view what, bool* clean = nullptr) const;
    // Links in range (up to a few stray values) and, with FatMark::Needed,
    // a FAT-sector mark: a sector found by its shape must describe some FAT
    // sector, while most FAT sectors of a large file hold no such mark.
    enum class FatMark { Needed, NotNeeded };
    bool LooksLikeFatSector(std::uint32_t sector, FatMark mark) const;
    std::vector<std::uint32_t> LocateFatSectors() const;
    std::uint32_t GuessMiniFatStart(const CfbEntry& root) const;
    std::vector<std::uint32_t> StreamSectors(std::uint32_t start, std::uint64_t size) const;
    void AddDefect(std::string text) const;

    std::span<const std::uint8_t> m_file;
    std::size_t m_docStart = 0;
    bool m_headerSane = false;
    std::uint32_t m_sectorSize = 512;
    std::uint32_t m_miniCutoff = 4096;
    std::uint32_t m_dirStart = 0;
    std::uint32_t m_miniFatStart = 0;
    std::uint32_t m_miniFatCount = 0;
    std::uint32_t m_fatCount = 0;
    std::uint32_t m_difatStart = 0;
    std::uint32_t m_difatCount = 0;
    std::vector<std::uint32_t> m_headerDifat;
    std::size_t m_sectorCount = 0;  // sectors that lie (at least partly) in the buffer
    std::vector<std::uint32_t> m_fat;
    std::vector<std::uint32_t> m_miniFat;
    std::vector<std::uint8_t> m_miniStream;
    std::vector<CfbEntry> m_entries;
    std::vector<ByteRange> m_structures;
    std::vector<std::uint32_t> m_structureSectors;  // FAT, directory and mini-FAT sectors
    mutable std::vector<std::string> m_defects;
};

// Directory entries found by looking at every 128-byte step of the file
// (relative to `docStart`), for a file whose header or FAT is destroyed.
// Only stream entries are returned.
std::vector<CfbEntry> ScanDirectoryEntries(std::span<const std::uint8_t> file, std::size_t docStart);

}  // namespace doctext
