#include "engine/text/Carver.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace doctext;

namespace {

using Bytes = std::vector<std::uint8_t>;

void Append(Bytes& b, const std::string& s, bool wide = false) {
    for (char c : s) {
        b.push_back(static_cast<std::uint8_t>(c));
        if (wide)
            b.push_back(0);
    }
}

Bytes Noise(std::size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    Bytes b(n);
    for (auto& x : b)
        // Control bytes that are no text at either width.
        x = static_cast<std::uint8_t>(0x16 + gen() % 8);
    return b;
}

const std::string kFirst = "The first paragraph of a document that was carved.\r";
const std::string kSecond = "A second one, stored as sixteen bit units instead.\r";

}  // namespace

TEST(Carver, FindsEightAndSixteenBitRunsInFileOrder) {
    Bytes file = Noise(300, 1);
    Append(file, kFirst);
    const auto more = Noise(301, 2);  // odd length: the wide run starts at an odd offset
    file.insert(file.end(), more.begin(), more.end());
    Append(file, kSecond, true);
    const auto tail = Noise(100, 3);
    file.insert(file.end(), tail.begin(), tail.end());
    const auto runs = CarveRuns({file});
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_FALSE(runs[0].sixteenBit);
    EXPECT_TRUE(runs[1].sixteenBit);
    EXPECT_EQ(JoinCarvedRuns(runs), kFirst + kSecond);
}

TEST(Carver, RejectsWhatIsNotProse) {
    struct Case {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"too short", "Short line.\r"},
        {"one letter repeated", std::string(200, 'A')},
        {"digits and signs", "1234567890+-*/1234567890=1234567890,1234567890.1234567890"},
        {"letters without any blank", "abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyzabcdefghij"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes file = Noise(64, 4);
        Append(file, c.bytes);
        EXPECT_TRUE(CarveRuns({file}).empty());
    }
}

TEST(Carver, SegmentsAreCarvedApartAndJoinedWithParagraphMarks) {
    Bytes a, b;
    Append(a, "A run of text in the first segment without its mark");
    Append(b, "And another run of text in the second segment here");
    const auto runs = CarveRuns({a, b});
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].segment, 0u);
    EXPECT_EQ(runs[1].segment, 1u);
    EXPECT_EQ(JoinCarvedRuns(runs), std::string(a.begin(), a.end()) + "\r" + std::string(b.begin(), b.end()) + "\r");
}

TEST(Carver, WindowsCodePageLettersCount) {
    Bytes file;
    Append(file, "Gr\xFC\xDF" "e aus K\xF6ln, \x93zitiert\x94 und \x80 1000 f\xFCr alle Stra\xDF" "en.\r");
    const auto runs = CarveRuns({file});
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].text, std::string(file.begin(), file.end()));
}
