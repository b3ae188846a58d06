#include "platform/paths.h"
#include "tempdir/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>

namespace fs = std::filesystem;
using testing_support::TempDir;

namespace {

// Points D: at a temporary folder for the test's lifetime.
class DriveD {
public:
    explicit DriveD(const fs::path& root) {
        const std::string table = "C:=/,D:=" + root.string();
        ::setenv("TESSALY_DRIVES", table.c_str(), 1);
        platform::ReloadDrives();
    }
    ~DriveD() {
        ::unsetenv("TESSALY_DRIVES");
        platform::ReloadDrives();
    }
};

}  // namespace

TEST(ProgramPaths, ResolvesEachComponentIgnoringCase) {
    TempDir dir;
    dir.Write("Docs/Report.doc", "x");
    DriveD d(dir.host());

    struct Case {
        const char* program;
        fs::path expected;
    } cases[] = {
        {"D:\\DOCS\\REPORT.DOC", dir.host() / "Docs/Report.doc"},
        {"d:\\docs\\report.doc", dir.host() / "Docs/Report.doc"},
        {"D:/Docs/Report.doc", dir.host() / "Docs/Report.doc"},
        // A new file keeps the case it was given, below the resolved folder.
        {"D:\\DOCS\\Recovered_New.DOC", dir.host() / "Docs/Recovered_New.DOC"},
        {"D:\\NEW\\Sub\\x.doc", dir.host() / "NEW/Sub/x.doc"},
        // A drive root written without its backslash.
        {"D:", dir.host()},
        {"D:\\", dir.host()},
        {"D:\\DOCS\\..\\DOCS\\.\\REPORT.DOC", dir.host() / "Docs/Report.doc"},
    };
    for (const auto& c : cases) {
        const auto host = platform::ToHostPath(c.program);
        ASSERT_TRUE(host) << c.program;
        EXPECT_EQ(host->lexically_normal(), c.expected.lexically_normal()) << c.program;
    }
    EXPECT_FALSE(platform::ToHostPath("Q:\\x"));
}

TEST(ProgramPaths, HostPathsMapBackOnTheLongestDriveRoot) {
    TempDir dir;
    DriveD d(dir.host());
    EXPECT_EQ(platform::ToProgramPath(dir.host() / "Docs" / "a.doc"), "D:\\Docs\\a.doc");
    EXPECT_EQ(platform::ToProgramPath(dir.host()), "D:\\");
    EXPECT_EQ(platform::ToProgramPath("/etc/hosts"), "C:\\etc\\hosts");
    EXPECT_EQ(platform::GetLogicalDrives(), (1u << 2) | (1u << 3));
}

TEST(ProgramPaths, HiddenMeansALeadingDot) {
    EXPECT_TRUE(platform::IsHiddenName(".cache"));
    EXPECT_FALSE(platform::IsHiddenName("a.doc"));
    EXPECT_FALSE(platform::IsHiddenName(""));
}

TEST(ProgramPaths, TempPathIsPrivateToTheUser) {
    TempDir dir;
    ::setenv("TMPDIR", dir.host().c_str(), 1);
    const QString temp = platform::GetTempPath();
    ::unsetenv("TMPDIR");
    ASSERT_FALSE(temp.isEmpty());
    EXPECT_TRUE(temp.endsWith('\\'));
    const auto host = platform::ToHostPath(temp);
    ASSERT_TRUE(host);
    struct stat st {};
    ASSERT_EQ(::stat(host->c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    // A link planted in its place is refused.
    const fs::path planted = dir.host() / "planted";
    fs::create_directory(planted);
    fs::remove(*host);
    fs::create_directory_symlink(planted, *host);
    ::setenv("TMPDIR", dir.host().c_str(), 1);
    EXPECT_TRUE(platform::GetTempPath().isEmpty());
    ::unsetenv("TMPDIR");
}
