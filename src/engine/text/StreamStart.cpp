#include "engine/text/StreamStart.h"

#include "engine/ByteReader.h"
#include "engine/text/AnsiText.h"

#include <algorithm>

namespace doctext {
namespace {

// Share of the high bytes of 16-bit units that are 0: near 1 for Western
// text stored as 16-bit units, low for 8-bit text read as pairs.
double ZeroHighShare(std::span<const std::uint8_t> bytes) {
    std::size_t zero = 0, units = bytes.size() / 2;
    for (std::size_t i = 1; i < bytes.size(); i += 2)
        zero += bytes[i] == 0;
    return units ? static_cast<double>(zero) / static_cast<double>(units) : 0.0;
}

}  // namespace

std::optional<StreamStartText> TextAtStreamStart(std::span<const std::uint8_t> wordDocument, std::uint32_t fcMin,
                                                 std::uint32_t ccpText) {
    if (ccpText == 0 || fcMin == 0)
        return std::nullopt;
    const ByteReader in(wordDocument);
    const std::size_t n = ccpText;
    const auto narrow = in.Slice(fcMin, n);
    const auto wide = in.Slice(fcMin, 2 * n);
    const bool narrowFits = narrow.size() == n && narrow[n - 1] == 0x0D;
    const bool wideFits = wide.size() == 2 * n && wide[2 * n - 2] == 0x0D && wide[2 * n - 1] == 0x00;
    TextWidth width;
    if (narrowFits && wideFits)
        // Both end with a mark: 16-bit text has its high bytes (nearly) all
        // zero in its first ccpText bytes, 8-bit text has hardly any.
        width = ZeroHighShare(narrow) > 0.5 ? TextWidth::SixteenBit : TextWidth::EightBit;
    else if (wideFits)
        width = TextWidth::SixteenBit;
    else if (narrowFits)
        width = TextWidth::EightBit;
    else
        return std::nullopt;
    AnsiTextBuilder builder;
    if (width == TextWidth::EightBit)
        for (std::uint8_t b : narrow) {
            if (b != 0)
                builder.Add(CompressedToUnicode(b));
        }
    else
        for (std::size_t i = 0; i + 1 < wide.size(); i += 2)
            if (const char16_t c = static_cast<char16_t>(wide[i] | (wide[i + 1] << 8)); c != 0)
                builder.Add(c);
    return StreamStartText{builder.Finish(), width, fcMin};
}

std::optional<StreamStartText> TextNearStreamStart(std::span<const std::uint8_t> wordDocument, std::uint32_t fcMin,
                                                   std::uint32_t fcMac, std::uint32_t ccpText) {
    if (auto found = TextAtStreamStart(wordDocument, fcMin, ccpText))
        return found;
    // Writers that pad the stream put the text on a later 512-byte
    // boundary before fcMac; one constant-time probe per boundary.
    const std::size_t end = std::min<std::size_t>(fcMac, wordDocument.size());
    for (std::size_t at = (static_cast<std::size_t>(fcMin) / 512 + 1) * 512; fcMin != 0 && at < end; at += 512)
        if (auto found = TextAtStreamStart(wordDocument, static_cast<std::uint32_t>(at), ccpText))
            return found;
    return std::nullopt;
}

}  // namespace doctext
