#pragma once
// The Word object model on a Writer document. Each class answers the
// members of one Word interface.
#include "wordserver/WordObject.h"

#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/text/XTextRange.hpp>

namespace wordserver {

class ApplicationObject : public WordObject {
public:
    explicit ApplicationObject(std::shared_ptr<OfficeSession> s);
    ~ApplicationObject() override;

protected:
    automation::Variant Call(const automation::WordMember& m, std::span<const automation::Variant> args) override;
};

class DocumentsObject : public WordObject {
public:
    using WordObject::WordObject;

protected:
    automation::Variant Call(const automation::WordMember& m, std::span<const automation::Variant> args) override;
};

// Document, Window, Pane and View of one document.
class DocumentObject : public WordObject {
public:
    DocumentObject(automation::WordInterface iface, std::shared_ptr<OfficeSession> s, std::shared_ptr<DocumentState> d)
        : WordObject(iface, std::move(s)), m_doc(std::move(d)) {}

protected:
    automation::Variant Call(const automation::WordMember& m, std::span<const automation::Variant> args) override;
    DocumentState& doc();
    std::shared_ptr<DocumentState> m_doc;
};

class SelectionObject : public DocumentObject {
public:
    SelectionObject(std::shared_ptr<OfficeSession> s, std::shared_ptr<DocumentState> d)
        : DocumentObject(automation::WordInterface::Selection, std::move(s), std::move(d)) {}

protected:
    automation::Variant Call(const automation::WordMember& m, std::span<const automation::Variant> args) override;
};

// A Word range: a model cursor in one text, the whole text of a table cell
// (which grows with what is put into the cell), or a whole table.
class RangeObject : public DocumentObject {
public:
    enum class Kind { Cursor, WholeText, Table };
    RangeObject(std::shared_ptr<OfficeSession> s, std::shared_ptr<DocumentState> d, Kind kind,
                css::uno::Reference<css::text::XText> text, css::uno::Reference<css::text::XTextCursor> cursor,
                Story story, std::shared_ptr<TableState> table);

    // The text and a cursor over the range as it stands now.
    const css::uno::Reference<css::text::XText>& text() const { return m_text; }
    css::uno::Reference<css::text::XTextCursor> Cursor();
    Story story() const { return m_story; }
    const std::shared_ptr<TableState>& table() const { return m_table; }
    // Makes the selection cover the range.
    void Select();

protected:
    automation::Variant Call(const automation::WordMember& m, std::span<const automation::Variant> args) override;

private:
    Kind m_kind;
    css::uno::Reference<css::text::XText> m_text;
    css::uno::Reference<css::text::XTextCursor> m_cursor;
    Story m_story;
    std::shared_ptr<TableState> m_table;
};

// Tables, Table, Rows, Columns and Cell.
class TableObject : public DocumentObject {
public:
    TableObject(automation::WordInterface iface, std::shared_ptr<OfficeSession> s, std::shared_ptr<DocumentState> d,
                std::shared_ptr<TableState> table, css::uno::Reference<css::table::XCell> cell = {})
        : DocumentObject(iface, std::move(s), std::move(d)), m_table(std::move(table)), m_cell(std::move(cell)) {}

protected:
    automation::Variant Call(const automation::WordMember& m, std::span<const automation::Variant> args) override;

private:
    automation::Variant AddTable(std::span<const automation::Variant> args);
    std::shared_ptr<TableState> m_table;
    css::uno::Reference<css::table::XCell> m_cell;
};

// Hyperlinks and InlineShapes of the selection.
class ContentObject : public DocumentObject {
public:
    using DocumentObject::DocumentObject;

protected:
    automation::Variant Call(const automation::WordMember& m, std::span<const automation::Variant> args) override;

private:
    automation::Variant AddHyperlink(std::span<const automation::Variant> args);
    automation::Variant AddPicture(std::span<const automation::Variant> args);
};

// Selection helpers shared by the objects.
void SelectCell(DocumentState& d, const std::shared_ptr<TableState>& table,
                const css::uno::Reference<css::table::XCell>& cell, bool whole);
css::uno::Reference<css::uno::XInterface> CreateDocumentInstance(DocumentState& d, const char* service);

}  // namespace wordserver
