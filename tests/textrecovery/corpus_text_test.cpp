// The text strategies on real documents written by Word.
#include "engine/text/DocumentStart.h"
#include "engine/text/TextStrategies.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

using namespace doctext;

namespace {

std::vector<std::uint8_t> ReadCorpus(const std::string& name) {
    const std::filesystem::path path = std::filesystem::path(TESSALY_CORPUS_DIR) / name;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

#define CORPUS_FILE(var, name)                                    \
    const auto var = ReadCorpus(name);                            \
    if (var.empty())                                              \
        GTEST_SKIP() << "corpus file " << name << " not present"

}  // namespace

TEST(CorpusText, SixteenBitDocumentGivesItsWholeText) {
    // Written by Word 2003 with 16-bit text; the FIB's own position
    // misses it. ccpText is 2136.
    CORPUS_FILE(file, "apache-poi/Bug48075.doc");
    TextFinder finder(file, {});
    std::string why;
    const auto found = finder.FromPieceTable(512, &why);
    ASSERT_TRUE(found) << why;
    EXPECT_EQ(found->text.size(), 2136u);
    EXPECT_NE(found->detail.find("16-bit"), std::string::npos);
    EXPECT_EQ(found->text.back(), '\r');
}
