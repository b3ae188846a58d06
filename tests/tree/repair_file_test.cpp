#include "TreeFixture.h"

#include "RecordingWordServer.h"
#include "RepairFixture.h"
#include "platform/fileops.h"

#include <QRegularExpression>

using namespace tree_test;
using automation::WordVersion;

namespace {

// A listed source D.../SRC/REPORT.DOC and the chosen folder OUT.
class RepairFileTest : public TreeTest {
protected:
    void SetUp() override {
        TreeTest::SetUp();
        dir.Write("SRC/REPORT.DOC", "source bytes");
        std::filesystem::create_directories(dir.host() / "OUT");
        folder = dir.program("SRC").toUpper();
        item = Child(AddFolder(folder, {"REPORT.DOC"}), 0);
        TheApp().m_strDestination = dir.program("OUT");
        view.m_driverOverride = [this](WordVersion v) {
            drivers.push_back(v);
            outputs << TheApp().m_strWordOutputPath;
            return driverResult;
        };
    }
    QString folder;
    HTREEITEM item = nullptr;
    std::vector<WordVersion> drivers;
    QStringList outputs;
    std::int32_t driverResult = 1;
};

}  // namespace

TEST_F(RepairFileTest, OutputNamingByMode) {
    const QString tempPattern = QRegularExpression::escape(TheApp().m_strTempFolder + "\\") + R"(~\$temp_\d+_\d+\.DOC)";
    const struct {
        const char* name;
        BOOL toOriginal, toNew, processing;
        QString pattern, outputFolder;
        std::int32_t indexAfter;
    } rows[] = {
        {"preview", TRUE, FALSE, FALSE, tempPattern, folder + "\\REPORT.DOC", 1},
        {"new folder", FALSE, TRUE, TRUE, QRegularExpression::escape(dir.program("OUT") + "\\Recovered_1_REPORT.DOC"),
         dir.program("OUT"), 2},
        {"original, processing", TRUE, FALSE, TRUE, QRegularExpression::escape(folder + "\\Recovered_REPORT.DOC"), folder, 1},
        {"new folder chosen, but a preview", FALSE, TRUE, FALSE,
         QRegularExpression::escape(folder + "\\Recovered_REPORT.DOC"), folder, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        CRecoveryApp& app = TheApp();
        app.m_nRecoveredIndex = 1;
        app.m_bToOriginalFolder = row.toOriginal;
        app.m_bToNewFolder = row.toNew;
        app.m_bProcessing = row.processing;
        EXPECT_EQ(view.RepairFile(item), 1);
        EXPECT_TRUE(QRegularExpression("^" + row.pattern + "$").match(app.m_strWordOutputPath).hasMatch())
            << app.m_strWordOutputPath.toStdString();
        EXPECT_EQ(app.m_strOutputFolder, row.outputFolder);
        EXPECT_EQ(app.m_strSourcePath, folder + "\\REPORT.DOC");
        EXPECT_EQ(app.m_nRecoveredIndex, row.indexAfter);
        EXPECT_EQ(frame.paths.mid(frame.paths.size() - 2), QStringList({"", folder + "\\REPORT.DOC"}));
    }
    EXPECT_TRUE(platform::FileExists(folder + "\\REPORT.DOC"));
}

TEST_F(RepairFileTest, RunningNumberAdvancesWithEveryNewFolderSaveAlsoAFailedOne) {
    CRecoveryApp& app = TheApp();
    app.m_bToNewFolder = TRUE;
    app.m_bProcessing = TRUE;
    EXPECT_EQ(view.RepairFile(item), 1);
    driverResult = 0;
    EXPECT_EQ(view.RepairFile(item), 0);
    SetCurVer("Word.Application.12");  // Word unusable: the number is used up too
    EXPECT_EQ(view.RepairFile(item), 0);
    SetCurVer("Word.Application.11");
    driverResult = 1;
    EXPECT_EQ(view.RepairFile(item), 1);
    const QString out = dir.program("OUT");
    EXPECT_EQ(outputs, QStringList({out + "\\Recovered_1_REPORT.DOC", out + "\\Recovered_2_REPORT.DOC",
                                    out + "\\Recovered_4_REPORT.DOC"}));
    EXPECT_EQ(app.m_nRecoveredIndex, 5);
    EXPECT_TRUE(view.Previews().empty()) << "saves keep no preview";
}

TEST_F(RepairFileTest, CurVerChoosesTheDriver) {
    const struct {
        QString value;
        std::optional<WordVersion> version;
    } rows[] = {
        {"Word.Application.11", WordVersion::Word2003},
        {"Word.Application.10", WordVersion::Word2002},
        {"Word.Application.9", WordVersion::Word2000},
        {"Word.Application.8", WordVersion::Word97},
        {"Word.Application.118", WordVersion::Word97},  // "8" is looked for first
        {"Word.Application.12", std::nullopt},
        {"", std::nullopt},
        {"Word.Application." + QString(200, '1'), std::nullopt},  // longer than the 260-byte buffer
    };
    TheApp().m_bProcessing = TRUE;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.value.toStdString());
        SetCurVer(row.value);
        drivers.clear();
        boxes.Clear();
        const std::int32_t result = view.RepairFile(item);
        if (row.version) {
            EXPECT_EQ(result, 1);
            ASSERT_EQ(drivers.size(), 1u);
            EXPECT_EQ(drivers[0], *row.version);
            EXPECT_EQ(TheApp().m_strWordVersion, automation::WordVersionName(*row.version));
            EXPECT_TRUE(boxes.Boxes().empty());
        } else {
            EXPECT_EQ(result, 0);
            EXPECT_TRUE(drivers.empty());
            ASSERT_EQ(boxes.Boxes().size(), 1u);
            EXPECT_EQ(boxes.Boxes()[0].text, "Error in loading MS Word.");
            EXPECT_EQ(boxes.Boxes()[0].icon, platform::MbIcon::Error);
            EXPECT_EQ(boxes.Boxes()[0].topmost, platform::MbTopmost::Yes);
        }
    }
}

TEST_F(RepairFileTest, MissingCurVerKeyIsReported) {
    std::filesystem::remove(dir.host() / "registry.ini");
    TheApp().m_bProcessing = TRUE;
    EXPECT_EQ(view.RepairFile(item), 0);
    EXPECT_EQ(boxes.Texts(), QStringList({"Error in loading MS Word."}));
}

TEST_F(RepairFileTest, MissingSourceIsReportedAndNothingIsChosen) {
    std::filesystem::remove(dir.host() / "SRC" / "REPORT.DOC");
    CRecoveryApp& app = TheApp();
    app.m_bToNewFolder = TRUE;
    app.m_bProcessing = TRUE;
    app.m_strSourcePath = "untouched";
    EXPECT_EQ(view.RepairFile(item), 0);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, folder + "\\REPORT.DOC File does not exist.");
    EXPECT_EQ(boxes.Boxes()[0].caption, "Tessaly");
    EXPECT_EQ(boxes.Boxes()[0].icon, platform::MbIcon::Warning);
    EXPECT_EQ(app.m_strSourcePath, "untouched");
    EXPECT_EQ(app.m_nRecoveredIndex, 1);
    EXPECT_EQ(app.m_strItemName, "REPORT.DOC");
    EXPECT_TRUE(drivers.empty());
}

TEST_F(RepairFileTest, PreviewRecordsAndTheirLookup) {
    CRecoveryApp& app = TheApp();
    app.m_bToOriginalFolder = TRUE;
    ASSERT_EQ(view.RepairFile(item), 1);
    ASSERT_EQ(view.Previews().size(), 1u);
    const QString kept = app.m_strWordOutputPath;
    EXPECT_EQ(view.Previews().front().pszSource, folder + "\\REPORT.DOC");
    EXPECT_EQ(view.Previews().front().pszWordFile, kept);
    EXPECT_FALSE(view.Previews().front().pszTextFile.has_value());

    app.m_strWordOutputPath.clear();
    EXPECT_FALSE(view.FindPreview(folder + "\\report.doc")) << "the lookup is exact";
    EXPECT_FALSE(view.FindPreview(folder + "\\REPORT.DOC")) << "the preview file was never written";
    EXPECT_EQ(app.m_strWordOutputPath, kept) << "the paths are set from the record all the same";
    std::filesystem::path host = *platform::ToHostPath(app.m_strTempFolder);
    QFile f(QString::fromStdString((host / kept.section('\\', -1).toStdString()).string()));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_TRUE(view.FindPreview(folder + "\\REPORT.DOC"));
    view.ForgetPreview(folder + "\\REPORT.DOC");
    EXPECT_TRUE(view.Previews().empty());
    EXPECT_FALSE(platform::FileExists(kept));
}

TEST_F(RepairFileTest, DeleteOwnerFilesRemovesOnlyOwnerFiles) {
    dir.Write("SRC/~$REPORT.doc", "owner");
    dir.Write("SRC/~$other.DOC", "owner");
    dir.Write("SRC/~$notes.txt", "keep");
    view.DeleteOwnerFiles(folder);
    EXPECT_FALSE(std::filesystem::exists(dir.host() / "SRC" / "~$REPORT.doc"));
    EXPECT_FALSE(std::filesystem::exists(dir.host() / "SRC" / "~$other.DOC"));
    EXPECT_TRUE(std::filesystem::exists(dir.host() / "SRC" / "~$notes.txt"));
    EXPECT_TRUE(std::filesystem::exists(dir.host() / "SRC" / "REPORT.DOC"));
}

// Through the real drivers and the engine, with the strict recording server.
TEST_F(RepairFileTest, SaveThroughTheDriverWithTheRecordingServer) {
    view.m_driverOverride = nullptr;
    recording_server::RecordingWordServer server(WordVersion::Word2003);
    platform::ScopedFreeSpaceOverride space([](const QString&) -> std::optional<std::uint64_t> { return std::uint64_t{1} << 40; });
    const QByteArray good = repair_test::GoodSource();
    dir.Write("SRC/REPORT.DOC", std::vector<std::uint8_t>(good.begin(), good.end()));
    CRecoveryApp& app = TheApp();
    app.m_bToOriginalFolder = TRUE;
    app.m_bProcessing = TRUE;
    EXPECT_EQ(view.RepairFile(item), 1) << boxes.Texts().join("|").toStdString();
    EXPECT_TRUE(std::filesystem::exists(dir.host() / "SRC" / "Recovered_REPORT.DOC"));
    EXPECT_EQ(testing_support::ReadAll(dir.host() / "SRC" / "REPORT.DOC"), std::vector<std::uint8_t>(good.begin(), good.end()));
    repair_test::ExpectWordEnded(server);
}
