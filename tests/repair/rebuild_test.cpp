#include "RepairFixture.h"
#include "app/StringTable.h"
#include "automation/DispatchDriver.h"

#include <set>

using namespace repair_test;
using automation::Variant;
using automation::varFalse;
using automation::varOmitted;
using automation::varTrue;
using recording_server::kWordFileMarker;

namespace {

std::int32_t RunRebuild(CDocRecover& e, WordVersion v) {
    switch (v) {
    case WordVersion::Word97: return e.RebuildWord97();
    case WordVersion::Word2000: return e.RebuildWord2000();
    case WordVersion::Word2002: return e.RebuildWord2002();
    case WordVersion::Word2003: return e.RebuildWord2003();
    }
    return -1;
}

// " PAGE \*ARABIC " between field begin and separator.
const ByteString kPageField("\x20\x13\x20PAGE\x20\\*ARABIC\x20\x14", 18);

// The engine's results, filled in directly.
class Extracted {
public:
    explicit Extracted(CDocRecover& e) : m_e(e) { m_e.m_strDest = TheApp().m_strWordOutputPath; }
    Extracted& Run(ByteString text) {
        auto n = std::make_unique<TextRunNode>();
        n->text = std::move(text);
        AppendNode(m_e.m_pRunHead, m_e.m_pRunTail, std::move(n));
        return Code(ELEM_TEXT);
    }
    Extracted& Link(ByteString display, ByteString address, bool inSequence = true) {
        auto n = std::make_unique<HyperlinkNode>();
        n->displayText = std::move(display);
        n->address = std::move(address);
        AppendNode(m_e.m_pLinkHead, m_e.m_pLinkTail, std::move(n));
        return inSequence ? Code(ELEM_HYPERLINK) : *this;
    }
    Extracted& Table(std::int32_t rows, std::int32_t columns, ByteString text) {
        auto n = std::make_unique<TableNode>();
        n->length = static_cast<std::uint16_t>(text.size());
        n->text = std::move(text);
        n->rows = rows;
        n->columns = columns;
        AppendNode(m_e.m_pTableHead, m_e.m_pTableTail, std::move(n));
        return Code(ELEM_TABLE);
    }
    Extracted& Picture(std::string name, std::string data) {
        auto n = std::make_unique<PictureNode>();
        n->size = static_cast<std::int32_t>(data.size());
        n->data = std::move(data);
        n->name = std::move(name);
        AppendNode(m_e.m_pPictureHead, m_e.m_pPictureTail, std::move(n));
        return Code(ELEM_PICTURE);
    }
    Extracted& HeaderFooter(ByteString header, ByteString footer) {
        m_e.m_pHeaderFooter = std::make_unique<HeaderFooterText>();
        m_e.m_pHeaderFooter->headerLength = static_cast<std::uint16_t>(header.size());
        m_e.m_pHeaderFooter->footerLength = static_cast<std::uint16_t>(footer.size());
        m_e.m_pHeaderFooter->header = std::move(header);
        m_e.m_pHeaderFooter->footer = std::move(footer);
        return *this;
    }
    Extracted& Code(std::int16_t code) {
        m_e.m_aElementKinds[m_e.m_nElementCount++] = code;
        return *this;
    }

private:
    CDocRecover& m_e;
};

struct VersionRow {
    WordVersion version;
    std::size_t addArgs, linkArgs, tablesAddArgs, protectArgs, saveAsArgs;
    bool pageField;
};
const VersionRow kRows[] = {
    {WordVersion::Word97, 2, 3, 3, 3, 11, false},
    {WordVersion::Word2000, 4, 6, 5, 3, 11, true},
    {WordVersion::Word2002, 4, 6, 5, 3, 16, true},
    {WordVersion::Word2003, 4, 6, 5, 5, 16, true},
};

class Rebuild : public ::testing::TestWithParam<VersionRow> {};
INSTANTIATE_TEST_SUITE_P(Versions, Rebuild, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return VersionName(info.param.version); });

QString Bytes(const ByteString& b) { return QString::fromLatin1(b.data(), static_cast<qsizetype>(b.size())); }

TEST_P(Rebuild, BuildsWithThisVersionsArgumentLists) {
    const VersionRow& row = GetParam();
    RepairJob job(row.version);
    TheApp().m_bPreviewMode = TRUE;
    CDocRecover engine;
    Extracted(engine).Run("Hello").Link("Site", "http://x/").Table(1, 1, "ab\x07\x07");

    EXPECT_EQ(RunRebuild(engine, row.version), 1);
    EXPECT_EQ(engine.m_nStatus, 1);
    ExpectWordEnded(job.server);
    EXPECT_TRUE(job.messages.Boxes().empty());

    EXPECT_EQ(job.server.CallsTo("Documents.Add").at(0).args, std::vector<Variant>(row.addArgs, varOmitted));
    const auto link = job.server.CallsTo("Hyperlinks.Add").at(0);
    ASSERT_EQ(link.args.size(), row.linkArgs);
    EXPECT_EQ(link.args[1], Variant::Bstr("http://x/"));
    EXPECT_EQ(link.args[2], Variant::Bstr(""));
    if (row.linkArgs == 6) {
        EXPECT_EQ(link.args[3], Variant::Bstr(""));
        EXPECT_EQ(link.args[4], Variant::Bstr("Site"));
        EXPECT_EQ(link.args[5], varOmitted);
    }
    const auto add = job.server.CallsTo("Tables.Add").at(0);
    ASSERT_EQ(add.args.size(), row.tablesAddArgs);
    EXPECT_EQ(add.args[1], Variant::I4(1));
    if (row.tablesAddArgs == 5) {
        EXPECT_EQ(add.args[3], varOmitted);
        EXPECT_EQ(add.args[4], varTrue);
    }
    // A preview is protected without asking for the protection first.
    EXPECT_EQ(job.server.CountOf("Document.ProtectionType"), 0u);
    std::vector<Variant> protect{Variant::I4(2), varFalse, Variant::Bstr("kov41tep"), varOmitted, varOmitted};
    protect.resize(row.protectArgs);
    EXPECT_EQ(job.server.CallsTo("Document.Protect").at(0).args, protect);
    const auto saveAs = job.server.CallsTo("Document.SaveAs").at(0);
    ASSERT_EQ(saveAs.args.size(), row.saveAsArgs);
    EXPECT_EQ(saveAs.args[0], Variant::Bstr(engine.m_strDest));
    EXPECT_EQ(saveAs.args[1], Variant::I4(0));
    EXPECT_EQ(saveAs.args[4], varFalse);
    // The document stays open; the closing Quit ends Word.
    EXPECT_EQ(job.server.CountOf("Document.Close"), 0u);
    EXPECT_EQ(job.server.MemberSequence().back(), "Application.Quit");
    const QString shown = row.linkArgs == 6 ? QStringLiteral("Site") : QStringLiteral("http://x/");
    EXPECT_EQ(job.server.LastDocument()->Render(), "Hello\r" + shown + "\r[table ab]\r");
    EXPECT_TRUE(job.ReadHost("OUT/Recovered_REPORT.DOC").startsWith(kWordFileMarker));
}

TEST_P(Rebuild, EmptySequenceSavesAnEmptyDocumentAndStillWritesTheHeader) {
    const VersionRow& row = GetParam();
    for (const bool withHeader : {false, true}) {
        SCOPED_TRACE(withHeader ? "header" : "no header");
        RepairJob job(row.version);
        CDocRecover engine;
        Extracted e(engine);
        if (withHeader)
            e.HeaderFooter("Top\r", "");
        EXPECT_EQ(RunRebuild(engine, row.version), 1);
        const auto* doc = job.server.LastDocument();
        ASSERT_NE(doc, nullptr);
        EXPECT_EQ(doc->body, QString());
        EXPECT_EQ(doc->header, withHeader ? QStringLiteral("Top\r") : QString());
        EXPECT_EQ(job.server.CountOf("View.SeekView"), withHeader ? 2u : 0u);
        EXPECT_EQ(job.server.CountOf("Selection.TypeParagraph"), 0u);
        EXPECT_EQ(job.server.Saves().size(), 1u);
        ExpectWordEnded(job.server);
    }
}

TEST_P(Rebuild, PageFieldInHeaderOrFooterBecomesThePageAutoText) {
    const VersionRow& row = GetParam();
    const ByteString paged = "Page" + kPageField + "1\x15\r";
    const struct {
        const char* name;
        ByteString header, footer;
        bool headerTyped, footerTyped;  // with the page-field test
    } cases[] = {
        {"in header", paged, "Foot\r", false, true},
        {"in footer", "Head\r", paged, true, false},
        {"in both", paged, paged, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RepairJob job(row.version);
        CDocRecover engine;
        Extracted(engine).HeaderFooter(c.header, c.footer);
        EXPECT_EQ(RunRebuild(engine, row.version), 1);
        const auto* doc = job.server.LastDocument();
        ASSERT_NE(doc, nullptr);
        // Word 97 types both as they are, field characters included.
        const bool headerTyped = !row.pageField || c.headerTyped;
        const bool footerTyped = !row.pageField || c.footerTyped;
        EXPECT_EQ(doc->header, headerTyped ? Bytes(c.header) : QString());
        EXPECT_EQ(doc->footer, footerTyped ? Bytes(c.footer) : QString());
        const auto autoText = job.server.CallsTo("Selection.CreateAutoTextEntry");
        ASSERT_EQ(autoText.size(), row.pageField ? 1u : 0u);
        if (row.pageField) {
            EXPECT_EQ(autoText[0].args, (std::vector<Variant>{Variant::Bstr("Page X of Y"), Variant::Bstr("")}));
        }
        std::vector<Variant> seeks;
        for (const auto& call : job.server.CallsTo("View.SeekView"))
            seeks.push_back(call.args.at(0));
        EXPECT_EQ(seeks, (std::vector<Variant>{Variant::I4(9), Variant::I4(10), Variant::I4(0)}));
    }
}

TEST_P(Rebuild, TextOutputQuitsTwiceAndTheSecondRefusalStaysInside) {
    const VersionRow& row = GetParam();
    RepairJob job(row.version);
    TheApp().m_bSaveAsWord = FALSE;
    TheApp().m_bSaveAsText = TRUE;
    CDocRecover engine;
    Extracted(engine).Run("Hello");
    const QString dest = engine.m_strDest;

    std::int32_t result = -1;
    EXPECT_NO_THROW(result = RunRebuild(engine, row.version));
    EXPECT_EQ(result, 1);
    EXPECT_EQ(job.Files("OUT"), QStringList{"recovered_report.txt"});
    EXPECT_EQ(job.ReadHost("OUT/recovered_report.txt"), QByteArray("Hello\r\n"));
    EXPECT_EQ(engine.m_strDest, dest.toLower());
    const auto quits = job.server.CallsTo("Application.Quit");
    ASSERT_EQ(quits.size(), 2u);
    EXPECT_EQ(quits[0].error, 0);
    EXPECT_EQ(quits[1].error, automation::RPC_E_DISCONNECTED);
    EXPECT_EQ(job.server.CallsTo("Document.SaveAs").at(0).args[1], Variant::I4(2));
    ExpectWordEnded(job.server);
}

TEST_P(Rebuild, WordThatCannotStartIsReportedAndTouchesNothing) {
    const VersionRow& row = GetParam();
    RepairJob job(row.version);
    job.server.RefuseToStart();
    CDocRecover engine;
    Extracted(engine).Run("Hello");
    EXPECT_EQ(RunRebuild(engine, row.version), 0);
    EXPECT_EQ(job.messages.Texts(), QStringList{app::LoadString(app::IDS_WORD_LOAD_ERROR)});
    EXPECT_TRUE(job.Files("OUT").isEmpty());
}

// Whatever call fails, nothing escapes, every reference is released and
// Word is told to quit; the result is 0, except where the call's failure
// is passed over (a cell's hyperlink text in Word 2002, the closing Quit
// after the document was saved).
TEST_P(Rebuild, AFailureAtAnyCallEndsInZeroWithWordQuit) {
    const VersionRow& row = GetParam();
    auto fill = [](CDocRecover& engine) {
        Extracted(engine)
            .HeaderFooter("Page" + kPageField + "1\x15\r", "Foot\r")
            .Run("Hello")
            .Link("Site", "http://x/")
            .Table(1, 2, "ab\x15\x15" "cd\x07" "ef\x07\x07")
            .Link("Cell", "http://cell/", false)
            .Picture("temp.png", "PNG")
            .Run("End");
    };
    std::vector<std::string> clean;
    {
        RepairJob job(row.version);
        TheApp().m_bPreviewMode = TRUE;
        CDocRecover engine;
        fill(engine);
        ASSERT_EQ(RunRebuild(engine, row.version), 1);
        clean = job.server.MemberSequence();
    }
    std::set<std::size_t> passedOver{clean.size() - 1};
    // A picture Word cannot take is left out of the document.
    for (std::size_t i = 0; i < clean.size(); ++i)
        if (clean[i] == "InlineShapes.AddPicture")
            passedOver.insert(i);
    if (row.version == WordVersion::Word2002)
        for (std::size_t i = 5; i < clean.size(); ++i)
            if (clean[i] == "Selection.InsertAfter")
                for (std::size_t j = i - 5; j <= i; ++j)
                    passedOver.insert(j);

    for (std::size_t i = 0; i < clean.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "failing call " << i << " " << clean[i]);
        RepairJob job(row.version);
        TheApp().m_bPreviewMode = TRUE;
        job.server.FailCall(i);
        CDocRecover engine;
        fill(engine);
        std::int32_t result = -1;
        EXPECT_NO_THROW(result = RunRebuild(engine, row.version));
        EXPECT_EQ(result, passedOver.count(i) ? 1 : 0);
        if (i + 1 == clean.size())
            EXPECT_EQ(job.server.LiveObjects(), 0u);  // Word refused to quit: it is terminated
        else
            ExpectWordEnded(job.server);
        EXPECT_TRUE(job.Files("WORK").isEmpty()) << "picture file left behind";
    }
}

// --- The element kinds, on one binding ---

const WordVersion kV = WordVersion::Word2003;

struct TableCase {
    const char* name;
    std::int32_t rows, columns;
    ByteString text;
    std::vector<QString> cells;
    bool endsEarly;
};

class RebuildTable : public ::testing::TestWithParam<TableCase> {};
INSTANTIATE_TEST_SUITE_P(Cases, RebuildTable,
    ::testing::Values(
        TableCase{"OneByteCellsStayEmpty", 2, 2, "a\x07" "b\x07\x07" "c\x07" "d\x07\x07", {"", "", "", ""}, false},
        TableCase{"TwoByteCellsAreFilled", 2, 2, "ab\x07" "cd\x07\x07" "ef\x07" "gh\x07\x07", {"ab", "cd", "ef", "gh"}, false},
        TableCase{"CellMarkMarkParagraphEndsTheFill", 2, 2, "ab\x07\x07\x0D" "cd\x07\x07", {"ab", "", "", ""}, true},
        TableCase{"NoEndTestAfterAnEmptyCell", 1, 2, "\x07\x07\x0D", {"", ""}, false},
        TableCase{"TextEndingWithoutCellMarkEndsTheFill", 1, 2, "abc", {"abc", ""}, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_P(RebuildTable, FillsTheCellsAndLeavesTheTable) {
    const TableCase& c = GetParam();
    RepairJob job(kV);
    CDocRecover engine;
    Extracted(engine).Table(c.rows, c.columns, c.text).Run("Next");
    ASSERT_EQ(RunRebuild(engine, kV), 1);

    const auto* doc = job.server.LastDocument();
    ASSERT_EQ(doc->tables.size(), 1u);
    EXPECT_EQ(doc->tables[0].cells, c.cells);
    EXPECT_TRUE(doc->body.endsWith(QStringLiteral("\rNext\r"))) << "the next element goes below the table";
    const auto moveRight = job.server.CallsTo("Selection.MoveRight");
    ASSERT_EQ(moveRight.size(), c.endsEarly ? 1u : 0u);
    EXPECT_EQ(job.server.CountOf("Selection.MoveDown"), c.endsEarly ? 1u : 0u);
    const auto move = job.server.CallsTo("Selection.Move");
    ASSERT_EQ(move.size(), 1u);
    EXPECT_EQ(move[0].args, (std::vector<Variant>{varOmitted, Variant::I4(2)}));
    if (c.endsEarly) {
        EXPECT_EQ(moveRight[0].args, (std::vector<Variant>{Variant::I4(1), Variant::I4(2), varOmitted}));
        EXPECT_EQ(job.server.CallsTo("Selection.MoveDown")[0].args, std::vector<Variant>(3, varOmitted));
    }
    const auto seq = job.server.MemberSequence();
    const auto at = std::find(seq.begin(), seq.end(), "Selection.Move");
    ASSERT_NE(at, seq.end());
    EXPECT_EQ(*(at + 1), "Selection.TypeParagraph");
}

TEST(RebuildCellHyperlink, CellGetsTextThenDisplayTextThenTextAndTheCursorMovesOn) {
    // Per version: what happens when the display text cannot be put into the cell.
    const struct {
        WordVersion version;
        bool failDisplayText;
        std::int32_t result;
        QString cell;
        QString nextLinkAddress;
    } cases[] = {
        {kV, false, 1, "abLINKcd", "http://two/"},
        {WordVersion::Word97, false, 1, "abLINKcd", "http://two/"},
        {WordVersion::Word2002, true, 1, "abcd", "http://one/"},  // passed over, the cursor stays
        {WordVersion::Word2000, true, 0, "ab", ""},
        {kV, true, 0, "ab", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << VersionName(c.version) << (c.failDisplayText ? " failing" : ""));
        RepairJob job(c.version);
        if (c.failDisplayText)
            job.server.FailMember("Selection.InsertAfter");
        CDocRecover engine;
        Extracted(engine)
            .Table(1, 1, "ab\x15\x15\x15" "cd\x07\x07")
            .Link("LINK", "http://one/", false)
            .Link("TWO", "http://two/");
        EXPECT_EQ(RunRebuild(engine, c.version), c.result);
        EXPECT_EQ(job.server.Documents(1).at(0).tables.at(0).cells.at(0), c.cell);
        const auto links = job.server.CallsTo("Hyperlinks.Add");
        if (c.nextLinkAddress.isEmpty()) {
            EXPECT_TRUE(links.empty());
        } else {
            ASSERT_EQ(links.size(), 1u);
            EXPECT_EQ(links[0].args[1], Variant::Bstr(c.nextLinkAddress));
        }
        ExpectWordEnded(job.server);
    }
}

TEST(RebuildElements, MissingNodesUnknownCodesAndEmptyFilteredTextInsertNothing) {
    RepairJob job(kV);
    CDocRecover engine;
    Extracted(engine)
        .Run("one")
        .Run("\x01\x02\x07")  // nothing printable
        .Code(ELEM_TEXT)      // a third run without a node
        .Code(ELEM_PICTURE_SLOT)
        .Code(ELEM_PICTURE)   // no picture node
        .Code(ELEM_TABLE)     // no table node
        .Code(ELEM_HYPERLINK) // no hyperlink node
        .Code(99);
    ASSERT_EQ(RunRebuild(engine, kV), 1);
    EXPECT_EQ(job.server.CountOf("Selection.TypeText"), 1u);
    EXPECT_EQ(job.server.CountOf("Selection.TypeParagraph"), 2u);
    EXPECT_EQ(job.server.CountOf("InlineShapes.AddPicture"), 0u);
    EXPECT_EQ(job.server.CountOf("Tables.Add"), 0u);
    EXPECT_EQ(job.server.CountOf("Selection.Range"), 0u);
    EXPECT_EQ(job.server.LastDocument()->body, QStringLiteral("one\r\r"));
}

TEST(RebuildElements, RunTextIsFilteredAndLinksWithoutDisplayTextAreSkipped) {
    RepairJob job(kV);
    CDocRecover engine;
    Extracted(engine).Run("a\tb\x0B" "c").Link("", "http://hidden/").Link("Shown", "http://shown/");
    ASSERT_EQ(RunRebuild(engine, kV), 1);
    const auto links = job.server.CallsTo("Hyperlinks.Add");
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(links[0].args[1], Variant::Bstr("http://shown/"));
    EXPECT_EQ(job.server.LastDocument()->body, QStringLiteral("abc\rShown"));
}

TEST(RebuildElements, PictureIsWrittenToTheWorkFolderForWordAndRemovedAfterwards) {
    RepairJob job(kV);
    CDocRecover engine;
    Extracted(engine).Picture("temp.png", std::string("\x89PNG\0data", 9)).Run("after");
    ASSERT_EQ(RunRebuild(engine, kV), 1);
    const auto add = job.server.CallsTo("InlineShapes.AddPicture");
    ASSERT_EQ(add.size(), 1u);
    EXPECT_EQ(add[0].error, 0) << "the server found the file";
    EXPECT_EQ(add[0].args, (std::vector<Variant>{Variant::Bstr(TheApp().m_strTempFolder + "\\temp.png"), varFalse,
                                                 varTrue, varOmitted}));
    EXPECT_TRUE(job.Files("WORK").isEmpty());
    EXPECT_EQ(job.server.LastDocument()->Render(), QStringLiteral("[picture]\r\rafter\r"));
}

TEST(RebuildElements, PictureWordCannotReadIsLeftOutButALostServerEndsTheRebuild) {
    struct Case {
        const char* name;
        automation::HRESULT code;
        std::int32_t result;
    } cases[] = {{"unreadable picture", automation::E_FAIL, 1}, {"server gone", automation::RPC_E_DISCONNECTED, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RepairJob job(kV);
        job.server.FailMember("InlineShapes.AddPicture", 1, c.code);
        CDocRecover engine;
        Extracted(engine).Run("before").Picture("temp.jpg", "cut").Run("after");
        EXPECT_EQ(RunRebuild(engine, kV), c.result);
        EXPECT_TRUE(job.Files("WORK").isEmpty());
        if (c.result == 1) {
            EXPECT_EQ(job.server.LastDocument()->Render(), QStringLiteral("before\rafter\r"));
        }
    }
}

TEST(RebuildElements, ClosingQuitThatFailsAfterTheSaveKeepsTheResult) {
    RepairJob job(kV);
    job.server.FailMember("Application.Quit");
    CDocRecover engine;
    Extracted(engine).Run("Hello");
    std::int32_t result = -1;
    EXPECT_NO_THROW(result = RunRebuild(engine, kV));
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(job.ReadHost("OUT/Recovered_REPORT.DOC").startsWith(kWordFileMarker));
    EXPECT_EQ(job.server.LiveObjects(), 0u);
}

}  // namespace
