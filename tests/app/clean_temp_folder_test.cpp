#include "app/RecoveryApp.h"
#include "tempdir/TempDir.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using testing_support::TempDir;

namespace {
// The three nested work folders inside a temporary folder, with files in
// the innermost one and a subfolder that cannot be deleted as a file.
struct WorkFolders {
    explicit WorkFolders(const TempDir& dir) {
        inner = dir.host() / kWorkFolderNames[0] / kWorkFolderNames[1] / kWorkFolderNames[2];
        fs::create_directories(inner);
        dir.Write(fs::relative(inner / "~$temp__1.DOC", dir.host()).string(), "a");
        dir.Write(fs::relative(inner / "temp.gif", dir.host()).string(), "b");
        program = dir.program(fs::relative(inner, dir.host()).string());
    }
    fs::path inner;
    QString program;
};
}  // namespace

TEST(CleanTempFolder, DeletesTheFilesAndKeepsTheFolders) {
    TempDir dir;
    WorkFolders work(dir);
    ResetTheApp();
    TheApp().m_strTempFolder = work.program;
    TheApp().CleanTempFolder();
    EXPECT_TRUE(fs::is_directory(work.inner));
    EXPECT_TRUE(fs::is_empty(work.inner));
    EXPECT_EQ(TheApp().m_strTempFolder, work.program);
}

TEST(CleanTempFolder, RemovesTheThreeFoldersInnermostFirst) {
    TempDir dir;
    WorkFolders work(dir);
    ResetTheApp();
    TheApp().m_strTempFolder = work.program;
    TheApp().m_bRemoveTempFolders = TRUE;
    TheApp().CleanTempFolder();
    EXPECT_FALSE(fs::exists(dir.host() / kWorkFolderNames[0]));
    EXPECT_EQ(TheApp().m_strTempFolder, dir.program(kWorkFolderNames[0]));
}

TEST(CleanTempFolder, StopsAtTheFirstFolderThatStays) {
    TempDir dir;
    WorkFolders work(dir);
    fs::create_directory(work.inner / "stuck");  // not a file: stays, and keeps its folder
    ResetTheApp();
    TheApp().m_strTempFolder = work.program;
    TheApp().m_bRemoveTempFolders = TRUE;
    TheApp().CleanTempFolder();
    EXPECT_TRUE(fs::exists(work.inner / "stuck"));
    EXPECT_FALSE(fs::exists(work.inner / "temp.gif"));
    EXPECT_EQ(TheApp().m_strTempFolder, work.program);
}
