// The engine object's whole-file operations: opening the source, the
// free-space test, the output copy with the signature restored, owner files.
#include "app/RecoveryApp.h"
#include "engine/DocRecover.h"
#include "platform/fileops.h"
#include "platform/messagebox.h"
#include "tempdir/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using testing_support::ReadAll;
using testing_support::TempDir;

namespace {

std::vector<std::uint8_t> Document(bool withSignature, size_t size = 1536) {
    std::vector<std::uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
    if (withSignature)
        std::copy(kCompoundSignature.begin(), kCompoundSignature.end(), bytes.begin());
    return bytes;
}

class EngineFiles : public ::testing::Test {
protected:
    void SetUp() override {
        ResetTheApp();
        CRecoveryApp& app = TheApp();
        app.m_strSourcePath = dir.program("source.doc");
        app.m_strWordOutputPath = dir.program("Recovered_source.doc");
        app.m_strOutputFolder = dir.program();
        app.m_strProgramFolder = dir.program() + "\\";
        app.m_bToOriginalFolder = TRUE;
    }
    std::unique_ptr<CDocRecover> Open() {
        auto engine = std::make_unique<CDocRecover>();
        EXPECT_EQ(engine->OpenSource(), 1);
        return engine;
    }
    TempDir dir;
    platform::RecordingMessageSink boxes;
};

}  // namespace

TEST_F(EngineFiles, MissingSourceSaysFileOpenError) {
    CDocRecover engine;
    EXPECT_EQ(engine.OpenSource(), 0);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "File Open Error.");
    EXPECT_EQ(boxes.Boxes()[0].caption, "Tessaly");
    EXPECT_EQ(boxes.Boxes()[0].icon, platform::MbIcon::Exclamation);
    // Reads on an engine without a source do nothing.
    EXPECT_EQ(engine.HasCompoundSignature(), 0);
    std::uint8_t buf[4] = {9, 9, 9, 9};
    EXPECT_EQ(engine.ReadSourceAt(0, buf), 0u);
}

TEST_F(EngineFiles, CopyKeepsASignedSourceByteForByte) {
    dir.Write("source.doc", Document(true));
    auto engine = Open();
    engine->m_bSignatureValid = engine->HasCompoundSignature();
    ASSERT_EQ(engine->m_bSignatureValid, 1);
    ASSERT_EQ(engine->PrepareOutputCopy(), 1);
    EXPECT_EQ(engine->m_nStatus, 1);
    EXPECT_EQ(ReadAll(dir.host() / "Recovered_source.doc"), Document(true));
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(EngineFiles, CopyRestoresExactlyTheFirstEightBytes) {
    dir.Write("source.doc", Document(false));
    auto engine = Open();
    engine->m_bSignatureValid = engine->HasCompoundSignature();
    ASSERT_EQ(engine->m_bSignatureValid, 0);
    ASSERT_EQ(engine->PrepareOutputCopy(), 1);
    auto expected = Document(false);
    std::copy(kCompoundSignature.begin(), kCompoundSignature.end(), expected.begin());
    EXPECT_EQ(ReadAll(dir.host() / "Recovered_source.doc"), expected);
    EXPECT_EQ(ReadAll(dir.host() / "source.doc"), Document(false));  // the source is never touched
}

TEST_F(EngineFiles, ReadOnlySourceGivesAWritableCopy) {
    const auto src = dir.Write("source.doc", Document(false));
    fs::permissions(src, fs::perms::owner_read | fs::perms::group_read);
    auto engine = Open();
    ASSERT_EQ(engine->PrepareOutputCopy(), 1);
    EXPECT_FALSE(platform::GetFileAttributes(TheApp().m_strWordOutputPath).readOnly);
    EXPECT_EQ(::access((dir.host() / "Recovered_source.doc").c_str(), W_OK), 0);
}

TEST_F(EngineFiles, FreeSpaceMustExceedTheSourceLength) {
    const std::uint64_t length = 1536;
    struct Case {
        const char* name;
        std::optional<std::uint64_t> free;
        int result;
    } cases[] = {
        {"equal to the length", length, 0},
        {"one byte more", length + 1, 1},
        {"above 4 GiB, compared in full", (std::uint64_t{1} << 32) + 16, 1},
        {"query fails", std::nullopt, 0},
    };
    dir.Write("source.doc", Document(true, length));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        platform::ScopedFreeSpaceOverride fake([&](const QString&) { return c.free; });
        TheApp().m_bDestinationError = FALSE;
        boxes.Clear();
        auto engine = Open();
        engine->m_bSignatureValid = 1;
        engine->m_nStatus = 7;
        EXPECT_EQ(engine->PrepareOutputCopy(), c.result);
        if (c.result == 0) {
            EXPECT_EQ(TheApp().m_bDestinationError, TRUE);
            ASSERT_EQ(boxes.Boxes().size(), 1u);
            EXPECT_EQ(boxes.Boxes()[0].text, "The destination drive is either full or not available.");
            EXPECT_EQ(boxes.Boxes()[0].owner, platform::MbOwner::MainWindow);
            EXPECT_EQ(engine->m_nStatus, 7);  // left as it was
        } else {
            EXPECT_EQ(TheApp().m_bDestinationError, FALSE);
            EXPECT_TRUE(boxes.Boxes().empty());
        }
    }
}

TEST_F(EngineFiles, AnUnknownSourceLengthRefusesTheCopy) {
    dir.Write("source.doc", Document(true));
    auto engine = Open();
    engine->m_nSourceLength.reset();
    platform::ScopedFreeSpaceOverride fake([](const QString&) { return std::optional<std::uint64_t>(1u << 30); });
    EXPECT_EQ(engine->PrepareOutputCopy(), 0);
    EXPECT_EQ(TheApp().m_bDestinationError, TRUE);
    EXPECT_FALSE(fs::exists(dir.host() / "Recovered_source.doc"));
}

TEST_F(EngineFiles, FailedCopySetsStatusWithoutAMessage) {
    dir.Write("source.doc", Document(true));
    TheApp().m_strWordOutputPath = dir.program("no-such-folder\\out.doc");
    auto engine = Open();
    engine->m_nStatus = 1;
    EXPECT_EQ(engine->PrepareOutputCopy(), 0);
    EXPECT_EQ(engine->m_nStatus, 0);
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(EngineFiles, SignatureTestNeedsEightBytes) {
    struct Case {
        std::vector<std::uint8_t> bytes;
        int expected;
    } cases[] = {
        {{0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A}, 0},
        {{}, 0},
        {std::vector<std::uint8_t>(kCompoundSignature.begin(), kCompoundSignature.end()), 1},
        {{0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE0}, 0},
    };
    for (const auto& c : cases) {
        dir.Write("source.doc", c.bytes);
        auto engine = Open();
        EXPECT_EQ(engine->HasCompoundSignature(), c.expected) << c.bytes.size();
    }
}

TEST_F(EngineFiles, OwnerFilesAreDeletedAndNothingElse) {
    CDocRecover::DeleteOwnerFiles(dir.program());  // none: nothing happens
    for (const char* name : {"~$one.doc", "~$two.DOC", "~$three.doc", "keep.doc", "~$note.txt"})
        dir.Write(name, "x");
    CDocRecover::DeleteOwnerFiles(dir.program());
    std::vector<std::string> left;
    for (const auto& e : fs::directory_iterator(dir.host()))
        left.push_back(e.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"keep.doc", "~$note.txt"}));
}

TEST(EngineObject, StartsEmptyAndFreesLongLists) {
    auto engine = std::make_unique<CDocRecover>();
    EXPECT_EQ(engine->m_nStatus, 0);
    EXPECT_EQ(engine->m_nElementCount, 0);
    EXPECT_FALSE(engine->m_pRunHead);
    EXPECT_FALSE(engine->m_pszText);
    // A list far longer than the stack could unwind recursively.
    for (int i = 0; i < 200000; ++i)
        AppendNode(engine->m_pRunHead, engine->m_pRunTail, std::make_unique<TextRunNode>());
    engine.reset();
}
