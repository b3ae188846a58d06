#include "engine/text/CompoundFile.h"

#include "CfbBuilder.h"

#include <gtest/gtest.h>

using doctext::CompoundFile;
using testcfb::Ascii;
using testcfb::Bytes;
using testcfb::CfbBuilder;

namespace {

Bytes Pattern(std::size_t n, std::uint8_t seed) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i)
        b[i] = static_cast<std::uint8_t>(seed + i * 7);
    return b;
}

struct Sample {
    Bytes file;
    Bytes big = Pattern(5000, 1);
    Bytes small = Ascii("a small stream that lives in the mini stream");
    CfbBuilder builder;
    explicit Sample(testcfb::Layout layout = {}) {
        builder.Add(u"WordDocument", big);
        builder.Add(u"1Table", small);
        file = builder.Build(layout);
    }
};

}  // namespace

TEST(CompoundFile, ReadsRegularAndMiniStreamsByNameIgnoringCase) {
    for (const bool difat : {false, true}) {
        SCOPED_TRACE(difat ? "FAT named by a DIFAT sector" : "FAT named by the header");
        Sample s(testcfb::Layout{difat});
        const auto cf = CompoundFile::Parse(s.file);
        EXPECT_TRUE(cf.HeaderSane());
        const auto* wd = cf.Find(u"worddocument");
        ASSERT_NE(wd, nullptr);
        EXPECT_EQ(cf.ReadStream(*wd), s.big);
        const auto* table = cf.Find(u"1TABLE");
        ASSERT_NE(table, nullptr);
        EXPECT_EQ(cf.ReadStream(*table), s.small);
        EXPECT_EQ(cf.Find(u"0Table"), nullptr);
        EXPECT_TRUE(cf.Defects().empty()) << cf.Defects().front();
    }
}

TEST(CompoundFile, DocumentStartingAfterLeadingBytesIsReadRelativeToItsStart) {
    Sample s;
    Bytes file(1000 + s.file.size(), 0x5A);
    std::copy(s.file.begin(), s.file.end(), file.begin() + 1000);
    const auto cf = CompoundFile::Parse(file, 1000);
    const auto* wd = cf.Find(u"WordDocument");
    ASSERT_NE(wd, nullptr);
    EXPECT_EQ(cf.ReadStream(*wd), s.big);
    const auto ranges = cf.StreamRanges(*wd);
    ASSERT_EQ(ranges.size(), 1u);
    EXPECT_EQ(ranges[0].begin, 1000 + (s.builder.startSectors[0] + 1) * 512u);
}

TEST(CompoundFile, LoopingChainEndsAndIsRecorded) {
    Sample s;
    // Let the stream's second sector point back at its first.
    const std::uint32_t first = s.builder.startSectors[0];
    testcfb::Put32(s.file, 512 * (s.builder.fatSector + 1) + 4 * (first + 1), first);
    const auto cf = CompoundFile::Parse(s.file);
    const auto* wd = cf.Find(u"WordDocument");
    ASSERT_NE(wd, nullptr);
    const auto bytes = cf.ReadStream(*wd);
    ASSERT_TRUE(bytes);
    // The loop is cut, the rest is taken from the sectors that follow.
    EXPECT_EQ(*bytes, s.big);
    EXPECT_FALSE(cf.Defects().empty());
}

TEST(CompoundFile, DestroyedFatStillGivesDirectoryAndContiguousStreams) {
    Sample s;
    std::fill(s.file.begin() + 512 * (s.builder.fatSector + 1), s.file.begin() + 512 * (s.builder.fatSector + 2), 0xFF);
    const auto cf = CompoundFile::Parse(s.file);
    const auto* wd = cf.Find(u"WordDocument");
    ASSERT_NE(wd, nullptr);
    EXPECT_EQ(cf.ReadStream(*wd), s.big);
    EXPECT_FALSE(cf.Defects().empty());
}

TEST(CompoundFile, GarbageNeverReadsOutsideTheBuffer) {
    // Sector numbers, counts and sizes far beyond the file.
    Sample s;
    for (std::size_t at : {44u, 48u, 60u, 64u, 68u, 72u, 76u})
        testcfb::Put32(s.file, at, 0x7FFFFFF0);
    const auto cf = CompoundFile::Parse(s.file);
    EXPECT_FALSE(cf.Defects().empty());
    const Bytes tiny(100, 0);
    EXPECT_TRUE(CompoundFile::Parse(tiny).Entries().empty());
    EXPECT_TRUE(CompoundFile::Parse(tiny, 500).Entries().empty());
}

TEST(CompoundFile, ScanFindsStreamEntriesWithoutHeader) {
    Sample s;
    std::fill(s.file.begin(), s.file.begin() + 512, 0);
    const auto found = doctext::ScanDirectoryEntries(s.file, 0);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].name, u"WordDocument");
    EXPECT_EQ(found[1].name, u"1Table");
    EXPECT_EQ(found[0].startSector, s.builder.startSectors[0]);
}

TEST(CompoundFile, RegularAndMiniStreamsSurviveALostHeaderOrFat) {
    // Random bytes, as a damaged disk leaves them: a FAT sector full of them
    // must not send chains anywhere, and a header full of them leaves the
    // FAT, the directory and the mini-FAT to be found by their shape.
    auto noise = [](Bytes& file, std::size_t at) {
        std::uint32_t x = 2463534242u;
        for (std::size_t i = at; i < at + 512 && i < file.size(); ++i) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            file[i] = static_cast<std::uint8_t>(x);
        }
    };
    for (const char* damage : {"header", "FAT"}) {
        SCOPED_TRACE(damage);
        Sample s;
        noise(s.file, std::string(damage) == "header" ? 0 : 512 * (s.builder.fatSector + 1));
        const auto cf = CompoundFile::Parse(s.file);
        const auto* wd = cf.Find(u"WordDocument");
        const auto* table = cf.Find(u"1Table");
        ASSERT_NE(wd, nullptr);
        ASSERT_NE(table, nullptr);
        EXPECT_EQ(cf.ReadStream(*wd), s.big);
        EXPECT_EQ(cf.ReadStream(*table), s.small);
    }
}
