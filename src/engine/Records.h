#pragma once
// What the engine extracts: header and footer, and the four lists it keeps
// in document order. The lists are singly linked and appended at the tail;
// each node owns the next one.
#include <cstdint>
#include <memory>
#include <string>

// Byte strings here are raw document bytes in the ANSI code page.
using ByteString = std::string;

struct HeaderFooterText {
    ByteString header;  // including its closing 0x0D; empty when none
    ByteString footer;
    // Lengths are as wide as the texts: a header/footer text is read whole.
    std::uint32_t headerLength = 0;
    std::uint32_t footerLength = 0;
    bool HasHeader() const { return !header.empty(); }
    bool HasFooter() const { return !footer.empty(); }
};

struct HyperlinkNode {
    ByteString displayText;
    ByteString address;
    std::unique_ptr<HyperlinkNode> next;
};

struct TableNode {
    ByteString text;  // cell texts with their 0x0D, 0x07 and 0x15 bytes
    std::uint32_t length = 0;  // wide enough for a table of any size
    std::int32_t rows = 0;
    std::int32_t columns = 0;
    std::unique_ptr<TableNode> next;
};

struct TextRunNode {
    ByteString text;
    std::uint16_t pictureFlag = 0;
    std::uint16_t tableFlag = 0;
    std::unique_ptr<TextRunNode> next;
};

struct PictureNode {
    std::string data;  // the image file's bytes
    std::string name;  // "temp.gif", "temp.jpg" or "temp.png"
    std::int32_t size = 0;
    std::unique_ptr<PictureNode> next;
};

// Appends a node at the tail of a list held as (head, tail).
template <class Node>
Node* AppendNode(std::unique_ptr<Node>& head, Node*& tail, std::unique_ptr<Node> node) {
    Node* raw = node.get();
    if (tail)
        tail->next = std::move(node);
    else
        head = std::move(node);
    tail = raw;
    return raw;
}

// Frees a list iteratively (a long list must not recurse in the destructors).
template <class Node>
void FreeList(std::unique_ptr<Node>& head, Node*& tail) {
    while (head)
        head = std::move(head->next);
    tail = nullptr;
}
