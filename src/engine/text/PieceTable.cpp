#include "engine/text/PieceTable.h"

#include "engine/ByteReader.h"
#include "engine/text/AnsiText.h"

namespace doctext {
namespace {
constexpr std::uint8_t kPrc = 0x01;
constexpr std::uint8_t kPcdt = 0x02;
constexpr std::size_t kPcdSize = 8;
constexpr std::uint32_t kCompressedBit = 0x40000000;
constexpr std::uint32_t kFcMask = 0x3FFFFFFF;
}  // namespace

PieceTableResult ParseClx(std::span<const std::uint8_t> clx) {
    PieceTableResult result;
    const ByteReader in(clx);
    std::size_t pos = 0;
    // Every property entry moves on by at least three bytes, so this ends.
    while (in.U8(pos) == kPrc) {
        const auto cb = in.U16(pos + 1);
        if (!cb || (*cb & 0x8000)) {
            result.error = "property entry of the piece table cut off";
            return result;
        }
        pos += 3 + *cb;
    }
    if (in.U8(pos) != kPcdt) {
        result.error = "piece descriptors missing";
        return result;
    }
    const auto lcb = in.U32(pos + 1);
    if (!lcb || !in.Fits(pos + 5, *lcb)) {
        result.error = "piece descriptors cut off";
        return result;
    }
    if (*lcb < 4 + 4 + kPcdSize || (*lcb - 4) % (4 + kPcdSize) != 0) {
        result.error = "piece descriptors of impossible size";
        return result;
    }
    const ByteReader plc(in.Slice(pos + 5, *lcb));
    const std::size_t n = (*lcb - 4) / (4 + kPcdSize);
    const std::size_t pcdBase = 4 * (n + 1);
    if (plc.U32Or(0) != 0) {
        result.error = "first piece does not start at position 0";
        return result;
    }
    result.pieces.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t cpStart = plc.U32Or(4 * i);
        const std::uint32_t cpEnd = plc.U32Or(4 * (i + 1));
        if (cpEnd <= cpStart) {
            result.pieces.clear();
            result.error = "piece positions do not increase";
            return result;
        }
        const std::uint32_t fc = plc.U32Or(pcdBase + kPcdSize * i + 2);
        Piece p;
        p.cpStart = cpStart;
        p.cpEnd = cpEnd;
        p.compressed = (fc & kCompressedBit) != 0;
        p.fc = p.compressed ? (fc & kFcMask) / 2 : (fc & kFcMask);
        result.pieces.push_back(p);
    }
    return result;
}

AssembledText AssembleText(std::span<const std::uint8_t> wordDocument, const std::vector<Piece>& pieces,
                           std::uint32_t cpCount) {
    AssembledText out;
    const ByteReader in(wordDocument);
    AnsiTextBuilder builder;
    builder.Reserve(cpCount);
    std::uint32_t cp = 0;
    for (const Piece& p : pieces) {
        if (cp >= cpCount)
            break;
        const std::uint32_t length = std::min(p.cpEnd, cpCount) - p.cpStart;
        const std::size_t bytes = p.compressed ? length : 2 * static_cast<std::size_t>(length);
        const auto data = in.Slice(p.fc, bytes);
        if (data.size() != bytes) {
            out.error = "piece lies outside the document stream";
            return out;
        }
        if (p.compressed) {
            out.any8Bit = true;
            for (std::uint8_t b : data)
                if (b != 0)
                    builder.Add(CompressedToUnicode(b));
        } else {
            out.any16Bit = true;
            for (std::size_t i = 0; i + 1 < data.size(); i += 2)
                if (const char16_t c = static_cast<char16_t>(data[i] | (data[i + 1] << 8)); c != 0)
                    builder.Add(c);
        }
        cp = p.cpStart + length;
        ++out.pieceCount;
    }
    if (cp < cpCount) {
        out.error = "pieces end before the main text does";
        return out;
    }
    out.text = builder.Finish();
    return out;
}

}  // namespace doctext
