#pragma once
// What the resave and rebuild routines share in their conversation with
// Word: the ProgID, the password, the argument lists, the text output path
// and the clean-up after Word.
#include "automation/WordWrappers.h"

#include <QString>
#include <cstdint>

namespace wordconv {

inline const QString kWordProgId = QStringLiteral("Word.Application");
inline const QString kProtectPassword = QStringLiteral("kov41tep");
constexpr std::int32_t kProtectFormsOnly = 2;
constexpr std::int32_t kFormatDocument = 0;
constexpr std::int32_t kFormatText = 2;

// The output copy opened invisibly, read-write, without prompts and not
// added to Word's list of recent files.
automation::word::OpenArguments OpenArgumentsFor(const QString& path);
automation::word::SaveAsArguments SaveAsArgumentsFor(const QString& path, std::int32_t format,
                                                     const automation::Variant& addToRecentFiles);

// A text output is written beside the Word-format path: the whole path in
// lower case, with the file name's final ".doc" made ".txt" (".txt" is
// added when the name has no ".doc"). Only the extension changes, so a
// folder such as "A.DOCS" keeps its name.
struct TextOutputPaths {
    QString word;  // the lower-cased Word-format path
    QString text;
};
TextOutputPaths TextOutputPathsFor(const QString& wordPath);

bool CanOpenForReading(const QString& path);
// Deletes the file when it can be opened for reading.
void DeleteIfReadable(const QString& path);
// "Error in loading MS Word." with the caption "Tessaly".
void ShowWordLoadError();
void TerminateWordIfRunning();

// Tells Word to quit without saving and drops the application reference;
// a Word that cannot be told (it has already quit, or it fails) is
// terminated. Never throws.
template <automation::WordVersion V>
void QuitWord(automation::word::Application<V>& app) noexcept {
    using automation::varFalse;
    using automation::varTrue;
    bool told = app.IsEmpty();
    try {
        app.Quit(varFalse, varTrue, varFalse);
        told = true;
    } catch (...) {
    }
    app.ReleaseDispatch();
    if (!told)
        TerminateWordIfRunning();
}

}  // namespace wordconv
