// The text strategies on real documents written by Word. The expected
// words come from LibreOffice's text export of the same files.
#include "engine/text/DocumentStart.h"
#include "engine/text/TextStrategies.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

using namespace doctext;

namespace {

std::vector<std::uint8_t> ReadCorpus(const std::string& name) {
    const std::filesystem::path path = std::filesystem::path(TESSALY_CORPUS_DIR) / name;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

#define CORPUS_FILE(var, name)         \
    const auto var = ReadCorpus(name); \
    if (var.empty())                   \
    GTEST_SKIP() << "corpus file " << name << " not present"

// Runs of ASCII letters and digits (and Windows-1252 letters), in order.
std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::string w;
    for (unsigned char c : text) {
        if (std::isalnum(c) || (c >= 0xC0 && c != 0xD7 && c != 0xF7)) {
            w += static_cast<char>(c);
        } else if (!w.empty()) {
            words.push_back(w);
            w.clear();
        }
    }
    if (!w.empty())
        words.push_back(w);
    return words;
}

std::string Join(const std::vector<std::string>& words, std::size_t from, std::size_t count) {
    std::string out;
    for (std::size_t i = from; i < from + count && i < words.size(); ++i)
        out += (out.empty() ? "" : " ") + words[i];
    return out;
}

}  // namespace

TEST(CorpusText, SixteenBitDocumentGivesItsWholeText) {
    // Word 2003, one 16-bit piece, tracked changes and characters outside
    // Windows-1252 (they become '?').
    CORPUS_FILE(file, "node-word-extractor/test01.doc");
    TextFinder finder(file, {});
    std::string why;
    const auto found = finder.FromPieceTable(512, &why);
    ASSERT_TRUE(found) << why;
    EXPECT_EQ(found->text.size(), 243u);
    EXPECT_NE(found->detail.find("16-bit"), std::string::npos);
    const auto words = Words(found->text);
    EXPECT_EQ(Join(words, 0, words.size()),
              "A second test of reviewing but with Unicode characters in to see if character offsets get broken "
              "This is a test of reviewing This text has been inserted and should be included This text has been "
              "deleted and should not be included");
}

TEST(CorpusText, MultiPieceDocumentGivesItsTextInOrder) {
    // Three pieces, 8-bit and 16-bit; the export holds 365 words.
    CORPUS_FILE(file, "apache-poi/Bug47742.doc");
    TextFinder finder(file, {});
    std::string why;
    const auto found = finder.FromPieceTable(512, &why);
    ASSERT_TRUE(found) << why;
    EXPECT_EQ(found->text.size(), 1810u);
    const auto words = Words(found->text);
    ASSERT_EQ(words.size(), 365u);
    EXPECT_EQ(Join(words, 0, 8), "0 Der Aaa Satz 0 The Aaa phrase");
    EXPECT_EQ(Join(words, 357, 8), "Pausen 0 A sentence with special blanks 0");
    // The em dash is a 16-bit character Windows-1252 holds.
    EXPECT_NE(found->text.find("Ein\x97Geviertstrich"), std::string::npos);
}

TEST(CorpusText, DestroyedFibSectorLeavesTheTextToCarving) {
    CORPUS_FILE(intact, "node-word-extractor/test01.doc");
    auto file = intact;
    std::fill(file.begin() + 512, file.begin() + 1024, 0);
    TextFinder finder(file, {});
    EXPECT_FALSE(finder.FromPieceTable(512));
    const auto carved = finder.ByCarving();
    ASSERT_TRUE(carved);
    EXPECT_EQ(carved->source, TextSource::Carved);
    const std::string text = carved->text;
    for (const char* sentence : {"A second test of reviewing, but with Unicode characters in to see if character",
                                 "This text has been inserted, ", "This text has been deleted, "})
        EXPECT_NE(text.find(sentence), std::string::npos) << sentence;
}

TEST(CorpusText, FileWithLeadingBytesGivesTheSameTextAsTheIntactFile) {
    CORPUS_FILE(intact, "apache-poi/Bug47742.doc");
    std::vector<std::uint8_t> file(1000 + intact.size(), 0xF6);
    std::copy(intact.begin(), intact.end(), file.begin() + 1000);
    const auto start = FindDocumentStart(file);
    EXPECT_EQ(start.offset, 1000u);
    const auto document = std::span<const std::uint8_t>(file).subspan(start.offset);
    TextFinder shifted(document, {});
    TextFinder original(intact, {});
    const auto a = shifted.FromPieceTable(512);
    const auto b = original.FromPieceTable(512);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->text, b->text);
}
