// Range: character positions, selecting it, and appending to it.
#include "wordserver/TextEdit.h"
#include "wordserver/WordObjects.h"

#include <com/sun/star/table/XCellRange.hpp>

using namespace com::sun::star;
using automation::Variant;

namespace wordserver {

RangeObject::RangeObject(std::shared_ptr<OfficeSession> s, std::shared_ptr<DocumentState> d, Kind kind,
                         uno::Reference<text::XText> text, uno::Reference<text::XTextCursor> cursor, Story story,
                         std::shared_ptr<TableState> table)
    : DocumentObject(automation::WordInterface::Range, std::move(s), std::move(d)), m_kind(kind),
      m_text(std::move(text)), m_cursor(std::move(cursor)), m_story(story), m_table(std::move(table)) {}

uno::Reference<text::XTextCursor> RangeObject::Cursor() {
    switch (m_kind) {
    case Kind::Cursor: return m_text->createTextCursorByRange(m_cursor.get());
    case Kind::WholeText: {
        const auto c = m_text->createTextCursorByRange(m_text->getStart());
        c->gotoEnd(true);
        return c;
    }
    case Kind::Table: break;
    }
    Fail(QStringLiteral("a table range has no text cursor"));
}

void RangeObject::Select() {
    DocumentState& d = doc();
    if (m_kind == Kind::Table) {
        uno::Reference<table::XCellRange> cells(m_table->table, uno::UNO_QUERY_THROW);
        SelectCell(d, m_table, cells->getCellByPosition(0, 0), true);
        return;
    }
    const auto returnTo = d.sel.returnTo;
    d.sel = SelectionState{};
    d.sel.text = m_text;
    d.sel.cursor = Cursor();
    d.sel.story = m_story;
    d.sel.table = m_table;
    d.sel.returnTo = (m_story == Story::Header || m_story == Story::Footer) ? returnTo : nullptr;
}

Variant RangeObject::Call(const automation::WordMember& m, std::span<const Variant> args) {
    doc();
    if (m.name == "Start" || m.name == "End") {
        const bool start = m.name == "Start";
        switch (m_kind) {
        case Kind::Cursor: return Variant::I4(Position(m_text, start ? m_cursor->getStart() : m_cursor->getEnd()));
        case Kind::WholeText: return Variant::I4(start ? 0 : Length(m_text));
        case Kind::Table: {
            const sal_Int32 after = Position(m_table->parent, m_table->after);
            return Variant::I4(start ? std::max<sal_Int32>(after - 1, 0) : after);
        }
        }
    }
    if (m.name == "Select") {
        Select();
        return {};
    }
    if (m.name == "InsertAfter") {
        const QString value = args[0].ToString();
        if (m_kind == Kind::Table)
            Fail(QStringLiteral("text cannot be added to a whole table"));
        if (m_kind == Kind::WholeText) {
            InsertText(m_text, m_text->createTextCursorByRange(m_text->getEnd()), value);
            return {};
        }
        const sal_Int32 start = Position(m_text, m_cursor->getStart());
        const auto end = m_text->createTextCursorByRange(m_cursor->getEnd());
        InsertText(m_text, end, value);
        m_cursor = CursorAt(m_text, start, Position(m_text, end));
        return {};
    }
    Fail(QStringLiteral("Range.%1 is not implemented").arg(QString::fromUtf8(m.name.data(), m.name.size())));
}

}  // namespace wordserver
