#pragma once
// The application object: the user's output settings, the job of the
// repair in progress, the text the engine publishes and the busy and stop
// flags through which commands, tree, repair routines and drivers meet.
#include "platform/wintypes.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

class CExternalDispatch;
using HTREEITEM = struct TreeItemOpaque*;

class CRecoveryApp {
public:
    CRecoveryApp() = default;

    CExternalDispatch* m_pExternalDispatch = nullptr;  // owned by the shell
    QString m_strItemFolder;
    QString m_strItemName;
    QString m_strSourcePath;
    QString m_strDestination;
    QString m_strOutputFolder;
    // The engine's text and its filtered copy; empty means none. Each holds
    // m_nTextBufferSize bytes, the last one 0.
    std::vector<std::uint8_t> m_pszRawText;
    std::vector<std::uint8_t> m_pszFilteredText;
    std::int32_t m_nTextBufferSize = 0;
    std::int32_t m_nRecoveredIndex = 1;
    QString m_strWordOutputPath;
    QString m_strTextOutputPath;
    QString m_strPreviewedPath;
    QString m_strWordVersion;
    QString m_strProgramFolder;
    QString m_strTempFileName;
    QString m_strTempFolder;
    HTREEITEM m_hContextItem = nullptr;
    BOOL m_bRemoveTempFolders = FALSE;
    BOOL m_bPreviewMode = FALSE;
    BOOL m_bDestinationError = FALSE;
    BOOL m_bRunning = FALSE;
    BOOL m_bSaveAsText = FALSE;
    BOOL m_bSaveAsWord = TRUE;
    BOOL m_bWordView = TRUE;
    BOOL m_bTextView = FALSE;
    BOOL m_bToNewFolder = FALSE;
    BOOL m_bToOriginalFolder = FALSE;
    BOOL m_bCheckWordRunning = TRUE;
    BOOL m_bBuildingTree = FALSE;
    BOOL m_bScanSubfolders = FALSE;
    BOOL m_bScanFolder = FALSE;
    BOOL m_bAddSingleFile = FALSE;
    BOOL m_bProcessing = FALSE;
    BOOL m_bStop = TRUE;

    // TRUE while a process of the Word server runs.
    BOOL IsWordRunning() const;
    // Ends every process of the Word server, at once and without saving.
    void TerminateWord() const;
    // Deletes the files of the work folder; with m_bRemoveTempFolders also
    // the three nested work folders, innermost first.
    void CleanTempFolder();

    // The idle handler: count 0 refreshes the command states at once (the
    // front end plugs its refresh in), higher counts do nothing here.
    BOOL OnIdle(long count);
    std::function<void()> m_idleRefresh;

    // Publishes the engine's text: both buffers are replaced.
    void SetTextBuffers(std::vector<std::uint8_t> raw, std::vector<std::uint8_t> filtered);
};

// The one application object.
CRecoveryApp& TheApp();
// Gives the application object its initial values again (tests).
void ResetTheApp();

// The work folder's three nested folder names, outermost first.
inline constexpr const char* kWorkFolderNames[3] = {
    "{~$1256981212_1376398945}", "{~$2421982216_1369429843}", "{~$1361290129_2412921902}"};
