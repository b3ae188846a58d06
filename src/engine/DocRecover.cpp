#include "engine/DocRecover.h"

#include "app/RecoveryApp.h"
#include "app/StringTable.h"
#include "platform/fileops.h"
#include "platform/messagebox.h"

#include <algorithm>
#include <cstdint>

CDocRecover::CDocRecover() = default;

CDocRecover::~CDocRecover() {
    FreeList(m_pRunHead, m_pRunTail);
    FreeList(m_pPictureHead, m_pPictureTail);
    FreeList(m_pTableHead, m_pTableTail);
    FreeList(m_pLinkHead, m_pLinkTail);
}

std::int32_t CDocRecover::OpenSource() {
    CRecoveryApp& app = TheApp();
    m_strSource = app.m_strSourcePath;
    m_strDest = app.m_strWordOutputPath;
    m_nSourceLength.reset();
    m_nDocStart = 0;
    if (m_nSourceFile.OpenReadOnly(m_strSource)) {
        m_nSourceLength = m_nSourceFile.Length();
        LocateDocumentStart();
        return 1;
    }
    platform::MessageBox(app::LoadString(app::IDS_FILE_OPEN_ERROR), app::LoadString(app::IDS_CAPTION),
                         platform::MbIcon::Exclamation);
    return 0;
}

std::uint64_t CDocRecover::GetDestFreeSpace() const {
    const CRecoveryApp& app = TheApp();
    const QString& folder = app.m_bToOriginalFolder ? app.m_strProgramFolder : app.m_strOutputFolder;
    return platform::GetDiskFreeSpaceEx(folder).value_or(0);
}

std::int32_t CDocRecover::PrepareOutputCopy() {
    CRecoveryApp& app = TheApp();
    if (!m_nSourceLength || *m_nSourceLength - m_nDocStart >= GetDestFreeSpace()) {
        platform::MessageBox(app::LoadString(app::IDS_DESTINATION_FULL), app::LoadString(app::IDS_CAPTION),
                             platform::MbIcon::Exclamation, platform::MbButtons::Ok, platform::MbOwner::MainWindow);
        app.m_bDestinationError = TRUE;
        return 0;
    }
    // A document after leading bytes is copied from where it starts.
    const bool copied = m_nDocStart == 0 ? platform::CopyFile(app.m_strSourcePath, m_strDest, platform::Overwrite::Yes)
                                         : platform::WriteNewFile(m_strDest, DocumentBytes());
    if (!copied) {
        m_nStatus = 0;
        return 0;
    }
    if (m_bSignatureValid)
        m_nStatus = 1;
    else
        m_nStatus = platform::WriteExistingFileAt(m_strDest, 0, kCompoundSignature) ? 1 : 0;
    platform::SetReadOnly(m_strDest, platform::ReadOnly::Off);
    return m_nStatus;
}

std::int32_t CDocRecover::HasCompoundSignature() {
    if (!m_nSourceFile)
        return 0;
    std::array<std::uint8_t, 8> bytes{};
    if (m_nDocStart != 0 && !m_nSourceFile.Seek(m_nDocStart))
        return 0;
    if (m_nSourceFile.Read(bytes) != bytes.size())
        return 0;
    return bytes == kCompoundSignature ? 1 : 0;
}

void CDocRecover::DeleteOwnerFiles(QString folder) {
    for (const auto& found : platform::FindFiles(folder + "\\~$*.doc"))
        if (!found.directory)
            platform::DeleteFile(folder + "\\" + found.name);
}

std::size_t CDocRecover::ReadSourceAt(std::uint64_t offset, std::span<std::uint8_t> buffer) {
    std::fill(buffer.begin(), buffer.end(), std::uint8_t{0});
    if (!m_nSourceFile || offset > UINT64_MAX - m_nDocStart || !m_nSourceFile.Seek(m_nDocStart + offset))
        return 0;
    return m_nSourceFile.Read(buffer);
}
