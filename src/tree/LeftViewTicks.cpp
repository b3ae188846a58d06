// The tree's shape, its tick rules and its mouse rules.
#include "tree/LeftView.h"

namespace {
bool IsTicked(int state) { return state == TICK_TICKED || state == TICK_PARTIAL; }
}  // namespace

CLeftView::CLeftView(ITreeControl& tree, IFrameServices& frame) : m_tree(tree), m_frame(frame) {}

void CLeftView::OnInitialUpdate() {
    m_tree.DeleteAllItems();
    m_hRoot = m_tree.InsertItem(QStringLiteral("WORD FILES"), nullptr, 0, 0);
    m_tree.SetTickState(m_hRoot, TICK_UNTICKED);
    m_hCurrentFolder = m_hRoot;
}

DefaultProcessing CLeftView::OnLButtonDown(HTREEITEM item, HitPart hit) {
    if (TheApp().m_bRunning)
        return DefaultProcessing::Skip;
    if (item && hit == HitPart::StateImage) {
        if (!m_tree.ItemHasChildren(m_hRoot))
            return DefaultProcessing::Skip;
        m_tree.SetTickState(item, m_tree.GetTickState(item) == TICK_UNTICKED ? TICK_TICKED : TICK_UNTICKED);
        UpdateAncestorTicks(item);
        if (m_tree.ItemHasChildren(item))
            PropagateTickDown(item);
    }
    if (item && hit != HitPart::Nowhere)
        m_tree.SelectItem(item);
    return DefaultProcessing::Run;
}

BOOL CLeftView::OnRButtonDown(HTREEITEM item, HitPart hit) {
    if (TheApp().m_bRunning || !item)
        return FALSE;
    if (hit != HitPart::StateImage && hit != HitPart::Icon && hit != HitPart::Label)
        return FALSE;
    if (m_tree.ItemHasChildren(item) || item == m_hRoot)
        return FALSE;
    TheApp().m_hContextItem = item;
    return TRUE;
}

void CLeftView::UpdateAncestorTicks(HTREEITEM item) {
    for (HTREEITEM a = m_tree.GetParentItem(item); a; a = m_tree.GetParentItem(a)) {
        bool allUnticked = true, allTicked = true;
        for (HTREEITEM c = m_tree.GetChildItem(a); c; c = m_tree.GetNextSiblingItem(c)) {
            const int s = m_tree.GetTickState(c);
            if (s != TICK_UNTICKED)
                allUnticked = false;
            if (s == TICK_UNTICKED || s == TICK_PARTIAL)
                allTicked = false;
        }
        m_tree.SetTickState(a, allUnticked ? TICK_UNTICKED : allTicked ? TICK_TICKED : TICK_PARTIAL);
    }
}

void CLeftView::PropagateTickDown(HTREEITEM item) {
    const int state = m_tree.GetTickState(item);
    for (HTREEITEM c = m_tree.GetChildItem(item); c; c = m_tree.GetNextSiblingItem(c)) {
        m_tree.SetTickState(c, state);
        if (m_tree.ItemHasChildren(c))
            PropagateTickDown(c);
    }
}

BOOL CLeftView::AllSiblingsTicked(HTREEITEM item) const {
    for (HTREEITEM c = m_tree.GetChildItem(m_tree.GetParentItem(item)); c; c = m_tree.GetNextSiblingItem(c)) {
        const int s = m_tree.GetTickState(c);
        if (s == TICK_UNTICKED || s == TICK_PARTIAL)
            return FALSE;
    }
    return TRUE;
}

BOOL CLeftView::AllSiblingsUnticked(HTREEITEM item) const {
    for (HTREEITEM c = m_tree.GetChildItem(m_tree.GetParentItem(item)); c; c = m_tree.GetNextSiblingItem(c))
        if (m_tree.GetTickState(c) != TICK_UNTICKED)
            return FALSE;
    return TRUE;
}

std::int32_t CLeftView::CountTickedFiles(HTREEITEM item) {
    if (m_tree.GetTickState(m_hRoot) == TICK_UNTICKED)
        return 0;
    if (!m_tree.ItemHasChildren(item) || !IsTicked(m_tree.GetTickState(item)))
        return m_nTickedCount;
    for (HTREEITEM c = m_tree.GetChildItem(item); c; c = m_tree.GetNextSiblingItem(c)) {
        const int s = m_tree.GetTickState(c);
        if (m_tree.ItemHasChildren(c)) {
            if (IsTicked(s))
                CountTickedFiles(c);
        } else if (s == TICK_TICKED) {
            ++m_nTickedCount;
        }
    }
    return m_nTickedCount;
}

void CLeftView::NormalizeTicks() {
    if (!m_tree.ItemHasChildren(m_hRoot))
        return;
    m_nTickedCount = 0;
    if (CountTickedFiles(m_hRoot) == 0) {
        m_tree.SetTickState(m_hRoot, TICK_UNTICKED);
        PropagateTickDown(m_hRoot);
    }
    for (HTREEITEM f = m_tree.GetChildItem(m_hRoot); f; f = m_tree.GetNextSiblingItem(f)) {
        m_nTickedCount = 0;
        if (CountTickedFiles(f) == 0)
            m_tree.SetTickState(f, TICK_UNTICKED);
    }
    m_nTickedCount = 0;
    if (CountTickedFiles(m_hRoot) == 0)
        m_tree.SetTickState(m_hRoot, TICK_UNTICKED);
    m_nTickedCount = 0;
}

bool CLeftView::IsFolderItem(HTREEITEM item) const { return item && m_tree.GetParentItem(item) == m_hRoot; }

std::vector<HTREEITEM> CLeftView::FileItems() const {
    std::vector<HTREEITEM> files;
    for (HTREEITEM f = m_tree.GetChildItem(m_hRoot); f; f = m_tree.GetNextSiblingItem(f))
        for (HTREEITEM g = m_tree.GetChildItem(f); g; g = m_tree.GetNextSiblingItem(g))
            files.push_back(g);
    return files;
}

QString CLeftView::FullPath(HTREEITEM fileItem) const {
    return m_tree.GetItemText(m_tree.GetParentItem(fileItem)) + QLatin1Char('\\') + m_tree.GetItemText(fileItem);
}
