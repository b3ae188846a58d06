#include "engine/text/DocumentStart.h"

#include "engine/ByteReader.h"
#include "engine/CompoundHeader.h"

#include <algorithm>
#include <iterator>
#include <optional>

namespace doctext {
namespace {

bool SignatureAt(const ByteReader& in, std::size_t p) {
    for (std::size_t i = 0; i < kCompoundSignature.size(); ++i)
        if (in.U8(p + i) != kCompoundSignature[i])
            return false;
    return true;
}

// Byte-order mark FFFE, sector shift 9 or 12, mini-sector shift 6.
bool HeaderShapeAt(const ByteReader& in, std::size_t p) {
    const auto order = in.U16(p + 28);
    const auto shift = in.U16(p + 30);
    const auto mini = in.U16(p + 32);
    return order == 0xFFFE && (shift == 9 || shift == 12) && mini == 6;
}

// A Word 97-2003 FIB: identifier, a version from Word 97 on, and the count
// of 16-bit values that follows its fixed part.
bool FibMarkerAt(const ByteReader& in, std::size_t p) {
    const auto nFib = in.U16(p + 2);
    return in.U16(p) == 0xA5EC && nFib && *nFib >= 0xC0 && *nFib <= 0x112 && in.U16(p + 32) == 0x000E;
}

// The root directory entry's name, as its first bytes read.
constexpr std::uint8_t kRootName[] = {'R', 0, 'o', 0, 'o', 0, 't', 0, ' ', 0, 'E', 0, 'n', 0, 't', 0, 'r', 0, 'y', 0, 0, 0};

std::optional<std::size_t> FirstRootEntry(std::span<const std::uint8_t> file) {
    const auto* begin = file.data();
    const auto* end = file.data() + file.size();
    const auto* at = std::search(begin, end, std::begin(kRootName), std::end(kRootName));
    if (at == end)
        return std::nullopt;
    return static_cast<std::size_t>(at - begin);
}

}  // namespace

DocumentStart FindDocumentStart(std::span<const std::uint8_t> file) {
    const ByteReader in(file);
    if (SignatureAt(in, 0) || HeaderShapeAt(in, 0))
        return {0, StartEvidence::AtZero};
    std::size_t firstFib = file.size();
    for (std::size_t p = 0; p + 38 <= file.size(); ++p)
        if (file[p] == 0xEC && FibMarkerAt(in, p)) {
            firstFib = p;
            break;
        }
    // A header later in the file starts the document only when no FIB comes
    // before it: a document whose own header is destroyed can still hold an
    // embedded compound file further on. Each test looks at a fixed window.
    for (std::size_t p = 1; p + 512 <= file.size() && p < firstFib; ++p) {
        if (file[p] == kCompoundSignature[0] && SignatureAt(in, p))
            return {p, StartEvidence::Signature};
        if (file[p + 28] == 0xFE && HeaderShapeAt(in, p))
            return {p, StartEvidence::HeaderShape};
    }
    if (firstFib < file.size() && firstFib % 512 != 0 && firstFib >= 512) {
        // The directory's first sector starts with the root entry, so the
        // root entry lies a whole number of sectors after the document's
        // start. A FIB off the sector grid with the root entry on it lies in
        // the mini stream of a small document that starts at 0.
        const auto root = FirstRootEntry(file);
        if (!root || (*root + 512 - firstFib % 512) % 512 == 0)
            return {firstFib - 512, StartEvidence::Fib};
    }
    return {0, StartEvidence::None};
}

}  // namespace doctext
