#include "engine/text/StreamStart.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace doctext;

namespace {

std::vector<std::uint8_t> StreamWith(std::uint32_t fcMin, const std::string& text, bool wide, std::size_t size) {
    std::vector<std::uint8_t> s(size, 0);
    std::size_t at = fcMin;
    for (char c : text) {
        s[at++] = static_cast<std::uint8_t>(c);
        if (wide)
            s[at++] = 0;
    }
    return s;
}

}  // namespace

TEST(StreamStart, DecidesTheWidthByTheClosingMark) {
    struct Case {
        const char* name;
        std::string text;
        bool wide;
        std::uint32_t ccpText;
        std::optional<TextWidth> width;
        std::string expected;
    } cases[] = {
        {"8-bit", "Eight bit text.\r", false, 16, TextWidth::EightBit, "Eight bit text.\r"},
        {"16-bit", "Sixteen bit.\r", true, 13, TextWidth::SixteenBit, "Sixteen bit.\r"},
        // 16-bit text whose byte at ccpText - 1 happens to be 0x0D as well.
        {"16-bit with a mark halfway", "ab\rcd\r", true, 6, TextWidth::SixteenBit, "ab\rcd\r"},
        {"8-bit with a mark where 16-bit would end", "x\ry\r", false, 2, TextWidth::EightBit, "x\r"},
        {"no mark at either width", "no closing mark", false, 15, std::nullopt, ""},
        {"ccpText past the stream", "short\r", false, 5000, std::nullopt, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto stream = StreamWith(1024, c.text, c.wide, 2048);
        const auto found = TextAtStreamStart(stream, 1024, c.ccpText);
        ASSERT_EQ(found.has_value(), c.width.has_value());
        if (found) {
            EXPECT_EQ(found->width, *c.width);
            EXPECT_EQ(found->text, c.expected);
        }
    }
}

TEST(StreamStart, SixteenBitFitsOnlyWhenItsWholeLengthIsInside) {
    // An 8-bit text near the end: the 16-bit reading would leave the stream.
    const auto stream = StreamWith(100, "abc\r", false, 104);
    const auto found = TextAtStreamStart(stream, 100, 4);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->width, TextWidth::EightBit);
    EXPECT_FALSE(TextAtStreamStart(stream, 0, 4));
    EXPECT_FALSE(TextAtStreamStart(stream, 100, 0));
}

TEST(StreamStart, TextOnALaterBoundaryBeforeFcMacIsFound) {
    const auto stream = StreamWith(2048, "Moved on.\r", true, 4096);
    EXPECT_FALSE(TextAtStreamStart(stream, 1024, 10));
    const auto found = TextNearStreamStart(stream, 1024, 2048 + 20, 10);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->start, 2048u);
    EXPECT_EQ(found->text, "Moved on.\r");
    // Not past fcMac.
    EXPECT_FALSE(TextNearStreamStart(stream, 1024, 2048, 10));
}
