#include "RepairCommand.h"

#include "RecordingWordServer.h"
#include "RepairFixture.h"
#include "app/RecoveryApp.h"
#include "platform/fileops.h"
#include "platform/messagebox.h"
#include "platform/registry.h"
#include "tempdir/TempDir.h"

#include <QFile>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;
using automation::WordVersion;
using testing_support::TempDir;

namespace {

// Captures what the command writes to a stream.
class Captured {
public:
    Captured() : m_file(std::tmpfile()) {}
    ~Captured() { std::fclose(m_file); }
    std::FILE* get() { return m_file; }
    QString Text() {
        std::fflush(m_file);
        std::rewind(m_file);
        QByteArray all;
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, m_file)) > 0)
            all.append(buf, static_cast<qsizetype>(n));
        return QString::fromUtf8(all);
    }

private:
    std::FILE* m_file;
};

std::vector<std::uint8_t> Bytes(const QByteArray& b) { return {b.begin(), b.end()}; }

class RepairCommand : public ::testing::Test {
protected:
    void SetUp() override {
        ResetTheApp();
        ::setenv("TESSALY_REGISTRY", (dir.host() / "registry.ini").c_str(), 1);
        ::setenv("XDG_CACHE_HOME", (dir.host() / "cache").c_str(), 1);
        ::setenv("TMPDIR", (dir.host() / "tmp").c_str(), 1);
        fs::create_directories(dir.host() / "tmp");
        platform::RegKey key;
        key.Create(platform::HKey::ClassesRoot, "Word.Application\\CurVer");
        key.SetString(QString(), "Word.Application.11");
        dir.Write("docs/good.doc", Bytes(repair_test::GoodSource()));
        dir.Write("docs/other.doc", Bytes(repair_test::GoodSource()));
        fs::create_directories(dir.host() / "out");
    }
    void TearDown() override {
        ::unsetenv("TESSALY_REGISTRY");
        ::unsetenv("XDG_CACHE_HOME");
        ::unsetenv("TMPDIR");
        ResetTheApp();
    }
    int Run(QStringList args) {
        return repair_cli::RunMain(args, out.get(), err.get());
    }
    QString Host(const char* relative) const { return QString::fromStdString((dir.host() / relative).string()); }
    QStringList Files(const char* relative) const {
        QStringList names;
        for (const auto& e : fs::directory_iterator(dir.host() / relative))
            names << QString::fromStdString(e.path().filename().string());
        names.sort();
        return names;
    }

    TempDir dir;
    Captured out, err;
    recording_server::RecordingWordServer server{WordVersion::Word2003};
    platform::RecordingMessageSink boxes;
    platform::ScopedFreeSpaceOverride space{[](const QString&) -> std::optional<std::uint64_t> { return std::uint64_t{1} << 40; }};
};

}  // namespace

TEST_F(RepairCommand, BadUsageIsExplainedAndWritesNothing) {
    const struct {
        QStringList args;
        const char* says;
    } rows[] = {
        {{}, "no PATH given"},
        {{"--bogus", Host("docs")}, "unknown option: --bogus"},
        {{"--out"}, "option --out needs a folder"},
        {{"--out", Host("nowhere"), Host("docs")}, "output folder does not exist"},
        {{Host("docs/missing.doc")}, "no such file or folder"},
        {{Host("registry.ini")}, "This is not a valid MS Word file."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.says);
        Captured e;
        EXPECT_EQ(repair_cli::RunMain(row.args, out.get(), e.get()), repair_cli::kBadUsage);
        EXPECT_TRUE(e.Text().contains(row.says)) << e.Text().toStdString();
        EXPECT_TRUE(e.Text().contains("--help"));
    }
    EXPECT_EQ(Files("docs"), QStringList({"good.doc", "other.doc"}));
    EXPECT_TRUE(Files("out").isEmpty());
    EXPECT_EQ(server.Instances(), 0);
}

TEST_F(RepairCommand, HelpDocumentsEveryOption) {
    EXPECT_EQ(Run({"--help"}), repair_cli::kAllRepaired);
    const QString help = out.Text();
    for (const char* word : {"--text", "--out DIR", "--recursive", "--help", "Exit status", "Recovered_<n>_NAME"})
        EXPECT_TRUE(help.contains(word)) << word;
}

TEST_F(RepairCommand, FolderRepairedNextToTheSourcesWithAProgressLineEachAndStatusZero) {
    EXPECT_EQ(Run({Host("docs")}), repair_cli::kAllRepaired) << boxes.Texts().join("|").toStdString();
    EXPECT_EQ(Files("docs"), QStringList({"Recovered_GOOD.DOC", "Recovered_OTHER.DOC", "good.doc", "other.doc"}));
    const QStringList lines = out.Text().split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("[1/2] ") && lines[0].contains(": repaired -> ") && lines[0].contains("Recovered_", Qt::CaseInsensitive)) << lines[0].toStdString();
    EXPECT_TRUE(boxes.Texts().contains("2 File(s) are repaired out of 2 Files"));
}

TEST_F(RepairCommand, TextIntoAChosenFolderWithRunningNumbers) {
    EXPECT_EQ(Run({"--text", "--out", Host("out"), Host("docs/good.doc"), Host("docs/other.doc")}), repair_cli::kAllRepaired)
        << boxes.Texts().join("|").toStdString();
    EXPECT_EQ(Files("out"), QStringList({"recovered_1_good.txt", "recovered_2_other.txt"}));
}

TEST_F(RepairCommand, AFileThatCannotBeRepairedGivesStatusOneAndTheOthersStillRun) {
    dir.Write("docs/broken.doc", Bytes(repair_test::DamagedSource()));
    const int status = Run({Host("docs")});
    EXPECT_EQ(status, repair_cli::kSomeNotRepaired);
    EXPECT_TRUE(out.Text().contains("broken.doc: not repaired", Qt::CaseInsensitive)) << out.Text().toStdString();
    EXPECT_EQ(out.Text().count('\n'), 3);
}

TEST_F(RepairCommand, RecursiveWalksSubfoldersAndPlainDoesNot) {
    for (const char* top : {"flat", "deep"}) {
        dir.Write(std::string(top) + "/top.doc", Bytes(repair_test::GoodSource()));
        dir.Write(std::string(top) + "/sub/inner.doc", Bytes(repair_test::GoodSource()));
    }
    EXPECT_EQ(Run({Host("flat")}), repair_cli::kAllRepaired);
    EXPECT_TRUE(fs::exists(dir.host() / "flat/Recovered_TOP.DOC"));
    EXPECT_FALSE(fs::exists(dir.host() / "flat/sub/Recovered_INNER.DOC"));
    EXPECT_EQ(Run({"--recursive", Host("deep")}), repair_cli::kAllRepaired);
    EXPECT_TRUE(fs::exists(dir.host() / "deep/Recovered_TOP.DOC"));
    EXPECT_TRUE(fs::exists(dir.host() / "deep/sub/Recovered_INNER.DOC"));
}

TEST_F(RepairCommand, AFolderWithoutDocumentsGivesStatusOne) {
    EXPECT_EQ(Run({Host("out")}), repair_cli::kSomeNotRepaired);
    EXPECT_TRUE(boxes.Texts().join("|").contains("no .doc files found"));
}
