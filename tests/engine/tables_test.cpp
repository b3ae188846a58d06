// Table regions: rows, columns, raw bytes, and the region blanked to cell
// marks.
#include "DocBuilder.h"

#include <gtest/gtest.h>

using namespace testdoc;

namespace {

struct TableExpect {
    std::int32_t rows;
    std::int32_t columns;
    std::string text;
};

bool operator==(const TableExpect& a, const TableExpect& b) {
    return a.rows == b.rows && a.columns == b.columns && a.text == b.text;
}
void PrintTo(const TableExpect& t, std::ostream* os) {
    *os << "{rows " << t.rows << ", columns " << t.columns << ", " << ::testing::PrintToString(t.text) << "}";
}

struct TableCase {
    const char* name;
    std::string text;
    std::vector<TableExpect> tables;
    std::string after;
};

class Tables : public ::testing::TestWithParam<TableCase> {};

TEST_P(Tables, RecordsRegionsAndBlanksThem) {
    const TableCase& c = GetParam();
    auto engine = EngineWithText(c.text);
    engine->ExtractTables();
    std::vector<TableExpect> tables;
    for (const TableNode* t = engine->m_pTableHead.get(); t; t = t->next.get()) {
        EXPECT_EQ(t->length, t->text.size());
        tables.push_back({t->rows, t->columns, t->text});
    }
    EXPECT_EQ(tables, c.tables);
    EXPECT_EQ(*engine->m_pszText, c.after);
}

std::string Marks(std::size_t n) { return std::string(n, '\x07'); }
const std::string k2x2 = "a\x07" "b\x07\x07" "c\x07" "d\x07\x07";

INSTANTIATE_TEST_SUITE_P(
    Cases, Tables,
    ::testing::Values(
        TableCase{"twoByTwo", "Intro\r" + k2x2 + "Outro\r", {{2, 2, k2x2}}, "Intro\r" + Marks(10) + "Outro\r"},
        TableCase{"atTextStart", k2x2 + "Outro\r", {{2, 2, k2x2}}, Marks(10) + "Outro\r"},
        TableCase{"twoTables",
                  "P\r" "a\x07\x07" "Between\r" "b\x07\x07" "Q\r",
                  {{1, 1, "a\x07\x07"}, {1, 1, "b\x07\x07"}},
                  "P\r" + Marks(3) + "Between\r" + Marks(3) + "Q\r"},
        // A row after nothing but a paragraph mark belongs to the table before.
        TableCase{"continuedRow",
                  "P\r" "a\x07" "b\x07\x07" "\r" "\x07" "c\x07\x07" "Q\r",
                  {{2, 2, "a\x07" "b\x07\x07" "\x07" "c\x07\x07"}},
                  "P\r" + Marks(5) + "\r" + Marks(4) + "Q\r"},
        // Five marks are no whole number of rows of two cells: rows = marks.
        TableCase{"unevenRows", "P\r" "a\x07" "b\x07\x07" "c\x07\x07" "Q\r", {{5, 2, "a\x07" "b\x07\x07" "c\x07\x07"}},
                  "P\r" + Marks(8) + "Q\r"},
        // A hyperlink run inside a cell keeps one 0x15 between cell marks.
        TableCase{"hyperlinkInCell",
                  "P\r" "\x15\x15\x15\x15" "\x07" "b\x07\x07" "Q\r",
                  {{1, 2, "\x15\x15\x15\x15" "\x07" "b\x07\x07"}},
                  "P\r" "\x07\x15\x07\x07\x07\x07\x07\x07" "Q\r"},
        // A paragraph mark inside a later row splits the table.
        TableCase{"splitByParagraph",
                  "P\r" "a\x07" "b\x07\x07" "c\r" "d\x07" "e\x07\x07" "Q\r",
                  {{1, 2, "a\x07" "b\x07\x07"}, {1, 2, "d\x07" "e\x07\x07"}},
                  "P\r" + Marks(5) + "c\r" + Marks(5) + "Q\r"},
        // A cell mark at position 0 without a row end: nothing is read before the text.
        TableCase{"loneMarkAtStart", "\x07" + std::string(40, 'x') + "\r", {}, "\x07" + std::string(40, 'x') + "\r"},
        TableCase{"neverEnds", "P\r" "a\x07" "b\r" "c\r", {}, "P\r" "a\x07" "b\r" "c\r"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CellMarks, OnlyWithinTheTextLength) {
    DocBuilder b;
    b.Header(0).Pad(1024);
    OpenDoc doc = EngineOn(b.bytes());
    doc->m_pszText = "abc\x07";
    doc->m_fib.ccpText = 3;
    EXPECT_EQ(doc->HasCellMarks(), 0);
    doc->m_fib.ccpText = 4;
    EXPECT_EQ(doc->HasCellMarks(), 1);
}

}  // namespace
