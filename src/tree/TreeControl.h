#pragma once
// The tree control CLeftView drives: a QTreeWidget adapter in the GUI, an
// in-memory tree in the command line and the tests.
#include "app/RecoveryApp.h"  // HTREEITEM

#include <QString>

// Tick states, kept as the item's state image.
enum TickState : int { TICK_UNTICKED = 1, TICK_TICKED = 2, TICK_PARTIAL = 3 };

class ITreeControl {
public:
    virtual ~ITreeControl() = default;
    // Appends an item as the last child of `parent` (null: top level), unticked.
    virtual HTREEITEM InsertItem(const QString& text, HTREEITEM parent, int image, int selectedImage) = 0;
    // Deletes the item with all its descendants.
    virtual void DeleteItem(HTREEITEM item) = 0;
    virtual void DeleteAllItems() = 0;
    virtual QString GetItemText(HTREEITEM item) const = 0;
    virtual int GetTickState(HTREEITEM item) const = 0;
    virtual void SetTickState(HTREEITEM item, int state) = 0;
    virtual HTREEITEM GetRootItem() const = 0;
    virtual HTREEITEM GetParentItem(HTREEITEM item) const = 0;
    virtual HTREEITEM GetChildItem(HTREEITEM item) const = 0;
    virtual HTREEITEM GetNextSiblingItem(HTREEITEM item) const = 0;
    virtual bool ItemHasChildren(HTREEITEM item) const { return GetChildItem(item) != nullptr; }
    virtual HTREEITEM GetSelectedItem() const = 0;
    virtual void SelectItem(HTREEITEM item) = 0;
    virtual void Expand(HTREEITEM item) = 0;
    // Sorts the direct children of `item` by their text.
    virtual void SortChildren(HTREEITEM item) = 0;
};
