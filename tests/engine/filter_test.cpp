// The character filter for published text and for strings handed to Word.
#include "engine/DocRecover.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

struct FilterCase {
    const char* name;
    std::string in;
    std::string out;
};

class Filter : public ::testing::TestWithParam<FilterCase> {};

TEST_P(Filter, KeepsPrintableCharactersOfTheCodePage) {
    const auto out = CDocRecover::FilterText(GetParam().in);
    ASSERT_TRUE(out);
    EXPECT_EQ(*out, GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Filter,
    ::testing::Values(
        FilterCase{"tabKeptLineFeedDropped", "x\ty\r\nz", "x\ty\rz"},
        FilterCase{"lineBreakSeparatesWords", "one\x0Btwo", "one\rtwo"},
        FilterCase{"westernLetters", "Caf\xE9 M\xFC\xDF \xC0\xFF", "Caf\xE9 M\xFC\xDF \xC0\xFF"},
        FilterCase{"lettersAndSignsFrom0x80", "\x80 \x8A\x9C\x9F \x85", "\x80 \x8A\x9C\x9F \x85"},
        FilterCase{"noBreakSpace", "a\xA0" "b", "a\xA0" "b"},
        FilterCase{"undefinedBytesDropped", "a\x81\x8D\x8F\x90\x9D" "b", "ab"},
        FilterCase{"controlBytesDropped", "a\x01\x13\x14\x15\x1F\x7F" "b", "ab"},
        FilterCase{"breaksAndCellMarksSeparateWords", "row\x07" "cell\x0Cpage", "row\tcell\rpage"},
        FilterCase{"nonBreakingHyphen", "well\x1Eknown", "well-known"},
        FilterCase{"endsAtFirstZero", "ab\0cd"s, "ab"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Filter, NoTextGivesNoBuffer) { EXPECT_FALSE(CDocRecover::FilterText(std::nullopt)); }

}  // namespace
