#pragma once
// What the tree's operations need of the main frame, so that they run
// without a window toolkit (the Qt frame, the command line and the tests
// implement it). Every service has a neutral default, so a front end only
// overrides what it shows.
#include "platform/wintypes.h"
#include "tree/ProgressBar.h"

#include <QString>
#include <QStringList>
#include <memory>

class IFrameServices {
public:
    virtual ~IFrameServices() = default;

    // The Word-format preview is on screen.
    BOOL m_bWordViewShown = FALSE;
    // The text-format preview is on screen; the recovery drivers then only
    // extract the text.
    BOOL m_bTextViewShown = FALSE;
    // The progress bar now in the status bar, or null.
    std::unique_ptr<CProgressBar> m_pProgressBar;

    virtual BOOL TextViewShown() const { return m_bTextViewShown; }

    // Deletes the frame's progress bar and puts a new one in its place.
    CProgressBar& ReplaceProgressBar(const QString& caption);
    void DeleteProgressBar() { m_pProgressBar.reset(); }

    // The right pane (GetHtmlView) navigates to a path or an address.
    virtual void NavigateHtmlView(const QString& /*target*/) {}
    // Sets the status bar's path pane ("" clears it).
    virtual void SetPathText(const QString& /*text*/) {}
    // Lets waiting window messages through; FALSE when the quit message was met.
    virtual BOOL PumpMessages() { return TRUE; }
    // Called by the tree scan at every folder: with m_bBuildingTree set, the
    // progress bar steps once and waiting messages are let through.
    void StepTreeProgress();
    // The Text View command: shows the extracted text of the preview.
    virtual void OnViewText() {}
    // The command states are refreshed at once.
    virtual void RefreshCommandStates() {}
    // Dialog 185 "Result": the repaired and the unrepaired files of a run.
    virtual void ShowResult(const QStringList& /*repaired*/, const QStringList& /*unrepaired*/) {}
    // One file of a run is done (the command line prints a progress line).
    virtual void FileRepaired(const QString& /*source*/, BOOL /*repaired*/, int /*index*/, int /*count*/) {}

protected:
    // Makes the progress bar of this front end (none shown by default).
    virtual std::unique_ptr<CProgressBar> CreateProgressBar(const QString& caption);
};
