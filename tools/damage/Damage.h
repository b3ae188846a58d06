#pragma once
// Damage generator: makes damaged variants of a Word document, the kinds of
// damage met in real broken files. Deterministic: the same kind, seed and
// input always give the same output. Used by the engine's corpus test, the
// recovery benchmark and for sample files.
//
// Kinds (names as on the command line):
//   lost-signature       the 8-byte compound-file signature is zeroed
//   header-overwritten   the whole 512-byte header is random bytes
//   fat-destroyed        every FAT sector the header lists is random bytes
//   directory-destroyed  the directory's sectors (its chain through the FAT,
//                        or its first sector when the FAT is unusable) are
//                        random bytes
//   fib-zeroed           the 512-byte sector holding the FIB (at 512, or the
//                        first sector that starts with one) is zeroed
//   truncated            the file is cut to between 10% and 90% of its length
//   zeroed-bytes         a few runs of 1 to 64 bytes are zeroed
//   flipped-bytes        about one byte in a thousand has one bit flipped
// A kind that finds nothing to damage (for example a file of one sector
// for fat-destroyed) returns the input unchanged.
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace damage {

enum class Kind {
    LostSignature,
    HeaderOverwritten,
    FatDestroyed,
    DirectoryDestroyed,
    FibZeroed,
    Truncated,
    ZeroedBytes,
    FlippedBytes,
};

std::span<const Kind> AllKinds();
std::string_view KindName(Kind kind);
std::optional<Kind> KindFromName(std::string_view name);

// The damaged copy of `document`.
std::vector<std::uint8_t> Apply(Kind kind, std::uint64_t seed, std::span<const std::uint8_t> document);

}  // namespace damage
