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
constexpr std::uint32_t kDifSect = 0xFFFFFFFC;
constexpr std::uint32_t kFatSect = 0xFFFFFFFD;
// Values out of range a FAT sector may hold before it counts as overwritten.
constexpr std::size_t kFatSectorSlack = 2;
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
    m_miniCutoff = !m_headerSane || cutoff == 0 || cutoff > 0x100000 ? 4096 : cutoff;
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
    // A FAT sector overwritten with other bytes holds values no FAT holds:
    // its links are dropped, so chains through it go on as contiguous
    // sectors instead of jumping at random.
    std::vector<bool> usable;
    for (std::uint32_t s : fatSectors)
        usable.push_back(LooksLikeFatSector(s, FatMark::NotNeeded));
    if (std::find(usable.begin(), usable.end(), true) == usable.end()) {
        if (!fatSectors.empty())
            AddDefect("FAT sectors hold no allocation table");
        fatSectors = LocateFatSectors();
        usable.assign(fatSectors.size(), true);
        if (!fatSectors.empty())
            AddDefect("FAT found by its shape");
    }
    m_fat.reserve(m_sectorCount);
    for (std::size_t k = 0; k < fatSectors.size(); ++k) {
        const std::uint32_t s = fatSectors[k];
        const std::size_t offset = *SectorOffset(s);
        m_structures.push_back({offset, std::min(m_file.size(), offset + m_sectorSize)});
        m_structureSectors.push_back(s);
        if (!usable[k])
            AddDefect("FAT sector damaged, its links dropped");
        const ByteReader in(m_file.subspan(offset));
        for (std::size_t i = 0; i < m_sectorSize / 4 && m_fat.size() < m_sectorCount; ++i)
            m_fat.push_back(usable[k] ? in.U32Or(4 * i, kFreeSect) : kFreeSect);
    }
}

bool CompoundFile::LooksLikeFatSector(std::uint32_t sector, FatMark mark) const {
    const auto offset = SectorOffset(sector);
    if (!offset)
        return false;
    const ByteReader in(m_file.subspan(*offset));
    std::size_t wrong = 0;
    bool marked = false;
    for (std::size_t i = 0; i < m_sectorSize / 4; ++i) {
        const std::uint32_t v = in.U32Or(4 * i, kFreeSect);
        if (v == kFatSect)
            marked = true;
        else if (v < kDifSect && v >= m_sectorCount)
            ++wrong;
    }
    return (marked || mark == FatMark::NotNeeded) && wrong <= kFatSectorSlack;
}

std::vector<std::uint32_t> CompoundFile::LocateFatSectors() const {
    // Every sector with the shape of a FAT sector, in file order (the k-th
    // FAT sector is nearly always the k-th in the file); kept are those the
    // table they form marks as FAT sectors.
    std::vector<std::uint32_t> candidates;
    for (std::uint32_t s = 0; s < m_sectorCount; ++s)
        if (LooksLikeFatSector(s, FatMark::Needed))
            candidates.push_back(s);
    const std::size_t perSector = m_sectorSize / 4;
    std::vector<std::uint32_t> kept;
    for (std::size_t k = 0; k < candidates.size(); ++k) {
        const std::uint32_t c = candidates[k];
        const std::size_t owner = c / perSector;  // which FAT sector describes c
        if (owner >= candidates.size())
            continue;
        const std::size_t at = *SectorOffset(candidates[owner]) + 4 * (c % perSector);
        if (ByteReader(m_file).U32Or(at) == kFatSect)
            kept.push_back(c);
    }
    return kept;
}

std::vector<std::uint32_t> CompoundFile::Chain(std::uint32_t start, const std::vector<std::uint32_t>& fat,
                                               std::size_t limit, std::string_view what, bool* clean) const {
    std::vector<std::uint32_t> chain;
    if (clean)
        *clean = false;
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
    if (clean && s == kEndOfChain)
        *clean = true;
    return chain;
}

void CompoundFile::LoadDirectory() {
    const std::size_t perSector = m_sectorSize / kEntrySize;
    std::vector<bool> read(m_sectorCount, false);
    std::uint32_t index = 0;
    auto readSector = [&](std::uint32_t s) {
        const auto offset = SectorOffset(s);
        if (!offset || read[s])
            return false;
        read[s] = true;
        bool any = false;
        const ByteReader in(m_file);
        for (std::size_t i = 0; i < perSector; ++i) {
            const auto bytes = in.Slice(*offset + i * kEntrySize, kEntrySize);
            if (auto e = ParseDirectoryEntry(bytes, static_cast<std::uint32_t>(index * perSector + i))) {
                m_entries.push_back(std::move(*e));
                any = true;
            }
        }
        ++index;
        // A sector without entries is where the directory ends, not part of it.
        if (any) {
            m_structures.push_back({*offset, std::min(m_file.size(), *offset + m_sectorSize)});
            m_structureSectors.push_back(s);
        }
        return any;
    };
    // The chain from the FAT; where it breaks off, the sectors that follow
    // as long as they hold entries.
    auto readFrom = [&](std::uint32_t start) {
        bool clean = false;
        const std::vector<std::uint32_t> sectors = Chain(start, m_fat, m_sectorCount, "directory", &clean);
        for (std::uint32_t s : sectors)
            readSector(s);
        if (!clean) {
            AddDefect("directory chain broken, continued as contiguous sectors");
            for (std::uint32_t s = sectors.empty() ? start : sectors.back() + 1; s < m_sectorCount; ++s)
                if (!readSector(s))
                    break;
        }
    };
    readFrom(m_dirStart);
    const bool rootFound = std::any_of(m_entries.begin(), m_entries.end(), [](const CfbEntry& e) {
        return e.objectType == 5 && e.id == 0;
    });
    if (!rootFound) {
        // The header's directory start is lost: the directory begins with
        // the root entry at the start of a sector. A writer can leave an
        // empty directory behind as well; the one whose first sector holds
        // most of a directory wins.
        const ByteReader in(m_file);
        std::optional<std::uint32_t> best;
        int bestScore = -1;
        for (std::uint32_t s = 0; s < m_sectorCount; ++s) {
            const auto offset = SectorOffset(s);
            const auto root = offset ? ParseDirectoryEntry(in.Slice(*offset, kEntrySize), 0) : std::nullopt;
            if (!root || root->objectType != 5)
                continue;
            int score = (root->streamSize > 0 ? 1 : 0) + (root->child <= kMaxRegSect ? 1 : 0);
            for (std::size_t i = 1; i < perSector; ++i)
                if (ParseDirectoryEntry(in.Slice(*offset + i * kEntrySize, kEntrySize), 0))
                    ++score;
            if (score > bestScore) {
                best = s;
                bestScore = score;
            }
        }
        if (best) {
            AddDefect("directory found by its root entry");
            m_entries.clear();
            std::fill(read.begin(), read.end(), false);
            index = 0;
            m_dirStart = *best;
            readFrom(*best);
        }
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
    std::vector<std::uint32_t> sectors;
    if (m_headerSane && m_miniFatCount > 0 && m_miniFatCount <= m_sectorCount) {
        // A broken chain goes on as contiguous sectors up to the declared count.
        sectors = StreamSectors(m_miniFatStart, static_cast<std::uint64_t>(m_miniFatCount) * m_sectorSize);
    } else {
        if (!m_headerSane)
            m_miniFatStart = GuessMiniFatStart(*root);
        sectors = Chain(m_miniFatStart, m_fat, m_sectorCount, "mini-FAT");
    }
    for (std::uint32_t s : sectors) {
        m_structureSectors.push_back(s);
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

std::uint32_t CompoundFile::GuessMiniFatStart(const CfbEntry& root) const {
    // With the header gone, the mini-FAT is the one chain in the FAT that
    // no directory entry and no structure starts.
    std::vector<bool> pointedTo(m_fat.size(), false);
    for (std::uint32_t v : m_fat)
        if (v < m_fat.size())
            pointedTo[v] = true;
    std::vector<bool> known(m_fat.size(), false);
    for (const auto& e : m_entries)
        if (e.startSector < known.size() && (e.objectType == 5 || e.streamSize >= m_miniCutoff))
            known[e.startSector] = true;
    if (m_dirStart < known.size())
        known[m_dirStart] = true;
    if (root.startSector < known.size())
        known[root.startSector] = true;
    std::optional<std::uint32_t> head;
    for (std::uint32_t s = 0; s < m_fat.size(); ++s) {
        const std::uint32_t v = m_fat[s];
        if (pointedTo[s] || known[s] || !(v < m_fat.size() || v == kEndOfChain))
            continue;
        if (head)
            return kEndOfChain;  // more than one: cannot tell
        head = s;
    }
    return head.value_or(kEndOfChain);
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
        // The container's own sectors are stepped over.
        std::vector<bool> have(m_sectorCount, false);
        for (std::uint32_t s : sectors)
            have[s] = true;
        for (std::uint32_t s : m_structureSectors)
            if (s < m_sectorCount)
                have[s] = true;
        std::uint32_t next = sectors.empty() ? start : sectors.back() + 1;
        while (sectors.size() < needed && next < m_sectorCount) {
            if (!have[next]) {
                have[next] = true;
                sectors.push_back(next);
            }
            ++next;
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
        bool clean = false;
        std::vector<std::uint32_t> chain = Chain(entry.startSector, m_miniFat, limit, "mini stream", &clean);
        if (!clean) {
            // A lost or broken mini-FAT: the stream's mini sectors as they
            // follow each other.
            for (std::uint32_t s = chain.empty() ? entry.startSector : chain.back() + 1;
                 chain.size() * kMiniSectorSize < entry.streamSize && s < limit; ++s)
                chain.push_back(s);
        }
        for (std::uint32_t s : chain) {
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
