// Filling the tree from the file system, and the checks that keep a file
// or a folder from being listed twice.
#include "tree/LeftView.h"

#include "platform/fileops.h"

#include <algorithm>

namespace {
constexpr int kFolderImage = 0, kOpenFolderImage = 1, kDocumentImage = 2;
}  // namespace

void CLeftView::ScanFolder(const QString& path) {
    CRecoveryApp& app = TheApp();
    const QString docMask = path + QStringLiteral("\\*.doc");
    const QString allMask = path + QStringLiteral("\\*.*");
    if (app.m_bStop) {
        if (m_frame.m_pProgressBar)
            m_frame.m_pProgressBar->Clear();
        m_frame.DeleteProgressBar();
        return;
    }
    m_frame.StepTreeProgress();
    if (app.m_bScanFolder) {
        const std::vector<platform::FoundFile> matches = platform::FindFiles(docMask);
        // The folder is listed when it holds a visible match; a hidden file (such
        // as Word's owner file of an open document) does not hide its siblings,
        // whatever order the file system returns them in.
        const bool anyVisible = std::any_of(matches.begin(), matches.end(),
                                            [](const platform::FoundFile& m) { return !m.hidden && !m.directory; });
        if (anyVisible) {
            m_hCurrentFolder = m_tree.InsertItem(path.toUpper(), m_hRoot, kFolderImage, kOpenFolderImage);
            for (const platform::FoundFile& match : matches) {
                m_findData = match;
                if (!m_findData.hidden && !m_findData.directory)
                    m_tree.InsertItem(m_findData.name.toUpper(), m_hCurrentFolder, kDocumentImage, kDocumentImage);
                PumpMessages();
                if (app.m_bStop) {
                    if (m_frame.m_pProgressBar)
                        m_frame.m_pProgressBar->Clear();
                    m_frame.DeleteProgressBar();
                    m_tree.SortChildren(m_hRoot);
                    return;
                }
            }
        }
    }
    if (app.m_bScanSubfolders) {
        for (const platform::FoundFile& entry : platform::FindFiles(allMask)) {
            m_findData = entry;
            if (!entry.directory || entry.hidden || entry.name == QLatin1String(".") || entry.name == QLatin1String(".."))
                continue;
            ScanFolder(path + QLatin1Char('\\') + entry.name);
            if (app.m_bStop)
                break;
        }
    }
    if (app.m_bAddSingleFile) {
        app.m_strItemFolder = app.m_strItemFolder.toUpper();
        m_hCurrentFolder = m_tree.InsertItem(app.m_strItemFolder, m_hRoot, kFolderImage, kOpenFolderImage);
        m_tree.InsertItem(path.toUpper(), m_hCurrentFolder, kDocumentImage, kDocumentImage);
    }
    m_tree.SortChildren(m_hRoot);
}

BOOL CLeftView::AddFileToListedFolder(const QString& folder, const QString& name) {
    m_bFolderFound = 0;
    BOOL duplicate = FALSE;
    for (HTREEITEM f = m_tree.GetChildItem(m_hRoot); f; f = m_tree.GetNextSiblingItem(f)) {
        if (m_tree.GetItemText(f) != folder)
            continue;
        m_bFolderFound = 1;
        for (HTREEITEM g = m_tree.GetChildItem(f); g; g = m_tree.GetNextSiblingItem(g))
            if (m_tree.GetItemText(g) == name)
                duplicate = TRUE;
        if (!duplicate)
            m_tree.InsertItem(name.toUpper(), f, kDocumentImage, kDocumentImage);
        break;
    }
    return duplicate;
}

BOOL CLeftView::RemoveListedFolder(QString folder) {
    m_bFolderFound = 0;
    folder = folder.toUpper();
    for (HTREEITEM f = m_tree.GetChildItem(m_hRoot); f; f = m_tree.GetNextSiblingItem(f)) {
        if (m_tree.GetItemText(f) == folder) {
            m_bFolderFound = 1;
            DeleteFolderItems(folder);
            return TRUE;
        }
    }
    return FALSE;
}

void CLeftView::DeleteFolderItems(const QString& folder) {
    for (HTREEITEM f = m_tree.GetChildItem(m_hRoot); f;) {
        const HTREEITEM next = m_tree.GetNextSiblingItem(f);
        if (m_tree.GetItemText(f) == folder)
            m_tree.DeleteItem(f);
        f = next;
    }
}

void CLeftView::ShowStartPage() {
    m_frame.NavigateHtmlView(TheApp().m_strProgramFolder + QStringLiteral("first.htm"));
}

void CLeftView::RemoveTickedItems() {
    CRecoveryApp& app = TheApp();
    m_frame.NavigateHtmlView(QStringLiteral("about:"));
    ShowStartPage();
    app.m_strPreviewedPath.clear();
    if (app.IsWordRunning())
        app.TerminateWord();
    for (HTREEITEM f = m_tree.GetChildItem(m_hRoot); f;) {
        const HTREEITEM nextFolder = m_tree.GetNextSiblingItem(f);
        const int fs = m_tree.GetTickState(f);
        if (m_tree.ItemHasChildren(f) && (fs == TICK_TICKED || fs == TICK_PARTIAL)) {
            for (HTREEITEM g = m_tree.GetChildItem(f); g;) {
                const HTREEITEM nextFile = m_tree.GetNextSiblingItem(g);
                if (m_tree.GetTickState(g) == TICK_TICKED) {
                    m_tree.SetTickState(f, TICK_PARTIAL);
                    const QString path = m_tree.GetItemText(f) + QLatin1Char('\\') + m_tree.GetItemText(g);
                    if (FindPreview(path))
                        ForgetPreview(path);
                    m_tree.DeleteItem(g);
                    NormalizeTicks();
                }
                g = nextFile;
            }
            if (m_tree.GetTickState(f) == TICK_TICKED || !m_tree.ItemHasChildren(f))
                m_tree.DeleteItem(f);
        }
        f = nextFolder;
    }
    m_frame.SetPathText(QString());
    NormalizeTicks();
}
