#include "RepairFixture.h"
#include "app/StringTable.h"
#include "automation/DispatchDriver.h"

using namespace repair_test;
using automation::Variant;
using automation::varFalse;
using automation::varOmitted;
using automation::varTrue;
using recording_server::kWordFileMarker;

namespace {

std::int32_t RunResave(CDocRecover& e, WordVersion v) {
    switch (v) {
    case WordVersion::Word97: return e.ResaveWord97();
    case WordVersion::Word2000: return e.ResaveWord2000();
    case WordVersion::Word2002: return e.ResaveWord2002();
    case WordVersion::Word2003: return e.ResaveWord2003();
    }
    return -1;
}

struct VersionRow {
    WordVersion version;
    std::size_t openArgs, saveAsArgs, protectArgs;
    bool addToRecent, closesAfterWordSave, deletesCopyWithoutWord;
};
const VersionRow kRows[] = {
    {WordVersion::Word97, 10, 11, 3, false, true, true},
    {WordVersion::Word2000, 12, 11, 3, true, false, false},
    {WordVersion::Word2002, 15, 16, 3, false, true, false},
    {WordVersion::Word2003, 16, 16, 5, false, true, true},
};

class Resave : public ::testing::TestWithParam<VersionRow> {};
INSTANTIATE_TEST_SUITE_P(Versions, Resave, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return VersionName(info.param.version); });

const Variant kEmpty = Variant::Bstr(QString());

TEST_P(Resave, SavesAWordDocumentOverTheCopyWithThisVersionsArguments) {
    const VersionRow& row = GetParam();
    RepairJob job(row.version);
    auto engine = job.OpenEngine();
    const QString dest = engine->m_strDest;

    EXPECT_EQ(RunResave(*engine, row.version), 1);
    EXPECT_EQ(engine->m_nStatus, 1);
    EXPECT_EQ(engine->m_strDest, dest);
    EXPECT_TRUE(job.messages.Boxes().empty());
    EXPECT_TRUE(job.ReadHost("OUT/Recovered_REPORT.DOC").startsWith(kWordFileMarker));
    ExpectWordEnded(job.server);

    const auto open = job.server.CallsTo("Documents.Open").at(0);
    std::vector<Variant> expectedOpen{Variant::Bstr(dest), varFalse, varFalse, varFalse, kEmpty, kEmpty,
                                      varFalse, kEmpty, kEmpty, varOmitted, varFalse, varFalse,
                                      varOmitted, varOmitted, varOmitted, varOmitted};
    expectedOpen.resize(row.openArgs);
    EXPECT_EQ(open.args, expectedOpen);

    const auto saveAs = job.server.CallsTo("Document.SaveAs").at(0);
    std::vector<Variant> expectedSave{Variant::Bstr(dest), Variant::I4(0), varFalse, kEmpty,
                                      row.addToRecent ? varTrue : varFalse, kEmpty, varFalse, varFalse,
                                      varFalse, varFalse, varFalse, varFalse, varFalse, varFalse,
                                      Variant::I4(0), varFalse};
    expectedSave.resize(row.saveAsArgs);
    EXPECT_EQ(saveAs.args, expectedSave);

    EXPECT_EQ(job.server.CountOf("Document.Close"), row.closesAfterWordSave ? 1u : 0u);
    EXPECT_EQ(job.server.CountOf("Application.Quit"), 1u);
    EXPECT_EQ(job.server.CountOf("Document.Protect"), 0u);
    const std::vector<Variant> closeArgs{varFalse, varTrue, varFalse};
    EXPECT_EQ(job.server.CallsTo("Application.Quit").at(0).args, closeArgs);
}

TEST_P(Resave, TextOutputGoesToTheLowerCasedTxtPathAndTheCopyIsRemoved) {
    const VersionRow& row = GetParam();
    RepairJob job(row.version);
    TheApp().m_bSaveAsWord = FALSE;
    TheApp().m_bSaveAsText = TRUE;
    auto engine = job.OpenEngine();
    const QString dest = engine->m_strDest;

    EXPECT_EQ(RunResave(*engine, row.version), 1);
    EXPECT_EQ(job.Files("OUT"), QStringList{"recovered_report.txt"});
    ASSERT_EQ(job.server.Saves().size(), 1u);
    EXPECT_EQ(job.server.Saves()[0].format, 2);
    EXPECT_EQ(job.server.Saves()[0].path, dest.toLower().chopped(4) + ".txt");
    EXPECT_EQ(engine->m_strDest, dest.toLower());
    EXPECT_EQ(job.server.CallsTo("Document.SaveAs").at(0).args.size(), row.saveAsArgs);
    EXPECT_EQ(job.server.CountOf("Document.Close"), 1u);
    ExpectWordEnded(job.server);
}

TEST_P(Resave, TextOutputInAFolderWhoseNameHoldsDotDocKeepsTheFolder) {
    const VersionRow& row = GetParam();
    RepairJob job(row.version, QStringLiteral("A.DOCS"), QStringLiteral("X.DOC"));
    TheApp().m_bSaveAsWord = FALSE;
    TheApp().m_bSaveAsText = TRUE;
    auto engine = job.OpenEngine();

    EXPECT_EQ(RunResave(*engine, row.version), 1);
    EXPECT_EQ(job.Files("A.DOCS"), QStringList{"x.txt"});
    EXPECT_TRUE(job.server.Saves().at(0).path.endsWith("\\a.docs\\x.txt"));
}

TEST_P(Resave, PreviewIsProtectedForFormsUnlessWordOpensItProtected) {
    const VersionRow& row = GetParam();
    for (const bool alreadyProtected : {false, true}) {
        SCOPED_TRACE(alreadyProtected ? "already protected" : "not protected");
        RepairJob job(row.version);
        TheApp().m_bPreviewMode = TRUE;
        if (alreadyProtected)
            job.server.SetProtectionOnOpen(2);
        auto engine = job.OpenEngine();
        EXPECT_EQ(RunResave(*engine, row.version), 1);
        EXPECT_EQ(job.server.CountOf("Document.ProtectionType"), 1u);
        const auto protect = job.server.CallsTo("Document.Protect");
        if (alreadyProtected) {
            EXPECT_TRUE(protect.empty());
            continue;
        }
        ASSERT_EQ(protect.size(), 1u);
        std::vector<Variant> expected{Variant::I4(2), varFalse, Variant::Bstr("kov41tep"), varOmitted, varOmitted};
        expected.resize(row.protectArgs);
        EXPECT_EQ(protect[0].args, expected);
        EXPECT_EQ(job.server.LastDocument()->protection, 2);
    }
}

TEST_P(Resave, InvalidFibClosesWordDeletesTheCopyAndOwnerFiles) {
    const VersionRow& row = GetParam();
    const struct {
        const char* name;
        QByteArray source;
        std::int32_t result;  // that of the repeated text extraction
    } cases[] = {{"nothing extracts", DamagedSource(), 0}, {"text still extracts", WrongIdentSource(), 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RepairJob job(row.version);
        job.WriteSource(c.source);
        RepairJob::WriteHost(job.dir.filePath("OUT/~$report.doc"), "owner");
        RepairJob::WriteHost(job.dir.filePath("OUT/keep.doc"), "other");
        auto engine = job.OpenEngine();

        EXPECT_EQ(RunResave(*engine, row.version), c.result);
        EXPECT_EQ(engine->m_nStatus, c.result);
        EXPECT_EQ(job.Files("OUT"), QStringList{"keep.doc"});
        EXPECT_EQ(job.server.CountOf("Document.SaveAs"), 0u);
        const std::vector<std::string> tail{"Document.Close", "Application.Quit"};
        const auto seq = job.server.MemberSequence();
        ASSERT_GE(seq.size(), 2u);
        EXPECT_EQ(std::vector<std::string>(seq.end() - 2, seq.end()), tail);
        EXPECT_TRUE(job.messages.Boxes().empty());
        ExpectWordEnded(job.server);
    }
}

TEST_P(Resave, WordThatCannotStartIsReportedOnce) {
    const VersionRow& row = GetParam();
    RepairJob job(row.version);
    job.server.RefuseToStart();
    auto engine = job.OpenEngine();

    EXPECT_EQ(RunResave(*engine, row.version), 0);
    EXPECT_EQ(job.messages.Texts(), QStringList{app::LoadString(app::IDS_WORD_LOAD_ERROR)});
    EXPECT_EQ(job.messages.Boxes().at(0).caption, QStringLiteral("Tessaly"));
    EXPECT_EQ(job.Files("OUT").isEmpty(), row.deletesCopyWithoutWord);
    EXPECT_EQ(job.server.Instances(), 0);
}

TEST_P(Resave, FullDestinationEndsBeforeWord) {
    const VersionRow& row = GetParam();
    RepairJob job(row.version);
    platform::ScopedFreeSpaceOverride full([](const QString&) -> std::optional<std::uint64_t> { return 100; });
    auto engine = job.OpenEngine();
    engine->m_nStatus = 7;

    EXPECT_EQ(RunResave(*engine, row.version), 0);
    EXPECT_EQ(engine->m_nStatus, 7);
    EXPECT_EQ(job.messages.Texts(), QStringList{app::LoadString(app::IDS_DESTINATION_FULL)});
    EXPECT_EQ(job.server.StartAttempts(), 0);
}

// Whatever call fails, the routine ends with 0, Word told to quit, every
// reference released, no output left and nothing thrown.
TEST_P(Resave, AFailureAtAnyCallEndsInZeroWithWordQuit) {
    const VersionRow& row = GetParam();
    for (const bool text : {false, true}) {
        std::size_t calls = 0;
        {
            RepairJob clean(row.version);
            TheApp().m_bPreviewMode = TRUE;
            TheApp().m_bSaveAsWord = !text;
            TheApp().m_bSaveAsText = text;
            auto engine = clean.OpenEngine();
            ASSERT_EQ(RunResave(*engine, row.version), 1);
            calls = clean.server.Calls().size();
        }
        for (std::size_t i = 0; i < calls; ++i) {
            SCOPED_TRACE(testing::Message() << (text ? "text" : "word") << " output, failing call " << i);
            RepairJob job(row.version);
            TheApp().m_bPreviewMode = TRUE;
            TheApp().m_bSaveAsWord = !text;
            TheApp().m_bSaveAsText = text;
            job.server.FailCall(i);
            auto engine = job.OpenEngine();
            std::int32_t result = -1;
            EXPECT_NO_THROW(result = RunResave(*engine, row.version));
            EXPECT_EQ(result, 0) << job.server.Calls().at(i).ToString().toStdString();
            EXPECT_EQ(engine->m_nStatus, 0);
            EXPECT_TRUE(job.Files("OUT").isEmpty()) << job.Files("OUT").join(' ').toStdString();
            ExpectWordEnded(job.server);
        }
    }
}

}  // namespace
