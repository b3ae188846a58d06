#pragma once
// The text of a non-complex document lies in one piece right at the FIB's
// fcMin; whether it is 8-bit or 16-bit is told by where the closing
// paragraph mark of `ccpText` characters falls.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace doctext {

enum class TextWidth { EightBit, SixteenBit };

struct StreamStartText {
    std::string text;  // ANSI code page
    TextWidth width = TextWidth::EightBit;
    std::uint32_t start = 0;  // stream offset the text was read from
};

// `wordDocument` starts with the FIB. nullopt when neither width gives a
// text of `ccpText` characters that ends with 0x0D inside the stream.
std::optional<StreamStartText> TextAtStreamStart(std::span<const std::uint8_t> wordDocument, std::uint32_t fcMin,
                                                 std::uint32_t ccpText);

// The same at fcMin, else at the first 512-byte boundary after it, below
// fcMac, where the test holds.
std::optional<StreamStartText> TextNearStreamStart(std::span<const std::uint8_t> wordDocument, std::uint32_t fcMin,
                                                   std::uint32_t fcMac, std::uint32_t ccpText);

}  // namespace doctext
