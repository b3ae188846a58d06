#include "engine/text/CompoundFile.h"

#include "engine/ByteReader.h"
#include "engine/CompoundHeader.h"

#include <algorithm>
#include <limits>

namespace doctext {
namespace {

constexpr std::uint32_t kFreeSect = 0xFFFFFFFF;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kMaxRegSect = 0xFFFFFFFA;
constexpr std::size_t kEntrySize = 128;
constexpr std::size_t kMiniSectorSize = 64;
constexpr std::size_t kHeaderDifatEntries = 109;

char16_t FoldCase(char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c; }

bool AddFits(std::size_t a, std::size_t b, std::size_t& sum) {
    if (a > std::numeric_limits<std::size_t>::max() - b)
        return false;
    sum = a + b;
    return true;
}

}  // namespace

bool SameEntryName(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) {
               return FoldCase(x) == FoldCase(y);
           });
}

std::optional<CfbEntry> ParseDirectoryEntry(std::span<const std::uint8_t> bytes, std::uint32_t id) {
    const ByteReader in(bytes);
    if (!in.Fits(0, kEntrySize))
        return std::nullopt;
    const std::uint16_t nameLength = in.U16Or(64);
    const std::uint8_t type = in.U8Or(66);
    const std::uint8_t colour = in.U8Or(67);
    if (nameLength < 4 || nameLength > 64 || nameLength % 2 != 0)
        return std::nullopt;
    if (type != 1 && type != 2 && type != 5)
        return std::nullopt;
    if (colour > 1)
        return std::nullopt;
    CfbEntry entry;
    entry.id = id;
    const std::size_t units = nameLength / 2 - 1;  // without the closing NUL
    for (std::size_t i = 0; i < units; ++i) {
        const std::uint16_t c = in.U16Or(2 * i);
        if (c == 0)
            return std::nullopt;
        entry.name.push_back(static_cast<char16_t>(c));
    }
    if (in.U16Or(2 * units) != 0)
        return std::nullopt;
    entry.objectType = type;
    entry.leftSibling = in.U32Or(68);
    entry.rightSibling = in.U32Or(72);
    entry.child = in.U32Or(76);
    entry.startSector = in.U32Or(116);
    // Version 3 files leave the high size word undefined: the low word is
    // what such a file holds.
    entry.streamSize = in.U32Or(120);
    return entry;
}

CompoundFile CompoundFile::Parse(std::span<const std::uint8_t> file, std::size_t docStart) {
    CompoundFile cf(file, docStart);
    if (docStart >= file.size()) {
        cf.AddDefect("document start beyond the end of the file");
        return cf;
    }
    cf.ParseHeader();
    cf.LoadFat();
    cf.LoadDirectory();
    cf.LoadMiniFat();
    return cf;
}

void CompoundFile::AddDefect(std::string text) const {
    if (std::find(m_defects.begin(), m_defects.end(), text) == m_defects.end())
        m_defects.push_back(std::move(text));
}

void CompoundFile::ParseHeader() {
    const ByteReader in(m_file.subspan(m_docStart));
    bool signature = in.Fits(0, 8);
    for (std::size_t i = 0; signature && i < kCompoundSignature.size(); ++i)
        signature = in.U8Or(i) == kCompoundSignature[i];
    if (!signature)
        AddDefect("signature missing");
    const std::uint16_t byteOrder = in.U16Or(28);
    const std::uint16_t shift = in.U16Or(30);
    if (shift == 9 || shift == 12) {
        m_sectorSize = 1u << shift;
    } else {
        AddDefect("sector shift not 9 or 12, taken as 512-byte sectors");
        m_sectorSize = 512;
    }
    m_headerSane = byteOrder == 0xFFFE && (shift == 9 || shift == 12);
    if (byteOrder != 0xFFFE)
        AddDefect("byte-order mark missing");
    m_fatCount = in.U32Or(44);
    m_dirStart = in.U32Or(48);
    const std::uint32_t cutoff = in.U32Or(56);
    m_miniCutoff = cutoff == 0 || cutoff > 0x100000 ? 4096 : cutoff;
    m_miniFatStart = in.U32Or(60);
    m_miniFatCount = in.U32Or(64);
    m_difatStart = in.U32Or(68);
    m_difatCount = in.U32Or(72);
    for (std::size_t i = 0; i < kHeaderDifatEntries; ++i)
        m_headerDifat.push_back(in.U32Or(76 + 4 * i, kFreeSect));
    const std::size_t available = m_file.size() - m_docStart;
    m_sectorCount = available > m_sectorSize ? (available - m_sectorSize + m_sectorSize - 1) / m_sectorSize : 0;
    m_structures.push_back({m_docStart, m_docStart + std::min<std::size_t>(available, m_sectorSize)});
}

std::optional<std::size_t> CompoundFile::SectorOffset(std::uint32_t sector) const {
    if (sector >= m_sectorCount)
        return std::nullopt;
    std::size_t offset = 0;
    if (!AddFits(m_docStart, (static_cast<std::size_t>(sector) + 1) * m_sectorSize, offset) || offset >= m_file.size())
        return std::nullopt;
    return offset;
}

void CompoundFile::LoadFat() {
    std::vector<std::uint32_t> fatSectors;
    std::vector<bool> used(m_sectorCount, false);
    auto take = [&](std::uint32_t s) {
        if (s >= m_sectorCount || used[s] || fatSectors.size() >= m_sectorCount)
            return;
        used[s] = true;
        fatSectors.push_back(s);
    };
    const std::size_t declared = m_fatCount <= m_sectorCount ? m_fatCount : m_sectorCount;
    if (m_fatCount > m_sectorCount)
        AddDefect("FAT sector count larger than the file");
    for (std::size_t i = 0; i < kHeaderDifatEntries && fatSectors.size() < declared; ++i)
        take(m_headerDifat[i]);
    // The DIFAT sector chain: each sector holds FAT sector numbers and, in
    // its last slot, the next DIFAT sector.
    const std::size_t perSector = m_sectorSize / 4 - 1;
    std::uint32_t difat = m_difatStart;
    std::vector<bool> seen(m_sectorCount, false);
    for (std::uint32_t n = 0; n < m_difatCount && difat <= kMaxRegSect && fatSectors.size() < declared; ++n) {
        const auto offset = SectorOffset(difat);
        if (!offset || seen[difat]) {
            AddDefect("DIFAT chain broken");
            break;
        }
        seen[difat] = true;
        m_structures.push_back({*offset, std::min(m_file.size(), *offset + m_sectorSize)});
        const ByteReader in(m_file.subspan(*offset));
        for (std::size_t i = 0; i < perSector && fatSectors.size() < declared; ++i)
            take(in.U32Or(4 * i, kFreeSect));
        difat = in.U32Or(4 * perSector, kEndOfChain);
    }
    if (fatSectors.size() < declared)
        AddDefect("fewer FAT sectors found than declared");
    m_fat.reserve(m_sectorCount);
    for (std::uint32_t s : fatSectors) {
        const std::size_t offset = *SectorOffset(s);
        m_structures.push_back({offset, std::min(m_file.size(), offset + m_sectorSize)});
        const ByteReader in(m_file.subspan(offset));
        for (std::size_t i = 0; i < m_sectorSize / 4 && m_fat.size() < m_sectorCount; ++i)
            m_fat.push_back(in.U32Or(4 * i, kFreeSect));
    }
}

std::vector<std::uint32_t> CompoundFile::Chain(std::uint32_t start, const std::vector<std::uint32_t>& fat,
                                               std::size_t limit, std::string_view what) const {
    std::vector<std::uint32_t> chain;
    std::vector<bool> visited(limit, false);
    std::uint32_t s = start;
    while (s != kEndOfChain) {
        if (s >= limit || s >= fat.size()) {
            if (s != kFreeSect || !chain.empty())
                AddDefect(std::string(what) + " chain leaves the allocation table");
            break;
        }
        if (visited[s]) {
            AddDefect(std::string(what) + " chain loops");
            break;
        }
        visited[s] = true;
        chain.push_back(s);
        s = fat[s];
    }
    return chain;
}

void CompoundFile::LoadDirectory() {
    std::vector<std::uint32_t> sectors = Chain(m_dirStart, m_fat, m_sectorCount, "directory");
    const bool fromFat = !sectors.empty();
    if (!fromFat) {
        AddDefect("directory not reachable through the FAT, read as contiguous sectors");
    }
    const std::size_t perSector = m_sectorSize / kEntrySize;
    auto readSector = [&](std::uint32_t s, std::uint32_t index) {
        const auto offset = SectorOffset(s);
        if (!offset)
            return false;
        m_structures.push_back({*offset, std::min(m_file.size(), *offset + m_sectorSize)});
        bool any = false;
        for (std::size_t i = 0; i < perSector; ++i) {
            const ByteReader in(m_file);
            const auto bytes = in.Slice(*offset + i * kEntrySize, kEntrySize);
            if (auto e = ParseDirectoryEntry(bytes, static_cast<std::uint32_t>(index * perSector + i))) {
                m_entries.push_back(std::move(*e));
                any = true;
            }
        }
        return any;
    };
    if (fromFat) {
        for (std::uint32_t i = 0; i < sectors.size(); ++i)
            readSector(sectors[i], i);
    } else {
        for (std::uint32_t s = m_dirStart, i = 0; s < m_sectorCount; ++s, ++i)
            if (!readSector(s, i))
                break;
    }
    if (m_entries.empty())
        AddDefect("no directory entry found");
}

void CompoundFile::LoadMiniFat() {
    const CfbEntry* root = nullptr;
    for (const auto& e : m_entries)
        if (e.objectType == 5) {
            root = &e;
            break;
        }
    if (!root)
        return;
    for (std::uint32_t s : Chain(m_miniFatStart, m_fat, m_sectorCount, "mini-FAT")) {
        const std::size_t offset = *SectorOffset(s);
        m_structures.push_back({offset, std::min(m_file.size(), offset + m_sectorSize)});
        const ByteReader in(m_file.subspan(offset));
        for (std::size_t i = 0; i < m_sectorSize / 4; ++i)
            m_miniFat.push_back(in.U32Or(4 * i, kFreeSect));
    }
    const std::uint64_t size = std::min<std::uint64_t>(root->streamSize, m_file.size());
    for (std::uint32_t s : StreamSectors(root->startSector, size)) {
        const std::size_t offset = *SectorOffset(s);
        const std::size_t n = std::min<std::size_t>(m_sectorSize, m_file.size() - offset);
        m_miniStream.insert(m_miniStream.end(), m_file.begin() + offset, m_file.begin() + offset + n);
        if (m_miniStream.size() >= size)
            break;
    }
    m_miniStream.resize(std::min<std::size_t>(m_miniStream.size(), size));
}

std::vector<std::uint32_t> CompoundFile::StreamSectors(std::uint32_t start, std::uint64_t size) const {
    const std::uint64_t needed64 = (size + m_sectorSize - 1) / m_sectorSize;
    const std::size_t needed = static_cast<std::size_t>(std::min<std::uint64_t>(needed64, m_sectorCount));
    std::vector<std::uint32_t> sectors = Chain(start, m_fat, m_sectorCount, "stream");
    if (sectors.size() > needed)
        sectors.resize(needed);
    if (sectors.size() < needed) {
        // Go on with the sectors that follow, as an unfragmented stream lies.
        AddDefect("stream chain short, continued as contiguous sectors");
        std::vector<bool> have(m_sectorCount, false);
        for (std::uint32_t s : sectors)
            have[s] = true;
        std::uint32_t next = sectors.empty() ? start : sectors.back() + 1;
        while (sectors.size() < needed && next < m_sectorCount && !have[next]) {
            have[next] = true;
            sectors.push_back(next++);
        }
    }
    return sectors;
}

const CfbEntry* CompoundFile::Find(std::u16string_view name) const {
    const CfbEntry* root = nullptr;
    for (const auto& e : m_entries)
        if (e.objectType == 5) {
            root = &e;
            break;
        }
    if (root) {
        // Entry ids are bounded by the directory's size, so this index is
        // linear in it.
        std::uint32_t maxId = 0;
        for (const auto& e : m_entries)
            maxId = std::max(maxId, e.id);
        std::vector<const CfbEntry*> byId(static_cast<std::size_t>(maxId) + 1, nullptr);
        for (const auto& e : m_entries)
            byId[e.id] = &e;
        std::vector<bool> seen(byId.size(), false);
        std::vector<std::uint32_t> stack{root->child};
        while (!stack.empty()) {
            const std::uint32_t id = stack.back();
            stack.pop_back();
            if (id >= byId.size() || seen[id] || !byId[id])
                continue;
            seen[id] = true;
            const CfbEntry* e = byId[id];
            if (SameEntryName(e->name, name))
                return e;
            stack.push_back(e->leftSibling);
            stack.push_back(e->rightSibling);
        }
    }
    return nullptr;
}

const CfbEntry* CompoundFile::FindAnywhere(std::u16string_view name) const {
    if (const CfbEntry* e = Find(name))
        return e;
    for (const auto& e : m_entries)
        if (e.objectType != 5 && SameEntryName(e.name, name))
            return &e;
    return nullptr;
}

std::vector<ByteRange> CompoundFile::StreamRanges(const CfbEntry& entry) const {
    std::vector<ByteRange> ranges;
    if (entry.objectType != 2)
        return ranges;
    if (entry.streamSize < m_miniCutoff)
        return ranges;  // lives in the mini stream
    std::uint64_t left = entry.streamSize;
    for (std::uint32_t s : StreamSectors(entry.startSector, entry.streamSize)) {
        const std::size_t offset = *SectorOffset(s);
        const std::size_t n = static_cast<std::size_t>(
            std::min<std::uint64_t>({left, m_sectorSize, m_file.size() - offset}));
        if (!ranges.empty() && ranges.back().end == offset)
            ranges.back().end += n;
        else
            ranges.push_back({offset, offset + n});
        left -= std::min<std::uint64_t>(left, m_sectorSize);
    }
    return ranges;
}

std::optional<std::vector<std::uint8_t>> CompoundFile::ReadStream(const CfbEntry& entry) const {
    if (entry.objectType != 2)
        return std::nullopt;
    std::vector<std::uint8_t> out;
    if (entry.streamSize < m_miniCutoff) {
        const std::size_t limit = m_miniStream.size() / kMiniSectorSize;
        for (std::uint32_t s : Chain(entry.startSector, m_miniFat, limit, "mini stream")) {
            const auto begin = m_miniStream.begin() + static_cast<std::ptrdiff_t>(s * kMiniSectorSize);
            out.insert(out.end(), begin, begin + kMiniSectorSize);
            if (out.size() >= entry.streamSize)
                break;
        }
    } else {
        const std::uint64_t cap = std::min<std::uint64_t>(entry.streamSize, m_file.size());
        out.reserve(static_cast<std::size_t>(cap));
        for (const auto& r : StreamRanges(entry))
            out.insert(out.end(), m_file.begin() + r.begin, m_file.begin() + r.end);
    }
    if (out.size() > entry.streamSize)
        out.resize(static_cast<std::size_t>(entry.streamSize));
    if (out.size() < entry.streamSize)
        AddDefect("stream shorter than its directory entry says");
    if (out.empty())
        return std::nullopt;
    return out;
}

std::vector<CfbEntry> ScanDirectoryEntries(std::span<const std::uint8_t> file, std::size_t docStart) {
    std::vector<CfbEntry> found;
    const ByteReader in(file);
    std::uint32_t index = 0;
    for (std::size_t off = docStart; in.Fits(off, kEntrySize); off += kEntrySize, ++index)
        if (auto e = ParseDirectoryEntry(in.Slice(off, kEntrySize), index); e && e->objectType == 2)
            found.push_back(std::move(*e));
    return found;
}

}  // namespace doctext
