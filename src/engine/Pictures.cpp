// Embedded pictures: the stream of directory entry 1 is read in one piece
// and every GIF, JFIF JPEG and PNG image in it is cut out; each image turns
// the next picture slot of the element sequence into a picture element.
#include "engine/DocRecover.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view kGifSignature = "GIF89a";
constexpr std::string_view kJpegSignature = "\xFF\xD8\xFF\xE0\x00\x10JFIF";
constexpr std::string_view kJpegEnd = "\xFF\xD9";
constexpr std::string_view kPngSignature = "\x89PNG";
constexpr std::string_view kPngEnd = "END\xAE\x42\x60\x82";

// Finds the end of a GIF image by walking its block structure: header,
// logical screen descriptor, global colour table, then extension and image
// blocks with their sub-blocks, up to the trailer 0x3B. A walk that fails
// marks every place it passed, so a later walk reaching one of them fails
// at once: all walks together stay linear in the stream size.
class GifWalker {
public:
    explicit GifWalker(std::string_view stream)
        : m_d(stream), m_failedBlock(stream.size(), false), m_failedSubBlock(stream.size(), false) {}

    // Position of the trailer byte of the image starting at pos, or npos.
    std::size_t TrailerOf(std::size_t pos) {
        m_visited.clear();
        const std::size_t trailer = Walk(pos);
        if (trailer == std::string_view::npos)
            for (const auto& [at, kind] : m_visited)
                (kind == Kind::Block ? m_failedBlock : m_failedSubBlock)[at] = true;
        return trailer;
    }

private:
    enum class Kind { Block, SubBlock };

    static std::size_t ColourTableBytes(std::uint8_t packed) {
        return (packed & 0x80) ? 3u * (2u << (packed & 0x07)) : 0;
    }
    bool Has(std::size_t at, std::size_t count) const { return at <= m_d.size() && count <= m_d.size() - at; }
    std::uint8_t Byte(std::size_t at) const { return static_cast<std::uint8_t>(m_d[at]); }

    std::size_t Walk(std::size_t pos) {
        constexpr std::size_t kScreenDescriptor = 7;
        std::size_t at = pos + kGifSignature.size();
        if (!Has(at, kScreenDescriptor))
            return std::string_view::npos;
        at += kScreenDescriptor + ColourTableBytes(Byte(at + 4));
        for (;;) {
            // At a block introducer.
            if (!Has(at, 1) || m_failedBlock[at])
                return std::string_view::npos;
            m_visited.emplace_back(at, Kind::Block);
            const std::uint8_t introducer = Byte(at);
            if (introducer == 0x3B)
                return at;
            if (introducer == 0x21) {
                at += 2;  // introducer and label
            } else if (introducer == 0x2C) {
                constexpr std::size_t kImageDescriptor = 10;
                if (!Has(at, kImageDescriptor))
                    return std::string_view::npos;
                at += kImageDescriptor + ColourTableBytes(Byte(at + 9));
                at += 1;  // LZW minimum code size
            } else {
                return std::string_view::npos;
            }
            // The sub-blocks, up to the empty one.
            for (;;) {
                if (!Has(at, 1) || m_failedSubBlock[at])
                    return std::string_view::npos;
                m_visited.emplace_back(at, Kind::SubBlock);
                const std::uint8_t size = Byte(at);
                at += 1 + size;
                if (size == 0)
                    break;
            }
        }
    }

    std::string_view m_d;
    std::vector<bool> m_failedBlock;
    std::vector<bool> m_failedSubBlock;
    std::vector<std::pair<std::size_t, Kind>> m_visited;
};

}  // namespace

void CDocRecover::ReadPictureStream() {
    if (!m_nSourceFile)
        return;
    const DirectoryEntry& entry = m_aDirEntries[1];
    const std::uint64_t offset = (static_cast<std::uint64_t>(entry.startSector) + 1) * 512;
    // The stream is taken as contiguous. What lies past the end of the file
    // would read as zeros, which hold no image, so the buffer stops there.
    const std::uint64_t length = SourceLength();
    const std::uint64_t available = offset < length ? length - offset : 0;
    const std::uint64_t size = std::min<std::uint64_t>(entry.streamSize, available);
    std::string stream(static_cast<std::size_t>(size), '\0');
    ReadSourceAt(offset, std::span(reinterpret_cast<std::uint8_t*>(stream.data()), stream.size()));
    m_pPictureStream = std::move(stream);
}

void CDocRecover::ExtractPictures() {
    if (!m_pPictureStream || m_pPictureStream->empty())
        return;
    const std::string_view d(*m_pPictureStream);
    const std::size_t n = d.size();
    std::size_t nextSlot = 0;  // picture slots are only ever turned into pictures, in order

    auto takeImage = [&](std::size_t pos, std::size_t size, const char* name) {
        auto node = std::make_unique<PictureNode>();
        node->size = static_cast<std::int32_t>(std::min<std::size_t>(size, INT32_MAX));
        node->name = name;
        node->data.assign(d.substr(pos, size));
        AppendNode(m_pPictureHead, m_pPictureTail, std::move(node));
        const std::size_t end = std::min<std::size_t>(m_nElementCount + 1, kMaxElements);
        while (nextSlot < end && m_aElementKinds[nextSlot] != ELEM_PICTURE_SLOT)
            ++nextSlot;
        if (nextSlot < end)
            m_aElementKinds[nextSlot++] = ELEM_PICTURE;
    };

    GifWalker gif(d);
    std::size_t pos = 0;
    while (pos < n) {
        const std::string_view rest = d.substr(pos);
        if (rest.starts_with(kGifSignature)) {
            const std::size_t trailer = gif.TrailerOf(pos);
            if (trailer == std::string_view::npos) {
                ++pos;  // not a whole GIF: look on for other images
                continue;
            }
            takeImage(pos, trailer - pos + 1, "temp.gif");
            pos = trailer + 1;
        } else if (rest.starts_with(kJpegSignature)) {
            const std::size_t e = d.find(kJpegEnd, pos);
            if (e == std::string_view::npos)
                return;
            takeImage(pos, e - pos + kJpegEnd.size(), "temp.jpg");
            pos = e + kJpegEnd.size();  // an image may follow right after
        } else if (rest.starts_with(kPngSignature)) {
            const std::size_t e = d.find(kPngEnd, pos);
            if (e == std::string_view::npos)
                return;
            takeImage(pos, e - pos + kPngEnd.size(), "temp.png");
            pos = e + kPngEnd.size();
        } else {
            ++pos;
        }
    }
}
