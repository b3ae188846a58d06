#pragma once
// Builds small compound files in memory for the tests: one FAT sector,
// directory sectors, a mini stream for streams under 4096 bytes and whole
// sectors for the others, laid out in that order after the header.
#include <cstdint>
#include <string>
#include <vector>

namespace testcfb {

using Bytes = std::vector<std::uint8_t>;

inline void Put16(Bytes& b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
inline void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

struct Stream {
    std::u16string name;
    Bytes data;
};

struct Layout {
    // The FAT sector is named from a DIFAT sector instead of the header.
    bool fatThroughDifat = false;
};

class CfbBuilder {
public:
    void Add(std::u16string name, Bytes data) { m_streams.push_back({std::move(name), std::move(data)}); }

    // First sector of each stream after Build, by index of Add.
    std::vector<std::uint32_t> startSectors;
    std::uint32_t fatSector = 0, dirSector = 0;

    Bytes Build(Layout layout = {}) {
        constexpr std::size_t S = 512;
        constexpr std::uint32_t kEnd = 0xFFFFFFFE, kFree = 0xFFFFFFFF, kFatSect = 0xFFFFFFFD, kDifSect = 0xFFFFFFFC;
        std::vector<std::uint32_t> fat;
        std::vector<Bytes> sectors;
        auto alloc = [&](std::size_t count) {
            const std::uint32_t first = static_cast<std::uint32_t>(sectors.size());
            for (std::size_t i = 0; i < count; ++i) {
                sectors.emplace_back(S, 0);
                fat.push_back(i + 1 < count ? first + static_cast<std::uint32_t>(i) + 1 : kEnd);
            }
            return first;
        };
        std::uint32_t difat = kEnd;
        if (layout.fatThroughDifat) {
            difat = alloc(1);
            fat[difat] = kDifSect;
        }
        fatSector = alloc(1);
        fat[fatSector] = kFatSect;
        const std::size_t entries = m_streams.size() + 1;
        dirSector = alloc((entries + 3) / 4);
        // Mini stream: 64-byte mini sectors for the small streams.
        Bytes mini;
        std::vector<std::uint32_t> miniFat;
        startSectors.assign(m_streams.size(), kEnd);
        for (std::size_t i = 0; i < m_streams.size(); ++i) {
            const Bytes& d = m_streams[i].data;
            if (d.size() >= 4096 || d.empty())
                continue;
            const std::size_t count = (d.size() + 63) / 64;
            const std::uint32_t first = static_cast<std::uint32_t>(miniFat.size());
            for (std::size_t k = 0; k < count; ++k)
                miniFat.push_back(k + 1 < count ? first + static_cast<std::uint32_t>(k) + 1 : kEnd);
            startSectors[i] = first;
            mini.insert(mini.end(), d.begin(), d.end());
            mini.resize(miniFat.size() * 64, 0);
        }
        std::uint32_t miniFatSector = kEnd, miniStreamStart = kEnd;
        if (!miniFat.empty()) {
            miniFatSector = alloc(1);
            for (std::size_t k = 0; k < miniFat.size(); ++k)
                Put32(sectors[miniFatSector], 4 * k, miniFat[k]);
            for (std::size_t k = miniFat.size(); k < 128; ++k)
                Put32(sectors[miniFatSector], 4 * k, kFree);
            miniStreamStart = alloc((mini.size() + S - 1) / S);
            for (std::size_t k = 0; k < mini.size(); ++k)
                sectors[miniStreamStart + k / S][k % S] = mini[k];
        }
        for (std::size_t i = 0; i < m_streams.size(); ++i) {
            const Bytes& d = m_streams[i].data;
            if (d.size() < 4096)
                continue;
            startSectors[i] = alloc((d.size() + S - 1) / S);
            for (std::size_t k = 0; k < d.size(); ++k)
                sectors[startSectors[i] + k / S][k % S] = d[k];
        }
        for (std::size_t k = 0; k < 128; ++k)
            Put32(sectors[fatSector], 4 * k, k < fat.size() ? fat[k] : kFree);
        // Directory: the root, then the streams as a right-leaning chain of
        // siblings under it.
        auto entry = [&](std::size_t index) -> Bytes& { return sectors[dirSector + index / 4]; };
        auto writeEntry = [&](std::size_t index, const std::u16string& name, std::uint8_t type, std::uint32_t right,
                              std::uint32_t child, std::uint32_t start, std::uint32_t size) {
            Bytes& sec = entry(index);
            const std::size_t base = (index % 4) * 128;
            for (std::size_t k = 0; k < name.size(); ++k)
                Put16(sec, base + 2 * k, name[k]);
            Put16(sec, base + 64, static_cast<std::uint16_t>(2 * (name.size() + 1)));
            sec[base + 66] = type;
            sec[base + 67] = 1;
            Put32(sec, base + 68, kFree);
            Put32(sec, base + 72, right);
            Put32(sec, base + 76, child);
            Put32(sec, base + 116, start);
            Put32(sec, base + 120, size);
        };
        writeEntry(0, u"Root Entry", 5, kFree, m_streams.empty() ? kFree : 1, miniStreamStart,
                   static_cast<std::uint32_t>(mini.size()));
        for (std::size_t i = 0; i < m_streams.size(); ++i)
            writeEntry(i + 1, m_streams[i].name, 2, i + 1 < m_streams.size() ? static_cast<std::uint32_t>(i + 2) : kFree,
                       kFree, startSectors[i], static_cast<std::uint32_t>(m_streams[i].data.size()));
        Bytes header(S, 0);
        const std::uint8_t sig[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
        std::copy(sig, sig + 8, header.begin());
        Put16(header, 24, 0x3E);
        Put16(header, 26, 3);
        Put16(header, 28, 0xFFFE);
        Put16(header, 30, 9);
        Put16(header, 32, 6);
        Put32(header, 44, 1);
        Put32(header, 48, dirSector);
        Put32(header, 56, 4096);
        Put32(header, 60, miniFatSector);
        Put32(header, 64, miniFat.empty() ? 0 : 1);
        for (std::size_t k = 0; k < 109; ++k)
            Put32(header, 76 + 4 * k, kFree);
        if (layout.fatThroughDifat) {
            Put32(header, 68, difat);
            Put32(header, 72, 1);
            for (std::size_t k = 0; k < 128; ++k)
                Put32(sectors[difat], 4 * k, kFree);
            Put32(sectors[difat], 0, fatSector);
            Put32(sectors[difat], 4 * 127, kEnd);
        } else {
            Put32(header, 68, kEnd);
            Put32(header, 76, fatSector);
        }
        Bytes out = header;
        for (const auto& sec : sectors)
            out.insert(out.end(), sec.begin(), sec.end());
        return out;
    }

private:
    std::vector<Stream> m_streams;
};

inline Bytes Ascii(const std::string& s) { return Bytes(s.begin(), s.end()); }

}  // namespace testcfb
