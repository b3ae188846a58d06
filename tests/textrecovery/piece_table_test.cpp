#include "engine/text/PieceTable.h"
#include "engine/text/TextStrategies.h"

#include "WordDocBuilder.h"

#include <gtest/gtest.h>

using namespace doctext;
using testcfb::Bytes;

TEST(PieceTable, AssemblesPiecesInTextOrderWhateverTheirStorageOrder) {
    // 8-bit with Windows-1252 punctuation, then 16-bit with a Latin-1
    // letter and a character Windows-1252 lacks, then 8-bit again.
    const auto parts = testcfb::MakeWordParts({{u"Caf\u0093first\u0094 ", true},
                                               {u"caf\u00E9 \u0416 second ", false},
                                               {u"third\r", true}});
    const auto clx = std::span<const std::uint8_t>(parts.table).subspan(16);
    const auto table = ParseClx(clx);
    ASSERT_TRUE(table.error.empty()) << table.error;
    ASSERT_EQ(table.pieces.size(), 3u);
    const auto text = AssembleText(parts.wordDocument, table.pieces, 31);
    ASSERT_TRUE(text.error.empty()) << text.error;
    EXPECT_EQ(text.text, "Caf\x93" "first\x94 caf\xE9 ? second third\r");
    EXPECT_TRUE(text.any8Bit);
    EXPECT_TRUE(text.any16Bit);
    // Only the first ccpText characters are the main text.
    EXPECT_EQ(AssembleText(parts.wordDocument, table.pieces, 9).text, "Caf\x93" "first");
}

TEST(PieceTable, RefusesDamagedTables) {
    const auto parts = testcfb::MakeWordParts({{u"one ", true}, {u"two\r", true}});
    const Bytes good(parts.table.begin() + 16, parts.table.begin() + 16 + 6 + 5 + 28);
    struct Case {
        const char* name;
        std::size_t at;
        std::uint8_t value;
    } cases[] = {
        {"unknown entry type", 0, 0x07},
        {"property entry running past the end", 1, 0xF0},
        {"descriptor length past the end", 7, 0xFF},
        {"first position not 0", 11, 1},
        {"positions not increasing", 15, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes clx = good;
        clx[c.at] = c.value;
        if (c.at == 15)
            clx[16] = 0;  // second position 0 too
        EXPECT_FALSE(ParseClx(clx).error.empty());
    }
    EXPECT_TRUE(ParseClx(good).error.empty());
    EXPECT_FALSE(ParseClx({}).error.empty());
}

TEST(PieceTable, PieceOutsideTheStreamOrTooFewCharactersFail) {
    const auto parts = testcfb::MakeWordParts({{u"one ", true}, {u"two\r", false}});
    auto table = ParseClx(std::span<const std::uint8_t>(parts.table).subspan(16));
    ASSERT_TRUE(table.error.empty());
    EXPECT_FALSE(AssembleText(parts.wordDocument, table.pieces, 9).error.empty());
    table.pieces[1].fc = 0xFFFFFFF0;
    EXPECT_FALSE(AssembleText(parts.wordDocument, table.pieces, 8).error.empty());
}

namespace {

struct BuiltDoc {
    Bytes file;
    std::uint64_t fibOffset = 0;
};

BuiltDoc BuildDoc(const std::vector<testcfb::PieceSpec>& pieces, std::uint16_t flags = 0x0200) {
    const auto parts = testcfb::MakeWordParts(pieces, flags);
    testcfb::CfbBuilder b;
    b.Add(u"WordDocument", parts.wordDocument);
    b.Add((flags & 0x0200) ? u"1Table" : u"0Table", parts.table);
    BuiltDoc doc;
    doc.file = b.Build();
    doc.fibOffset = (b.startSectors[0] + 1) * 512u;
    return doc;
}

}  // namespace

TEST(TextFinder, PieceTableThroughTheTableStreamTheFibNames) {
    for (const std::uint16_t flags : {std::uint16_t{0x0200}, std::uint16_t{0x0000}}) {
        SCOPED_TRACE(flags ? "1Table" : "0Table");
        const auto doc = BuildDoc({{u"Hello ", true}, {u"wide world\r", false}}, flags);
        TextFinder finder(doc.file, {});
        std::string why;
        const auto found = finder.FromPieceTable(doc.fibOffset, &why);
        ASSERT_TRUE(found) << why;
        EXPECT_EQ(found->text, "Hello wide world\r");
        EXPECT_EQ(found->source, TextSource::PieceTable);
        // The same through the directory alone.
        const auto viaDirectory = finder.FromPieceTable(std::nullopt, &why);
        ASSERT_TRUE(viaDirectory) << why;
        EXPECT_EQ(viaDirectory->text, found->text);
    }
}

TEST(TextFinder, TableStreamFoundFromKnownEntriesWhenTheDirectoryIsGone) {
    const auto parts = testcfb::MakeWordParts({{u"kept text\r", true}});
    testcfb::CfbBuilder b;
    b.Add(u"WordDocument", parts.wordDocument);
    b.Add(u"1Table", parts.table);
    Bytes file = b.Build();
    const std::uint64_t fibOffset = (b.startSectors[0] + 1) * 512u;
    // Destroy header and directory; hand over the entry another reader kept.
    std::fill(file.begin(), file.begin() + 512, 0);
    std::fill(file.begin() + 512 * (b.dirSector + 1), file.begin() + 512 * (b.dirSector + 2), 0);
    CfbEntry known;
    known.name = u"1Table";
    known.objectType = 2;
    known.startSector = b.startSectors[1];
    known.streamSize = parts.table.size();
    {
        // Without it the Clx is still found at fcClx on a sector boundary.
        TextFinder finder(file, {});
        const auto found = finder.FromPieceTable(fibOffset);
        ASSERT_TRUE(found);
        EXPECT_EQ(found->text, "kept text\r");
        EXPECT_NE(found->detail.find("sector boundary"), std::string::npos) << found->detail;
    }
    TextFinder finder(file, {known});
    std::string why;
    const auto found = finder.FromPieceTable(fibOffset, &why);
    ASSERT_TRUE(found) << why;
    EXPECT_EQ(found->text, "kept text\r");
    EXPECT_NE(found->detail.find("table stream 1Table"), std::string::npos) << found->detail;
}

TEST(TextFinder, InsaneFibsAreRefused) {
    struct Case {
        const char* name;
        std::size_t at;
        std::uint32_t value;
    } cases[] = {
        {"wrong identifier", 0, 0x1234},
        {"encrypted", 10, 0x0300},
        {"no text", 76, 0},
        {"text longer than the stream", 76, 0x7FFFFFFF},
        {"too few fc/lcb pairs", 152, 20},
        {"Clx beyond the table stream", 418, 0x00FFFFFF},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto doc = BuildDoc({{u"some text\r", true}});
        if (c.at == 10 || c.at == 0 || c.at == 152)
            testcfb::Put16(doc.file, doc.fibOffset + c.at, static_cast<std::uint16_t>(c.value));
        else
            testcfb::Put32(doc.file, doc.fibOffset + c.at, c.value);
        TextFinder finder(doc.file, {});
        std::string why;
        EXPECT_FALSE(finder.FromPieceTable(doc.fibOffset, &why));
        EXPECT_FALSE(why.empty());
    }
}

TEST(TextFinder, DestroyedFibLeavesThePieceTableToTheSearchOfTheTableStream) {
    auto doc = BuildDoc({{u"Hello ", true}, {u"wide world\r", false}});
    std::fill(doc.file.begin() + static_cast<std::ptrdiff_t>(doc.fibOffset),
              doc.file.begin() + static_cast<std::ptrdiff_t>(doc.fibOffset) + 512, 0);
    TextFinder finder(doc.file, {});
    EXPECT_FALSE(finder.FromPieceTable(doc.fibOffset));
    const auto found = finder.ByCarving();
    ASSERT_TRUE(found);
    EXPECT_EQ(found->source, TextSource::Carved);
    EXPECT_EQ(found->text, "Hello wide world\r");
}

TEST(TextFinder, FibOutsideTheDirectorysDocumentStreamIsNotUsed) {
    // A second, foreign FIB (as an embedded document's) in another stream.
    const auto own = testcfb::MakeWordParts({{u"own text\r", true}});
    const auto foreign = testcfb::MakeWordParts({{u"foreign text\r", true}});
    testcfb::CfbBuilder b;
    b.Add(u"WordDocument", own.wordDocument);
    b.Add(u"1Table", own.table);
    b.Add(u"Other", foreign.wordDocument);
    Bytes file = b.Build();
    const std::size_t ownFib = (b.startSectors[0] + 1) * 512u, foreignFib = (b.startSectors[2] + 1) * 512u;
    std::fill(file.begin() + static_cast<std::ptrdiff_t>(ownFib), file.begin() + static_cast<std::ptrdiff_t>(ownFib) + 512, 0);
    TextFinder finder(file, {});
    EXPECT_TRUE(finder.FibOutsideDocumentStream(foreignFib));
    EXPECT_FALSE(finder.FibOutsideDocumentStream(ownFib));
    EXPECT_FALSE(finder.FromStreamStart(foreignFib));
    EXPECT_FALSE(finder.FromPieceTable(foreignFib));
}
