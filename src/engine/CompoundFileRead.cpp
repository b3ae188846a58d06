// The compound-file header and the first directory entries, read at the
// places the header gives, with 512-byte sectors whatever the header says.
#include "engine/ByteReader.h"
#include "engine/DocRecover.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

constexpr std::size_t kHeaderBytes = 512;
constexpr std::size_t kEntryBytes = 128;
constexpr std::u16string_view kRootEntryName = u"Root Entry";

}  // namespace

std::uint64_t CDocRecover::SourceLength() const {
    if (!m_nSourceFile)
        return 0;
    // Lengths are the document's: leading bytes before its start do not count.
    const std::uint64_t length = m_nSourceFile.Length().value_or(0);
    return length > m_nDocStart ? length - m_nDocStart : 0;
}

void CDocRecover::ReadCompoundHeader() {
    if (!m_nSourceFile)
        return;
    std::array<std::uint8_t, kHeaderBytes> buffer{};
    ReadSourceAt(0, buffer);
    const ByteReader in(buffer);
    CompoundHeader header;
    std::copy_n(buffer.begin(), header.signature.size(), header.signature.begin());
    header.sectorShift = in.U16Or(30);
    header.miniSectorShiftAndReserved = in.U32Or(32);
    header.fatSectorCount = in.U32Or(44);
    header.sectDirStart = in.U32Or(48);
    header.miniFatStart = in.U32Or(60);
    header.miniFatSectorCount = in.U32Or(64);
    header.difatStart = in.U32Or(68);
    header.difatSectorCount = in.U32Or(72);
    for (std::size_t i = 0; i < header.difat.size(); ++i)
        header.difat[i] = in.U32Or(76 + 4 * i);
    m_header = header;
}

std::int32_t CDocRecover::ReadDirectoryEntry(DirectoryEntry& entry, std::int64_t offset) {
    if (!m_nSourceFile || offset < 0)
        return 0;
    std::array<std::uint8_t, kEntryBytes> buffer{};
    ReadSourceAt(static_cast<std::uint64_t>(offset), buffer);
    const ByteReader in(buffer);
    entry = DirectoryEntry{};
    for (std::size_t i = 0; i < entry.name.size(); ++i)
        entry.name[i] = static_cast<char16_t>(in.U16Or(2 * i));
    entry.nameLength = in.U16Or(64);
    entry.objectType = in.U8Or(66);
    entry.colourFlag = in.U8Or(67);
    entry.leftSibling = in.U32Or(68);
    entry.rightSibling = in.U32Or(72);
    entry.child = in.U32Or(76);
    std::copy_n(buffer.begin() + 80, entry.classId.size(), entry.classId.begin());
    entry.startSector = in.U32Or(116);
    entry.streamSize = in.U32Or(120);

    const std::uint64_t directoryStart = (static_cast<std::uint64_t>(m_header.sectDirStart) + 1) * 512;
    if (static_cast<std::uint64_t>(offset) != directoryStart)
        return 0;
    // The name's first eleven units, taken as a NUL-terminated string.
    const std::u16string_view name(entry.name.data(), 11);
    const std::u16string_view upToNul = name.substr(0, std::min(name.find(u'\0'), name.size()));
    if (upToNul != kRootEntryName)
        return 0;
    m_bRootFound = 1;
    return 1;
}
