#include "tree/MemoryTree.h"

#include <QStringList>
#include <algorithm>

struct CMemoryTree::Node {
    QString text;
    int image = 0;
    int selectedImage = 0;
    int tick = TICK_UNTICKED;
    bool expanded = false;
    Node* parent = nullptr;
    std::vector<std::unique_ptr<Node>> children;
};

namespace {
HTREEITEM Handle(CMemoryTree::Node* node) { return reinterpret_cast<HTREEITEM>(node); }

bool Contains(const std::vector<std::unique_ptr<CMemoryTree::Node>>& list, const CMemoryTree::Node* node) {
    for (const auto& n : list)
        if (n.get() == node || Contains(n->children, node))
            return true;
    return false;
}

QString DumpList(const std::vector<std::unique_ptr<CMemoryTree::Node>>& list) {
    QStringList parts;
    for (const auto& n : list) {
        QString s = n->text + QStringLiteral("[%1]").arg(n->tick);
        if (!n->children.empty())
            s += QLatin1Char('{') + DumpList(n->children) + QLatin1Char('}');
        parts << s;
    }
    return parts.join(QLatin1Char(' '));
}
}  // namespace

CMemoryTree::CMemoryTree() = default;
CMemoryTree::~CMemoryTree() = default;

CMemoryTree::Node* CMemoryTree::Find(HTREEITEM item) const {
    auto* node = reinterpret_cast<Node*>(item);
    return node && m_live.count(node) ? node : nullptr;
}

std::vector<std::unique_ptr<CMemoryTree::Node>>& CMemoryTree::SiblingsOf(Node* node) {
    return node->parent ? node->parent->children : m_top;
}

HTREEITEM CMemoryTree::InsertItem(const QString& text, HTREEITEM parent, int image, int selectedImage) {
    Node* p = Find(parent);
    auto node = std::make_unique<Node>();
    node->text = text;
    node->image = image;
    node->selectedImage = selectedImage;
    node->parent = p;
    Node* raw = node.get();
    m_live.insert(raw);
    (p ? p->children : m_top).push_back(std::move(node));
    return Handle(raw);
}

void CMemoryTree::DeleteItem(HTREEITEM item) {
    Node* node = Find(item);
    if (!node)
        return;
    if (m_selected && (reinterpret_cast<Node*>(m_selected) == node || Contains(node->children, reinterpret_cast<Node*>(m_selected))))
        m_selected = nullptr;
    Forget(node);
    auto& list = SiblingsOf(node);
    list.erase(std::find_if(list.begin(), list.end(), [node](const auto& n) { return n.get() == node; }));
}

void CMemoryTree::Forget(Node* node) {
    m_live.erase(node);
    for (const auto& child : node->children)
        Forget(child.get());
}

void CMemoryTree::DeleteAllItems() {
    m_live.clear();
    m_top.clear();
    m_selected = nullptr;
}

QString CMemoryTree::GetItemText(HTREEITEM item) const {
    const Node* node = Find(item);
    return node ? node->text : QString();
}

int CMemoryTree::GetTickState(HTREEITEM item) const {
    const Node* node = Find(item);
    return node ? node->tick : 0;
}

void CMemoryTree::SetTickState(HTREEITEM item, int state) {
    if (Node* node = Find(item))
        node->tick = state;
}

HTREEITEM CMemoryTree::GetRootItem() const { return m_top.empty() ? nullptr : Handle(m_top.front().get()); }

HTREEITEM CMemoryTree::GetParentItem(HTREEITEM item) const {
    const Node* node = Find(item);
    return node ? Handle(node->parent) : nullptr;
}

HTREEITEM CMemoryTree::GetChildItem(HTREEITEM item) const {
    const Node* node = Find(item);
    return node && !node->children.empty() ? Handle(node->children.front().get()) : nullptr;
}

HTREEITEM CMemoryTree::GetNextSiblingItem(HTREEITEM item) const {
    Node* node = Find(item);
    if (!node)
        return nullptr;
    const auto& list = node->parent ? node->parent->children : m_top;
    for (size_t i = 0; i + 1 < list.size(); ++i)
        if (list[i].get() == node)
            return Handle(list[i + 1].get());
    return nullptr;
}

void CMemoryTree::Expand(HTREEITEM item) {
    if (Node* node = Find(item))
        node->expanded = true;
}

void CMemoryTree::SortChildren(HTREEITEM item) {
    Node* node = Find(item);
    if (!node)
        return;
    std::stable_sort(node->children.begin(), node->children.end(),
                     [](const auto& a, const auto& b) { return QString::compare(a->text, b->text, Qt::CaseInsensitive) < 0; });
}

int CMemoryTree::Image(HTREEITEM item) const { const Node* n = Find(item); return n ? n->image : -1; }
int CMemoryTree::SelectedImage(HTREEITEM item) const { const Node* n = Find(item); return n ? n->selectedImage : -1; }
bool CMemoryTree::Expanded(HTREEITEM item) const { const Node* n = Find(item); return n && n->expanded; }
QString CMemoryTree::Dump() const { return DumpList(m_top); }
