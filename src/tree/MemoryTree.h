#pragma once
// An in-memory tree control.
#include "tree/TreeControl.h"

#include <memory>
#include <unordered_set>
#include <vector>

class CMemoryTree : public ITreeControl {
public:
    CMemoryTree();
    ~CMemoryTree() override;

    HTREEITEM InsertItem(const QString& text, HTREEITEM parent, int image, int selectedImage) override;
    void DeleteItem(HTREEITEM item) override;
    void DeleteAllItems() override;
    QString GetItemText(HTREEITEM item) const override;
    int GetTickState(HTREEITEM item) const override;
    void SetTickState(HTREEITEM item, int state) override;
    HTREEITEM GetRootItem() const override;
    HTREEITEM GetParentItem(HTREEITEM item) const override;
    HTREEITEM GetChildItem(HTREEITEM item) const override;
    HTREEITEM GetNextSiblingItem(HTREEITEM item) const override;
    HTREEITEM GetSelectedItem() const override { return m_selected; }
    void SelectItem(HTREEITEM item) override { m_selected = item; }
    void Expand(HTREEITEM item) override;
    void SortChildren(HTREEITEM item) override;

    int Image(HTREEITEM item) const;
    int SelectedImage(HTREEITEM item) const;
    bool Expanded(HTREEITEM item) const;
    // "WORD FILES[2]{D:\DOCS[3]{A.DOC[1] B.DOC[2]}}" (text[tick]{children}),
    // a compact picture of the whole tree for tests and diagnostics.
    QString Dump() const;

    struct Node;

private:
    Node* Find(HTREEITEM item) const;
    std::vector<std::unique_ptr<Node>>& SiblingsOf(Node* node);
    std::vector<std::unique_ptr<Node>> m_top;
    void Forget(Node* node);
    HTREEITEM m_selected = nullptr;
    std::unordered_set<const Node*> m_live;  // handles are checked, so a stale one is ignored
};
