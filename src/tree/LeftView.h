#pragma once
// CLeftView: the program's tree of folders and .doc files with three-state
// ticks, its mouse rules, the scans that fill it, the removal of ticked
// entries, the repair of one file with its kept previews, the preview, the
// save of a repaired copy and the run over the ticked files. It drives a
// tree control and the main frame through interfaces, so it runs headless.
#include "app/RecoveryApp.h"
#include "automation/WordBinding.h"
#include "platform/fileops.h"
#include "platform/wintypes.h"
#include "tree/FrameServices.h"
#include "tree/TreeControl.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <list>
#include <optional>

// Where a mouse click met an item; the GUI translates its hit test to this.
enum class HitPart { Nowhere, StateImage, Icon, Label, Button, RightOfLabel };

// Whether the tree's own processing of a click follows.
enum class DefaultProcessing { Skip, Run };

struct PreviewRecord {
    QString pszSource;
    std::optional<QString> pszWordFile;
    std::optional<QString> pszTextFile;
};

// The outcome of a run over the ticked files.
struct RunOutcome {
    QStringList repaired;
    QStringList unrepaired;
    bool stopped = false;
    bool cancelled = false;  // the Word-running prompt was answered with Cancel
    QString summary;
};

class CLeftView {
public:
    CLeftView(ITreeControl& tree, IFrameServices& frame);

    // Builds the root "WORD FILES", unticked.
    void OnInitialUpdate();

    // Mouse rules.
    DefaultProcessing OnLButtonDown(HTREEITEM item, HitPart hit);
    // TRUE when the context menu (Save As Word / Text Document) is offered;
    // the item is then in the application object's m_hContextItem.
    BOOL OnRButtonDown(HTREEITEM item, HitPart hit);
    // The preview of the selected item.
    void OnDblclk();

    // Tick rules.
    void UpdateAncestorTicks(HTREEITEM item);
    void PropagateTickDown(HTREEITEM item);
    BOOL AllSiblingsTicked(HTREEITEM item) const;
    BOOL AllSiblingsUnticked(HTREEITEM item) const;
    std::int32_t CountTickedFiles(HTREEITEM item);
    void NormalizeTicks();
    BOOL PumpMessages() { return m_frame.PumpMessages(); }

    // Filling the tree.
    void ScanFolder(const QString& path);
    BOOL AddFileToListedFolder(const QString& folder, const QString& name);
    BOOL RemoveListedFolder(QString folder);
    void DeleteFolderItems(const QString& folder);

    // Removing ticked entries.
    void RemoveTickedItems();

    // Repair of one file and the kept previews.
    std::int32_t RepairFile(HTREEITEM item);
    void AddPreviewRecord();
    BOOL FindPreview(const QString& source);
    void ForgetPreview(const QString& source);
    static void DeleteOwnerFiles(const QString& folder);
    const std::list<PreviewRecord>& Previews() const { return m_previews; }

    // The Word version named by Word.Application\CurVer, or none.
    static std::optional<automation::WordVersion> ReadWordVersion();

    // The per-version drivers.
    std::int32_t RecoverWord97();
    std::int32_t RecoverWord2000();
    std::int32_t RecoverWord2002();
    std::int32_t RecoverWord2003();

    // Saving a repaired copy of m_hContextItem.
    void OnSaveAsWordDocument();
    void OnSaveAsTextDocument();
    void SaveContextItem();

    // Repairs every ticked file into its final output.
    RunOutcome RunTickedFiles();

    // Every file item in tree order with its full path (for front ends).
    std::vector<HTREEITEM> FileItems() const;
    QString FullPath(HTREEITEM fileItem) const;

    // Replaces the drivers (tests): called with the version instead of the
    // engine's driver.
    std::function<std::int32_t(automation::WordVersion)> m_driverOverride;

    HTREEITEM m_hRoot = nullptr;
    HTREEITEM m_hCurrentFolder = nullptr;
    platform::FoundFile m_findData;
    std::int32_t m_nTickedCount = 0;
    std::int32_t m_bFolderFound = 0;

private:
    std::int32_t RunDriver(automation::WordVersion version);
    // The Word-running prompt while m_bCheckWordRunning is set; false on Cancel.
    bool PassWordRunningCheck();
    bool IsFolderItem(HTREEITEM item) const;
    void ShowStartPage();

    ITreeControl& m_tree;
    IFrameServices& m_frame;
    std::list<PreviewRecord> m_previews;
};
