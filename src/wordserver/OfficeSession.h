#pragma once
// The conversation of one Application object with its office: the process,
// the bridge, the watchdog that bounds every call, and the documents open in
// it. A failure of the office turns into an automation error here.
#include "automation/AutomationException.h"
#include "automation/WordBinding.h"
#include "wordserver/OfficeProcess.h"
#include "wordserver/UnoConnection.h"

#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextCursor.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/text/XTextTable.hpp>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

using rtl::OUString;

namespace wordserver {

// Bound on one call into the office before the watchdog stops it.
std::chrono::milliseconds CallTimeout();
void SetCallTimeout(std::chrono::milliseconds bound);

// A table the server made: the paragraph behind it is where the insertion
// point goes when it leaves the table.
struct TableState {
    css::uno::Reference<css::text::XTextTable> table;
    css::uno::Reference<css::text::XText> parent;
    css::uno::Reference<css::text::XTextCursor> after;
    bool fitToContents = false;  // columns as wide as their contents, applied when saving
};

enum class Story { Main, Header, Footer, Cell };

// Word's insertion point on a model cursor: the text it is in, the range it
// covers, and where it returns to from a header or footer.
struct SelectionState {
    css::uno::Reference<css::text::XText> text;
    css::uno::Reference<css::text::XTextCursor> cursor;
    Story story = Story::Main;
    std::shared_ptr<TableState> table;  // when story is Cell
    std::shared_ptr<SelectionState> returnTo;  // while in a header or footer: where SeekView 0 goes
    bool afterLink = false;  // text typed next must not join the hyperlink in front
};

struct DocumentState {
    css::uno::Reference<css::text::XTextDocument> doc;
    SelectionState sel;
    std::vector<std::shared_ptr<TableState>> tables;
    bool closed = false;
};

class OfficeSession : public std::enable_shared_from_this<OfficeSession> {
public:
    std::shared_ptr<OfficeSession> sessionHandle() { return shared_from_this(); }
    // Starts the office and connects; throws AutomationException when it cannot.
    explicit OfficeSession(automation::WordVersion version);
    ~OfficeSession();
    OfficeSession(const OfficeSession&) = delete;
    OfficeSession& operator=(const OfficeSession&) = delete;

    automation::WordVersion version() const { return m_version; }
    pid_t pid() const { return m_process.pid(); }
    // A folder of the office's own profile for files on their way elsewhere.
    std::filesystem::path ScratchFolder() const { return m_process.profile() / "scratch"; }
    UnoConnection& uno();

    // Arms the watchdog for the duration of one call; refuses calls once the
    // office is gone.
    class CallScope {
    public:
        explicit CallScope(OfficeSession& s);
        ~CallScope();
        CallScope(const CallScope&) = delete;
        CallScope& operator=(const CallScope&) = delete;

    private:
        OfficeSession& m_session;
    };

    // The automation error for an exception caught from a call into the office.
    // `bridgeGone`: the exception says the bridge is disposed.
    automation::AutomationException Translate(const QString& what, bool bridgeGone = false);

    std::vector<std::shared_ptr<DocumentState>>& documents() { return m_documents; }
    std::shared_ptr<DocumentState> Active();
    // Closes every document without saving and ends the office. Calls after
    // it fail; a second Quit does nothing.
    void Quit();
    bool Ended() const { return m_ended; }

private:
    void WatchdogLoop();
    void EndProcess(std::chrono::milliseconds grace);

    automation::WordVersion m_version;
    OfficeProcess m_process;
    std::unique_ptr<UnoConnection> m_uno;
    std::vector<std::shared_ptr<DocumentState>> m_documents;
    bool m_ended = false;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<std::chrono::steady_clock::time_point> m_deadline;
    bool m_timedOut = false;
    bool m_stopWatchdog = false;
    std::thread m_watchdog;
};

QString ToQ(const rtl::OUString& s);
rtl::OUString ToOU(const QString& s);

}  // namespace wordserver
