// The stand-in server must be strict, or a wrong binding would pass.
#include "RecordingWordServer.h"
#include "automation/DispatchDriver.h"
#include "automation/msword11.h"
#include "automation/msword8.h"

#include <gtest/gtest.h>

using namespace automation;
using recording_server::RecordingWordServer;

namespace {

HRESULT ErrorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const AutomationException& e) {
        return e.code();
    }
    return S_OK;
}

TEST(RecordingServer, RejectsUnknownMembersWrongKindsAndWrongCounts) {
    RecordingWordServer server(WordVersion::Word97);
    DispatchDriver app;
    ASSERT_TRUE(app.CreateDispatch(QStringLiteral("Word.Application")));
    const Variant omitted = varOmitted.ByRef();
    const std::vector<Variant> three{omitted, omitted, omitted};
    const struct {
        DISPID dispid;
        InvokeKind kind;
        std::vector<Variant> args;
        HRESULT expected;
    } cases[] = {
        {0x99, InvokeKind::Method, {}, DISP_E_MEMBERNOTFOUND},                  // unknown
        {0x6, InvokeKind::PropertyPut, {omitted}, DISP_E_MEMBERNOTFOUND},       // Documents is read-only
        {0x451, InvokeKind::Method, {omitted, omitted}, DISP_E_BADPARAMCOUNT},  // Quit takes three
        {0x451, InvokeKind::Method, {varFalse, varTrue, varFalse}, DISP_E_TYPEMISMATCH},  // not by reference
    };
    for (const auto& c : cases)
        EXPECT_EQ(ErrorOf([&] { app.InvokeMember(c.dispid, c.kind, ResultKind::None, c.args); }), c.expected)
            << std::hex << c.dispid;
    // The Word 2003 Documents.Open is unknown to a Word 97 server.
    const Variant docs = app.InvokeMember(0x6, InvokeKind::PropertyGet, ResultKind::Object, {});
    DispatchDriver documents(docs.ToDispatch(), FALSE);
    EXPECT_EQ(ErrorOf([&] {
                  documents.InvokeMember(0x13, InvokeKind::Method, ResultKind::Object,
                                         std::vector<Variant>(16, omitted));
              }),
              DISP_E_MEMBERNOTFOUND);
    ASSERT_EQ(server.Calls().size(), 6u);
    EXPECT_EQ(server.Calls()[0].member, "Application.0x99");
    EXPECT_EQ(server.Calls()[2].error, DISP_E_BADPARAMCOUNT);
}

TEST(RecordingServer, InjectedFailuresRefusedStartAndCallsAfterQuit) {
    RecordingWordServer server(WordVersion::Word2003);
    server.FailMember("Application.Documents", 2, E_UNEXPECTED);
    msword11::Application app;
    ASSERT_TRUE(app.CreateDispatch(QStringLiteral("Word.Application")));
    EXPECT_NO_THROW(app.GetDocuments());
    EXPECT_EQ(ErrorOf([&] { app.GetDocuments(); }), E_UNEXPECTED);
    server.FailCall(2);
    EXPECT_EQ(ErrorOf([&] { app.GetSelection(); }), E_FAIL);
    app.Quit(varFalse, varTrue, varFalse);
    EXPECT_TRUE(server.HasQuit(1));
    EXPECT_EQ(ErrorOf([&] { app.Quit(varFalse, varTrue, varFalse); }), RPC_E_DISCONNECTED);

    server.RefuseToStart();
    msword11::Application second;
    EXPECT_FALSE(second.CreateDispatch(QStringLiteral("Word.Application")));
    EXPECT_EQ(server.StartAttempts(), 2);
    EXPECT_EQ(server.Instances(), 1);
}

TEST(RecordingServer, ModelsTypingCellsAndProtection) {
    RecordingWordServer server(WordVersion::Word2003);
    msword11::Application app;
    ASSERT_TRUE(app.CreateDispatch(QStringLiteral("Word.Application")));
    app.GetDocuments().Add(varOmitted, varOmitted, varOmitted, varOmitted);
    auto selection = app.GetSelection();
    auto document = app.GetActiveDocument();
    selection.TypeText(QStringLiteral("one"));
    selection.TypeParagraph();
    auto table = document.GetTables().Add(selection.GetRange(), 1, 2, varOmitted, varTrue);
    auto cell = table.GetCell(1, 2);
    cell.Select();
    cell.GetRange().InsertAfter(QStringLiteral("ab"));
    selection.InsertAfter(QStringLiteral("cd"));
    EXPECT_NE(ErrorOf([&] { table.GetCell(2, 1); }), S_OK);
    selection.Move(varOmitted, Variant::I4(table.GetRange().GetEnd()));
    selection.TypeText(QStringLiteral("two"));
    document.Protect(2, varFalse, Variant::Bstr("pw"), varOmitted, varOmitted);
    EXPECT_EQ(document.GetProtectionType(), 2);
    EXPECT_NE(ErrorOf([&] { document.Protect(2, varFalse, Variant::Bstr("pw"), varOmitted, varOmitted); }), S_OK);
    const auto* doc = server.LastDocument();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->Render(), QStringLiteral("one\r[table |abcd]two"));
    EXPECT_EQ(doc->password, QStringLiteral("pw"));
    app.Quit(varFalse, varTrue, varFalse);
}

}  // namespace
