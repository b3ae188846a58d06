#include "RepairFixture.h"
#include "app/StringTable.h"
#include "tree/RecoveryDrivers.h"

using namespace repair_test;

namespace {

class Frame : public IFrameServices {
public:
    explicit Frame(BOOL textView = FALSE) : m_textView(textView) {}
    BOOL TextViewShown() const override { return m_textView; }

private:
    BOOL m_textView;
};

std::int32_t Drive(const CRecoveryDrivers& d, WordVersion v) {
    switch (v) {
    case WordVersion::Word97: return d.RecoverWord97();
    case WordVersion::Word2000: return d.RecoverWord2000();
    case WordVersion::Word2002: return d.RecoverWord2002();
    case WordVersion::Word2003: return d.RecoverWord2003();
    }
    return -1;
}

TEST(RecoveryDriver, CombinesTheStrategiesAsTheOutcomeTableSays) {
    const struct {
        std::int32_t resave;
        BOOL destinationError;
        std::int32_t fullPass, rebuild;
        std::int32_t result;
        bool fullPassRuns, rebuildRuns;
    } rows[] = {
        {1, FALSE, 1, 1, 1, false, false},
        {1, TRUE, 1, 1, 1, false, false},
        {0, TRUE, 1, 1, 0, false, false},
        {0, FALSE, 0, 1, 0, true, false},
        {0, FALSE, 1, 1, 1, true, true},
        {0, FALSE, 1, 0, 0, true, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "resave " << row.resave << " full " << row.destinationError << " pass "
                                        << row.fullPass << " rebuild " << row.rebuild);
        RepairJob job(WordVersion::Word2003);
        std::vector<std::string> ran;
        const CDocRecover* seen = nullptr;
        auto step = [&](const char* name, std::int32_t value) {
            return [&, name, value](CDocRecover& e) {
                EXPECT_TRUE(seen == nullptr || seen == &e) << "one engine object for the whole call";
                EXPECT_EQ(e.m_strSource, TheApp().m_strSourcePath) << "the source is open";
                seen = &e;
                ran.push_back(name);
                if (std::string(name) == "resave")
                    TheApp().m_bDestinationError = row.destinationError;
                return value;
            };
        };
        const RecoverySteps steps{step("resave", row.resave), step("fullPass", row.fullPass),
                                  step("rebuild", row.rebuild)};
        EXPECT_EQ(RunRecoveryDriver(Frame(), steps), row.result);
        std::vector<std::string> expected{"resave"};
        if (row.fullPassRuns)
            expected.push_back("fullPass");
        if (row.rebuildRuns)
            expected.push_back("rebuild");
        EXPECT_EQ(ran, expected);
    }
}

TEST(RecoveryDriver, SourceThatCannotBeOpenedEndsAtOnce) {
    RepairJob job(WordVersion::Word2003);
    TheApp().m_strSourcePath = job.root + "\\SRC\\GONE.DOC";
    int steps = 0;
    auto count = [&](CDocRecover&) { ++steps; return 1; };
    EXPECT_EQ(RunRecoveryDriver(Frame(), {count, count, count}), 0);
    EXPECT_EQ(steps, 0);
    EXPECT_EQ(job.messages.Texts(), QStringList{app::LoadString(app::IDS_FILE_OPEN_ERROR)});
}

class RecoveryDrivers : public ::testing::TestWithParam<WordVersion> {};
INSTANTIATE_TEST_SUITE_P(Versions, RecoveryDrivers,
                         ::testing::Values(WordVersion::Word97, WordVersion::Word2000, WordVersion::Word2002,
                                           WordVersion::Word2003),
                         [](const auto& info) { return VersionName(info.param); });

TEST_P(RecoveryDrivers, TextViewOnlyExtractsTheTextWithoutWord) {
    for (const bool good : {true, false}) {
        SCOPED_TRACE(good ? "valid FIB" : "damaged FIB");
        RepairJob job(GetParam());
        job.WriteSource(good ? GoodSource() : DamagedSource());
        const Frame frame(TRUE);
        EXPECT_EQ(Drive(CRecoveryDrivers(frame), GetParam()), good ? 1 : 0);
        EXPECT_EQ(job.server.StartAttempts(), 0);
        EXPECT_TRUE(job.Files("OUT").isEmpty());
        if (good) {
            EXPECT_EQ(TheApp().m_pszFilteredText, (std::vector<std::uint8_t>{'H', 'e', 'l', 'l', 'o', '\r', 0}));
        }
    }
}

TEST_P(RecoveryDrivers, ADocumentWordOpensIsOnlyResaved) {
    RepairJob job(GetParam());
    const Frame frame;
    EXPECT_EQ(Drive(CRecoveryDrivers(frame), GetParam()), 1);
    EXPECT_EQ(job.server.Instances(), 1);
    EXPECT_EQ(job.server.CountOf("Documents.Add"), 0u);
    EXPECT_EQ(job.Files("OUT"), QStringList{"Recovered_REPORT.DOC"});
    ExpectWordEnded(job.server);
}

TEST_P(RecoveryDrivers, FullDestinationIsReportedOnceAndWordNeverStarts) {
    RepairJob job(GetParam());
    platform::ScopedFreeSpaceOverride full([](const QString&) -> std::optional<std::uint64_t> { return 10; });
    const Frame frame;
    EXPECT_EQ(Drive(CRecoveryDrivers(frame), GetParam()), 0);
    EXPECT_EQ(job.messages.Texts(), QStringList{app::LoadString(app::IDS_DESTINATION_FULL)});
    EXPECT_EQ(job.server.StartAttempts(), 0);
}

TEST_P(RecoveryDrivers, WordMissingIsReportedByBothRoutinesWhenTheFullPassSucceeds) {
    RepairJob job(GetParam());
    job.WriteSource(DamagedSource());
    job.server.RefuseToStart();
    RecoverySteps steps = RecoveryStepsFor(GetParam());
    steps.fullPass = [](CDocRecover&) { return 1; };
    EXPECT_EQ(RunRecoveryDriver(Frame(), steps), 0);
    const QString loadError = app::LoadString(app::IDS_WORD_LOAD_ERROR);
    EXPECT_EQ(job.messages.Texts(), (QStringList{loadError, loadError}));
    EXPECT_EQ(job.server.StartAttempts(), 2);
}

TEST_P(RecoveryDrivers, ADocumentWordCannotOpenIsRebuilt) {
    RepairJob job(GetParam());
    job.WriteSource(DamagedSource());
    job.server.FailMember("Documents.Open");
    RecoverySteps steps = RecoveryStepsFor(GetParam());
    steps.fullPass = [](CDocRecover& e) {
        auto run = std::make_unique<TextRunNode>();
        run->text = "Recovered";
        AppendNode(e.m_pRunHead, e.m_pRunTail, std::move(run));
        e.m_aElementKinds[e.m_nElementCount++] = ELEM_TEXT;
        return 1;
    };
    EXPECT_EQ(RunRecoveryDriver(Frame(), steps), 1);
    EXPECT_EQ(job.server.Instances(), 2);
    EXPECT_EQ(job.server.Documents(2).at(0).body, QStringLiteral("Recovered\r"));
    EXPECT_EQ(job.Files("OUT"), QStringList{"Recovered_REPORT.DOC"});
    EXPECT_TRUE(job.messages.Boxes().empty());
    ExpectWordEnded(job.server);
}

}  // namespace
