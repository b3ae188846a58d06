// The full recovery pass: everything the engine can read straight from the
// source bytes, in the order in which each step prepares the next.
#include "app/StringTable.h"
#include "engine/DocRecover.h"
#include "platform/messagebox.h"

namespace {

void ShowEngineMessage(app::StringId id) {
    platform::MessageBox(app::LoadString(id), app::LoadString(app::IDS_CAPTION), platform::MbIcon::Exclamation);
}

}  // namespace

std::int32_t CDocRecover::RunFullPass() {
    if (m_nStatus != 0)
        return m_nStatus;
    m_aElementKinds.fill(ELEM_NONE);
    m_nElementCount = 0;
    // A pass that failed earlier may be run again; it starts from empty lists.
    FreeList(m_pRunHead, m_pRunTail);
    FreeList(m_pPictureHead, m_pPictureTail);
    FreeList(m_pTableHead, m_pTableTail);
    FreeList(m_pLinkHead, m_pLinkTail);
    m_pHeaderFooter.reset();

    ReadCompoundHeader();
    ReadFib(512);
    const std::int64_t directory = (static_cast<std::int64_t>(m_header.sectDirStart) + 1) * 512;
    if (ReadDirectoryEntry(m_aDirEntries[0], directory) == 1)
        for (std::size_t i = 1; i < m_aDirEntries.size(); ++i)
            ReadDirectoryEntry(m_aDirEntries[i], directory + 128 * static_cast<std::int64_t>(i));

    if (ValidateFib() == 0) {
        if (ScanForFib() == 0) {
            // No FIB at all: the text can still be carved (ExtractText
            // below); the FIB record is cleared so that nothing reads a
            // garbled one.
            m_fib = FibInfo{};
        }
        m_nStatus = 1;
    }
    ExtractHeaderFooter();
    const std::int32_t text = ExtractText();
    if (text == 0) {
        m_nStatus = 0;
        return 0;
    }
    m_nStatus = text;
    ExtractHyperlinks();
    if (HasCellMarks() == 1)
        ExtractTables();
    BuildElementSequence();
    if (HasPictures() == 1) {
        if (m_bRootFound == 1) {
            ReadPictureStream();
            ExtractPictures();
        } else {
            ShowEngineMessage(app::IDS_IMAGE_CANNOT_REPAIR);
        }
    }
    if (IsEncrypted() == 1) {
        ShowEngineMessage(app::IDS_PASSWORD_PROTECTED);
        return 0;
    }
    return m_nStatus;
}
