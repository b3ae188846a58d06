#include "app/RecoveryApp.h"

#include "platform/fileops.h"

CRecoveryApp& TheApp() {
    static CRecoveryApp app;
    return app;
}

void ResetTheApp() { TheApp() = CRecoveryApp(); }

BOOL CRecoveryApp::OnIdle(long count) {
    if (count == 0 && m_idleRefresh)
        m_idleRefresh();
    return FALSE;
}

void CRecoveryApp::SetTextBuffers(std::vector<std::uint8_t> raw, std::vector<std::uint8_t> filtered) {
    m_pszRawText = std::move(raw);
    m_pszFilteredText = std::move(filtered);
    m_nTextBufferSize = static_cast<std::int32_t>(std::max(m_pszRawText.size(), m_pszFilteredText.size()));
}

void CRecoveryApp::CleanTempFolder() {
    if (m_strTempFolder.isEmpty())
        return;
    for (const auto& entry : platform::FindFiles(m_strTempFolder + "\\*.*")) {
        if (entry.name == "." || entry.name == "..")
            continue;
        const QString path = m_strTempFolder + "\\" + entry.name;
        if (!platform::DeleteFile(path))
            platform::DeleteFile(path);
    }
    if (!m_bRemoveTempFolders)
        return;
    // Innermost first; each success takes one name off the end.
    for (int level = 2; level >= 0; --level) {
        if (!platform::RemoveDirectory(m_strTempFolder))
            return;
        if (level == 0)
            return;
        const QString tail = QStringLiteral("\\") + kWorkFolderNames[level];
        if (!m_strTempFolder.endsWith(tail))
            return;
        m_strTempFolder.chop(tail.size());
    }
}
