// The full pass over a whole document, with its two messages.
#include "DocBuilder.h"
#include "platform/messagebox.h"

#include <gtest/gtest.h>

#include <QStringList>

using namespace testdoc;

namespace {

const char* const kImageMessage = "Image cannot be repaired.";
const char* const kPasswordMessage = "File is password protected and cannot be repaired.";

struct PassCase {
    const char* name;
    DocBuilder doc;
    int result;
    std::vector<int> codes;
    QStringList messages;
};

class FullPass : public ::testing::TestWithParam<PassCase> {};

TEST_P(FullPass, ReadsTheDocumentAndReports) {
    platform::RecordingMessageSink sink;
    OpenDoc doc = EngineOn(GetParam().doc.bytes());
    ASSERT_TRUE(doc.engine);
    EXPECT_EQ(doc->RunFullPass(), GetParam().result);
    EXPECT_EQ(std::vector<int>(doc->m_aElementKinds.begin(), doc->m_aElementKinds.begin() + doc->m_nElementCount),
              GetParam().codes);
    EXPECT_EQ(sink.Texts(), GetParam().messages);
    for (const auto& box : sink.Boxes()) {
        EXPECT_EQ(box.caption, "Tessaly");
        EXPECT_EQ(box.icon, platform::MbIcon::Exclamation);
    }
}

DocBuilder FibDestroyedButElsewhere() {
    DocBuilder b = Simple({.text = "Unused\r"});
    const std::string text = "Found by the scan.\r";
    b.Fill(512, 512, 0);
    b.FibAt(2560, {.fcMac = static_cast<std::uint32_t>(1024 + text.size()),
                   .ccpText = static_cast<std::uint32_t>(text.size())});
    b.Put(2560 + 1024, text);
    return b;
}

DocBuilder NoFibAnywhere() {
    DocBuilder b = Simple({.text = "Lost\r"});
    b.Fill(512, 512, 0);
    return b;
}

const std::string kEverything = std::string("Intro \x13 HYPERLINK \"http://x/\" \x14") + "link\x15 text\r" +
                                "a\x07" "b\x07\x07" "Pic \x01 end\r";

INSTANTIATE_TEST_SUITE_P(
    Cases, FullPass,
    ::testing::Values(
        PassCase{"plainDocument", Simple({.text = "Just text.\r"}), 1, {1}, {}},
        PassCase{"hyperlinkTableAndPicture",
                 Simple({.text = kEverything, .flags = 0x0008,
                         .pictures = std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF\xFF\xD9", 12)}),
                 1,
                 {1, 15, 1, 70, 1, 2, 1},
                 {}},
        PassCase{"picturesWithoutRoot",
                 Simple({.text = "Pic \x01 end\r", .flags = 0x0008, .rootName = u"Broken"}),
                 1,
                 {1, 20, 1},
                 {kImageMessage}},
        PassCase{"encryptedAfterEverything",
                 Simple({.text = "Pic \x01 end\r", .flags = 0x0108, .rootName = u"Broken"}),
                 0,
                 {1, 20, 1},
                 {kImageMessage, kPasswordMessage}},
        PassCase{"fibFoundByScan", FibDestroyedButElsewhere(), 1, {1}, {}},
        PassCase{"noFibAnywhere", NoFibAnywhere(), 0, {}, {}},
        PassCase{"noText", Simple({.text = std::string(20, 'x')}), 0, {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FullPass, EarlierSuccessIsReturnedWithoutReading) {
    CDocRecover engine;  // no source open
    engine.m_nStatus = 1;
    EXPECT_EQ(engine.RunFullPass(), 1);
    EXPECT_EQ(engine.m_nElementCount, 0);
}

TEST(FullPass, ListsAndHeaderFooterAreFilled) {
    OpenDoc doc = EngineOn(Simple({.text = kEverything, .headerFooter = "Head\r\rFoot\r\r"}).bytes());
    ASSERT_EQ(doc->RunFullPass(), 1);
    ASSERT_TRUE(doc->m_pHeaderFooter);
    EXPECT_EQ(doc->m_pHeaderFooter->header, "Head\r");
    ASSERT_TRUE(doc->m_pLinkHead);
    EXPECT_EQ(doc->m_pLinkHead->address, "http://x/");
    ASSERT_TRUE(doc->m_pTableHead);
    EXPECT_EQ(doc->m_pTableHead->text, "a\x07" "b\x07\x07");
}

}  // namespace
