#pragma once
// A strict, recording stand-in for the "Word.Application" server.
//
// While an object of RecordingWordServer lives, CreateDispatch of
// "Word.Application" creates a new Word instance of this server (one per
// Application object, as Word starts one process each). Every call to any
// of its objects is
//   - checked against the binding table for the one chosen version: an
//     unknown DISPID, a wrong kind, a wrong argument count or an argument
//     passed the wrong way is an automation error (CheckWordCall);
//   - recorded with its arguments (Calls(), CallsTo());
//   - refused after the instance has quit (RPC_E_DISCONNECTED);
//   - failed on request (FailCall, FailMember).
//
// It models only what the repair routines rely on: the open documents and
// the active one, the selection (a position in the main text, header or
// footer, or a table cell), tables with their cell texts, the protection
// type, hyperlinks, pictures, AutoText entries, and which files each save
// wrote. A save writes a real file (plain text for format 2, a marked
// rendering of the document for format 0) and fails when it cannot, for
// example when the folder does not exist.
#include "automation/AutomationException.h"
#include "automation/Variant.h"
#include "automation/WordBinding.h"
#include "automation/ProgIdTable.h"

#include <QString>
#include <QStringList>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace recording_server {

using automation::DISPID;
using automation::HRESULT;
using automation::InvokeKind;
using automation::Variant;
using automation::WordInterface;
using automation::WordVersion;

// First text of a saved Word-format file.
inline constexpr const char* kWordFileMarker = "RECORDED WORD DOCUMENT\n";
// Protection type of a document that is not protected (Word's wdNoProtection).
inline constexpr std::int32_t kNoProtection = -1;

struct RecordedCall {
    int instance = 0;          // 1 for the first Application created, 2 for the next ...
    std::string member;        // "Documents.Open"; "Document.0x99" for an unknown DISPID
    WordInterface iface = WordInterface::Application;
    InvokeKind kind = InvokeKind::Method;
    DISPID dispid = 0;
    // Object arguments appear as null objects here (the record holds no
    // reference); objectArgs names their interface ("Range"), "" for others.
    std::vector<Variant> args;
    std::vector<std::string> objectArgs;
    HRESULT error = 0;         // the automation error raised, 0 when the call succeeded
    // "Documents.Open(BSTR(\"x\"), I2(0), ...)".
    QString ToString() const;
};

struct SavedFile {
    QString path;
    std::int32_t format = 0;
};

struct TableModel {
    std::int32_t rows = 0;
    std::int32_t columns = 0;
    std::vector<QString> cells;  // row by row
    QString& At(std::int32_t row, std::int32_t column) { return cells[static_cast<size_t>((row - 1) * columns + column - 1)]; }
    const QString& At(std::int32_t row, std::int32_t column) const {
        return cells[static_cast<size_t>((row - 1) * columns + column - 1)];
    }
};

struct HyperlinkModel {
    QString address;
    QString subAddress;
    std::optional<QString> textToDisplay;
};

struct DocumentModel {
    QString openedFrom;      // empty for a new document
    QString header, footer;  // typed into the current page header and footer
    QString body;            // the main text; a table or a picture is one placeholder character
    std::vector<TableModel> tables;
    std::vector<HyperlinkModel> hyperlinks;
    QStringList pictures;    // file names given to AddPicture
    QStringList autoTextEntries;
    std::int32_t protection = kNoProtection;
    QString password;
    bool closed = false;
    // The main text with tables and pictures written out.
    QString Render() const;
};

class RecordingWordServer {
public:
    explicit RecordingWordServer(WordVersion version);
    ~RecordingWordServer();
    RecordingWordServer(const RecordingWordServer&) = delete;
    RecordingWordServer& operator=(const RecordingWordServer&) = delete;

    WordVersion Version() const;

    // --- Control ---
    // CreateDispatch fails (the server "cannot be started").
    void RefuseToStart(bool refuse = true);
    // The call with this number (0 for the first call of the test, counting
    // every call to every instance) fails with `code`.
    void FailCall(std::size_t index, HRESULT code = automation::E_FAIL);
    // The `occurrence`-th call (from 1) of a member such as "Document.SaveAs" fails.
    void FailMember(std::string member, int occurrence = 1, HRESULT code = automation::E_FAIL);
    // Documents opened from now on report this protection type.
    void SetProtectionOnOpen(std::int32_t type);

    // --- What happened ---
    const std::vector<RecordedCall>& Calls() const;
    std::vector<RecordedCall> CallsTo(std::string_view member) const;
    std::size_t CountOf(std::string_view member) const;
    // Member names in call order, e.g. {"Application.Documents", "Documents.Open", ...}.
    std::vector<std::string> MemberSequence() const;
    int StartAttempts() const;  // CreateDispatch requests, refused ones included
    int Instances() const;      // Word instances started
    bool HasQuit(int instance) const;
    const std::vector<SavedFile>& Saves() const;
    // Server objects still referenced by a client.
    std::size_t LiveObjects() const;
    // Documents of an instance, in the order opened or added.
    const std::vector<DocumentModel>& Documents(int instance) const;
    // The last document of the last instance; nullptr when none.
    const DocumentModel* LastDocument() const;

    struct State;

private:
    std::shared_ptr<State> m_state;
    automation::ScopedServerRegistration m_registration;
};

}  // namespace recording_server
