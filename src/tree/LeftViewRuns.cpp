// The preview of a file, the save of a repaired copy and the run over the
// ticked files.
#include "tree/LeftView.h"

#include "app/StringTable.h"
#include "platform/fileio.h"
#include "platform/fileops.h"
#include "platform/messagebox.h"

#include <QThread>

namespace {

QString Caption() { return app::LoadString(app::IDS_CAPTION); }

void Warn(const QString& text) { platform::MessageBox(text, Caption(), platform::MbIcon::Warning); }

QString Joined(const QString& path, app::StringId id) { return QStringLiteral("%1 %2").arg(path, app::LoadString(id)); }

bool CanOpenForReading(const QString& path) {
    platform::LowLevelFile file;
    return file.OpenReadOnly(path);
}

void ShortPause() { QThread::msleep(100); }

}  // namespace

bool CLeftView::PassWordRunningCheck() {
    CRecoveryApp& app = TheApp();
    if (!app.m_bCheckWordRunning)
        return true;
    while (app.IsWordRunning()) {
        const platform::MbResult answer = platform::MessageBox(app::LoadString(app::IDS_WORD_RUNNING), Caption(),
                                                               platform::MbIcon::Warning, platform::MbButtons::RetryCancel);
        if (answer != platform::MbResult::Retry)
            return false;
    }
    app.m_bCheckWordRunning = FALSE;
    return true;
}

void CLeftView::OnDblclk() {
    CRecoveryApp& app = TheApp();
    if (app.m_bRunning)
        return;
    m_frame.DeleteProgressBar();
    const HTREEITEM item = m_tree.GetSelectedItem();
    auto finishBar = [&] {
        if (m_frame.m_pProgressBar) {
            m_frame.m_pProgressBar->SetPos(10);
            ShortPause();
            m_frame.m_pProgressBar->Clear();
        }
    };
    auto newPreviewBar = [&] {
        CProgressBar& bar = m_frame.ReplaceProgressBar(QStringLiteral("Preparing Preview"));
        bar.SetRange(0, 10, 10);
    };
    if (!item || m_tree.ItemHasChildren(item) || item == m_hRoot) {
        finishBar();
        app.m_bRunning = FALSE;
        return;
    }
    if (!PassWordRunningCheck())
        return;
    const QString source = FullPath(item);
    if (source == app.m_strPreviewedPath) {
        app.m_bRunning = FALSE;
        return;
    }
    if (!CanOpenForReading(source)) {
        Warn(Joined(source, app::IDS_FILE_NOT_EXIST));
        app.m_bRunning = FALSE;
        return;
    }
    app.m_bPreviewMode = TRUE;
    app.m_bWordView = TRUE;
    m_frame.m_bWordViewShown = TRUE;
    app.m_bSaveAsWord = TRUE;
    app.m_bTextView = FALSE;
    m_frame.m_bTextViewShown = FALSE;
    app.m_bSaveAsText = FALSE;
    app.SetTextBuffers({}, {});

    const BOOL found = m_previews.empty() ? FALSE : FindPreview(source);
    app.m_bRunning = TRUE;
    app.m_bStop = FALSE;
    if (!found) {
        newPreviewBar();
        app.m_bToOriginalFolder = TRUE;
        app.m_bToNewFolder = FALSE;
        m_frame.RefreshCommandStates();
        app.m_bDestinationError = FALSE;
        const std::int32_t result = RepairFile(item);
        finishBar();
        if (result) {
            app.m_bRunning = FALSE;
        } else if (app.m_bDestinationError) {
            app.m_strPreviewedPath.clear();
            app.m_strWordOutputPath.clear();
            app.m_strTextOutputPath.clear();
            app.m_bProcessing = app.m_bStop = app.m_bRunning = FALSE;
            NormalizeTicks();
            m_frame.SetPathText(QString());
            ShowStartPage();
            if (m_frame.m_pProgressBar) {
                m_frame.m_pProgressBar->StepIt();
                m_frame.m_pProgressBar->Clear();
            }
            return;
        } else {
            if (platform::FileExists(app.m_strWordOutputPath))
                platform::DeleteFile(app.m_strWordOutputPath);
            if (!app.m_pszFilteredText.empty()) {
                m_frame.OnViewText();
                m_frame.m_bTextViewShown = TRUE;
                if (app.m_bStop) {
                    if (m_frame.m_pProgressBar)
                        m_frame.m_pProgressBar->Clear();
                    app.m_bRunning = FALSE;
                    return;
                }
                app.m_bRunning = FALSE;
                PumpMessages();
                newPreviewBar();
                app.m_bToOriginalFolder = FALSE;
                finishBar();
                app.m_bRunning = FALSE;
                return;
            }
            m_frame.SetPathText(QString());
            app.m_strPreviewedPath.clear();
            ShowStartPage();
            Warn(Joined(app.m_strSourcePath, app::IDS_SEVERELY_CORRUPTED));
            app.m_bRunning = FALSE;
            return;
        }
    }
    // Show the repaired (or kept) preview.
    PumpMessages();
    newPreviewBar();
    m_frame.NavigateHtmlView(app.m_strWordOutputPath);
    m_frame.SetPathText(source);
    app.m_strPreviewedPath = source;
    app.m_strSourcePath = source;
    app.m_bToOriginalFolder = FALSE;
    finishBar();
    app.m_bRunning = FALSE;
}

void CLeftView::OnSaveAsWordDocument() {
    TheApp().m_bSaveAsWord = TRUE;
    TheApp().m_bSaveAsText = FALSE;
    SaveContextItem();
}

void CLeftView::OnSaveAsTextDocument() {
    TheApp().m_bSaveAsWord = FALSE;
    TheApp().m_bSaveAsText = TRUE;
    SaveContextItem();
}

void CLeftView::SaveContextItem() {
    CRecoveryApp& app = TheApp();
    const HTREEITEM item = app.m_hContextItem;
    app.m_bProcessing = TRUE;
    app.m_bStop = FALSE;
    if (!PassWordRunningCheck()) {
        app.m_bRunning = FALSE;
        app.m_bProcessing = FALSE;
        return;
    }
    if (app.m_bSaveAsWord) {
        app.m_bWordView = TRUE;
        app.m_bTextView = FALSE;
    }
    if (app.m_bSaveAsText) {
        app.m_bWordView = FALSE;
        app.m_bTextView = TRUE;
    }
    m_frame.m_bWordViewShown = FALSE;
    m_frame.m_bTextViewShown = FALSE;
    m_frame.RefreshCommandStates();
    app.m_bPreviewMode = FALSE;
    m_frame.ReplaceProgressBar(QStringLiteral("Repairing File")).SetRange(0, 10, 10);
    app.m_bRunning = TRUE;
    app.m_bDestinationError = FALSE;
    if (app.IsWordRunning())
        app.TerminateWord();
    app.m_bProcessing = TRUE;
    const std::int32_t result = RepairFile(item);
    if (result) {
        DeleteOwnerFiles(app.m_bToNewFolder ? app.m_strOutputFolder : m_tree.GetItemText(m_tree.GetParentItem(item)));
        NormalizeTicks();
        Warn(Joined(app.m_strSourcePath, app::IDS_RECOVERED_OK));
    } else if (app.m_bDestinationError) {
        if (app.IsWordRunning())
            app.TerminateWord();
        app.m_bProcessing = app.m_bStop = app.m_bRunning = FALSE;
        app.m_strPreviewedPath.clear();
        app.m_strWordOutputPath.clear();
        app.m_strTextOutputPath.clear();
        NormalizeTicks();
        m_frame.SetPathText(QString());
        ShowStartPage();
        m_frame.m_pProgressBar->StepIt();
        m_frame.m_pProgressBar->Clear();
        return;
    } else {
        Warn(Joined(app.m_strSourcePath, app::IDS_SEVERELY_CORRUPTED));
    }
    if (app.IsWordRunning())
        app.TerminateWord();
    app.m_bProcessing = FALSE;
    m_frame.m_pProgressBar->StepIt();
    PumpMessages();
    if (app.m_bStop) {
        m_frame.m_pProgressBar->Clear();
        Warn(app::LoadString(app::IDS_PROCESS_ABORTED));
        m_frame.SetPathText(QString());
    }
    app.m_strPreviewedPath.clear();
    app.m_strWordOutputPath.clear();
    app.m_strTextOutputPath.clear();
    m_frame.SetPathText(QString());
    NormalizeTicks();
    if (app.IsWordRunning())
        app.TerminateWord();
    m_frame.m_pProgressBar->Clear();
    app.m_bRunning = FALSE;
}

RunOutcome CLeftView::RunTickedFiles() {
    CRecoveryApp& app = TheApp();
    RunOutcome outcome;
    std::vector<HTREEITEM> ticked;
    for (HTREEITEM g : FileItems())
        if (m_tree.GetTickState(g) == TICK_TICKED)
            ticked.push_back(g);
    if (ticked.empty())
        return outcome;

    app.m_bProcessing = TRUE;
    app.m_bStop = FALSE;
    if (!PassWordRunningCheck()) {
        app.m_bRunning = FALSE;
        app.m_bProcessing = FALSE;
        outcome.cancelled = true;
        return outcome;
    }
    app.m_bWordView = app.m_bSaveAsWord ? TRUE : FALSE;
    app.m_bTextView = app.m_bSaveAsText ? TRUE : FALSE;
    m_frame.m_bWordViewShown = FALSE;
    m_frame.m_bTextViewShown = FALSE;
    app.m_bPreviewMode = FALSE;
    app.m_bRunning = TRUE;
    m_frame.RefreshCommandStates();
    const int count = static_cast<int>(ticked.size());
    CProgressBar& bar = m_frame.ReplaceProgressBar(QStringLiteral("Repairing File"));
    bar.SetRange(0, count, 1);

    for (int i = 0; i < count; ++i) {
        // The tree cannot change during the run (its commands are disabled), but
        // a path is taken before the repair so that the report names the file.
        const HTREEITEM item = ticked[static_cast<size_t>(i)];
        const QString source = FullPath(item);
        app.m_bProcessing = TRUE;
        app.m_bDestinationError = FALSE;
        const std::int32_t result = RepairFile(item);
        if (result) {
            DeleteOwnerFiles(app.m_bToNewFolder ? app.m_strOutputFolder : m_tree.GetItemText(m_tree.GetParentItem(item)));
            outcome.repaired << source;
        } else {
            outcome.unrepaired << source;
        }
        if (app.IsWordRunning())
            app.TerminateWord();
        m_frame.FileRepaired(source, result ? TRUE : FALSE, i + 1, count);
        if (m_frame.m_pProgressBar)
            m_frame.m_pProgressBar->StepIt();
        PumpMessages();
        if (app.m_bStop) {
            outcome.stopped = true;
            break;
        }
    }
    if (m_frame.m_pProgressBar)
        m_frame.m_pProgressBar->Clear();
    if (outcome.stopped) {
        Warn(app::LoadString(app::IDS_PROCESS_ABORTED));
        // Files not reached count as unrepaired, so the two lists hold every ticked file.
        for (size_t i = static_cast<size_t>(outcome.repaired.size() + outcome.unrepaired.size()); i < ticked.size(); ++i)
            outcome.unrepaired << FullPath(ticked[i]);
    }
    outcome.summary = QStringLiteral("%1 %2%3%4")
                          .arg(outcome.repaired.size())
                          .arg(app::LoadString(app::IDS_REPAIRED_OUT_OF))
                          .arg(count)
                          .arg(app::LoadString(app::IDS_FILES));
    Warn(outcome.summary);
    m_frame.ShowResult(outcome.repaired, outcome.unrepaired);

    app.m_strPreviewedPath.clear();
    app.m_strWordOutputPath.clear();
    app.m_strTextOutputPath.clear();
    m_frame.SetPathText(QString());
    NormalizeTicks();
    app.m_bProcessing = FALSE;
    app.m_bRunning = FALSE;
    app.m_bStop = TRUE;
    return outcome;
}
