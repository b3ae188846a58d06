// The compound-file header and the directory's root entry.
#include "DocBuilder.h"

#include <gtest/gtest.h>

using namespace testdoc;

namespace {

struct RootCase {
    const char* name;
    std::u16string entryName;
    bool atDirectoryStart;
    bool recognised;
};

class RootEntry : public ::testing::TestWithParam<RootCase> {};

TEST_P(RootEntry, IsRecognisedOnlyByExactNameAtTheDirectoryStart) {
    const RootCase& c = GetParam();
    const std::int64_t directory = 2048;  // (sectDirStart 3 + 1) * 512
    const std::int64_t offset = c.atDirectoryStart ? directory : directory + 512;
    DocBuilder b;
    b.Header(3).EntryAt(static_cast<std::size_t>(offset), c.entryName);
    OpenDoc doc = EngineOn(b.bytes());
    ASSERT_TRUE(doc.engine);
    doc->ReadCompoundHeader();
    EXPECT_EQ(doc->m_header.sectDirStart, 3u);
    EXPECT_EQ(doc->ReadDirectoryEntry(doc->m_aDirEntries[0], offset), c.recognised ? 1 : 0);
    EXPECT_EQ(doc->m_bRootFound, c.recognised ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Names, RootEntry,
                         ::testing::Values(RootCase{"exact", u"Root Entry", true, true},
                                           RootCase{"lowerCase", u"root entry", true, false},
                                           RootCase{"longer", u"Root Entry2", true, false},
                                           RootCase{"elsewhere", u"Root Entry", false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FullPassDirectory, FillsAllSixRecordsWhenTheRootIsFound) {
    // Sector shift 12 is ignored: sectors are 512 bytes.
    DocBuilder b = Simple({.text = "Text.\r"});
    b.Header(kDirSector, 12);
    b.EntryAt((kDirSector + 1) * 512 + 5 * 128, u"Fifth", 77, 88);
    OpenDoc doc = EngineOn(b.bytes());
    ASSERT_EQ(doc->RunFullPass(), 1);
    EXPECT_EQ(doc->m_bRootFound, 1);
    EXPECT_EQ(doc->m_aDirEntries[1].startSector, kPictureSector);
    EXPECT_EQ(doc->m_aDirEntries[5].startSector, 77u);
    EXPECT_EQ(doc->m_aDirEntries[5].streamSize, 88u);
}

TEST(FullPassDirectory, LeavesTheOtherRecordsAloneWithoutRoot) {
    OpenDoc doc = EngineOn(Simple({.text = "Text.\r", .rootName = u"Garbage"}).bytes());
    ASSERT_EQ(doc->RunFullPass(), 1);
    EXPECT_EQ(doc->m_bRootFound, 0);
    EXPECT_EQ(doc->m_aDirEntries[1].startSector, 0u);
}

TEST(CompoundHeader, ShortFileReadsAsZeros) {
    OpenDoc doc = EngineOn(Bytes{0xD0, 0xCF, 0x11});
    doc->ReadCompoundHeader();
    EXPECT_EQ(doc->m_header.sectDirStart, 0u);
    EXPECT_EQ(doc->m_header.signature[0], 0xD0);
    EXPECT_EQ(doc->m_header.signature[3], 0);
}

}  // namespace
