// Finding and reading the main text, the header and footer, and what is
// published to the application object.
#include "DocBuilder.h"

#include <gtest/gtest.h>

using namespace testdoc;

namespace {

std::string Paragraph(std::size_t length, char fill = 'x') { return std::string(length - 1, fill) + "\r"; }

struct PlaceCase {
    const char* name;
    Fib fib;
    std::vector<std::pair<std::size_t, std::string>> bytes;
    int result;
    std::string text;
    std::uint32_t ccpText;
};

class TextPlace : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(TextPlace, SnapsProbesAndReads) {
    const PlaceCase& c = GetParam();
    DocBuilder b;
    b.Header(0).FibAt(512, c.fib).Pad(8192);
    for (const auto& [at, bytes] : c.bytes)
        b.Put(at, bytes);
    OpenDoc doc = EngineOn(b.bytes());
    doc->ReadFib(512);
    EXPECT_EQ(doc->ExtractText(), c.result);
    if (!c.result) {
        EXPECT_FALSE(doc->m_pszText);
        return;
    }
    ASSERT_TRUE(doc->m_pszText);
    EXPECT_EQ(*doc->m_pszText, c.text);
    EXPECT_EQ(doc->m_fib.ccpText, c.ccpText);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextPlace,
    ::testing::Values(
        PlaceCase{"atComputedStart", {.fcMac = 1124, .ccpText = 100}, {{1536, Paragraph(100)}}, 1, Paragraph(100), 100},
        // start 1792: moved up to 2048, the text loses 256 bytes.
        PlaceCase{"halfBoundaryUp", {.fcMac = 1580, .ccpText = 300}, {{2048, Paragraph(44)}}, 1, Paragraph(44), 44},
        // start 1636: moved down to 1536, the text gains 100 bytes.
        PlaceCase{"snapDown", {.fcMac = 1174, .ccpText = 50}, {{1536, Paragraph(150, 'y')}}, 1, Paragraph(150, 'y'), 150},
        // Neither probe at 2048 matches; 512 is not it, 1024 is.
        PlaceCase{"boundaryProbe",
                  {.fcMac = 1536 + 40, .ccpText = 40},
                  {{512 + 39, "x"}, {1024, Paragraph(40, 'b')}},
                  1,
                  Paragraph(40, 'b'),
                  40},
        PlaceCase{"startBeyondFile", {.fcMac = 900000, .ccpText = 10}, {}, 0, "", 0},
        PlaceCase{"noTextLength", {.fcMac = 1124, .ccpText = 0}, {}, 0, "", 0},
        PlaceCase{"startZero", {.fcMac = 88, .ccpText = 600}, {}, 0, "", 0},
        PlaceCase{"noClosingMark", {.fcMac = 1124, .ccpText = 100}, {{1536, std::string(100, 'z')}}, 0, "", 0},
        // A count that the snap wraps below zero finds nothing and reads nothing.
        PlaceCase{"snapWrapsCount", {.fcMac = 1380, .ccpText = 100}, {{2048, "\r"}}, 0, "", 0}),
    [](const auto& info) { return std::string(info.param.name); });

// ccpText counts characters: a 16-bit text of 6 characters is 12 bytes,
// read and converted whole, accented letters included.
TEST(SixteenBitText, IsReadWholeAndConverted) {
    const std::u16string text = u"caf\u00e9 \u20ac\r";
    DocBuilder b;
    b.Header(0).FibAt(512, {.fcMac = 1024 + 7, .ccpText = 7}).Utf16At(1536, text).Pad(4096);
    OpenDoc doc = EngineOn(b.bytes());
    doc->ReadFib(512);
    ASSERT_EQ(doc->ExtractText(), 1);
    EXPECT_EQ(*doc->m_pszText, "caf\xE9 \x80\r"_b);
    EXPECT_EQ(doc->m_fib.ccpText, 7u);
    EXPECT_EQ(TheApp().m_nTextBufferSize, 8);
}

TEST(SixteenBitText, StopsAtTheFirstZeroUnit) {
    DocBuilder b;
    b.Header(0).FibAt(512, {.fcMac = 1024 + 5, .ccpText = 5}).Utf16At(1536, std::u16string_view(u"ab\0d\r", 5)).Pad(4096);
    OpenDoc doc = EngineOn(b.bytes());
    doc->ReadFib(512);
    ASSERT_EQ(doc->ExtractText(), 1);
    EXPECT_EQ(*doc->m_pszText, "ab");
    EXPECT_EQ(doc->m_fib.ccpText, 2u);
}

TEST(PublishedText, RawAndFilteredCopiesTakenAsRead) {
    ResetTheApp();
    const std::string text = "Caf\xE9\x07 tab\there\x0Bnext\x13 X\x15\r";
    OpenDoc doc = EngineOn(Simple({.text = text}).bytes());
    ASSERT_EQ(doc->RunFullPass(), 1);
    const CRecoveryApp& app = TheApp();
    ASSERT_EQ(app.m_nTextBufferSize, static_cast<int>(text.size() + 1));
    EXPECT_EQ(std::string(app.m_pszRawText.begin(), app.m_pszRawText.end() - 1), text);
    EXPECT_EQ(app.m_pszRawText.back(), 0);
    const std::string filtered(reinterpret_cast<const char*>(app.m_pszFilteredText.data()));
    EXPECT_EQ(filtered, "Caf\xE9\t tab\there\rnext X\r");
    EXPECT_EQ(app.m_pszFilteredText.size(), app.m_pszRawText.size());
}

struct HeaderFooterCase {
    const char* name;
    std::string bytes;  // ccpHdd is its length less one
    std::string header;
    std::string footer;
};

class HeaderFooter : public ::testing::TestWithParam<HeaderFooterCase> {};

TEST_P(HeaderFooter, TakesTheSegmentsBeforeEmptyParagraphs) {
    const HeaderFooterCase& c = GetParam();
    const std::string text = "Body\r";
    DocBuilder b;
    const auto hdd = static_cast<std::uint32_t>(c.bytes.size() - 1);
    // fcMac counts the header/footer text and one byte more.
    b.Header(0).FibAt(512, {.fcMac = static_cast<std::uint32_t>(1024 + text.size() + hdd + 1),
                            .ccpText = static_cast<std::uint32_t>(text.size()),
                            .ccpHdd = hdd});
    b.Put(1536, text).Put(1536 + text.size(), c.bytes);
    OpenDoc doc = EngineOn(b.bytes());
    doc->ReadFib(512);
    doc->ExtractHeaderFooter();
    ASSERT_TRUE(doc->m_pHeaderFooter);
    EXPECT_EQ(doc->m_pHeaderFooter->header, c.header);
    EXPECT_EQ(doc->m_pHeaderFooter->footer, c.footer);
    EXPECT_EQ(doc->m_pHeaderFooter->headerLength, c.header.size());
    EXPECT_EQ(doc->m_pHeaderFooter->footerLength, c.footer.size());
    EXPECT_EQ(doc->m_fib.fcMac, 1024 + text.size());
}

const std::string kLongHeader = std::string(700, 'H') + "\r";

INSTANTIATE_TEST_SUITE_P(
    Cases, HeaderFooter,
    ::testing::Values(HeaderFooterCase{"headerAndFooter", "Head\r\rFoot\r\r", "Head\r", "Foot\r"},
                      HeaderFooterCase{"footerOnly", "Foot\rx\r", "", "Foot\r"},
                      HeaderFooterCase{"leadingMarks", "\r\rHead\r\rFoot\r\r", "Head\r", "Foot\r"},
                      // Longer than the 500-byte area: read whole.
                      HeaderFooterCase{"longHeader", kLongHeader + "\rFoot\r\r", kLongHeader, "Foot\r"},
                      // The last mark is the file's last byte: nothing after it is read.
                      HeaderFooterCase{"endsAtFileEnd", std::string(600, 'F') + "\r", "", std::string(600, 'F') + "\r"},
                      HeaderFooterCase{"noClosingMark", "abcdef", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HeaderFooter, SingleMarkOnlyShortensTheText) {
    DocBuilder b;
    b.Header(0).FibAt(512, {.fcMac = 1030, .ccpText = 5, .ccpHdd = 1});
    OpenDoc doc = EngineOn(b.bytes());
    doc->ReadFib(512);
    doc->ExtractHeaderFooter();
    EXPECT_FALSE(doc->m_pHeaderFooter);
    EXPECT_EQ(doc->m_fib.fcMac, 1029u);
}

TEST(HeaderFooter, GarbledCountReadsNoMoreThanTheFile) {
    DocBuilder b;
    b.Header(0).FibAt(512, {.fcMac = 100, .ccpText = 5, .ccpHdd = 0xFFFFFF00u});
    OpenDoc doc = EngineOn(b.bytes());
    doc->ReadFib(512);
    doc->ExtractHeaderFooter();
    ASSERT_TRUE(doc->m_pHeaderFooter);
    EXPECT_FALSE(doc->m_pHeaderFooter->HasHeader());
    EXPECT_FALSE(doc->m_pHeaderFooter->HasFooter());
}

}  // namespace
