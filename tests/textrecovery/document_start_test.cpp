#include "engine/text/DocumentStart.h"

#include "CfbBuilder.h"

#include <gtest/gtest.h>

using namespace doctext;
using testcfb::Bytes;

namespace {

// The fixed start of a Word 97 FIB, as a writer other than Word leaves it
// (no product marks after the count of 16-bit values).
void PutFib(Bytes& b, std::size_t at) {
    testcfb::Put16(b, at, 0xA5EC);
    testcfb::Put16(b, at + 2, 0xC1);
    testcfb::Put16(b, at + 32, 0x000E);
}

Bytes SmallCompoundFile(std::size_t streamSize = 4096) {
    testcfb::CfbBuilder b;
    Bytes wd(streamSize, 0);
    PutFib(wd, 0);
    b.Add(u"WordDocument", wd);
    return b.Build();
}

Bytes WithLeading(std::size_t n, const Bytes& doc) {
    Bytes file(n + doc.size(), 0x20);
    std::copy(doc.begin(), doc.end(), file.begin() + static_cast<std::ptrdiff_t>(n));
    return file;
}

}  // namespace

TEST(DocumentStart, FindsTheHeaderAfterLeadingBytes) {
    const Bytes doc = SmallCompoundFile();
    Bytes noSignature = doc;
    std::fill(noSignature.begin(), noSignature.begin() + 8, 0);
    struct Case {
        const char* name;
        Bytes file;
        std::size_t offset;
        StartEvidence evidence;
    } cases[] = {
        {"intact", doc, 0, StartEvidence::AtZero},
        {"signature destroyed", noSignature, 0, StartEvidence::AtZero},
        {"1000 leading bytes", WithLeading(1000, doc), 1000, StartEvidence::Signature},
        {"leading bytes and no signature", WithLeading(77, noSignature), 77, StartEvidence::HeaderShape},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto start = FindDocumentStart(c.file);
        EXPECT_EQ(start.offset, c.offset);
        EXPECT_EQ(start.evidence, c.evidence);
    }
}

TEST(DocumentStart, HeaderDestroyedWithLeadingBytesFallsBackToTheFib) {
    // As Word lays a document out: header, then the document stream with
    // its FIB at 512. The header is zeroed and 1000 bytes come first.
    Bytes doc(4096, 0);
    PutFib(doc, 512);
    const auto start = FindDocumentStart(WithLeading(1000, doc));
    EXPECT_EQ(start.evidence, StartEvidence::Fib);
    EXPECT_EQ(start.offset, 1000u);
    // A FIB on a 512-byte boundary gives no reason to move the start.
    EXPECT_EQ(FindDocumentStart(WithLeading(1024, doc)).evidence, StartEvidence::None);
}

TEST(DocumentStart, EmbeddedCompoundFileAfterTheFibIsNotTakenForTheStart) {
    Bytes doc = SmallCompoundFile();
    std::fill(doc.begin(), doc.begin() + 512, 0);  // own header destroyed
    const Bytes embedded = SmallCompoundFile();
    doc.insert(doc.end(), embedded.begin(), embedded.end());
    EXPECT_EQ(FindDocumentStart(doc).offset, 0u);
    EXPECT_EQ(FindDocumentStart(Bytes(10, 0)).evidence, StartEvidence::None);
}

TEST(DocumentStart, FibInTheMiniStreamOfAHeaderlessFileKeepsTheStartAtZero) {
    // A document stream under 4096 bytes lives in the mini stream, so its
    // FIB is off the 512-byte grid while the root entry is on it.
    Bytes doc = SmallCompoundFile(1500);
    std::fill(doc.begin(), doc.begin() + 512, 0);
    const auto start = FindDocumentStart(doc);
    EXPECT_EQ(start.offset, 0u);
    EXPECT_EQ(start.evidence, StartEvidence::None);
}
