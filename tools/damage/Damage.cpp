#include "Damage.h"

#include <algorithm>
#include <array>
#include <unordered_set>

namespace damage {
namespace {

constexpr std::size_t kSector = 512;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;

struct NamedKind {
    Kind kind;
    std::string_view name;
};

constexpr std::array<NamedKind, 8> kKinds = {{
    {Kind::LostSignature, "lost-signature"},
    {Kind::HeaderOverwritten, "header-overwritten"},
    {Kind::FatDestroyed, "fat-destroyed"},
    {Kind::DirectoryDestroyed, "directory-destroyed"},
    {Kind::FibZeroed, "fib-zeroed"},
    {Kind::Truncated, "truncated"},
    {Kind::ZeroedBytes, "zeroed-bytes"},
    {Kind::FlippedBytes, "flipped-bytes"},
}};

constexpr std::array<Kind, 8> kAllKinds = {Kind::LostSignature, Kind::HeaderOverwritten, Kind::FatDestroyed,
                                           Kind::DirectoryDestroyed, Kind::FibZeroed, Kind::Truncated,
                                           Kind::ZeroedBytes, Kind::FlippedBytes};

// splitmix64: small, and the same sequence on every platform.
class Random {
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform enough in [0, bound) for damage positions; bound > 0.
    std::uint64_t Below(std::uint64_t bound) { return Next() % bound; }
    void Fill(std::span<std::uint8_t> bytes) {
        for (auto& b : bytes)
            b = static_cast<std::uint8_t>(Next());
    }

private:
    std::uint64_t m_state;
};

std::uint32_t U32(std::span<const std::uint8_t> d, std::size_t at) {
    if (at + 4 > d.size())
        return kEndOfChain;
    return d[at] | (d[at + 1] << 8) | (d[at + 2] << 16) | (static_cast<std::uint32_t>(d[at + 3]) << 24);
}

// The bytes of sector `sector` inside the file, possibly short or empty.
std::span<std::uint8_t> SectorBytes(std::vector<std::uint8_t>& d, std::uint64_t sector) {
    const std::uint64_t at = (sector + 1) * kSector;
    if (sector >= 0xFFFFFFF0u || at >= d.size())
        return {};
    return std::span(d).subspan(static_cast<std::size_t>(at), std::min<std::size_t>(kSector, d.size() - at));
}

std::vector<std::uint32_t> FatSectors(std::span<const std::uint8_t> d) {
    std::vector<std::uint32_t> sectors;
    const std::uint32_t count = std::min<std::uint32_t>(U32(d, 44), 109);
    for (std::uint32_t i = 0; i < count; ++i)
        sectors.push_back(U32(d, 76 + 4 * i));
    return sectors;
}

std::uint32_t NextInFat(std::span<const std::uint8_t> d, const std::vector<std::uint32_t>& fat, std::uint32_t sector) {
    const std::size_t perSector = kSector / 4;
    const std::size_t which = sector / perSector;
    if (which >= fat.size())
        return kEndOfChain;
    const std::uint64_t at = (static_cast<std::uint64_t>(fat[which]) + 1) * kSector + 4 * (sector % perSector);
    return U32(d, static_cast<std::size_t>(std::min<std::uint64_t>(at, SIZE_MAX - 8)));
}

void DestroyDirectory(std::vector<std::uint8_t>& d, Random& random) {
    const std::vector<std::uint32_t> fat = FatSectors(d);
    std::unordered_set<std::uint32_t> seen;
    for (std::uint32_t sector = U32(d, 48); sector < 0xFFFFFFF0u && seen.insert(sector).second;
         sector = NextInFat(d, fat, sector)) {
        const auto bytes = SectorBytes(d, sector);
        if (bytes.empty())
            break;
        random.Fill(bytes);
    }
}

bool StartsWithFib(std::span<const std::uint8_t> d, std::size_t at) {
    return at + 38 <= d.size() && d[at] == 0xEC && d[at + 1] == 0xA5 && d[at + 34] == 0x62 && d[at + 35] == 0x6A;
}

void ZeroFibSector(std::vector<std::uint8_t>& d) {
    for (std::size_t at = kSector; at < d.size(); at += kSector) {
        if (StartsWithFib(d, at)) {
            std::fill_n(d.begin() + static_cast<std::ptrdiff_t>(at), std::min(kSector, d.size() - at), 0);
            return;
        }
    }
}

}  // namespace

std::span<const Kind> AllKinds() { return kAllKinds; }

std::string_view KindName(Kind kind) {
    for (const auto& k : kKinds)
        if (k.kind == kind)
            return k.name;
    return {};
}

std::optional<Kind> KindFromName(std::string_view name) {
    for (const auto& k : kKinds)
        if (k.name == name)
            return k.kind;
    return std::nullopt;
}

std::vector<std::uint8_t> Apply(Kind kind, std::uint64_t seed, std::span<const std::uint8_t> document) {
    std::vector<std::uint8_t> d(document.begin(), document.end());
    Random random(seed * 0x100000001B3ull + static_cast<std::uint64_t>(kind) + 1);
    switch (kind) {
    case Kind::LostSignature:
        std::fill_n(d.begin(), std::min<std::size_t>(8, d.size()), 0);
        break;
    case Kind::HeaderOverwritten:
        random.Fill(std::span(d).first(std::min(kSector, d.size())));
        break;
    case Kind::FatDestroyed:
        for (const std::uint32_t sector : FatSectors(d))
            random.Fill(SectorBytes(d, sector));
        break;
    case Kind::DirectoryDestroyed:
        DestroyDirectory(d, random);
        break;
    case Kind::FibZeroed:
        ZeroFibSector(d);
        break;
    case Kind::Truncated:
        if (!d.empty())
            d.resize(static_cast<std::size_t>(d.size() / 10 + random.Below(d.size() * 8 / 10 + 1)));
        break;
    case Kind::ZeroedBytes:
        if (!d.empty()) {
            const int runs = 1 + static_cast<int>(random.Below(8));
            for (int i = 0; i < runs; ++i) {
                const std::size_t at = static_cast<std::size_t>(random.Below(d.size()));
                const std::size_t length = std::min<std::size_t>(1 + random.Below(64), d.size() - at);
                std::fill_n(d.begin() + static_cast<std::ptrdiff_t>(at), length, 0);
            }
        }
        break;
    case Kind::FlippedBytes:
        if (!d.empty()) {
            const std::size_t flips = std::max<std::size_t>(1, d.size() / 1000);
            for (std::size_t i = 0; i < flips; ++i)
                d[static_cast<std::size_t>(random.Below(d.size()))] ^= static_cast<std::uint8_t>(1u << random.Below(8));
        }
        break;
    }
    return d;
}

}  // namespace damage
