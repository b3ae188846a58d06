// Cutting images out of the picture stream and matching them with the
// picture slots of the element sequence.
#include "DocBuilder.h"

#include <gtest/gtest.h>

using namespace testdoc;

namespace {

const std::string kJpeg = std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x02\x03", 14) + "\xFF\xD9";
const std::string kPng = std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16) + "data" + "IEND\xAE\x42\x60\x82";

// A 1x1 GIF whose image data holds the byte 0x3B, which is not its end.
std::string Gif(bool globalTable = true) {
    std::string g = "GIF89a";
    g += std::string("\x01\x00\x01\x00", 4);
    g += globalTable ? "\x80" : std::string(1, '\0');
    g += std::string("\x00\x00", 2);
    if (globalTable)
        g += std::string("\x00\x00\x00\xFF\xFF\xFF", 6);
    g += std::string("\x21\xF9\x04\x01\x3B\x00\x00\x00", 8);  // graphic control extension
    g += std::string("\x2C\x00\x00\x00\x00\x01\x00\x01\x00\x00", 10);
    g += std::string("\x02\x03\x44\x3B\x01\x00", 6);  // LZW code size, one sub-block with 0x3B, end
    g += "\x3B";
    return g;
}

struct PictureCase {
    const char* name;
    std::string stream;
    std::vector<std::pair<std::string, std::string>> images;  // name, bytes
};

class Pictures : public ::testing::TestWithParam<PictureCase> {};

TEST_P(Pictures, CutsOutEachImage) {
    auto engine = EngineWithText("");
    engine->m_pPictureStream = GetParam().stream;
    engine->ExtractPictures();
    std::vector<std::pair<std::string, std::string>> images;
    for (const PictureNode* p = engine->m_pPictureHead.get(); p; p = p->next.get()) {
        EXPECT_EQ(static_cast<std::size_t>(p->size), p->data.size());
        images.emplace_back(p->name, p->data);
    }
    EXPECT_EQ(images, GetParam().images);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Pictures,
    ::testing::Values(
        PictureCase{"jpeg", "junk" + kJpeg + "tail", {{"temp.jpg", kJpeg}}},
        PictureCase{"png", "junk" + kPng + "tail", {{"temp.png", kPng}}},
        PictureCase{"gifWalkedToItsTrailer", "junk" + Gif() + "tail", {{"temp.gif", Gif()}}},
        PictureCase{"gifWithoutColourTable", Gif(false), {{"temp.gif", Gif(false)}}},
        // An image right after another one is found too.
        PictureCase{"jpegThenPng", kJpeg + kPng, {{"temp.jpg", kJpeg}, {"temp.png", kPng}}},
        PictureCase{"gifThenJpeg", Gif() + kJpeg, {{"temp.gif", Gif()}, {"temp.jpg", kJpeg}}},
        // A truncated GIF is no image, but what follows still counts.
        PictureCase{"brokenGifThenJpeg", Gif().substr(0, 30) + "\x99" + kJpeg, {{"temp.jpg", kJpeg}}},
        PictureCase{"jpegWithoutEnd", "ab" + kJpeg.substr(0, 14) + "no end" + kPng, {}},
        PictureCase{"emptyStream", "", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PictureSlots, EachImageTakesTheNextSlotInOrder) {
    auto engine = EngineWithText("a\x01 b\x01 c\x01 d\r");
    engine->BuildElementSequence();
    engine->m_pPictureStream = kJpeg + kPng;
    engine->ExtractPictures();
    const std::vector<int> codes(engine->m_aElementKinds.begin(),
                                 engine->m_aElementKinds.begin() + engine->m_nElementCount);
    EXPECT_EQ(codes, (std::vector<int>{1, 2, 1, 2, 1, 20, 1}));
}

// Many GIF signatures whose walks all fail far away: each place is walked
// once, and every image that is whole is still found.
TEST(PictureSlots, ManyBrokenGifsAreWalkedOnce) {
    std::string stream;
    for (int i = 0; i < 3000; ++i)
        stream += std::string("GIF89a\x01\x00\x01\x00\x00\x00\x00\x21\xF9\x01", 16);
    stream += std::string(1, '\x09');
    stream += kJpeg;
    auto engine = EngineWithText("");
    engine->m_pPictureStream = stream;
    engine->ExtractPictures();
    ASSERT_TRUE(engine->m_pPictureHead);
    EXPECT_EQ(engine->m_pPictureHead->name, "temp.jpg");
}

TEST(PictureStream, IsReadNoFurtherThanTheFile) {
    DocBuilder b = Simple({.text = "Text\x01\r", .flags = 0x0008, .pictures = kJpeg});
    b.EntryAt((kDirSector + 1) * 512 + 128, u"Data", kPictureSector, 0xFFFFFFF0u);
    OpenDoc doc = EngineOn(b.bytes());
    ASSERT_EQ(doc->RunFullPass(), 1);
    ASSERT_TRUE(doc->m_pPictureStream);
    EXPECT_EQ(doc->m_pPictureStream->size(), kJpeg.size());
    ASSERT_TRUE(doc->m_pPictureHead);
    EXPECT_EQ(doc->m_pPictureHead->data, kJpeg);
    EXPECT_EQ(doc->m_aElementKinds[1], ELEM_PICTURE);
}

}  // namespace
