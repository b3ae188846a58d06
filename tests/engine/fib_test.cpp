// Finding the FIB: validation, the forward walk from a single-paragraph
// FIB, and the scan of the whole file.
#include "DocBuilder.h"

#include <gtest/gtest.h>

using namespace testdoc;

namespace {

struct ValidityCase {
    const char* name;
    Fib fib;
    int valid;
};

class FibValidity : public ::testing::TestWithParam<ValidityCase> {};

TEST_P(FibValidity, JudgesIdentAndCounts) {
    DocBuilder b;
    b.Header(0).FibAt(512, GetParam().fib);
    OpenDoc doc = EngineOn(b.bytes());
    doc->ReadFib(512);
    EXPECT_EQ(doc->ValidateFib(), GetParam().valid);
    EXPECT_EQ(doc->m_nStatus, GetParam().valid);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FibValidity,
    ::testing::Values(ValidityCase{"usable", {.fcMac = 1124, .ccpText = 300}, 1},
                      ValidityCase{"wrongIdent", {.ident = 0xA5DC, .fcMac = 1124, .ccpText = 300}, 0},
                      ValidityCase{"noEnd", {.fcMac = 0, .ccpText = 300}, 0},
                      ValidityCase{"noText", {.fcMac = 1124, .ccpText = 0}, 0},
                      ValidityCase{"singleParagraphAlone", {.fcMac = 0, .ccpText = 1}, 1}),
    [](const auto& info) { return std::string(info.param.name); });

struct WalkCase {
    const char* name;
    std::vector<std::pair<std::size_t, Fib>> fibs;  // the first is at 512
    std::uint64_t expectedOffset;
};

class ForwardWalk : public ::testing::TestWithParam<WalkCase> {};

TEST_P(ForwardWalk, TakesTheFirstUsableFibOrKeepsTheLastSingleParagraphOne) {
    DocBuilder b;
    b.Header(0);
    for (const auto& [at, fib] : GetParam().fibs)
        b.FibAt(at, fib);
    b.Pad(8192);
    OpenDoc doc = EngineOn(b.bytes());
    doc->ReadFib(512);
    EXPECT_EQ(doc->ValidateFib(), 1);
    EXPECT_EQ(doc->m_nStatus, 1);
    EXPECT_EQ(doc->m_fib.fibOffset, GetParam().expectedOffset);
}

const Fib kSingle{.fcMac = 1025, .ccpText = 1};
const Fib kUsable{.fcMac = 1274, .ccpText = 250};

INSTANTIATE_TEST_SUITE_P(
    Cases, ForwardWalk,
    ::testing::Values(WalkCase{"usableLater", {{512, kSingle}, {1536, kUsable}}, 1536},
                      WalkCase{"nothingBetter", {{512, kSingle}}, 512},
                      WalkCase{"throughAnotherSingle", {{512, kSingle}, {1024, kSingle}, {2560, kUsable}}, 2560},
                      WalkCase{"lastSingleStays", {{512, kSingle}, {1024, kSingle}, {3072, kSingle}}, 3072},
                      WalkCase{"invalidSkipped", {{512, kSingle}, {1024, {.fcMac = 0, .ccpText = 9}}}, 512}),
    [](const auto& info) { return std::string(info.param.name); });

// A walk that recursed for every single-paragraph FIB would take 2^n steps
// here; visiting each step once finishes at once with the same answer.
TEST(ForwardWalk, ManySingleParagraphFibsAreWalkedOnce) {
    DocBuilder b;
    b.Header(0);
    constexpr std::size_t kFibs = 200;
    for (std::size_t i = 0; i < kFibs; ++i)
        b.FibAt(512 * (i + 1), kSingle);
    OpenDoc doc = EngineOn(b.bytes());
    doc->ReadFib(512);
    EXPECT_EQ(doc->ValidateFib(), 1);
    EXPECT_EQ(doc->m_fib.fibOffset, 512 * kFibs);
}

struct ScanCase {
    const char* name;
    std::vector<std::pair<std::size_t, Fib>> fibs;
    int found;
    std::uint64_t expectedOffset;
};

class Scan : public ::testing::TestWithParam<ScanCase> {};

TEST_P(Scan, FindsTheFirstValidCandidateAtItsOwnOffset) {
    DocBuilder b;
    b.Header(0).Fill(512, 512, 0xFF);  // the sector after the header is overwritten
    for (const auto& [at, fib] : GetParam().fibs)
        b.FibAt(at, fib);
    OpenDoc doc = EngineOn(b.bytes());
    EXPECT_EQ(doc->ScanForFib(), GetParam().found);
    if (GetParam().found) {
        EXPECT_EQ(doc->m_fib.fibOffset, GetParam().expectedOffset);
    }
}

const Fib kInvalidCandidate{.fcMac = 0, .ccpText = 5};

INSTANTIATE_TEST_SUITE_P(
    Cases, Scan,
    ::testing::Values(ScanCase{"intactElsewhere", {{0x1E00, kUsable}}, 1, 0x1E00},
                      ScanCase{"secondInBlock", {{0x1E00, kInvalidCandidate}, {0x1E00 + 100, kUsable}}, 1, 0x1E00 + 100},
                      ScanCase{"unaligned", {{3000 + 7, kUsable}}, 1, 3007},
                      // Marker bytes beyond the 512-byte block are taken from the file.
                      ScanCase{"straddlesBlockEnd", {{2048 - 20, kUsable}}, 1, 2048 - 20},
                      ScanCase{"straddlesReadChunk", {{65536 - 3, kUsable}}, 1, 65536 - 3},
                      // Beyond 64 KiB the FIB is read where it is, not 64 KiB lower.
                      ScanCase{"beyond64KiB", {{65536 + 512, kUsable}}, 1, 65536 + 512},
                      ScanCase{"withoutMagic", {{0x1E00, {.fcMac = 1274, .ccpText = 250, .magic = false}}}, 0, 0},
                      ScanCase{"onlyInvalid", {{0x1E00, kInvalidCandidate}}, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Scan, CandidateAtTheVeryEndIsReadAsFarAsTheFileGoes) {
    DocBuilder b;
    b.Header(0).Put(4096 - 1, "\xEC");
    OpenDoc doc = EngineOn(b.bytes());
    EXPECT_EQ(doc->ScanForFib(), 0);
}

TEST(Scan, FibBeyond64KiBLeadsToItsOwnText) {
    DocBuilder b;
    b.Header(0).Fill(512, 512, 0xFF);
    const std::size_t fibAt = 65536 + 512;
    const std::string text = "Far away text.\r";
    b.FibAt(fibAt, {.fcMac = static_cast<std::uint32_t>(1024 + text.size()),
                    .ccpText = static_cast<std::uint32_t>(text.size())});
    b.Put(fibAt + 1024, text);
    b.FibAt(512, {.ident = 0});
    OpenDoc doc = EngineOn(b.bytes());
    ASSERT_EQ(doc->RunFullPass(), 1);
    EXPECT_EQ(doc->m_fib.fibOffset, fibAt);
    EXPECT_EQ(*doc->m_pszText, text);
}

TEST(FibFlags, PicturesAndEncryptionBits) {
    DocBuilder b;
    b.Header(0).FibAt(512, {.flags = 0x0108, .fcMac = 1, .ccpText = 1});
    OpenDoc doc = EngineOn(b.bytes());
    doc->ReadFib(512);
    EXPECT_EQ(doc->HasPictures(), 1);
    EXPECT_EQ(doc->IsEncrypted(), 1);
}

}  // namespace
