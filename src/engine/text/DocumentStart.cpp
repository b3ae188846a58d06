#include "engine/text/DocumentStart.h"

#include "engine/ByteReader.h"
#include "engine/CompoundHeader.h"

#include <algorithm>

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

bool FibMarkerAt(const ByteReader& in, std::size_t p) {
    return in.U16(p) == 0xA5EC && in.U16(p + 34) == 0x6A62 && in.U16(p + 36) == 0x6A62;
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
    if (firstFib < file.size() && firstFib % 512 != 0 && firstFib >= 512)
        return {firstFib - 512, StartEvidence::Fib};
    return {0, StartEvidence::None};
}

}  // namespace doctext
