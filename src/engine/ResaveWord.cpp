// Open-and-resave: Word opens the output copy; when the engine finds a
// valid File Information Block at 512 and the text, Word saves the document
// again (as a Word document over the copy, or as text beside it).
// Otherwise Word closes, the copy goes and the result is that of one more
// text extraction.
#include "app/RecoveryApp.h"
#include "engine/DocRecover.h"
#include "engine/SavedTextCheck.h"
#include "engine/WordConversation.h"
#include "platform/fileops.h"

using namespace automation;

namespace {

// Where the four routines differ.
struct ResaveTraits {
    const Variant& saveAsAddToRecentFiles;
    bool deleteCopyWhenWordMissing;
    bool closeAfterWordSave;
    bool terminateWordAfterSave;
    bool deleteOwnerFilesBeforeCopyDelete;
};

const ResaveTraits kWord97{varFalse, true, true, false, false};
const ResaveTraits kWord2000{varTrue, false, false, true, false};
const ResaveTraits kWord2002{varFalse, false, true, false, true};
const ResaveTraits kWord2003{varFalse, true, true, false, false};

// Word's save is kept only when it holds the text the engine found. The
// engine's own reading is trusted for this where it is exact: through the
// piece table or at the start of the document stream.
bool WordReadTheText(const CDocRecover& engine, const QString& saved, savedcheck::SavedAs kind) {
    const bool exact = engine.m_textSource == doctext::TextSource::PieceTable ||
                       engine.m_textSource == doctext::TextSource::StreamStart;
    if (!exact || !engine.m_pszText)
        return true;
    return savedcheck::SavedFileHoldsText(*engine.m_pszText, saved, kind);
}

// Word's save held other text: it goes, and the full pass and the rebuild
// take over.
std::int32_t DiscardWordSave(const QString& saved) {
    wordconv::TerminateWordIfRunning();
    wordconv::DeleteIfReadable(saved);
    CDocRecover::DeleteOwnerFiles(TheApp().m_strOutputFolder);
    return 0;
}

template <WordVersion V>
std::int32_t Resave(CDocRecover& engine, const ResaveTraits& traits) {
    CRecoveryApp& app = TheApp();
    engine.m_bSignatureValid = engine.HasCompoundSignature();
    if (!engine.PrepareOutputCopy() && app.m_bDestinationError)
        return 0;

    std::int32_t result = 0;
    word::Application<V> word;
    word::Documents<V> documents;
    word::Document<V> document;
    // Set while the text save runs: a failure then also removes the text file.
    QString textPath;
    try {
        if (!word.CreateDispatch(wordconv::kWordProgId)) {
            wordconv::ShowWordLoadError();
            if (traits.deleteCopyWhenWordMissing)
                wordconv::DeleteIfReadable(engine.m_strDest);
        } else {
            documents = word.GetDocuments();
            document = documents.Open(wordconv::OpenArgumentsFor(engine.m_strDest));

            engine.ReadFib(512);
            std::int32_t ok = engine.ValidateFib();
            if (ok)
                ok = engine.ExtractText();
            // A document whose stream does not start at 512 still has its own
            // FIB: text found through it (piece table, stream start) lets
            // Word re-save the document too.
            if (!ok && engine.ExtractText() && engine.TextFromOwnFib())
                ok = 1;

            if (!ok) {
                // Carved text is no reason to trust Word's reading: the full
                // pass and the rebuild take it from here.
                result = engine.ExtractText() && engine.m_textSource != doctext::TextSource::Carved ? 1 : 0;
                document.Close(varFalse, varTrue, varFalse);
                word.Quit(varFalse, varTrue, varFalse);
                word.ReleaseDispatch();
                wordconv::TerminateWordIfRunning();
                app.OnIdle(1);
                if (wordconv::CanOpenForReading(engine.m_strDest)) {
                    app.OnIdle(0);
                    platform::DeleteFile(engine.m_strDest);
                }
                CDocRecover::DeleteOwnerFiles(app.m_strOutputFolder);
            } else {
                result = ok;
                if (app.m_bPreviewMode && document.GetProtectionType() != wordconv::kProtectFormsOnly)
                    document.Protect(wordconv::kProtectFormsOnly, varFalse, Variant::Bstr(wordconv::kProtectPassword),
                                     varOmitted, varOmitted);
                if (app.m_bSaveAsWord) {
                    document.SaveAs(wordconv::SaveAsArgumentsFor(engine.m_strDest, wordconv::kFormatDocument,
                                                                 traits.saveAsAddToRecentFiles));
                    if (traits.closeAfterWordSave)
                        document.Close(varFalse, varTrue, varFalse);
                    word.Quit(varFalse, varTrue, varFalse);
                    result = 1;
                    if (!WordReadTheText(engine, engine.m_strDest, savedcheck::SavedAs::WordDocument)) {
                        engine.m_nStatus = DiscardWordSave(engine.m_strDest);
                        return 0;
                    }
                }
                if (app.m_bSaveAsText) {
                    const wordconv::TextOutputPaths paths = wordconv::TextOutputPathsFor(engine.m_strDest);
                    textPath = paths.text;
                    document.SaveAs(wordconv::SaveAsArgumentsFor(paths.text, wordconv::kFormatText,
                                                                 traits.saveAsAddToRecentFiles));
                    document.Close(varFalse, varTrue, varFalse);
                    word.Quit(varFalse, varTrue, varFalse);
                    textPath.clear();
                    engine.m_strDest = paths.word;
                    if (!WordReadTheText(engine, paths.text, savedcheck::SavedAs::Text)) {
                        DiscardWordSave(paths.text);
                        engine.m_nStatus = DiscardWordSave(engine.m_strDest);
                        return 0;
                    }
                    if (traits.deleteOwnerFilesBeforeCopyDelete)
                        CDocRecover::DeleteOwnerFiles(app.m_strOutputFolder);
                    wordconv::DeleteIfReadable(engine.m_strDest);
                    result = 1;
                }
                if (traits.terminateWordAfterSave)
                    wordconv::TerminateWordIfRunning();
            }
        }
    } catch (const std::exception&) {
        // One handler for the whole conversation: end Word, leave no output.
        wordconv::QuitWord(word);
        wordconv::TerminateWordIfRunning();
        wordconv::DeleteIfReadable(engine.m_strDest);
        if (!textPath.isEmpty())
            wordconv::DeleteIfReadable(textPath);
        result = 0;
    }
    engine.m_nStatus = result;
    return result;
}

}  // namespace

std::int32_t CDocRecover::ResaveWord97() { return Resave<WordVersion::Word97>(*this, kWord97); }
std::int32_t CDocRecover::ResaveWord2000() { return Resave<WordVersion::Word2000>(*this, kWord2000); }
std::int32_t CDocRecover::ResaveWord2002() { return Resave<WordVersion::Word2002>(*this, kWord2002); }
std::int32_t CDocRecover::ResaveWord2003() { return Resave<WordVersion::Word2003>(*this, kWord2003); }
