#include "platform/fileio.h"
#include "platform/fileops.h"
#include "tempdir/TempDir.h"

#include <gtest/gtest.h>

using testing_support::ReadAll;
using testing_support::TempDir;

TEST(Wildcards, MatchIgnoringCase) {
    struct Case {
        const char* name;
        const char* pattern;
        bool match;
    } cases[] = {
        {"REPORT.DOC", "*.doc", true},   {"report.doc", "*.DOC", true},  {"report.docx", "*.doc", false},
        {"~$temp.doc", "~$*.doc", true}, {"temp.doc", "~$*.doc", false}, {"a", "*.*", true},
        {"abc", "a?c", true},            {"ac", "a?c", false},           {"aaaaaaaaaaaaaaaaaaaaaaaab", "*a*a*a*a*a*c", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::MatchesWildcard(c.name, c.pattern), c.match) << c.name << " ~ " << c.pattern;
}

TEST(FileOps, FindListsMatchesWithTheirKind) {
    TempDir dir;
    dir.Write("a.doc", "1");
    dir.Write(".hidden.doc", "2");
    dir.Write("b.txt", "3");
    dir.Write("sub.doc/x", "4");
    auto found = platform::FindFiles(dir.program() + "\\*.DOC");
    std::sort(found.begin(), found.end(), [](auto& a, auto& b) { return a.name < b.name; });
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].name, ".hidden.doc");
    EXPECT_TRUE(found[0].hidden);
    EXPECT_EQ(found[1].name, "a.doc");
    EXPECT_FALSE(found[1].directory);
    EXPECT_TRUE(found[2].directory);
    EXPECT_TRUE(platform::FindFiles(dir.program() + "\\missing\\*.*").empty());
}

TEST(FileOps, CopyKeepsBytesAndRefusesWhatItMustNot) {
    TempDir dir;
    dir.Write("src.doc", "hello");
    ASSERT_TRUE(platform::CopyFile(dir.program("src.doc"), dir.program("dst.doc"), platform::Overwrite::No));
    EXPECT_EQ(ReadAll(dir.host() / "dst.doc"), ReadAll(dir.host() / "src.doc"));
    EXPECT_FALSE(platform::CopyFile(dir.program("src.doc"), dir.program("dst.doc"), platform::Overwrite::No));
    EXPECT_TRUE(platform::CopyFile(dir.program("src.doc"), dir.program("dst.doc"), platform::Overwrite::Yes));
    // Onto itself, from a folder, or from nothing: refused, the source intact.
    EXPECT_FALSE(platform::CopyFile(dir.program("src.doc"), dir.program("SRC.DOC"), platform::Overwrite::Yes));
    EXPECT_EQ(ReadAll(dir.host() / "src.doc").size(), 5u);
    EXPECT_FALSE(platform::CopyFile(dir.program(), dir.program("x.doc"), platform::Overwrite::Yes));
    EXPECT_FALSE(platform::CopyFile(dir.program("none.doc"), dir.program("x.doc"), platform::Overwrite::Yes));
    EXPECT_FALSE(platform::FileExists(dir.program("x.doc")));
}

TEST(FileOps, ReadOnlyAttributeOnAndOff) {
    TempDir dir;
    dir.Write("f.doc", "x");
    ASSERT_TRUE(platform::SetReadOnly(dir.program("f.doc"), platform::ReadOnly::On));
    EXPECT_TRUE(platform::GetFileAttributes(dir.program("f.doc")).readOnly);
    ASSERT_TRUE(platform::SetReadOnly(dir.program("f.doc"), platform::ReadOnly::Off));
    EXPECT_FALSE(platform::GetFileAttributes(dir.program("f.doc")).readOnly);
}

TEST(FileOps, WriteAtChangesOnlyTheGivenBytes) {
    TempDir dir;
    dir.Write("f.bin", "abcdefgh-rest");
    const std::uint8_t patch[] = {'X', 'Y'};
    ASSERT_TRUE(platform::WriteExistingFileAt(dir.program("f.bin"), 3, patch));
    const auto bytes = ReadAll(dir.host() / "f.bin");
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "abcXYfgh-rest");
    EXPECT_FALSE(platform::WriteExistingFileAt(dir.program("new.bin"), 0, patch));
    EXPECT_FALSE(platform::FileExists(dir.program("new.bin")));
}

TEST(LowLevelFile, SeeksAndReadsFixedCounts) {
    TempDir dir;
    dir.Write("f.bin", "0123456789");
    platform::LowLevelFile f;
    ASSERT_TRUE(f.OpenReadOnly(dir.program("F.BIN")));
    EXPECT_EQ(f.Length().value_or(0), 10u);
    std::uint8_t buf[4] = {};
    ASSERT_TRUE(f.Seek(8));
    EXPECT_EQ(f.Read(buf), 2u);
    ASSERT_TRUE(f.Seek(100));
    EXPECT_EQ(f.Read(buf), 0u);
    f.Close();
    EXPECT_EQ(f.Read(buf), 0u);
    EXPECT_FALSE(f.OpenReadOnly(dir.program()));  // a folder is not a source
}

TEST(FreeSpace, QueryCanBeReplacedInTests) {
    TempDir dir;
    EXPECT_TRUE(platform::GetDiskFreeSpaceEx(dir.program()).has_value());
    {
        platform::ScopedFreeSpaceOverride fake([](const QString&) { return std::optional<std::uint64_t>(42); });
        EXPECT_EQ(platform::GetDiskFreeSpaceEx(dir.program()), 42u);
    }
    EXPECT_NE(platform::GetDiskFreeSpaceEx(dir.program()), std::optional<std::uint64_t>(42));
}
