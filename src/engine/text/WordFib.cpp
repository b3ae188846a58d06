#include "engine/text/WordFib.h"

#include "engine/ByteReader.h"

namespace doctext {

std::optional<WordFibFields> ReadWordFib(std::span<const std::uint8_t> fib) {
    const ByteReader in(fib);
    WordFibFields f;
    f.wIdent = in.U16Or(0);
    if (f.wIdent != WordFibFields::kIdent)
        return std::nullopt;
    f.nFib = in.U16Or(2);
    f.flags = in.U16Or(10);
    f.fcMin = in.U32Or(24);
    f.fcMac = in.U32Or(28);
    f.ccpText = in.U32Or(76);
    f.cbRgFcLcb = in.U16Or(152);
    f.fcClx = in.U32Or(WordFibFields::kFcClxOffset);
    f.lcbClx = in.U32Or(WordFibFields::kFcClxOffset + 4);
    return f;
}

}  // namespace doctext
