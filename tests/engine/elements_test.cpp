// The element sequence and its text runs.
#include "DocBuilder.h"

#include <gtest/gtest.h>

using namespace testdoc;

namespace {

std::vector<int> Codes(const CDocRecover& e) {
    return std::vector<int>(e.m_aElementKinds.begin(), e.m_aElementKinds.begin() + e.m_nElementCount);
}

std::vector<std::string> Runs(const CDocRecover& e) {
    std::vector<std::string> runs;
    for (const TextRunNode* r = e.m_pRunHead.get(); r; r = r->next.get())
        runs.push_back(r->text);
    return runs;
}

struct SequenceCase {
    const char* name;
    std::string text;  // as left by the hyperlink and table passes
    std::vector<int> codes;
    std::vector<std::string> runs;
};

class Sequence : public ::testing::TestWithParam<SequenceCase> {};

TEST_P(Sequence, GivesCodesAndRuns) {
    auto engine = EngineWithText(GetParam().text);
    engine->BuildElementSequence();
    EXPECT_EQ(Codes(*engine), GetParam().codes);
    EXPECT_EQ(Runs(*engine), GetParam().runs);
    EXPECT_EQ(engine->m_aElementKinds[engine->m_nElementCount], 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Sequence,
    ::testing::Values(
        SequenceCase{"plainParagraphs", "One.\rTwo.\r", {1}, {"One.\rTwo."}},
        SequenceCase{"tableBetweenParagraphs", "Para\r\x07\x07\x07\x07\x07" "After\r", {1, 70, 1}, {"Para\r", "\x07" "After"}},
        SequenceCase{"hyperlinkMidSentence", "See \x15\x15\x15\x15 now\r", {1, 15, 1}, {"See ", "\x15 now"}},
        SequenceCase{"twoPicturesAndASpace", "x\x01 \x01\r", {1, 20, 20}, {"x"}},
        SequenceCase{"pictureFirst", "\x01" "abc\r", {20, 1}, {"\x01" "abc"}},
        SequenceCase{"tableOnly", "\r\r\x07\x07\x07\r", {70}, {}},
        SequenceCase{"tableInsideCellRun", "\x07\x15\x07\x07" "x\r", {70, 1}, {"\x07" "x"}},
        // A lone field-end byte as the last byte is ordinary text.
        SequenceCase{"fieldEndAtTheEnd", "Some longer text that ends oddly\x15", {1}, {"Some longer text that ends oddly"}},
        SequenceCase{"emptyText", "", {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// The array holds 20000 codes: the walk stops before an element whose
// codes would not fit, and every text code keeps its run.
TEST(Sequence, StopsCleanlyWhenTheArrayIsFull) {
    std::string text;
    for (int i = 0; i < 15000; ++i)
        text += "ab\x01";
    text += "\r";
    auto engine = EngineWithText(text);
    engine->BuildElementSequence();
    ASSERT_LE(engine->m_nElementCount, kMaxElements);
    EXPECT_GE(engine->m_nElementCount, kMaxElements - 1);
    const auto codes = Codes(*engine);
    EXPECT_EQ(static_cast<std::size_t>(std::count(codes.begin(), codes.end(), 1)), Runs(*engine).size());
    EXPECT_EQ(codes.back(), ELEM_PICTURE_SLOT);
}

}  // namespace
