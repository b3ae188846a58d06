// The four bindings against the strict server: each varying member goes
// out with its version's DISPID and argument count, and every argument
// travels as the binding says.
#include "RecordingWordServer.h"
#include "automation/msword10.h"
#include "automation/msword11.h"
#include "automation/msword8.h"
#include "automation/msword9.h"
#include "platform/paths.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace automation;
using recording_server::RecordingWordServer;

namespace {

struct Expected {
    int open, add, saveAs, protect, linkAdd, tablesAdd;
    DISPID openId, addId, saveAsId, protectId, linkAddId, tablesAddId;
    bool autoText;
};

Expected ExpectedFor(WordVersion v) {
    switch (v) {
    case WordVersion::Word97: return {10, 2, 11, 3, 3, 3, 0xC, 0xB, 0x66, 0x78, 0x64, 0x4, false};
    case WordVersion::Word2000: return {12, 4, 11, 3, 6, 5, 0xF, 0xE, 0x66, 0x78, 0x65, 0xC8, true};
    case WordVersion::Word2002: return {15, 4, 16, 3, 6, 5, 0x12, 0xE, 0x178, 0x78, 0x65, 0xC8, true};
    case WordVersion::Word2003: return {16, 4, 16, 5, 6, 5, 0x13, 0xE, 0x178, 0x1D3, 0x65, 0xC8, true};
    }
    return {};
}

template <class T>
class WordBinding : public ::testing::Test {};

#define TESSALY_BINDING_TAG(ns)                                                                                   \
    struct ns##Tag {                                                                                              \
        static constexpr WordVersion kVersion = ns::kVersion;                                                      \
        using Application = ns::Application;                                                                       \
        using Range = ns::Range;                                                                                   \
    }
TESSALY_BINDING_TAG(msword8);
TESSALY_BINDING_TAG(msword9);
TESSALY_BINDING_TAG(msword10);
TESSALY_BINDING_TAG(msword11);
using Bindings = ::testing::Types<msword8Tag, msword9Tag, msword10Tag, msword11Tag>;

class BindingNames {
public:
    template <class T>
    static std::string GetName(int) {
        return WordVersionName(T::kVersion).toStdString();
    }
};
TYPED_TEST_SUITE(WordBinding, Bindings, BindingNames);

TYPED_TEST(WordBinding, VaryingMembersGoOutWithTheirVersionsDispidAndArgumentCount) {
    constexpr WordVersion V = TypeParam::kVersion;
    const Expected e = ExpectedFor(V);
    RecordingWordServer server(V);
    QTemporaryDir dir;
    const QString file = platform::ToProgramPath(dir.filePath("out.doc").toStdString()) ;

    {
        typename TypeParam::Application app;
        ASSERT_TRUE(app.CreateDispatch(QStringLiteral("Word.Application")));
        auto documents = app.GetDocuments();
        documents.Add(varOmitted, varOmitted, varOmitted, varOmitted);
        auto document = app.GetActiveDocument();
        auto selection = app.GetSelection();
        typename TypeParam::Range range = selection.GetRange();
        auto table = document.GetTables().Add(range, 2, 3, varOmitted, varTrue);
        EXPECT_EQ(table.GetRows().GetCount(), 2);
        EXPECT_EQ(table.GetColumns().GetCount(), 3);
        table.GetRange();
        selection.Move(varOmitted, Variant::I4(5));
        selection.GetHyperlinks().Add(selection.GetRange(), Variant::Bstr("http://x/"), Variant::Bstr(""),
                                      Variant::Bstr(""), Variant::Bstr("shown"), varOmitted);
        document.Protect(2, varFalse, Variant::Bstr("pw"), varOmitted, varOmitted);
        document.SaveAs({.FileName = Variant::Bstr(file), .FileFormat = Variant::I4(0)});
        document.Close(varFalse, varTrue, varFalse);
        documents.Open({.FileName = Variant::Bstr(file)});
        app.Quit(varFalse, varTrue, varFalse);
    }
    for (const auto& call : server.Calls())
        EXPECT_EQ(call.error, 0) << call.ToString().toStdString();
    EXPECT_EQ(server.LiveObjects(), 0u);

    const struct {
        const char* member;
        int count;
        DISPID dispid;
    } rows[] = {{"Documents.Open", e.open, e.openId},          {"Documents.Add", e.add, e.addId},
                {"Document.SaveAs", e.saveAs, e.saveAsId},     {"Document.Protect", e.protect, e.protectId},
                {"Hyperlinks.Add", e.linkAdd, e.linkAddId},    {"Tables.Add", e.tablesAdd, e.tablesAddId}};
    for (const auto& row : rows) {
        const auto calls = server.CallsTo(row.member);
        ASSERT_EQ(calls.size(), 1u) << row.member;
        EXPECT_EQ(static_cast<int>(calls[0].args.size()), row.count) << row.member;
        EXPECT_EQ(calls[0].dispid, row.dispid) << row.member;
    }
    // By-value arguments stay by value, the optional ones travel by reference.
    const auto tablesAdd = server.CallsTo("Tables.Add")[0];
    EXPECT_FALSE(tablesAdd.args[0].byRef());
    EXPECT_EQ(tablesAdd.objectArgs[0], "Range");
    EXPECT_EQ(tablesAdd.args[1], Variant::I4(2));
    EXPECT_FALSE(tablesAdd.args[1].byRef());
    const auto protect = server.CallsTo("Document.Protect")[0];
    EXPECT_FALSE(protect.args[0].byRef());
    EXPECT_TRUE(protect.args[1].byRef());
    EXPECT_EQ(protect.args[1], varFalse);
    const auto link = server.CallsTo("Hyperlinks.Add")[0];
    EXPECT_TRUE(link.args[1].byRef());
    const auto& doc = server.Documents(1).at(0);
    EXPECT_EQ(doc.hyperlinks.at(0).textToDisplay.has_value(), e.linkAdd == 6);
}

TYPED_TEST(WordBinding, AutoTextEntryExistsFromWord2000On) {
    constexpr WordVersion V = TypeParam::kVersion;
    RecordingWordServer server(V);
    typename TypeParam::Application app;
    ASSERT_TRUE(app.CreateDispatch(QStringLiteral("Word.Application")));
    app.GetDocuments().Add(varOmitted, varOmitted);
    auto selection = app.GetSelection();
    const std::size_t before = server.Calls().size();
    if (ExpectedFor(V).autoText) {
        selection.CreateAutoTextEntry(QStringLiteral("Page X of Y"), QString());
        EXPECT_EQ(server.CountOf("Selection.CreateAutoTextEntry"), 1u);
    } else {
        try {
            selection.CreateAutoTextEntry(QStringLiteral("Page X of Y"), QString());
            FAIL() << "Word 97 has no CreateAutoTextEntry";
        } catch (const AutomationException& ex) {
            EXPECT_EQ(ex.code(), DISP_E_MEMBERNOTFOUND);
        }
        EXPECT_EQ(server.Calls().size(), before);  // nothing was sent
    }
    app.Quit(varFalse, varTrue, varFalse);
}

TEST(WordBindingConstants, ArriveAsSixteenBitIntegersAndAnErrorByReference) {
    RecordingWordServer server(WordVersion::Word2003);
    msword11::Application app;
    ASSERT_TRUE(app.CreateDispatch(QStringLiteral("Word.Application")));
    app.Quit(varFalse, varTrue, varOmitted);
    const auto quit = server.CallsTo("Application.Quit").at(0);
    ASSERT_EQ(quit.args.size(), 3u);
    for (const auto& a : quit.args)
        EXPECT_TRUE(a.byRef());
    EXPECT_EQ(quit.args[0].type(), VarType::I2);
    EXPECT_EQ(quit.args[0].ToI2(), 0);
    EXPECT_EQ(quit.args[1].type(), VarType::I2);
    EXPECT_EQ(quit.args[1].ToI2(), 1);
    EXPECT_EQ(quit.args[2].type(), VarType::Error);
    EXPECT_EQ(static_cast<std::uint32_t>(quit.args[2].ToError()), 0x80020004u);
}

TEST(WordBindingEmptyDriver, WrappersOnAnEmptyDriverSendNothing) {
    RecordingWordServer server(WordVersion::Word2003);
    msword11::Application app;  // never created
    auto documents = app.GetDocuments();
    EXPECT_TRUE(documents.IsEmpty());
    EXPECT_NO_THROW(documents.Open({.FileName = Variant::Bstr("x")}));
    EXPECT_NO_THROW(app.Quit(varFalse, varTrue, varFalse));
    EXPECT_TRUE(server.Calls().empty());
}

}  // namespace
