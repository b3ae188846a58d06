#include "engine/WordConversation.h"

#include "app/RecoveryApp.h"
#include "app/StringTable.h"
#include "platform/fileio.h"
#include "platform/fileops.h"
#include "platform/messagebox.h"

namespace wordconv {

using automation::Variant;
using automation::varFalse;
using automation::varOmitted;

automation::word::OpenArguments OpenArgumentsFor(const QString& path) {
    automation::word::OpenArguments a;
    a.FileName = Variant::Bstr(path);
    a.ConfirmConversions = varFalse;
    a.ReadOnly = varFalse;
    a.AddToRecentFiles = varFalse;
    a.PasswordDocument = Variant::Bstr(QString());
    a.PasswordTemplate = Variant::Bstr(QString());
    a.Revert = varFalse;
    a.WritePasswordDocument = Variant::Bstr(QString());
    a.WritePasswordTemplate = Variant::Bstr(QString());
    a.Format = varOmitted;
    a.Encoding = varFalse;
    a.Visible = varFalse;
    return a;  // OpenAndRepair, DocumentDirection, NoEncodingDialog, XMLTransform omitted
}

automation::word::SaveAsArguments SaveAsArgumentsFor(const QString& path, std::int32_t format,
                                                     const Variant& addToRecentFiles) {
    automation::word::SaveAsArguments a;
    a.FileName = Variant::Bstr(path);
    a.FileFormat = Variant::I4(format);
    a.LockComments = varFalse;
    a.Password = Variant::Bstr(QString());
    a.AddToRecentFiles = addToRecentFiles;
    a.WritePassword = Variant::Bstr(QString());
    a.ReadOnlyRecommended = varFalse;
    a.EmbedTrueTypeFonts = varFalse;
    a.SaveNativePictureFormat = varFalse;
    a.SaveFormsData = varFalse;
    a.SaveAsAOCELetter = varFalse;
    a.Encoding = varFalse;
    a.InsertLineBreaks = varFalse;
    a.AllowSubstitutions = varFalse;
    a.LineEnding = Variant::I4(0);
    a.AddBiDiMarks = varFalse;
    return a;
}

TextOutputPaths TextOutputPathsFor(const QString& wordPath) {
    TextOutputPaths p;
    p.word = wordPath.toLower();
    p.text = p.word;
    if (p.text.endsWith(QLatin1String(".doc")))
        p.text.chop(4);
    p.text += QLatin1String(".txt");
    return p;
}

bool CanOpenForReading(const QString& path) {
    platform::LowLevelFile f;
    return f.OpenReadOnly(path);
}

void DeleteIfReadable(const QString& path) {
    if (CanOpenForReading(path))
        platform::DeleteFile(path);
}

void ShowWordLoadError() {
    platform::MessageBox(app::LoadString(app::IDS_WORD_LOAD_ERROR), app::LoadString(app::IDS_CAPTION),
                         platform::MbIcon::Exclamation);
}

void TerminateWordIfRunning() {
    const CRecoveryApp& app = TheApp();
    if (app.IsWordRunning())
        app.TerminateWord();
}

}  // namespace wordconv
