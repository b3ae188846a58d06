#pragma once
// A tree view over the in-memory tree and a recording frame, with the
// application object fresh, message boxes recorded, a private registry and
// a temporary folder for the files a test lists.
#include "app/RecoveryApp.h"
#include "app/StringTable.h"
#include "platform/messagebox.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "tempdir/TempDir.h"
#include "tree/LeftView.h"
#include "tree/MemoryTree.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

namespace tree_test {

// Records what the tree asks of the main frame.
class RecordingFrame : public IFrameServices {
public:
    QStringList paths;        // SetPathText arguments
    QStringList navigations;  // right-pane targets
    QStringList captions;     // progress bars created
    int pumps = 0;
    int viewTextCalls = 0;
    std::vector<std::pair<QStringList, QStringList>> results;
    std::function<void(int)> onPump;  // runs at every pump with its count (Stop is clicked here)

    void NavigateHtmlView(const QString& target) override { navigations << target; }
    void SetPathText(const QString& text) override { paths << text; }
    BOOL PumpMessages() override {
        ++pumps;
        if (onPump)
            onPump(pumps);
        return TRUE;
    }
    void OnViewText() override { ++viewTextCalls; }
    void ShowResult(const QStringList& repaired, const QStringList& unrepaired) override {
        results.emplace_back(repaired, unrepaired);
    }

protected:
    std::unique_ptr<CProgressBar> CreateProgressBar(const QString& caption) override {
        captions << caption;
        return IFrameServices::CreateProgressBar(caption);
    }
};

inline QString S(app::StringId id) { return app::LoadString(id); }

class TreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetTheApp();
        ::setenv("TESSALY_REGISTRY", (dir.host() / "registry.ini").c_str(), 1);
        // Word processes are recognised by their profile folder: a private one
        // keeps other offices on this machine out of the tests' reach.
        ::setenv("XDG_CACHE_HOME", (dir.host() / "cache").c_str(), 1);
        SetCurVer(QStringLiteral("Word.Application.11"));
        TheApp().m_strTempFolder = dir.program("TEMP");
        std::filesystem::create_directories(dir.host() / "TEMP");
        TheApp().m_bStop = FALSE;
        view.OnInitialUpdate();
    }
    void TearDown() override {
        ::unsetenv("TESSALY_REGISTRY");
        ::unsetenv("XDG_CACHE_HOME");
        ResetTheApp();
    }

    static void SetCurVer(const QString& value) {
        platform::RegKey key;
        key.Create(platform::HKey::ClassesRoot, QStringLiteral("Word.Application\\CurVer"));
        key.SetString(QString(), value);
    }

    // Lists `files` under a new folder item `folder` (no file system involved).
    HTREEITEM AddFolder(const QString& folder, const QStringList& files) {
        HTREEITEM f = tree.InsertItem(folder, view.m_hRoot, 0, 1);
        for (const QString& name : files)
            tree.InsertItem(name, f, 2, 2);
        return f;
    }
    HTREEITEM Child(HTREEITEM parent, int index) const {
        HTREEITEM c = tree.GetChildItem(parent);
        while (c && index-- > 0)
            c = tree.GetNextSiblingItem(c);
        return c;
    }
    void Tick(HTREEITEM item) { view.OnLButtonDown(item, HitPart::StateImage); }

    testing_support::TempDir dir;
    platform::RecordingMessageSink boxes;
    CMemoryTree tree;
    RecordingFrame frame;
    CLeftView view{tree, frame};
};

}  // namespace tree_test
