// Tables, Table, Rows, Columns and Cell.
#include "wordserver/TextEdit.h"
#include "wordserver/WordObjects.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/table/XTableColumns.hpp>
#include <com/sun/star/table/XTableRows.hpp>
#include <com/sun/star/text/XTextContent.hpp>

using namespace com::sun::star;
using automation::Variant;
using automation::WordInterface;

namespace wordserver {
namespace {
// Word's limits for a new table.
constexpr std::int32_t kMaxRows = 32767;
constexpr std::int32_t kMaxColumns = 63;
constexpr std::int32_t kFitToContents = 1;
}  // namespace

Variant TableObject::AddTable(std::span<const Variant> args) {
    DocumentState& d = doc();
    auto& range = ObjectArg<RangeObject>(args[0], "the range of Tables.Add");
    const std::int32_t rows = args[1].ToI4();
    const std::int32_t columns = args[2].ToI4();
    if (rows < 1 || rows > kMaxRows || columns < 1 || columns > kMaxColumns)
        Fail(QStringLiteral("a table of %1 rows and %2 columns cannot be made").arg(rows).arg(columns));
    const bool fit = args.size() > 4 && IntArg(args[4], 0) == kFitToContents;
    if (range.story() == Story::Cell)
        Fail(QStringLiteral("a table cannot be added inside a table cell"));

    uno::Reference<text::XTextTable> table(CreateDocumentInstance(d, "com.sun.star.text.TextTable"), uno::UNO_QUERY_THROW);
    table->initialize(rows, columns);
    const auto text = range.text();
    const auto at = range.Cursor();
    // The table replaces the range; the insertion point's paragraph stays
    // behind it.
    if (!at->isCollapsed())
        at->setString(OUString());
    text->insertTextContent(at.get(), uno::Reference<text::XTextContent>(table, uno::UNO_QUERY_THROW), false);
    auto state = std::make_shared<TableState>();
    state->fitToContents = fit;
    state->table = table;
    state->parent = text;
    state->after = text->createTextCursorByRange(at->getStart());
    d.tables.push_back(state);
    SelectCell(d, state, uno::Reference<table::XCellRange>(table, uno::UNO_QUERY_THROW)->getCellByPosition(0, 0), false);
    return NewObject<TableObject>(WordInterface::Table, sessionPtr(), m_doc, state);
}

Variant TableObject::Call(const automation::WordMember& m, std::span<const Variant> args) {
    DocumentState& d = doc();
    switch (iface()) {
    case WordInterface::Tables: return AddTable(args);
    case WordInterface::Rows: return Variant::I4(m_table->table->getRows()->getCount());
    case WordInterface::Columns: return Variant::I4(m_table->table->getColumns()->getCount());
    case WordInterface::Cell:
        if (m.name == "Select") {
            SelectCell(d, m_table, m_cell, true);
            return {};
        }
        return NewObject<RangeObject>(sessionPtr(), m_doc, RangeObject::Kind::WholeText,
                                      uno::Reference<text::XText>(m_cell, uno::UNO_QUERY_THROW), nullptr, Story::Cell,
                                      m_table);
    default: break;
    }
    // Table
    if (m.name == "Range")
        return NewObject<RangeObject>(sessionPtr(), m_doc, RangeObject::Kind::Table, m_table->parent, nullptr,
                                      Story::Main, m_table);
    if (m.name == "Rows")
        return NewObject<TableObject>(WordInterface::Rows, sessionPtr(), m_doc, m_table);
    if (m.name == "Columns")
        return NewObject<TableObject>(WordInterface::Columns, sessionPtr(), m_doc, m_table);
    if (m.name == "Cell") {
        const std::int32_t row = args[0].ToI4();
        const std::int32_t column = args[1].ToI4();
        const sal_Int32 rows = m_table->table->getRows()->getCount();
        const sal_Int32 columns = m_table->table->getColumns()->getCount();
        if (row < 1 || row > rows || column < 1 || column > columns)
            Fail(QStringLiteral("the table has no cell (%1, %2)").arg(row).arg(column));
        uno::Reference<table::XCellRange> cells(m_table->table, uno::UNO_QUERY_THROW);
        return NewObject<TableObject>(WordInterface::Cell, sessionPtr(), m_doc, m_table,
                                      cells->getCellByPosition(column - 1, row - 1));
    }
    Fail(QStringLiteral("Table.%1 is not implemented").arg(QString::fromUtf8(m.name.data(), m.name.size())));
}

}  // namespace wordserver
