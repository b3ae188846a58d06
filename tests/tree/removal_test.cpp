#include "TreeFixture.h"

using namespace tree_test;

TEST_F(TreeTest, RemoveTakesTickedFilesAndEmptiedFoldersAndKeepsUntickedOnes) {
    HTREEITEM all = AddFolder("D:\\ALL", {"A.DOC", "B.DOC"});
    HTREEITEM some = AddFolder("D:\\SOME", {"C.DOC", "D.DOC", "E.DOC"});
    AddFolder("D:\\NONE", {"F.DOC"});
    Tick(all);
    Tick(Child(some, 0));
    Tick(Child(some, 2));
    TheApp().m_strProgramFolder = "C:\\PROG\\";
    TheApp().m_strPreviewedPath = "D:\\ALL\\A.DOC";
    view.RemoveTickedItems();
    EXPECT_EQ(tree.Dump(), "WORD FILES[1]{D:\\SOME[1]{D.DOC[1]} D:\\NONE[1]{F.DOC[1]}}");
    EXPECT_EQ(frame.navigations, QStringList({"about:", "C:\\PROG\\first.htm"}));
    EXPECT_TRUE(TheApp().m_strPreviewedPath.isEmpty());
    EXPECT_EQ(frame.paths.last(), "");
}

TEST_F(TreeTest, RemovingEverythingLeavesTheRootAloneUnticked) {
    AddFolder("D:\\DOCS", {"A.DOC"});
    Tick(view.m_hRoot);
    view.RemoveTickedItems();
    EXPECT_EQ(tree.Dump(), "WORD FILES[1]");
}

TEST_F(TreeTest, RemovedFileLosesItsKeptPreviewAndOnlyThat) {
    HTREEITEM f = AddFolder(dir.program().toUpper(), {"A.DOC", "B.DOC"});
    const QString keptA = dir.program("TEMP/~$temp_1_1.DOC");
    const QString keptB = dir.program("TEMP/~$temp_2_2.DOC");
    dir.Write("TEMP/~$temp_1_1.DOC", "p");
    dir.Write("TEMP/~$temp_2_2.DOC", "p");
    for (const auto& [name, file] : {std::pair{QStringLiteral("A.DOC"), keptA}, std::pair{QStringLiteral("B.DOC"), keptB}}) {
        TheApp().m_strSourcePath = tree.GetItemText(f) + "\\" + name;
        TheApp().m_strWordOutputPath = file;
        view.AddPreviewRecord();
    }
    Tick(Child(f, 0));
    view.RemoveTickedItems();
    EXPECT_FALSE(platform::FileExists(keptA));
    EXPECT_TRUE(platform::FileExists(keptB));
    ASSERT_EQ(view.Previews().size(), 1u);
    EXPECT_EQ(view.Previews().front().pszSource, tree.GetItemText(f) + "\\B.DOC");
}
