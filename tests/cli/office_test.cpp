// tessaly-repair's run through the real Word server on LibreOffice, on
// damaged corpus documents (their compound-file signature overwritten).
#include "RepairCommand.h"

#include "app/RecoveryApp.h"
#include "platform/messagebox.h"
#include "platform/registry.h"
#include "tempdir/TempDir.h"
#include "wordserver/WordServer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

fs::path Damaged(const testing_support::TempDir& dir, const fs::path& source, const std::string& name) {
    const fs::path out = dir.host() / "in" / name;
    fs::create_directories(out.parent_path());
    fs::copy_file(source, out, fs::copy_options::overwrite_existing);
    std::fstream f(out, std::ios::in | std::ios::out | std::ios::binary);
    f.write("TESSALY-DAMAGED-SIGNATUR", 24);
    return out;
}

}  // namespace

TEST(RepairCommandOffice, RepairsDamagedCorpusDocumentsEndToEnd) {
    const fs::path corpus = TESSALY_CORPUS_DIR;
    const fs::path sample = corpus / "antiword" / "testdoc.doc";
    if (!fs::exists(sample))
        GTEST_SKIP() << "corpus not present";
    testing_support::TempDir dir;
    ::setenv("TESSALY_REGISTRY", (dir.host() / "registry.ini").c_str(), 1);
    ::setenv("XDG_CACHE_HOME", (dir.host() / "cache").c_str(), 1);
    ::setenv("TMPDIR", (dir.host() / "tmp").c_str(), 1);
    fs::create_directories(dir.host() / "tmp");
    fs::create_directories(dir.host() / "out");
    {
        platform::RegKey key;
        key.Create(platform::HKey::ClassesRoot, "Word.Application\\CurVer");
        key.SetString(QString(), "Word.Application.11");
    }
    ResetTheApp();
    wordserver::RegisterWordServer();
    platform::RecordingMessageSink boxes;
    Damaged(dir, sample, "one.doc");
    const QString in = QString::fromStdString((dir.host() / "in").string());
    const QString out = QString::fromStdString((dir.host() / "out").string());

    EXPECT_EQ(repair_cli::RunMain({"--out", out, in}, stdout, stderr), repair_cli::kAllRepaired)
        << boxes.Texts().join(" | ").toStdString();
    EXPECT_TRUE(fs::exists(dir.host() / "out" / "Recovered_1_ONE.DOC"));

    ResetTheApp();
    EXPECT_EQ(repair_cli::RunMain({"--text", in}, stdout, stderr), repair_cli::kAllRepaired)
        << boxes.Texts().join(" | ").toStdString();
    EXPECT_TRUE(fs::exists(dir.host() / "in" / "recovered_one.txt"));
    EXPECT_FALSE(TheApp().IsWordRunning());
    ::unsetenv("TESSALY_REGISTRY");
    ::unsetenv("XDG_CACHE_HOME");
    ::unsetenv("TMPDIR");
}
