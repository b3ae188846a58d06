#include "TreeFixture.h"

#include <filesystem>

using namespace tree_test;
namespace fs = std::filesystem;

namespace {

class ScanTest : public TreeTest {
protected:
    void Touch(const std::string& relative) {
        fs::create_directories((dir.host() / relative).parent_path());
        dir.Write(relative, "x");
    }
    void ScanAsAddFolder(const QString& folder) {
        CRecoveryApp& app = TheApp();
        app.m_bScanFolder = TRUE;
        app.m_bScanSubfolders = FALSE;
        app.m_bAddSingleFile = FALSE;
        view.RemoveListedFolder(folder);
        view.ScanFolder(folder);
    }
    void ScanAsDrive(const QString& drive) {
        CRecoveryApp& app = TheApp();
        app.m_bScanFolder = TRUE;
        app.m_bScanSubfolders = TRUE;
        app.m_bAddSingleFile = FALSE;
        app.m_bBuildingTree = TRUE;
        frame.ReplaceProgressBar(QStringLiteral("Progress"));
        view.ScanFolder(drive);
    }
    QString Root() const { return dir.program().toUpper(); }
};

class DriveD {
public:
    explicit DriveD(const fs::path& root) {
        ::setenv("TESSALY_DRIVES", ("C:=/,D:=" + root.string()).c_str(), 1);
        platform::ReloadDrives();
    }
    ~DriveD() {
        ::unsetenv("TESSALY_DRIVES");
        platform::ReloadDrives();
    }
};

}  // namespace

TEST_F(ScanTest, AddFolderListsItsDocFilesOnlyUnderOneUpperCaseItem) {
    Touch("docs/report.doc");
    Touch("docs/Notes.DOC");
    Touch("docs/readme.txt");
    Touch("docs/sub/deeper.doc");
    ScanAsAddFolder(dir.program("docs"));
    ASSERT_EQ(view.FileItems().size(), 2u);
    HTREEITEM f = Child(view.m_hRoot, 0);
    EXPECT_EQ(tree.GetItemText(f), Root() + "\\DOCS");
    EXPECT_EQ(tree.Image(f), 0);
    EXPECT_EQ(tree.SelectedImage(f), 1);
    QStringList names;
    for (HTREEITEM g : view.FileItems()) {
        names << tree.GetItemText(g);
        EXPECT_EQ(tree.GetTickState(g), TICK_UNTICKED);
        EXPECT_EQ(tree.Image(g), 2);
    }
    names.sort();
    EXPECT_EQ(names, QStringList({"NOTES.DOC", "REPORT.DOC"}));
}

TEST_F(ScanTest, AddFileUnderAListedFolderAndItsDuplicate) {
    Touch("docs/a.doc");
    ScanAsAddFolder(dir.program("docs"));
    const QString folder = Root() + "\\DOCS";
    EXPECT_FALSE(view.AddFileToListedFolder(folder, "B.DOC"));
    EXPECT_EQ(view.m_bFolderFound, 1);
    EXPECT_EQ(tree.Dump(), "WORD FILES[1]{" + folder + "[1]{A.DOC[1] B.DOC[1]}}");
    EXPECT_TRUE(view.AddFileToListedFolder(folder, "B.DOC"));
    EXPECT_EQ(tree.Dump(), "WORD FILES[1]{" + folder + "[1]{A.DOC[1] B.DOC[1]}}");
    EXPECT_FALSE(view.AddFileToListedFolder(Root() + "\\OTHER", "C.DOC"));
    EXPECT_EQ(view.m_bFolderFound, 0);
}

TEST_F(ScanTest, AddFileOfAnUnlistedFolderMakesItsFolderItemAndSortsFolders) {
    Touch("b/one.doc");
    ScanAsAddFolder(dir.program("b"));
    CRecoveryApp& app = TheApp();
    app.m_strItemFolder = dir.program("a");
    app.m_bScanFolder = FALSE;
    app.m_bAddSingleFile = TRUE;
    view.ScanFolder("two.doc");
    EXPECT_EQ(tree.Dump(), "WORD FILES[1]{" + Root() + "\\A[1]{TWO.DOC[1]} " + Root() + "\\B[1]{ONE.DOC[1]}}");
}

TEST_F(ScanTest, ReaddedFolderIsListedAfreshAndUnticked) {
    Touch("docs/a.doc");
    ScanAsAddFolder(dir.program("docs"));
    Tick(view.m_hRoot);
    Touch("docs/b.doc");
    ScanAsAddFolder(dir.program("docs"));
    EXPECT_EQ(view.m_bFolderFound, 1);
    ASSERT_EQ(tree.GetChildItem(view.m_hRoot), Child(view.m_hRoot, 0));
    EXPECT_EQ(Child(view.m_hRoot, 1), nullptr);
    EXPECT_EQ(view.FileItems().size(), 2u);
    for (HTREEITEM g : view.FileItems())
        EXPECT_EQ(tree.GetTickState(g), TICK_UNTICKED);
    EXPECT_EQ(tree.GetTickState(Child(view.m_hRoot, 0)), TICK_UNTICKED);
}

TEST_F(ScanTest, HiddenFilesAreNeverListedAndDoNotHideTheirSiblings) {
    Touch("owneronly/.~owner.doc");
    Touch("mixed/.~owner.doc");
    Touch("mixed/visible.doc");
    ScanAsAddFolder(dir.program("owneronly"));
    EXPECT_EQ(tree.Dump(), "WORD FILES[1]");
    ScanAsAddFolder(dir.program("mixed"));
    EXPECT_EQ(tree.Dump(), "WORD FILES[1]{" + Root() + "\\MIXED[1]{VISIBLE.DOC[1]}}");
}

TEST_F(ScanTest, DriveScanListsEveryFolderWithDocsFlatSkipsHiddenFoldersAndNamesTheRootByItsLetter) {
    Touch("top.doc");
    Touch("x/y/deep.doc");
    Touch("x/nodocs.txt");
    Touch(".hidden/secret.doc");
    DriveD drive(dir.host());
    ScanAsDrive("D:");
    EXPECT_EQ(tree.Dump(), "WORD FILES[1]{D:[1]{TOP.DOC[1]} D:\\X\\Y[1]{DEEP.DOC[1]}}");
    EXPECT_GE(frame.m_pProgressBar->Pos(), 1);
}

TEST_F(ScanTest, StopDuringADriveScanKeepsTheFoldersListedSoFarSorted) {
    Touch("b/1.doc");
    Touch("b/2.doc");
    Touch("a/1.doc");
    Touch("c/1.doc");
    DriveD drive(dir.host());
    // Stop is clicked while the second folder's files are listed.
    int listed = 0;
    frame.onPump = [&](int) {
        if (++listed == 2 && TheApp().m_bStop == FALSE)
            TheApp().m_bStop = TRUE;
    };
    ScanAsDrive("D:");
    EXPECT_EQ(frame.m_pProgressBar, nullptr);
    const auto folders = [&] {
        QStringList names;
        for (HTREEITEM f = tree.GetChildItem(view.m_hRoot); f; f = tree.GetNextSiblingItem(f))
            names << tree.GetItemText(f);
        return names;
    }();
    ASSERT_FALSE(folders.isEmpty());
    EXPECT_LT(folders.size(), 3);
    QStringList sorted = folders;
    sorted.sort();
    EXPECT_EQ(folders, sorted);
}

TEST_F(ScanTest, AFolderThatCannotBeSearchedYieldsNothing) {
    ScanAsAddFolder(dir.program("missing"));
    EXPECT_EQ(tree.Dump(), "WORD FILES[1]");
}
