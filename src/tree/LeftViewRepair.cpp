// Repair of one file item: the job in the application object, the output
// name, the installed Word version and the driver; the kept previews.
#include "tree/LeftView.h"

#include "app/StringTable.h"
#include "engine/DocRecover.h"
#include "platform/fileio.h"
#include "platform/fileops.h"
#include "platform/messagebox.h"
#include "platform/registry.h"
#include "tree/RecoveryDrivers.h"

#include <array>
#include <cstdlib>
#include <ctime>

using automation::WordVersion;

namespace {

bool CanOpenForReading(const QString& path) {
    platform::LowLevelFile file;
    return file.OpenReadOnly(path);
}

QString Caption() { return app::LoadString(app::IDS_CAPTION); }

// "~$temp_<n>_<n>.DOC", each number the product of two draws of the runtime's
// generator seeded with the time in seconds. Two previews within one second
// would draw the same name and the second would overwrite the first one's
// kept file, so a name in use is drawn again.
QString TempFileName(const std::function<bool(const QString&)>& inUse) {
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    for (;;) {
        const long a = static_cast<long>(std::rand() % 32768) * (std::rand() % 32768);
        const long b = static_cast<long>(std::rand() % 32768) * (std::rand() % 32768);
        const QString name = QStringLiteral("~$temp_%1_%2.DOC").arg(a).arg(b);
        if (!inUse(name))
            return name;
    }
}

}  // namespace

std::optional<WordVersion> CLeftView::ReadWordVersion() {
    platform::RegKey key;
    if (key.Open(platform::HKey::ClassesRoot, QStringLiteral("Word.Application\\CurVer"), platform::RegAccess::Read) !=
        platform::kErrorSuccess)
        return std::nullopt;
    std::array<std::byte, 260> buffer{};
    std::uint32_t type = 0, size = buffer.size();
    const long rc = key.QueryValue(QString(), &type, buffer, &size);
    key.Close();
    if (rc != platform::kErrorSuccess || type != platform::REG_SZ)
        return std::nullopt;
    QString value;
    for (std::uint32_t i = 0; i + 1 < size; i += 2) {
        const auto unit = static_cast<char16_t>(std::to_integer<unsigned>(buffer[i]) | (std::to_integer<unsigned>(buffer[i + 1]) << 8));
        if (unit == 0)
            break;
        value += QChar(unit);
    }
    // The first hit decides, "8" before the others.
    const std::pair<const char*, WordVersion> order[] = {
        {"8", WordVersion::Word97}, {"9", WordVersion::Word2000}, {"10", WordVersion::Word2002}, {"11", WordVersion::Word2003}};
    for (const auto& [needle, version] : order)
        if (value.contains(QLatin1String(needle)))
            return version;
    return std::nullopt;
}

std::int32_t CLeftView::RunDriver(WordVersion version) {
    if (m_driverOverride)
        return m_driverOverride(version);
    return CRecoveryDrivers(m_frame).Recover(version);
}
std::int32_t CLeftView::RecoverWord97() { return RunDriver(WordVersion::Word97); }
std::int32_t CLeftView::RecoverWord2000() { return RunDriver(WordVersion::Word2000); }
std::int32_t CLeftView::RecoverWord2002() { return RunDriver(WordVersion::Word2002); }
std::int32_t CLeftView::RecoverWord2003() { return RunDriver(WordVersion::Word2003); }

std::int32_t CLeftView::RepairFile(HTREEITEM item) {
    CRecoveryApp& app = TheApp();
    const QString folder = m_tree.GetItemText(m_tree.GetParentItem(item));
    const QString name = m_tree.GetItemText(item);
    app.m_strItemFolder = folder;
    app.m_strItemName = name;
    const QString source = folder + QLatin1Char('\\') + name;
    m_frame.SetPathText(QString());
    m_frame.SetPathText(source);

    if (!CanOpenForReading(source)) {
        platform::MessageBox(QStringLiteral("%1 %2").arg(source, app::LoadString(app::IDS_FILE_NOT_EXIST)), Caption(),
                             platform::MbIcon::Warning);
        if (app.IsWordRunning())
            app.TerminateWord();
        return 0;
    }
    if (app.IsWordRunning())
        app.TerminateWord();

    if (app.m_bToOriginalFolder && !app.m_bProcessing) {
        const QString temp = TempFileName([&](const QString& name) {
            const QString path = app.m_strTempFolder + QLatin1Char('\\') + name;
            for (const PreviewRecord& record : m_previews)
                if (record.pszWordFile == path)
                    return true;
            return platform::FileExists(path);
        });
        app.m_strWordOutputPath = app.m_strTempFolder + QLatin1Char('\\') + temp;
        app.m_strOutputFolder = source;
        app.m_strTempFileName = temp;
    } else if (app.m_bToNewFolder && app.m_bProcessing) {
        const QString n = QString::number(app.m_nRecoveredIndex);
        app.m_strWordOutputPath = app.m_strDestination + QStringLiteral("\\Recovered_%1_").arg(n) + name;
        app.m_strOutputFolder = app.m_strDestination;
        app.m_nRecoveredIndex = app.m_nRecoveredIndex + 1;
    } else {
        app.m_strWordOutputPath = folder + QStringLiteral("\\Recovered_") + name;
        app.m_strOutputFolder = folder;
    }
    app.m_strSourcePath = source;

    const std::optional<WordVersion> version = ReadWordVersion();
    if (!version) {
        platform::MessageBox(app::LoadString(app::IDS_WORD_LOAD_ERROR), Caption(), platform::MbIcon::Error,
                             platform::MbButtons::Ok, platform::MbOwner::None, platform::MbTopmost::Yes);
        return 0;
    }
    app.m_strWordVersion = automation::WordVersionName(*version);
    std::int32_t result = 0;
    switch (*version) {
    case WordVersion::Word97: result = RecoverWord97(); break;
    case WordVersion::Word2000: result = RecoverWord2000(); break;
    case WordVersion::Word2002: result = RecoverWord2002(); break;
    case WordVersion::Word2003: result = RecoverWord2003(); break;
    }
    if (result && !app.m_bProcessing)
        AddPreviewRecord();
    return result;
}

void CLeftView::AddPreviewRecord() {
    const CRecoveryApp& app = TheApp();
    PreviewRecord record;
    record.pszSource = app.m_strSourcePath;
    if (app.m_bWordView == 1)
        record.pszWordFile = app.m_strWordOutputPath;
    if (app.m_bTextView == 1) {
        record.pszTextFile = app.m_strTextOutputPath;
        record.pszWordFile.reset();
    }
    m_previews.push_back(std::move(record));
}

BOOL CLeftView::FindPreview(const QString& source) {
    CRecoveryApp& app = TheApp();
    for (const PreviewRecord& record : m_previews) {
        if (record.pszSource != source)
            continue;
        app.m_strWordOutputPath.clear();
        app.m_strTextOutputPath.clear();
        if (record.pszWordFile)
            app.m_strWordOutputPath = *record.pszWordFile;
        if (record.pszTextFile)
            app.m_strTextOutputPath = *record.pszTextFile;
        BOOL result = FALSE;
        if (app.m_bWordView)
            result = CanOpenForReading(app.m_strWordOutputPath);
        if (app.m_bTextView)
            result = CanOpenForReading(app.m_strTextOutputPath);
        return result;
    }
    return FALSE;
}

void CLeftView::ForgetPreview(const QString& source) {
    CRecoveryApp& app = TheApp();
    if (app.IsWordRunning())
        app.TerminateWord();
    app.m_strPreviewedPath.clear();
    for (auto it = m_previews.begin(); it != m_previews.end();) {
        if (it->pszSource != source) {
            ++it;
            continue;
        }
        for (const auto& file : {it->pszWordFile, it->pszTextFile})
            if (file && platform::FileExists(*file))
                platform::DeleteFile(*file);
        it = m_previews.erase(it);
    }
}

void CLeftView::DeleteOwnerFiles(const QString& folder) { CDocRecover::DeleteOwnerFiles(folder); }
