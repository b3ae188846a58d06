// The full pass over every document of the shared corpus and over damaged
// variants of a sample of them: no crash, no sanitizer report, and text
// comes out of the intact Word-written documents whose text is where the
// FIB at offset 512 says.
#include "Damage.h"
#include "DocBuilder.h"
#include "engine/PassOnFile.h"
#include "platform/messagebox.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

using namespace testdoc;

namespace {

namespace fs = std::filesystem;

struct CorpusDoc {
    fs::path path;
    std::map<std::string, std::string> flags;
    bool Flag(const std::string& key, const std::string& value) const {
        const auto it = flags.find(key);
        return it != flags.end() && it->second == value;
    }
};

std::vector<CorpusDoc> ReadManifest() {
    std::vector<CorpusDoc> docs;
    const fs::path dir = TESSALY_CORPUS_DIR;
    std::ifstream in(dir / "MANIFEST.tsv");
    std::string line;
    std::getline(in, line);  // column names
    while (std::getline(in, line)) {
        std::vector<std::string> columns;
        std::stringstream split(line);
        for (std::string column; std::getline(split, column, '\t');)
            columns.push_back(column);
        if (columns.size() < 8)
            continue;
        CorpusDoc doc{dir / columns[0], {}};
        std::stringstream flags(columns[7]);
        for (std::string pair; std::getline(flags, pair, ';');) {
            const auto eq = pair.find('=');
            if (eq != std::string::npos)
                doc.flags[pair.substr(0, eq)] = pair.substr(eq + 1);
        }
        docs.push_back(std::move(doc));
    }
    return docs;
}

// Intact, written by Word, WordDocument stream contiguous at offset 512,
// 8-bit text (not fast-saved), not encrypted, not a fuzz case.
bool TextAtStandardPlace(const CorpusDoc& d) {
    return d.Flag("writerGuess", "msword") && d.Flag("wd512", "1") && d.Flag("wdFrag", "0") &&
           d.Flag("encrypted", "0") && d.Flag("complex", "0") && !d.flags.count("hint") &&
           !d.flags.count("dirparse") && !d.flags.count("cfbNotes");
}

bool FilteredTextHasLetters() {
    for (const std::uint8_t b : TheApp().m_pszFilteredText)
        if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z'))
            return true;
    return false;
}

class Corpus : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(fs::path(TESSALY_CORPUS_DIR) / "MANIFEST.tsv"))
            GTEST_SKIP() << "corpus not found at " << TESSALY_CORPUS_DIR;
        m_docs = ReadManifest();
        ASSERT_FALSE(m_docs.empty());
    }
    platform::RecordingMessageSink m_sink;
    std::vector<CorpusDoc> m_docs;
};

TEST_F(Corpus, TextComesOutOfIntactWordDocuments) {
    int standard = 0;
    int withText = 0;
    std::vector<std::string> missed;
    for (const CorpusDoc& doc : m_docs) {
        ResetTheApp();
        const PassOnFileResult result = RunFullPassOnFile(doc.path);
        ASSERT_TRUE(result.opened) << doc.path;
        if (!TextAtStandardPlace(doc))
            continue;
        ++standard;
        if (result.passResult && FilteredTextHasLetters())
            ++withText;
        else
            missed.push_back(doc.path.filename().string());
    }
    std::printf("text from %d of %d intact Word documents with text at the standard place\n", withText, standard);
    for (const auto& name : missed)
        std::printf("  no text: %s\n", name.c_str());
    ASSERT_GT(standard, 0);
    // What the engine reaches today; a drop is a regression.
    EXPECT_GE(withText * 100, standard * 75);
}

TEST_F(Corpus, DamagedVariantsNeverBreakThePass) {
    const fs::path work = fs::temp_directory_path() / ("tessaly-corpus-damage-" + std::to_string(::getpid()));
    fs::create_directories(work);
    int variants = 0;
    for (std::size_t i = 0; i < m_docs.size(); i += 9) {
        std::ifstream in(m_docs[i].path, std::ios::binary);
        const std::vector<std::uint8_t> original{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        for (const damage::Kind kind : damage::AllKinds()) {
            const auto damaged = damage::Apply(kind, i, original);
            const fs::path path = work / "variant.doc";
            std::ofstream(path, std::ios::binary | std::ios::trunc)
                .write(reinterpret_cast<const char*>(damaged.data()), static_cast<std::streamsize>(damaged.size()));
            ResetTheApp();
            const PassOnFileResult result = RunFullPassOnFile(path);
            ASSERT_TRUE(result.opened);
            if (result.passResult) {
                ASSERT_TRUE(result.engine->m_pszText);
                EXPECT_LE(result.engine->m_nElementCount, kMaxElements);
            }
            ++variants;
        }
    }
    fs::remove_all(work);
    std::printf("%d damaged variants passed through\n", variants);
}

}  // namespace
