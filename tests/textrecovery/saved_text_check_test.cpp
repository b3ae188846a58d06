// Whether what Word saved holds the text the engine read from the source.
#include "engine/SavedTextCheck.h"

#include "WordDocBuilder.h"
#include "tempdir/TempDir.h"

#include <gtest/gtest.h>

using savedcheck::SavedAs;
using savedcheck::SavedFileHoldsText;

namespace {

std::vector<std::uint8_t> WordFile(std::u16string text) {
    const auto parts = testcfb::MakeWordParts({{std::move(text), true}});
    testcfb::CfbBuilder b;
    b.Add(u"WordDocument", parts.wordDocument);
    b.Add(u"1Table", parts.table);
    return b.Build();
}

}  // namespace

TEST(SavedTextCheck, JudgesTheSavedTextAgainstTheEnginesWords) {
    const std::string expected = "The quick brown fox\r\x13 HYPERLINK \"http://x.org\" \x14jumps\x15 over the dog\r";
    struct Case {
        const char* name;
        std::string saved;
        bool holds;
    } cases[] = {
        {"same words, other layout", "THE QUICK\r\nbrown fox jumps over\tthe dog\r\n", true},
        {"field code left out by Word", "The quick brown fox jumps over the dog", true},
        {"half of the words", "the quick brown fox jumps", true},
        {"other bytes read as the text", "\xEC\xA5\xC1" "1_\xC0\r\n", false},
        {"a few of the words", "quick fox", false},
        {"nothing", "", false},
    };
    testing_support::TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dir.Write("out.txt", c.saved);
        EXPECT_EQ(SavedFileHoldsText(expected, dir.program("out.txt"), SavedAs::Text), c.holds);
    }
}

TEST(SavedTextCheck, ReadsASavedWordDocumentThroughItsPieceTable) {
    testing_support::TempDir dir;
    dir.Write("good.doc", WordFile(u"Caf\u00E9 menu for Monday\r"));
    dir.Write("wrong.doc", WordFile(u"nothing of the kind\r"));
    const std::string expected = "Caf\xE9 menu for Monday\r";
    EXPECT_TRUE(SavedFileHoldsText(expected, dir.program("good.doc"), SavedAs::WordDocument));
    EXPECT_FALSE(SavedFileHoldsText(expected, dir.program("wrong.doc"), SavedAs::WordDocument));
}

TEST(SavedTextCheck, NothingToJudgeByKeepsWordsSave) {
    testing_support::TempDir dir;
    dir.Write("marker.doc", "not a compound file");
    EXPECT_TRUE(SavedFileHoldsText("some words here", dir.program("missing.txt"), SavedAs::Text));
    EXPECT_TRUE(SavedFileHoldsText("some words here", dir.program("marker.doc"), SavedAs::WordDocument));
    EXPECT_TRUE(SavedFileHoldsText("\x13 PAGE \x14" "1\x15\r", dir.program("missing.txt"), SavedAs::Text));
}
