// Hyperlink fields: address, displayed text, and the field turned into a
// run of field-end bytes.
#include "DocBuilder.h"

#include <gtest/gtest.h>

using namespace testdoc;

namespace {

const std::string kStart = "\x13 HYPERLINK \"";

struct LinkCase {
    const char* name;
    std::string text;
    std::vector<std::pair<std::string, std::string>> links;  // address, display
    std::string after;
};

class Hyperlinks : public ::testing::TestWithParam<LinkCase> {};

TEST_P(Hyperlinks, RecordsEachFieldAndBlanksIt) {
    const LinkCase& c = GetParam();
    auto engine = EngineWithText(c.text);
    engine->ExtractHyperlinks();
    std::vector<std::pair<std::string, std::string>> links;
    for (const HyperlinkNode* l = engine->m_pLinkHead.get(); l; l = l->next.get())
        links.emplace_back(l->address, l->displayText);
    EXPECT_EQ(links, c.links);
    EXPECT_EQ(*engine->m_pszText, c.after);
}

std::string Run(std::size_t n) { return std::string(n, '\x15'); }

const std::string kWithObject = "x" + kStart + "http://a.org/\" \x01\x14" + "Site\x15" + "y";
const std::string kPlain = "x" + kStart + "http://a.org/\" \x14" + "Site\x15" + "y";
const std::string kSwitch = kStart + "u\" \\l \"b\" \x14" + "D\x15";

INSTANTIATE_TEST_SUITE_P(
    Cases, Hyperlinks,
    ::testing::Values(
        LinkCase{"withObject", kWithObject, {{"http://a.org/", "Site"}}, "x" + Run(kWithObject.size() - 2) + "y"},
        LinkCase{"plainSeparator", kPlain, {{"http://a.org/", "Site"}}, "x" + Run(kPlain.size() - 2) + "y"},
        LinkCase{"withSwitch", kSwitch, {{"u\" \\l \"b", "D"}}, Run(kSwitch.size())},
        LinkCase{"lowerCaseIgnored", "\x13 hyperlink \"a\" \x14" "b\x15", {}, "\x13 hyperlink \"a\" \x14" "b\x15"},
        LinkCase{"twoSpacesIgnored", "\x13  HYPERLINK \"a\" \x14" "b\x15", {}, "\x13  HYPERLINK \"a\" \x14" "b\x15"},
        LinkCase{"two",
                 kStart + "a\" \x14" "A\x15 and " + kStart + "b\" \x14" "B\x15.",
                 {{"a", "A"}, {"b", "B"}},
                 Run(kStart.size() + 6) + " and " + Run(kStart.size() + 6) + "."},
        // Without separator or field end everything to the end becomes 0x15.
        LinkCase{"unterminated", "ab" + kStart + "http://x", {{"http://", "http://x"}}, "ab" + Run(kStart.size() + 8)},
        LinkCase{"none", "Plain text.\r", {}, "Plain text.\r"}),
    [](const auto& info) { return std::string(info.param.name); });

// The walk reads only the first ccpText bytes, whatever follows them.
TEST(Hyperlinks, PatternCutByTheTextLengthIsNotRecognised) {
    auto engine = EngineWithText(kStart + "a\" \x14" "b\x15");
    engine->m_fib.ccpText = 10;
    engine->ExtractHyperlinks();
    EXPECT_FALSE(engine->m_pLinkHead);
}

}  // namespace
