// The Word object model on a real office: what the repair routines rely on
// for each member, checked in the saved file.
#include "WordCall.h"
#include "wordserver/DocumentInspector.h"
#include "wordserver/WordServer.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace wordtest;
namespace fs = std::filesystem;

namespace {

constexpr auto W2003 = WordVersion::Word2003;

// One office for the whole suite; each test works on a new document.
class ObjectModel : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        Env();
        s_app = new Obj(wordserver::CreateWordApplication(W2003), WordInterface::Application);
    }
    static void TearDownTestSuite() {
        Quit(W2003, *s_app);
        delete s_app;
        s_app = nullptr;
    }
    void SetUp() override {
        documents = Get(W2003, app(), "Documents");
        Call(W2003, documents, "Add", {Omitted(), Omitted(), Omitted(), Omitted()});
        doc = Get(W2003, app(), "ActiveDocument");
        sel = Get(W2003, app(), "Selection");
        dir = Env().root() / ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::create_directories(dir);
    }
    void TearDown() override {
        if (doc.get())
            CloseNoSave(W2003, doc);
    }
    static const Obj& app() { return *s_app; }
    QString Out(const char* name) const { return QString::fromStdString((dir / name).string()); }
    void TypeText(const QString& s) { Call(W2003, sel, "TypeText", {Str(s)}); }

    static Obj* s_app;
    Obj documents, doc, sel;
    fs::path dir;
};
Obj* ObjectModel::s_app = nullptr;

// A 2 x 2 24-bit bitmap, the simplest picture file there is.
void WriteBitmap(const fs::path& p) {
    const unsigned char bmp[] = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0,
                                 1, 0, 24, 0, 0, 0, 0, 0, 16, 0, 0, 0, 0x13, 0x0B, 0, 0, 0x13, 0x0B, 0, 0, 0, 0, 0, 0,
                                 0, 0, 0, 0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0, 0, 0};
    QFile f(QString::fromStdString(p.string()));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(reinterpret_cast<const char*>(bmp), sizeof bmp);
}

TEST_F(ObjectModel, TypedTextSavesAsAnsiTextWithCrLf) {
    TypeText(QStringLiteral("Caf\u00e9 one"));
    Call(W2003, sel, "TypeParagraph");
    TypeText(QStringLiteral("two"));
    const QString txt = Out("typed.txt");
    SaveAs(W2003, doc, txt, 2);
    QFile f(txt);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.startsWith(QByteArray("Caf\xe9 one\r\ntwo"))) << bytes.toHex().toStdString();
    EXPECT_FALSE(bytes.contains("\xc3\xa9")) << "text must be in the ANSI code page, not UTF-8";
}

TEST_F(ObjectModel, RangePositionsAndSetRangeRoundTrip) {
    TypeText(QStringLiteral("Hello"));
    Call(W2003, sel, "TypeParagraph");
    TypeText(QStringLiteral("World"));
    {
        Obj r = Get(W2003, sel, "Range");
        EXPECT_EQ(GetI4(W2003, r, "Start"), 11);
        EXPECT_EQ(GetI4(W2003, r, "End"), 11);
    }
    Call(W2003, sel, "SetRange", {I4(3), I4(8)});
    Obj r = Get(W2003, sel, "Range");
    EXPECT_EQ(GetI4(W2003, r, "Start"), 3);
    EXPECT_EQ(GetI4(W2003, r, "End"), 8);
    // Typing replaces the selection and leaves the insertion point behind.
    TypeText(QStringLiteral("-"));
    Obj after = Get(W2003, sel, "Range");
    EXPECT_EQ(GetI4(W2003, after, "Start"), 4);
    Call(W2003, r, "Select");
    // Range.InsertAfter grows the range.
    Call(W2003, after, "InsertAfter", {Str(QStringLiteral("xy"))});
    EXPECT_EQ(GetI4(W2003, after, "End") - GetI4(W2003, after, "Start"), 2);
    const QString txt = Out("r.txt");
    SaveAs(W2003, doc, txt, 2);
    EXPECT_TRUE(ReadTextFile(txt.toStdString()).startsWith(QStringLiteral("Hel-xyrld"))) << ReadTextFile(txt.toStdString()).toStdString();
}

TEST_F(ObjectModel, HeaderWithPageFieldsAndFooterText) {
    Obj window = Get(W2003, app(), "ActiveWindow");
    Obj pane = Get(W2003, window, "ActivePane");
    Obj view = Get(W2003, pane, "View");
    Put(W2003, view, "SeekView", I4(9));
    Get(W2003, sel, "CreateAutoTextEntry", {Str("Page X of Y"), Str("")});
    Put(W2003, view, "SeekView", I4(10));
    TypeText(QStringLiteral("Footer line\r"));
    Put(W2003, view, "SeekView", I4(0));
    TypeText(QStringLiteral("Body"));
    const QString out = Out("hf.doc");
    SaveAs(W2003, doc, out, 0);
    const auto s = wordserver::InspectDocument(out.toStdString());
    EXPECT_EQ(s.filter, "MS Word 97");
    EXPECT_TRUE(s.header.startsWith("Page 1 of 1")) << s.header.toStdString();
    EXPECT_TRUE(s.pageFields.contains("PageNumber"));
    EXPECT_TRUE(s.pageFields.contains("PageCount"));
    EXPECT_TRUE(s.footer.startsWith("Footer line")) << s.footer.toStdString();
    EXPECT_EQ(s.text.trimmed(), "Body");
}

// The rebuild's table fill: cells filled through ranges, then the insertion
// point moved out below the table.
TEST_F(ObjectModel, TableFilledCellByCellAndLeftBelow) {
    TypeText(QStringLiteral("Before"));
    Call(W2003, sel, "TypeParagraph");
    Obj tables = Get(W2003, doc, "Tables");
    Obj range = Get(W2003, sel, "Range");
    Obj table = Get(W2003, tables, "Add", {Ref(range), I4(2), I4(3), Omitted(), True()});
    Obj rows = Get(W2003, table, "Rows");
    Obj columns = Get(W2003, table, "Columns");
    ASSERT_EQ(GetI4(W2003, rows, "Count"), 2);
    ASSERT_EQ(GetI4(W2003, columns, "Count"), 3);
    for (int row = 1; row <= 2; ++row)
        for (int col = 1; col <= 3; ++col) {
            Obj cell = Get(W2003, table, "Cell", {I4(row), I4(col)});
            Call(W2003, cell, "Select");
            Obj cellRange = Get(W2003, cell, "Range");
            for (const QString& piece : {QStringLiteral("r%1").arg(row), QStringLiteral("c%1").arg(col)}) {
                Call(W2003, cellRange, "Select");
                const int start = GetI4(W2003, cellRange, "Start");
                const int end = GetI4(W2003, cellRange, "End");
                Call(W2003, sel, "SetRange", {I4(start), I4(end)});
                Call(W2003, sel, "EndKey", {Omitted(), Omitted()});
                if (piece.startsWith('r'))
                    Call(W2003, cellRange, "InsertAfter", {Str(piece)});
                else
                    Call(W2003, sel, "InsertAfter", {Str(piece)});
            }
        }
    Obj whole = Get(W2003, table, "Range");
    const int end = GetI4(W2003, whole, "End");
    Call(W2003, sel, "MoveRight", {VarI4(1), VarI4(end), Omitted()});
    Call(W2003, sel, "MoveDown", {Omitted(), Omitted(), Omitted()});
    Call(W2003, sel, "Move", {Omitted(), VarI4(end)});
    Call(W2003, sel, "TypeParagraph");
    TypeText(QStringLiteral("After"));
    const QString out = Out("table.doc");
    SaveAs(W2003, doc, out, 0);
    const auto s = wordserver::InspectDocument(out.toStdString());
    ASSERT_EQ(s.tables, 1);
    EXPECT_EQ(s.tableCells, QStringList({"r1c1", "r1c2", "r1c3", "r2c1", "r2c2", "r2c3"}));
    // Fit to contents: six short cells need far less than the page's 17 cm.
    EXPECT_LT(s.tableWidths.value(0), 10000);
    EXPECT_TRUE(s.text.startsWith("Before")) << s.text.toStdString();
    EXPECT_TRUE(s.text.trimmed().endsWith("After")) << s.text.toStdString();
}

TEST_F(ObjectModel, HyperlinkAndEmbeddedPictureAtTheInsertionPoint) {
    TypeText(QStringLiteral("See "));
    {
        Obj range = Get(W2003, sel, "Range");
        Obj links = Get(W2003, sel, "Hyperlinks");
        Get(W2003, links, "Add",
            {Ref(range), VarStr("http://example.com/"), VarStr(""), VarStr(""), VarStr("Example"), Omitted()});
    }
    TypeText(QStringLiteral(" then"));
    Call(W2003, sel, "TypeParagraph");
    const fs::path picture = dir / "pic.bmp";
    WriteBitmap(picture);
    Obj shapes = Get(W2003, sel, "InlineShapes");
    Get(W2003, shapes, "AddPicture", {Str(QString::fromStdString(picture.string())), False(), True(), Omitted()});
    Call(W2003, sel, "TypeParagraph");
    TypeText(QStringLiteral("End"));
    fs::remove(picture);  // the rebuild deletes the picture file before saving
    const QString out = Out("content.doc");
    SaveAs(W2003, doc, out, 0);
    const auto s = wordserver::InspectDocument(out.toStdString());
    EXPECT_EQ(s.hyperlinks, QStringList({"http://example.com/|Example"}));
    EXPECT_EQ(s.pictures, 1);
    EXPECT_EQ(s.linkedPictures, 0);
    EXPECT_TRUE(s.text.startsWith("See Example then")) << s.text.toStdString();
    EXPECT_TRUE(s.text.trimmed().endsWith("End")) << s.text.toStdString();
}

TEST_F(ObjectModel, FormsProtectionIsReportedAndSaved) {
    TypeText(QStringLiteral("Preview"));
    EXPECT_EQ(GetI4(W2003, doc, "ProtectionType"), -1);
    Protect(W2003, doc);
    EXPECT_EQ(GetI4(W2003, doc, "ProtectionType"), 2);
    const QString out = Out("protected.doc");
    SaveAs(W2003, doc, out, 0);
    EXPECT_TRUE(wordserver::InspectDocument(out.toStdString()).formProtected);
    // Reopened, the document reports the protection it carries.
    Obj reopened = Open(W2003, documents, out);
    EXPECT_EQ(GetI4(W2003, reopened, "ProtectionType"), 2);
    CloseNoSave(W2003, reopened);
}

TEST_F(ObjectModel, TextTheOfficeCannotTakeDoesNotBreakTheConnection) {
    const QString bad = QStringLiteral("a") + QChar(0xD800) + QStringLiteral("b") + QChar(0xDC00) + QChar(1) +
                        QChar(0xFFFF) + QStringLiteral("c\x07\x13\x15");
    TypeText(bad);
    Call(W2003, sel, "InsertAfter", {Str(bad)});
    TypeText(QStringLiteral("\U0001F600 ok"));
    const QString txt = Out("bad.txt");
    SaveAs(W2003, doc, txt, 2);
    // InsertAfter selects what it added, and typing replaces the selection.
    EXPECT_TRUE(ReadTextFile(txt.toStdString()).startsWith("abc? ok")) << ReadTextFile(txt.toStdString()).toStdString();
}

TEST_F(ObjectModel, FailedCallsAreAutomationErrors) {
    const QString missing = Out("missing.doc");
    EXPECT_THROW(Open(W2003, documents, missing), automation::AutomationException);
    // Plain text is not taken for a Word document.
    const QString text = Out("plain.doc");
    {
        QFile f(text);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("just some words, not a Word document\n");
    }
    EXPECT_THROW(Open(W2003, documents, text), automation::AutomationException);
    EXPECT_THROW(SaveAs(W2003, doc, Out("x.rtf"), 6), automation::AutomationException);
    Obj shapes = Get(W2003, sel, "InlineShapes");
    EXPECT_THROW(Get(W2003, shapes, "AddPicture", {Str(Out("none.png")), False(), True(), Omitted()}),
                 automation::AutomationException);
    // Calls outside the binding fail loudly.
    try {
        doc.get()->Invoke(0x7777, automation::InvokeKind::Method, {});
        ADD_FAILURE() << "an unknown member was accepted";
    } catch (const automation::AutomationException& e) {
        EXPECT_EQ(e.code(), automation::DISP_E_MEMBERNOTFOUND);
    }
    try {
        Call(W2003, sel, "TypeText", {Str("a"), Str("b")});
        ADD_FAILURE() << "a wrong argument count was accepted";
    } catch (const automation::AutomationException& e) {
        EXPECT_EQ(e.code(), automation::DISP_E_BADPARAMCOUNT);
    }
    // The document is still usable after the errors.
    TypeText(QStringLiteral("still here"));
    SaveAs(W2003, doc, Out("ok.txt"), 2);
    EXPECT_TRUE(ReadTextFile((dir / "ok.txt")).startsWith("still here"));
}

}  // namespace
