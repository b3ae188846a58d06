#include "TreeFixture.h"

using namespace tree_test;

TEST_F(TreeTest, StartsWithTheRootAloneUnticked) {
    EXPECT_EQ(tree.Dump(), "WORD FILES[1]");
    EXPECT_EQ(view.m_hCurrentFolder, view.m_hRoot);
}

TEST_F(TreeTest, TickingTheOnlyFileOfTheOnlyFolderTicksFolderAndRootAndBack) {
    HTREEITEM f = AddFolder("D:\\DOCS", {"A.DOC"});
    Tick(Child(f, 0));
    EXPECT_EQ(tree.Dump(), "WORD FILES[2]{D:\\DOCS[2]{A.DOC[2]}}");
    view.m_nTickedCount = 0;
    EXPECT_EQ(view.CountTickedFiles(view.m_hRoot), 1);
    Tick(Child(f, 0));
    EXPECT_EQ(tree.Dump(), "WORD FILES[1]{D:\\DOCS[1]{A.DOC[1]}}");
}

TEST_F(TreeTest, OneOfTwoFilesMakesFolderAndRootPartial) {
    HTREEITEM f = AddFolder("D:\\DOCS", {"A.DOC", "B.DOC"});
    AddFolder("E:", {"C.DOC"});
    Tick(Child(f, 1));
    EXPECT_EQ(tree.Dump(), "WORD FILES[3]{D:\\DOCS[3]{A.DOC[1] B.DOC[2]} E:[1]{C.DOC[1]}}");
    EXPECT_FALSE(view.AllSiblingsTicked(Child(f, 0)));
    EXPECT_FALSE(view.AllSiblingsUnticked(Child(f, 0)));
    view.m_nTickedCount = 0;
    EXPECT_EQ(view.CountTickedFiles(view.m_hRoot), 1);
}

TEST_F(TreeTest, ClickOnAPartialFolderUnticksItAndItsFilesAndRecomputesTheRoot) {
    HTREEITEM f = AddFolder("D:\\DOCS", {"A.DOC", "B.DOC"});
    HTREEITEM e = AddFolder("E:", {"C.DOC"});
    Tick(Child(f, 0));
    Tick(e);
    EXPECT_EQ(tree.Dump(), "WORD FILES[3]{D:\\DOCS[3]{A.DOC[2] B.DOC[1]} E:[2]{C.DOC[2]}}");
    Tick(f);
    EXPECT_EQ(tree.Dump(), "WORD FILES[3]{D:\\DOCS[1]{A.DOC[1] B.DOC[1]} E:[2]{C.DOC[2]}}");
    EXPECT_TRUE(view.AllSiblingsUnticked(Child(f, 0)));
}

TEST_F(TreeTest, RootClickTicksAllThenUnticksAllAndDoesNothingOnAnEmptyTree) {
    EXPECT_EQ(view.OnLButtonDown(view.m_hRoot, HitPart::StateImage), DefaultProcessing::Skip);
    EXPECT_EQ(tree.Dump(), "WORD FILES[1]");

    HTREEITEM f = AddFolder("D:\\DOCS", {"A.DOC", "B.DOC"});
    Tick(view.m_hRoot);
    EXPECT_EQ(tree.Dump(), "WORD FILES[2]{D:\\DOCS[2]{A.DOC[2] B.DOC[2]}}");
    Tick(Child(f, 0));  // root now partial
    Tick(view.m_hRoot);
    EXPECT_EQ(tree.Dump(), "WORD FILES[1]{D:\\DOCS[1]{A.DOC[1] B.DOC[1]}}");
}

TEST_F(TreeTest, ClicksAreIgnoredWhileRunning) {
    HTREEITEM f = AddFolder("D:\\DOCS", {"A.DOC"});
    TheApp().m_bRunning = TRUE;
    EXPECT_EQ(view.OnLButtonDown(Child(f, 0), HitPart::StateImage), DefaultProcessing::Skip);
    EXPECT_FALSE(view.OnRButtonDown(Child(f, 0), HitPart::Label));
    tree.SelectItem(Child(f, 0));
    view.OnDblclk();
    EXPECT_EQ(tree.Dump(), "WORD FILES[1]{D:\\DOCS[1]{A.DOC[1]}}");
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_TRUE(frame.captions.isEmpty());
}

TEST_F(TreeTest, ContextMenuOnlyOnFileItems) {
    HTREEITEM f = AddFolder("D:\\DOCS", {"A.DOC"});
    struct Case { HTREEITEM item; HitPart hit; bool offered; };
    const Case cases[] = {
        {Child(f, 0), HitPart::Label, true},  {Child(f, 0), HitPart::Icon, true},
        {Child(f, 0), HitPart::RightOfLabel, false}, {f, HitPart::Label, false},
        {view.m_hRoot, HitPart::Label, false}, {nullptr, HitPart::Nowhere, false},
    };
    for (const Case& c : cases) {
        TheApp().m_hContextItem = nullptr;
        EXPECT_EQ(view.OnRButtonDown(c.item, c.hit) != FALSE, c.offered);
        EXPECT_EQ(TheApp().m_hContextItem, c.offered ? c.item : nullptr);
    }
}

TEST_F(TreeTest, CountIsZeroWhileTheRootIsUnticked) {
    HTREEITEM f = AddFolder("D:\\DOCS", {"A.DOC"});
    tree.SetTickState(Child(f, 0), TICK_TICKED);
    tree.SetTickState(f, TICK_TICKED);
    view.m_nTickedCount = 0;
    EXPECT_EQ(view.CountTickedFiles(f), 0);
}

TEST_F(TreeTest, NormalizeUnticksFoldersWithoutTickedFiles) {
    HTREEITEM f = AddFolder("D:\\DOCS", {"A.DOC"});
    HTREEITEM e = AddFolder("E:", {"B.DOC"});
    Tick(Child(f, 0));
    tree.SetTickState(e, TICK_PARTIAL);  // stale state left by a removal
    view.NormalizeTicks();
    EXPECT_EQ(tree.Dump(), "WORD FILES[3]{D:\\DOCS[2]{A.DOC[2]} E:[1]{B.DOC[1]}}");
    Tick(Child(f, 0));
    tree.SetTickState(view.m_hRoot, TICK_PARTIAL);
    view.NormalizeTicks();
    EXPECT_EQ(tree.Dump(), "WORD FILES[1]{D:\\DOCS[1]{A.DOC[1]} E:[1]{B.DOC[1]}}");
}
