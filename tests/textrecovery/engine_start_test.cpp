// The engine object on a source that starts with leading bytes: every read
// and the output copy begin where the document does.
#include "app/RecoveryApp.h"
#include "engine/DocRecover.h"
#include "platform/paths.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ReadHost(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteHost(const std::filesystem::path& p, const Bytes& b) {
    std::ofstream out(p, std::ios::binary);
    out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

}  // namespace

TEST(EngineDocumentStart, LeadingBytesAreSkippedByReadsAndByTheCopy) {
    const Bytes intact = ReadHost(std::filesystem::path(TESSALY_SOURCE_DIR) / "samples/tessaly-sample.doc");
    ASSERT_GT(intact.size(), 1024u);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::filesystem::path folder = dir.path().toStdString();
    struct Case {
        const char* name;
        std::size_t leading;
        bool signature;
    } cases[] = {{"intact", 0, true}, {"1000 leading bytes", 1000, true}, {"leading bytes, signature gone", 1000, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes source(c.leading, 0x3C);
        source.resize(c.leading + intact.size());
        std::copy(intact.begin(), intact.end(), source.begin() + static_cast<std::ptrdiff_t>(c.leading));
        if (!c.signature)
            std::fill(source.begin() + static_cast<std::ptrdiff_t>(c.leading),
                      source.begin() + static_cast<std::ptrdiff_t>(c.leading) + 8, 0);
        WriteHost(folder / "source.doc", source);
        ResetTheApp();
        CRecoveryApp& app = TheApp();
        app.m_strSourcePath = platform::ToProgramPath(folder / "source.doc");
        app.m_strWordOutputPath = platform::ToProgramPath(folder / "out.doc");
        app.m_strOutputFolder = platform::ToProgramPath(folder);
        app.m_bToOriginalFolder = FALSE;
        auto engine = std::make_unique<CDocRecover>();
        ASSERT_EQ(engine->OpenSource(), 1);
        EXPECT_EQ(engine->m_nDocStart, c.leading);
        engine->m_bSignatureValid = engine->HasCompoundSignature();
        EXPECT_EQ(engine->m_bSignatureValid, c.signature ? 1 : 0);
        std::array<std::uint8_t, 4> order{};
        engine->ReadSourceAt(28, order);  // byte-order mark and sector shift
        EXPECT_EQ(order, (std::array<std::uint8_t, 4>{0xFE, 0xFF, 0x09, 0x00}));
        ASSERT_EQ(engine->PrepareOutputCopy(), 1);
        // The copy is the document itself, its signature restored.
        EXPECT_EQ(ReadHost(folder / "out.doc"), intact);
    }
}
